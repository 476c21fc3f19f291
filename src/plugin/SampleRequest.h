// The engine's 'GetS' request: the engine names how much it wants and where,
// the host writes back how much it gave. Bytes 0-3 and 24-31 are the
// engine's own and are never touched by the host.
#pragma once

#include <cstddef>
#include <cstdint>

struct SampleRequest {
  int32_t mEngineHeader;
  int32_t mWaveformCapacity;
  float* mWaveform;
  int32_t mWaveformCount;
  int32_t mSpectrumCapacity;
  int64_t mEngineReserved;
  float* mSpectrum;
  int32_t mSpectrumCount;
};

static_assert(offsetof(SampleRequest, mWaveformCapacity) == 4);
static_assert(offsetof(SampleRequest, mWaveform) == 8);
static_assert(offsetof(SampleRequest, mWaveformCount) == 16);
static_assert(offsetof(SampleRequest, mSpectrumCapacity) == 20);
static_assert(offsetof(SampleRequest, mEngineReserved) == 24);
static_assert(offsetof(SampleRequest, mSpectrum) == 32);
static_assert(offsetof(SampleRequest, mSpectrumCount) == 40);
