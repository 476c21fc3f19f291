#include "PngFile.h"

#include <stb_image_write.h>
#include <windows.h>

#include "Win32Handles.h"

namespace player_sim {
namespace {

void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& rgb, int width, int height) {
  std::vector<uint8_t> png;
  if (width <= 0 || height <= 0 ||
      rgb.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
    return png;
  }
  if (stbi_write_png_to_func(&AppendBytes, &png, width, height, 3, rgb.data(), width * 3) == 0) png.clear();
  return png;
}

bool WriteFileAtomically(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return false;
  const std::wstring partial = path + L".partial";
  {
    UniqueFile file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const bool complete =
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (!complete) {
      file.reset();
      DeleteFileW(partial.c_str());
      return false;
    }
  }
  if (!MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(partial.c_str());
    return false;
  }
  return true;
}

}  // namespace player_sim
