// Turns the player's audio frames into the mono waveform and spectrum that the
// engine fetches with 'GetS', at its own pace. Fixed-size buffers only: this
// runs on every player frame and every engine frame.
#pragma once

#include <cstdint>

#include "plugin/SampleRequest.h"
#include "plugin/TimedLevel.h"

class AudioHandoff {
 public:
  static constexpr int kWaveformSize = 512;
  static constexpr int kSpectrumSize = 256;
  // Successive requests between two frames see successive waveform slices.
  static constexpr int kSliceSize = 128;
  static constexpr int kSkippedBins = 24;

  // Both leave fresh audio waiting for the engine.
  void Convert(const TimedLevel& frame);
  void Silence();

  // Fills the request from the buffers; answers whether fresh audio is still
  // waiting afterwards (through the first request after a frame only).
  bool ServeSamples(SampleRequest& request);

  const float* Waveform() const { return mWaveform; }
  const float* Spectrum() const { return mSpectrum; }
  int32_t SampleRequests() const { return mSampleRequests; }

 private:
  int32_t mSampleRequests = 0;
  float mWaveform[kWaveformSize] = {};
  float mSpectrum[kSpectrumSize] = {};
};
