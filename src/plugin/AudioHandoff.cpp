#include "plugin/AudioHandoff.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

namespace {

constexpr float kWaveformScale = 0.0027f;
// Two channels of unsigned samples centred on 127; the sum is recentred on 254.
constexpr int kWaveformCentre = 254;
constexpr float kSpectrumScale = 0.2f;

// The engine's capacities and destinations are not trusted: a negative
// capacity or a missing destination receives nothing.
int32_t Granted(int32_t capacity, const float* destination, int32_t available) {
  if (destination == nullptr || capacity <= 0) return 0;
  return std::min(capacity, available);
}

}  // namespace

void AudioHandoff::Convert(const TimedLevel& frame) {
  mSampleRequests = 0;
  // The frame's bytes may alias anything; restrict lets the loops vectorise.
  const unsigned char* __restrict left = frame.waveform[0];
  const unsigned char* __restrict right = frame.waveform[1];
  float* __restrict waveform = mWaveform;
  for (int i = 0; i < kWaveformSize; ++i) {
    waveform[i] = kWaveformScale * static_cast<float>(left[2 * i] + right[2 * i] - kWaveformCentre);
  }
  const unsigned char* __restrict leftBins = frame.frequency[0] + kSkippedBins;
  const unsigned char* __restrict rightBins = frame.frequency[1] + kSkippedBins;
  float* __restrict spectrum = mSpectrum;
  for (int i = 0; i < kSpectrumSize; ++i) {
    spectrum[i] = kSpectrumScale * static_cast<float>(leftBins[i] + rightBins[i]);
  }
}

void AudioHandoff::Silence() {
  mSampleRequests = 0;
  std::fill(std::begin(mWaveform), std::end(mWaveform), 0.0f);
  std::fill(std::begin(mSpectrum), std::end(mSpectrum), 0.0f);
}

bool AudioHandoff::ServeSamples(SampleRequest& request) {
  const int32_t offset = (mSampleRequests % 4) * kSliceSize;
  const int32_t waveformCount = Granted(request.mWaveformCapacity, request.mWaveform, kWaveformSize - offset);
  request.mWaveformCount = waveformCount;
  if (waveformCount > 0) std::memcpy(request.mWaveform, mWaveform + offset, waveformCount * sizeof(float));

  const int32_t spectrumCount = Granted(request.mSpectrumCapacity, request.mSpectrum, kSpectrumSize);
  request.mSpectrumCount = spectrumCount;
  if (spectrumCount > 0) std::memcpy(request.mSpectrum, mSpectrum, spectrumCount * sizeof(float));

  // An engine polling for ever without new frames must not overflow the
  // count; restarting at 4 keeps both the slice order and the stale state.
  mSampleRequests = mSampleRequests == INT32_MAX ? 4 : mSampleRequests + 1;
  return mSampleRequests < 2;
}
