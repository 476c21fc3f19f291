// One player frame of host work: the hand-off of one TimedLevel and the four
// 'GetS' requests that the engine makes before the next one, beside memcpy of
// the same bytes in and out.
#include <benchmark/benchmark.h>

#include <cstring>

#include "plugin/AudioHandoff.h"

namespace {

constexpr int kRequestsPerFrame = 4;

TimedLevel NoisyFrame() {
  TimedLevel frame{};
  unsigned seed = 12345;
  for (auto& row : frame.waveform) {
    for (unsigned char& cell : row)
      cell = static_cast<unsigned char>((seed = seed * 1103515245 + 12345) >> 16);
  }
  for (auto& row : frame.frequency) {
    for (unsigned char& cell : row)
      cell = static_cast<unsigned char>((seed = seed * 1103515245 + 12345) >> 16);
  }
  return frame;
}

void BM_PlayerFrameHostWork(benchmark::State& state) {
  AudioHandoff audio;
  const TimedLevel frame = NoisyFrame();
  float waveform[AudioHandoff::kWaveformSize];
  float spectrum[AudioHandoff::kSpectrumSize];
  SampleRequest request{};
  request.mWaveform = waveform;
  request.mSpectrum = spectrum;
  for (auto _ : state) {
    audio.Convert(frame);
    for (int i = 0; i < kRequestsPerFrame; ++i) {
      request.mWaveformCapacity = AudioHandoff::kWaveformSize;
      request.mSpectrumCapacity = AudioHandoff::kSpectrumSize;
      audio.ServeSamples(request);
      benchmark::DoNotOptimize(waveform);
      benchmark::DoNotOptimize(spectrum);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PlayerFrameHostWork);

// The same bytes moved without any arithmetic: the frame's rows in, and the
// four requests' slices (512, 384, 256, 128 samples) and spectra out.
void BM_PlayerFrameMemcpy(benchmark::State& state) {
  const TimedLevel frame = NoisyFrame();
  static TimedLevel copy;
  float buffer[AudioHandoff::kWaveformSize + AudioHandoff::kSpectrumSize] = {};
  float waveform[AudioHandoff::kWaveformSize];
  float spectrum[AudioHandoff::kSpectrumSize];
  for (auto _ : state) {
    std::memcpy(&copy, &frame, sizeof(frame));
    benchmark::DoNotOptimize(&copy);
    for (int i = 0; i < kRequestsPerFrame; ++i) {
      const int offset = i * AudioHandoff::kSliceSize;
      std::memcpy(waveform, buffer + offset, (AudioHandoff::kWaveformSize - offset) * sizeof(float));
      std::memcpy(spectrum, buffer + AudioHandoff::kWaveformSize, sizeof(spectrum));
      benchmark::DoNotOptimize(waveform);
      benchmark::DoNotOptimize(spectrum);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PlayerFrameMemcpy);

}  // namespace
