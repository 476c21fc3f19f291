// Pictures of what a window shows, as RGB pixels, for screenshots and for
// tests that look at what the visualization drew.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace player_sim {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top-down, three bytes a pixel

  const uint8_t* At(int x, int y) const {
    return &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
  }
};

// The client area; none when the window is gone or has no area.
std::optional<Picture> CaptureClientArea(HWND window);

// Lays `top` over `base` at (x, y) with the given opacity (0-255), clipped.
void BlendOver(Picture& base, const Picture& top, int x, int y, uint8_t alpha);

}  // namespace player_sim
