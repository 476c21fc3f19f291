// The player's own windows as the player host needs them: the layered
// control bars over the engine's window, and the main window that toggles
// full screen on Alt+Enter.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugin/InsetsCalculator.h"

class PlayerWindows {
 public:
  // False when the window has no root or no rectangle.
  static bool ComputeInsets(HWND engineWindow, bool mediaCenter, InsetsRecord* insets);
  // 0, or 55013 when the player's main window is not found.
  static int32_t ToggleFullScreen();
};
