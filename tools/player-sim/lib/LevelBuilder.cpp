#include "LevelBuilder.h"

#include <algorithm>
#include <cmath>

namespace player_sim {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kFloorDecibels = -72.0f;
constexpr double kTopFrequency = 22050.0;

float SampleAt(const AudioClip& clip, int64_t frame, int channel) {
  if (frame < 0 || static_cast<size_t>(frame) >= clip.FrameCount()) return 0.0f;
  const int source = std::min(channel, clip.channels - 1);
  return clip
      .samples[static_cast<size_t>(frame) * static_cast<size_t>(clip.channels) + static_cast<size_t>(source)];
}

void Fft(std::vector<std::complex<float>>& data) {
  const size_t n = data.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; (j & bit) != 0; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(data[i], data[j]);
  }
  for (size_t length = 2; length <= n; length <<= 1) {
    const float angle = -2.0f * kPi / static_cast<float>(length);
    const std::complex<float> step(std::cos(angle), std::sin(angle));
    for (size_t start = 0; start < n; start += length) {
      std::complex<float> twiddle(1.0f, 0.0f);
      for (size_t k = 0; k < length / 2; ++k) {
        const std::complex<float> even = data[start + k];
        const std::complex<float> odd = data[start + k + length / 2] * twiddle;
        data[start + k] = even + odd;
        data[start + k + length / 2] = even - odd;
        twiddle *= step;
      }
    }
  }
}

int64_t TimeStampOf(const AudioClip& clip, size_t position) {
  return clip.sampleRate > 0 ? static_cast<int64_t>(position) * 10000000LL / clip.sampleRate : 0;
}

}  // namespace

unsigned char ScaleMagnitude(float amplitude) {
  if (amplitude <= 0.0f) return 0;
  const float decibels = 20.0f * std::log10(amplitude);
  const float scaled = (decibels - kFloorDecibels) / -kFloorDecibels * 255.0f;
  return static_cast<unsigned char>(std::clamp(scaled, 0.0f, 255.0f));
}

LevelBuilder::LevelBuilder() : mBuffer(kFftSize) {
  for (int i = 0; i < kFftSize; ++i) {
    mWindow[i] =
        0.5f - 0.5f * std::cos(2.0f * kPi * static_cast<float>(i) / static_cast<float>(kFftSize - 1));
  }
}

void LevelBuilder::BuildSilence(PlayerState state, int64_t timeStamp, TimedLevel& levels) {
  std::fill(&levels.waveform[0][0], &levels.waveform[0][0] + 2 * SA_BUFFER_SIZE, 128);
  std::fill(&levels.frequency[0][0], &levels.frequency[0][0] + 2 * SA_BUFFER_SIZE, 0);
  levels.state = state;
  levels.timeStamp = timeStamp;
}

void LevelBuilder::Build(const AudioClip& clip, size_t position, PlayerState state, TimedLevel& levels) {
  levels.state = state;
  levels.timeStamp = TimeStampOf(clip, position);
  const int rows = clip.channels >= 2 ? 2 : 1;
  for (int channel = 0; channel < rows; ++channel) {
    for (int i = 0; i < SA_BUFFER_SIZE; ++i) {
      const float sample = SampleAt(clip, static_cast<int64_t>(position) - SA_BUFFER_SIZE + i, channel);
      const long byte = std::lround(std::clamp(sample, -1.0f, 1.0f) * 127.0f) + 128;
      levels.waveform[channel][i] = static_cast<unsigned char>(std::clamp(byte, 0L, 255L));
    }
    Spectrum(clip, position, channel, levels.frequency[channel]);
  }
  if (rows == 1) {
    std::copy(levels.waveform[0], levels.waveform[0] + SA_BUFFER_SIZE, levels.waveform[1]);
    std::copy(levels.frequency[0], levels.frequency[0] + SA_BUFFER_SIZE, levels.frequency[1]);
  }
}

void LevelBuilder::Spectrum(const AudioClip& clip, size_t position, int channel, unsigned char* cells) {
  for (int i = 0; i < kFftSize; ++i) {
    mBuffer[i] = {SampleAt(clip, static_cast<int64_t>(position) - kFftSize + i, channel) * mWindow[i], 0.0f};
  }
  Fft(mBuffer);
  // The Hann window halves a sinusoid's peak; the one-sided spectrum halves it again.
  const float normalise = 4.0f / static_cast<float>(kFftSize);
  const double binHz = static_cast<double>(clip.sampleRate) / kFftSize;
  for (int cell = 0; cell < SA_BUFFER_SIZE; ++cell) {
    // Cells run from about 20 Hz up to 22050 Hz whatever the sample rate.
    const double frequency = (cell + 1) * kTopFrequency / SA_BUFFER_SIZE;
    const auto bin = static_cast<size_t>(std::lround(frequency / binHz));
    cells[cell] =
        bin < static_cast<size_t>(kFftSize / 2) ? ScaleMagnitude(std::abs(mBuffer[bin]) * normalise) : 0;
  }
}

}  // namespace player_sim
