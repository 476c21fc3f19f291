// The records the host exchanges with the engine, decoded into plain values.
// The host sends them with a size argument of 0, so every reader trusts only
// the record's own fixed layout and bounds each text field itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sample_engine {

struct TrackInfo {
  std::u16string title;
  std::u16string artists;
  std::u16string album;
  int32_t year = 0;

  bool IsEmpty() const { return title.empty() && artists.empty() && album.empty() && year == 0; }
};

struct Insets {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct InputEvent {
  int32_t x = 0;
  int32_t y = 0;
  int32_t wheelX = 0;
  int32_t wheelY = 0;
  char16_t character = 0;
  uint32_t flags = 0;
};

// EngineEvent flag bits.
inline constexpr uint32_t kEventShift = 0x0001;
inline constexpr uint32_t kEventAlt = 0x0002;
inline constexpr uint32_t kEventCtrl = 0x0004;
inline constexpr uint32_t kEventLeftButton = 0x0010;
inline constexpr uint32_t kEventRightButton = 0x0020;
inline constexpr uint32_t kEventMiddleButton = 0x0040;
inline constexpr uint32_t kEventDoubleClick = 0x0080;
inline constexpr uint32_t kEventRelease = 0x0200;
inline constexpr uint32_t kEventWheel = 0x1000;

// Character codes of the navigation keys.
inline constexpr char16_t kKeyUp = 0xF700;
inline constexpr char16_t kKeyDown = 0xF701;
inline constexpr char16_t kKeyLeft = 0xF702;
inline constexpr char16_t kKeyRight = 0xF703;

inline constexpr size_t kTrackRecordSize = 3100;
inline constexpr size_t kTrackHeaderValue = 224;
inline constexpr size_t kCoverArtRecordSize = 32;
inline constexpr size_t kInsetsRecordSize = 16;
inline constexpr size_t kEventRecordSize = 32;

// 'GetS' request as the host fills it; the engine owns bytes 0-3 and 24-31.
struct SampleRequest {
  int32_t recordSize;
  int32_t waveformCapacity;
  float* waveform;
  int32_t waveformCount;
  int32_t spectrumCapacity;
  int64_t reserved;
  float* spectrum;
  int32_t spectrumCount;
  int32_t padding;
};
static_assert(offsetof(SampleRequest, waveformCapacity) == 4);
static_assert(offsetof(SampleRequest, waveform) == 8);
static_assert(offsetof(SampleRequest, waveformCount) == 16);
static_assert(offsetof(SampleRequest, spectrumCapacity) == 20);
static_assert(offsetof(SampleRequest, spectrum) == 32);
static_assert(offsetof(SampleRequest, spectrumCount) == 40);

// False when the record does not announce the track layout.
bool DecodeTrackRecord(const void* record, TrackInfo& track);
// The UTF-8 picture path of a 'Fil8' record; empty for any other kind.
std::string DecodeCoverArtRecord(const void* record);
// Negative insets are taken as 0.
Insets DecodeInsetsRecord(const void* record);
InputEvent DecodeEventRecord(const void* record);

}  // namespace sample_engine
