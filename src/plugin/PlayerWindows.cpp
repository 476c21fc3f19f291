#include "plugin/PlayerWindows.h"

#include <cstring>

#include "runtime/ResultCodes.h"

namespace {

constexpr const char* kOverlayClasses[] = {"WMP Skin Host", "CWmpControlCntr"};
constexpr char kMainWindowClass[] = "WMPlayerApp";
constexpr int kClassNameChars = 256;

bool IsOverlayCandidate(HWND window) {
  WINDOWINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetWindowInfo(window, &info) || !(info.dwExStyle & WS_EX_LAYERED)) return false;
  char className[kClassNameChars] = {};
  if (GetClassNameA(window, className, kClassNameChars - 1) == 0) return false;
  for (const char* overlayClass : kOverlayClasses) {
    if (std::strcmp(className, overlayClass) == 0) return true;
  }
  return false;
}

ScreenRect ToScreenRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

bool PlayerWindows::ComputeInsets(HWND engineWindow, bool mediaCenter, InsetsRecord* insets) {
  if (!engineWindow || !insets) return false;
  const HWND root = GetAncestor(engineWindow, GA_ROOT);
  RECT windowRect;
  if (!root || !GetWindowRect(engineWindow, &windowRect)) return false;

  InsetsCalculator calculator(ToScreenRect(windowRect));
  for (HWND window = GetWindow(root, GW_HWNDFIRST); window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (!IsOverlayCandidate(window)) continue;
    RECT overlayRect;
    if (GetWindowRect(window, &overlayRect)) calculator.ConsiderOverlay(ToScreenRect(overlayRect));
  }
  *insets = calculator.Finish(mediaCenter);
  return true;
}

int32_t PlayerWindows::ToggleFullScreen() {
  const HWND player = FindWindowA(kMainWindowClass, nullptr);
  if (!IsWindow(player)) return kErrSystem;
  SetForegroundWindow(player);
  PostMessageA(player, WM_SYSKEYDOWN, VK_RETURN, 0);
  return kOk;
}
