#include "WindowCapture.h"

#include <algorithm>

#include "Win32Handles.h"

namespace player_sim {

std::optional<Picture> CaptureClientArea(HWND window) {
  RECT client{};
  if (window == nullptr || !IsWindow(window) || !GetClientRect(window, &client)) return std::nullopt;
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return std::nullopt;

  HDC source = GetDC(window);
  if (source == nullptr) return std::nullopt;
  UniqueMemoryDc memory(CreateCompatibleDC(source));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject bitmap(CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bool copied = false;
  if (memory && bitmap && bits != nullptr) {
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    copied = BitBlt(memory.get(), 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory.get(), previous);
  }
  ReleaseDC(window, source);
  if (!copied) return std::nullopt;

  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  const auto* bgra = static_cast<const uint8_t*>(bits);
  for (size_t i = 0, count = static_cast<size_t>(width) * static_cast<size_t>(height); i < count; ++i) {
    picture.rgb[3 * i + 0] = bgra[4 * i + 2];
    picture.rgb[3 * i + 1] = bgra[4 * i + 1];
    picture.rgb[3 * i + 2] = bgra[4 * i + 0];
  }
  return picture;
}

void BlendOver(Picture& base, const Picture& top, int x, int y, uint8_t alpha) {
  const int left = std::max(0, x);
  const int upper = std::max(0, y);
  const int right = std::min(base.width, x + top.width);
  const int lower = std::min(base.height, y + top.height);
  for (int row = upper; row < lower; ++row) {
    for (int column = left; column < right; ++column) {
      uint8_t* target = &base.rgb[(static_cast<size_t>(row) * static_cast<size_t>(base.width) +
                                   static_cast<size_t>(column)) *
                                  3];
      const uint8_t* source = top.At(column - x, row - y);
      for (int c = 0; c < 3; ++c) {
        target[c] = static_cast<uint8_t>((source[c] * alpha + target[c] * (255 - alpha)) / 255);
      }
    }
  }
}

}  // namespace player_sim
