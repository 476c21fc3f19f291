#include "WavDecoder.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace player_sim {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kMinSampleRate = 4000;
constexpr uint32_t kMaxSampleRate = 384000;

uint16_t Read16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
bool IsTag(const uint8_t* p, const char* tag) {
  return std::memcmp(p, tag, 4) == 0;
}

struct Format {
  uint16_t tag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
};

float DecodeSample(const uint8_t* p, const Format& format) {
  if (format.tag == kFormatFloat) {
    float value;
    std::memcpy(&value, p, sizeof(value));
    return value != value ? 0.0f : (value > 1.0f ? 1.0f : (value < -1.0f ? -1.0f : value));
  }
  switch (format.bitsPerSample) {
    case 8:
      return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16:
      return static_cast<int16_t>(Read16(p)) / 32768.0f;
    case 24: {
      const int32_t value =
          static_cast<int32_t>((static_cast<uint32_t>(p[0]) << 8) | (static_cast<uint32_t>(p[1]) << 16) |
                               (static_cast<uint32_t>(p[2]) << 24)) >>
          8;
      return value / 8388608.0f;
    }
    default:
      return static_cast<float>(static_cast<int32_t>(Read32(p)) / 2147483648.0);
  }
}

void ReadInfoList(const uint8_t* p, size_t size, AudioTags& tags) {
  size_t offset = 4;  // after "INFO"
  while (offset + 8 <= size) {
    const uint8_t* id = p + offset;
    const uint32_t length = Read32(p + offset + 4);
    if (length > size - offset - 8) break;
    std::string value(reinterpret_cast<const char*>(p + offset + 8), length);
    value = value.substr(0, value.find('\0'));
    if (IsTag(id, "INAM")) tags.title = value;
    if (IsTag(id, "IART")) tags.artist = value;
    if (IsTag(id, "IPRD")) tags.album = value;
    if (IsTag(id, "ICRD")) tags.year = value;
    if (IsTag(id, "IGNR")) tags.genre = value;
    offset += 8 + length + (length & 1);
  }
}

std::string Describe(const Format& format) {
  return std::to_string(format.bitsPerSample) + "-bit, " + std::to_string(format.channels) + " channels, " +
         std::to_string(format.sampleRate) + " Hz";
}

}  // namespace

bool LooksLikeWav(const uint8_t* data, size_t size) {
  return size >= 12 && IsTag(data, "RIFF") && IsTag(data + 8, "WAVE");
}

AudioDecodeResult DecodeWav(const uint8_t* data, size_t size) {
  if (size < 12) return AudioDecodeResult::Failure("truncated: the RIFF header is cut short");
  if (!LooksLikeWav(data, size))
    return AudioDecodeResult::Failure("unsupported format: a RIFF file that is not WAVE");

  Format format;
  bool haveFormat = false;
  const uint8_t* samples = nullptr;
  size_t sampleBytes = 0;
  AudioTags tags;
  size_t offset = 12;
  while (offset + 8 <= size) {
    const uint8_t* chunk = data + offset;
    const uint32_t length = Read32(chunk + 4);
    const size_t available = size - offset - 8;
    if (IsTag(chunk, "data")) {
      if (length > available) {
        return AudioDecodeResult::Failure("truncated: the data chunk declares " + std::to_string(length) +
                                          " bytes but only " + std::to_string(available) + " follow");
      }
      samples = chunk + 8;
      sampleBytes = length;
    } else if (length > available) {
      return AudioDecodeResult::Failure("truncated: a chunk runs past the end of the file");
    } else if (IsTag(chunk, "fmt ")) {
      if (length < 16) return AudioDecodeResult::Failure("malformed: the fmt chunk is too short");
      format.tag = Read16(chunk + 8);
      format.channels = Read16(chunk + 10);
      format.sampleRate = Read32(chunk + 12);
      format.blockAlign = Read16(chunk + 20);
      format.bitsPerSample = Read16(chunk + 22);
      if (format.tag == kFormatExtensible && length >= 40) format.tag = Read16(chunk + 32);
      haveFormat = true;
    } else if (IsTag(chunk, "LIST") && length >= 4 && IsTag(chunk + 8, "INFO")) {
      ReadInfoList(chunk + 8, length, tags);
    }
    offset += 8 + static_cast<size_t>(length) + (length & 1);
  }

  if (!haveFormat) return AudioDecodeResult::Failure("malformed: no fmt chunk");
  if (samples == nullptr) {
    return AudioDecodeResult::Failure(offset < size ? "truncated: the file ends inside a chunk header"
                                                    : "no data chunk");
  }
  if (format.tag != kFormatPcm && format.tag != kFormatFloat) {
    char tag[8];
    std::snprintf(tag, sizeof(tag), "0x%04X", format.tag);
    return AudioDecodeResult::Failure(std::string("unsupported format: compressed WAVE (format tag ") + tag +
                                      "); only PCM and float are played");
  }
  const bool pcmBitsOk =
      format.tag == kFormatPcm && (format.bitsPerSample == 8 || format.bitsPerSample == 16 ||
                                   format.bitsPerSample == 24 || format.bitsPerSample == 32);
  const bool floatBitsOk = format.tag == kFormatFloat && format.bitsPerSample == 32;
  if (!pcmBitsOk && !floatBitsOk)
    return AudioDecodeResult::Failure("unsupported format: " + Describe(format));
  if (format.channels < 1 || format.channels > 2) {
    return AudioDecodeResult::Failure("unsupported format: " + std::to_string(format.channels) +
                                      " channels (mono and stereo are played)");
  }
  if (format.sampleRate < kMinSampleRate || format.sampleRate > kMaxSampleRate) {
    return AudioDecodeResult::Failure("unsupported format: sample rate " + std::to_string(format.sampleRate) +
                                      " Hz");
  }
  const size_t bytesPerSample = format.bitsPerSample / 8;
  const size_t frameBytes = bytesPerSample * format.channels;
  if (format.blockAlign != frameBytes)
    return AudioDecodeResult::Failure("malformed: block alignment mismatch");
  const size_t frames = sampleBytes / frameBytes;
  if (frames == 0) return AudioDecodeResult::Failure("no audio samples in the data chunk");

  AudioClip clip;
  clip.sampleRate = static_cast<int>(format.sampleRate);
  clip.channels = format.channels;
  clip.tags = std::move(tags);
  clip.samples.resize(frames * format.channels);
  for (size_t i = 0; i < clip.samples.size(); ++i) {
    clip.samples[i] = DecodeSample(samples + i * bytesPerSample, format);
  }
  return {std::move(clip), {}};
}

}  // namespace player_sim
