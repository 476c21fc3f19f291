#include "AudioFileLoader.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "OggDecoder.h"
#include "WavDecoder.h"
#include "Win32Handles.h"

namespace player_sim {
namespace {

constexpr LONGLONG kMaxAudioFileBytes = 1LL << 30;

std::string OpenFailure(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "file not found";
    case ERROR_ACCESS_DENIED:
      return "cannot open the file: access denied";
    default:
      return "cannot open the file (Windows error " + std::to_string(error) + ")";
  }
}

}  // namespace

AudioDecodeResult LoadAudioFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return AudioDecodeResult::Failure("is a folder, not an audio file");
  }
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return AudioDecodeResult::Failure(OpenFailure(GetLastError()));
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return AudioDecodeResult::Failure("cannot read the file size");
  if (size.QuadPart == 0) return AudioDecodeResult::Failure("empty file, not audio");
  if (size.QuadPart > kMaxAudioFileBytes)
    return AudioDecodeResult::Failure("unsupported: file larger than 1 GB");

  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size()) {
    return AudioDecodeResult::Failure("cannot read the whole file");
  }
  const bool riff = bytes.size() >= 4 && std::string(bytes.begin(), bytes.begin() + 4) == "RIFF";
  if (riff) return DecodeWav(bytes.data(), bytes.size());
  if (LooksLikeOgg(bytes.data(), bytes.size())) return DecodeOggVorbis(bytes.data(), bytes.size());
  if (bytes.size() < 12)
    return AudioDecodeResult::Failure("truncated or not audio: only " + std::to_string(bytes.size()) +
                                      " bytes");
  return AudioDecodeResult::Failure("not an audio file: neither a WAV nor an Ogg Vorbis signature");
}

}  // namespace player_sim
