// Builds the player's audio frame (TimedLevel) from decoded audio, the way
// the player does: the latest 1024 samples of each channel as 8-bit waveform
// bytes, and a 1024-cell magnitude spectrum per channel scaled to 0-255.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "AudioClip.h"
#include "plugin/WmpEffects.h"

namespace player_sim {

class LevelBuilder {
 public:
  LevelBuilder();

  // The frame for the audio just before frame position `position` of the
  // clip; silence where the clip has no samples. Mono fills row 1 with a
  // copy of row 0.
  void Build(const AudioClip& clip, size_t position, PlayerState state, TimedLevel& levels);
  // Centre-line waveform and an empty spectrum.
  static void BuildSilence(PlayerState state, int64_t timeStamp, TimedLevel& levels);

  static constexpr int kFftSize = 2048;

 private:
  void Spectrum(const AudioClip& clip, size_t position, int channel, unsigned char* cells);

  std::array<float, kFftSize> mWindow{};
  std::vector<std::complex<float>> mBuffer;
};

// Spectrum cell value for a sinusoid amplitude (1.0 = full scale): a decibel
// scale from -72 dB (0) to 0 dB (255).
unsigned char ScaleMagnitude(float amplitude);

}  // namespace player_sim
