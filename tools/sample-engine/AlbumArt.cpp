#include "AlbumArt.h"

#include <stb_image.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace sample_engine {
namespace {

struct StbiDeleter {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

constexpr int kMaxPictureSide = 8192;

}  // namespace

bool AlbumArt::Load(const std::string& utf8Path) {
  Clear();
  if (utf8Path.empty()) return false;
  int width = 0;
  int height = 0;
  int channels = 0;
  // stb_image opens the path as UTF-8 on Windows (STBI_WINDOWS_UTF8).
  std::unique_ptr<stbi_uc, StbiDeleter> pixels(stbi_load(utf8Path.c_str(), &width, &height, &channels, 4));
  if (!pixels || width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide)
    return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return false;

  const stbi_uc* source = pixels.get();
  auto* target = static_cast<uint8_t*>(bits);
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) {
    // RGBA to the DIB's BGRA; transparency is flattened onto black.
    const unsigned alpha = source[4 * i + 3];
    target[4 * i + 0] = static_cast<uint8_t>(source[4 * i + 2] * alpha / 255);
    target[4 * i + 1] = static_cast<uint8_t>(source[4 * i + 1] * alpha / 255);
    target[4 * i + 2] = static_cast<uint8_t>(source[4 * i + 0] * alpha / 255);
    target[4 * i + 3] = 255;
  }
  mBitmap = std::move(bitmap);
  mWidth = width;
  mHeight = height;
  return true;
}

void AlbumArt::Clear() {
  mBitmap.reset();
  mWidth = 0;
  mHeight = 0;
}

}  // namespace sample_engine
