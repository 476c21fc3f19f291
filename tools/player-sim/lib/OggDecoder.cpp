#include "OggDecoder.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <memory>
#include <string>

namespace player_sim {
namespace {

struct VorbisCloser {
  void operator()(stb_vorbis* decoder) const { stb_vorbis_close(decoder); }
};

constexpr int kChunkFrames = 4096;
constexpr uint8_t kEndOfStreamFlag = 0x04;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

void ReadComments(stb_vorbis* decoder, AudioTags& tags) {
  const stb_vorbis_comment comments = stb_vorbis_get_comment(decoder);
  for (int i = 0; i < comments.comment_list_length; ++i) {
    const std::string entry = comments.comment_list[i] != nullptr ? comments.comment_list[i] : "";
    const size_t equals = entry.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Upper(entry.substr(0, equals));
    const std::string value = entry.substr(equals + 1);
    if (key == "TITLE") tags.title = value;
    if (key == "ARTIST") tags.artist = value;
    if (key == "ALBUMARTIST") tags.albumArtist = value;
    if (key == "ALBUM") tags.album = value;
    if (key == "DATE" || key == "YEAR") tags.year = value;
    if (key == "GENRE") tags.genre = value;
  }
}

// Walks the pages: a whole file ends exactly after a page marked as the end
// of its stream.
bool EndsWithCompleteLastPage(const uint8_t* data, size_t size) {
  size_t offset = 0;
  uint8_t lastFlags = 0;
  while (offset < size) {
    if (size - offset < 27 || std::memcmp(data + offset, "OggS", 4) != 0) return false;
    const size_t segments = data[offset + 26];
    if (size - offset < 27 + segments) return false;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += data[offset + 27 + i];
    if (size - offset - 27 - segments < body) return false;
    lastFlags = data[offset + 5];
    offset += 27 + segments + body;
  }
  return (lastFlags & kEndOfStreamFlag) != 0;
}

bool StartsWithVorbisIdentification(const uint8_t* data, size_t size) {
  if (size < 27) return false;
  const size_t packet = 27 + static_cast<size_t>(data[26]);
  return size >= packet + 7 && std::memcmp(data + packet, "\x01vorbis", 7) == 0;
}

}  // namespace

bool LooksLikeOgg(const uint8_t* data, size_t size) {
  return size >= 4 && std::memcmp(data, "OggS", 4) == 0;
}

AudioDecodeResult DecodeOggVorbis(const uint8_t* data, size_t size) {
  if (!LooksLikeOgg(data, size)) return AudioDecodeResult::Failure("not an Ogg file");
  if (size > static_cast<size_t>(INT_MAX))
    return AudioDecodeResult::Failure("unsupported: file larger than 2 GB");
  if (!StartsWithVorbisIdentification(data, size)) {
    return AudioDecodeResult::Failure(size < 64 ? "truncated: the first Ogg page is cut short"
                                                : "unsupported format: an Ogg stream that is not Vorbis");
  }
  if (!EndsWithCompleteLastPage(data, size)) {
    return AudioDecodeResult::Failure("truncated: the Ogg stream ends before its last page");
  }
  int error = 0;
  std::unique_ptr<stb_vorbis, VorbisCloser> decoder(
      stb_vorbis_open_memory(data, static_cast<int>(size), &error, nullptr));
  if (!decoder) {
    return AudioDecodeResult::Failure("damaged Vorbis headers (stb_vorbis error " + std::to_string(error) +
                                      ")");
  }
  const stb_vorbis_info info = stb_vorbis_get_info(decoder.get());
  if (info.channels < 1 || info.channels > 2) {
    return AudioDecodeResult::Failure("unsupported format: " + std::to_string(info.channels) +
                                      " channels (mono and stereo are played)");
  }
  AudioClip clip;
  clip.sampleRate = static_cast<int>(info.sample_rate);
  clip.channels = info.channels;
  ReadComments(decoder.get(), clip.tags);

  std::vector<float> chunk(static_cast<size_t>(kChunkFrames) * static_cast<size_t>(info.channels));
  for (;;) {
    const int frames = stb_vorbis_get_samples_float_interleaved(decoder.get(), info.channels, chunk.data(),
                                                                static_cast<int>(chunk.size()));
    if (frames <= 0) break;
    clip.samples.insert(clip.samples.end(), chunk.begin(), chunk.begin() + frames * info.channels);
  }
  if (clip.FrameCount() == 0) return AudioDecodeResult::Failure("no audio samples in the stream");
  return {std::move(clip), {}};
}

}  // namespace player_sim
