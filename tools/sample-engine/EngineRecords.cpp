#include "EngineRecords.h"

#include <algorithm>
#include <cstring>

#include "host/VisualAPI.h"

namespace sample_engine {
namespace {

constexpr size_t kTextFieldUnits = 256;
constexpr size_t kTitleOffset = 28;
constexpr size_t kArtistsOffset = 540;
constexpr size_t kAlbumOffset = 1052;
constexpr size_t kYearOffset = 12;
constexpr size_t kArtPathOffset = 16;
constexpr size_t kMaxArtPathBytes = 4096;

template <typename T>
T ReadAt(const void* record, size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof(T));
  return value;
}

std::u16string ReadTextField(const void* record, size_t offset) {
  std::u16string text;
  for (size_t i = 0; i + 1 < kTextFieldUnits; ++i) {
    const char16_t unit = ReadAt<char16_t>(record, offset + 2 * i);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

}  // namespace

bool DecodeTrackRecord(const void* record, TrackInfo& track) {
  track = TrackInfo{};
  if (record == nullptr) return false;
  if (ReadAt<uint32_t>(record, 0) < kTrackRecordSize || ReadAt<uint32_t>(record, 4) != kTrackHeaderValue) {
    return false;
  }
  track.year = ReadAt<int32_t>(record, kYearOffset);
  track.title = ReadTextField(record, kTitleOffset);
  track.artists = ReadTextField(record, kArtistsOffset);
  track.album = ReadTextField(record, kAlbumOffset);
  return true;
}

std::string DecodeCoverArtRecord(const void* record) {
  if (record == nullptr || ReadAt<uint32_t>(record, 0) != kCodeArtFile) return {};
  const char* path = ReadAt<const char*>(record, kArtPathOffset);
  if (path == nullptr) return {};
  return std::string(path, strnlen(path, kMaxArtPathBytes));
}

Insets DecodeInsetsRecord(const void* record) {
  Insets insets;
  if (record == nullptr) return insets;
  insets.left = std::max(0, ReadAt<int32_t>(record, 0));
  insets.top = std::max(0, ReadAt<int32_t>(record, 4));
  insets.right = std::max(0, ReadAt<int32_t>(record, 8));
  insets.bottom = std::max(0, ReadAt<int32_t>(record, 12));
  return insets;
}

InputEvent DecodeEventRecord(const void* record) {
  InputEvent event;
  if (record == nullptr) return event;
  event.x = ReadAt<int32_t>(record, 0);
  event.y = ReadAt<int32_t>(record, 4);
  event.wheelX = ReadAt<int32_t>(record, 8);
  event.wheelY = ReadAt<int32_t>(record, 12);
  event.character = ReadAt<char16_t>(record, 16);
  event.flags = ReadAt<uint32_t>(record, 20);
  return event;
}

}  // namespace sample_engine
