// Decoded audio as the simulator plays it: interleaved float samples in
// -1 ... 1, one or two channels, and the tags that came with the file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace player_sim {

// UTF-8 text; empty when the source has no such tag.
struct AudioTags {
  std::string title;
  std::string artist;
  std::string albumArtist;
  std::string album;
  std::string year;
  std::string genre;
};

struct AudioClip {
  int sampleRate = 0;
  int channels = 0;
  std::vector<float> samples;
  AudioTags tags;

  size_t FrameCount() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
  double DurationSeconds() const {
    return sampleRate > 0 ? static_cast<double>(FrameCount()) / sampleRate : 0.0;
  }
};

// A decoder's answer: the clip, or why there is none.
struct AudioDecodeResult {
  std::optional<AudioClip> clip;
  std::string error;

  static AudioDecodeResult Failure(std::string reason) { return {std::nullopt, std::move(reason)}; }
};

}  // namespace player_sim
