#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AllocationCounter.h"
#include "plugin/AudioHandoff.h"

namespace {

TimedLevel UniformFrame(unsigned char left, unsigned char right, unsigned char leftBin,
                        unsigned char rightBin) {
  TimedLevel frame{};
  std::memset(frame.waveform[0], left, SA_BUFFER_SIZE);
  std::memset(frame.waveform[1], right, SA_BUFFER_SIZE);
  std::memset(frame.frequency[0], leftBin, SA_BUFFER_SIZE);
  std::memset(frame.frequency[1], rightBin, SA_BUFFER_SIZE);
  return frame;
}

// Every byte different, so a wrong index or stride shows.
TimedLevel RampFrame() {
  TimedLevel frame{};
  for (int i = 0; i < SA_BUFFER_SIZE; ++i) {
    frame.waveform[0][i] = static_cast<unsigned char>(i * 7);
    frame.waveform[1][i] = static_cast<unsigned char>(i * 3 + 1);
    frame.frequency[0][i] = static_cast<unsigned char>(i);
    frame.frequency[1][i] = static_cast<unsigned char>(255 - i);
  }
  return frame;
}

struct Buffers {
  std::vector<float> waveform = std::vector<float>(1024, -99.0f);
  std::vector<float> spectrum = std::vector<float>(1024, -99.0f);

  SampleRequest Request(int32_t waveformCapacity, int32_t spectrumCapacity) {
    SampleRequest request{};
    request.mWaveformCapacity = waveformCapacity;
    request.mWaveform = waveform.data();
    request.mSpectrumCapacity = spectrumCapacity;
    request.mSpectrum = spectrum.data();
    request.mWaveformCount = -1;
    request.mSpectrumCount = -1;
    return request;
  }
};

TEST(AudioHandoff, ConvertsUniformFramesToTheDocumentedValues) {
  struct Case {
    unsigned char left, right, leftBin, rightBin;
    float waveform, spectrum;
  };
  const Case cases[] = {
      {128, 128, 0, 0, 0.0054f, 0.0f},  // centre is 254, not 256
      {255, 255, 255, 255, 0.6912f, 102.0f},
      {0, 0, 10, 20, -0.6858f, 6.0f},
      {127, 127, 1, 0, 0.0f, 0.2f},
  };
  for (const Case& c : cases) {
    AudioHandoff audio;
    audio.Convert(UniformFrame(c.left, c.right, c.leftBin, c.rightBin));
    for (int i = 0; i < AudioHandoff::kWaveformSize; ++i) {
      ASSERT_FLOAT_EQ(audio.Waveform()[i], c.waveform)
          << "bytes " << int(c.left) << "," << int(c.right) << " i=" << i;
    }
    for (int i = 0; i < AudioHandoff::kSpectrumSize; ++i) {
      ASSERT_FLOAT_EQ(audio.Spectrum()[i], c.spectrum) << "bins " << int(c.leftBin) << "," << int(c.rightBin);
    }
  }
}

TEST(AudioHandoff, TakesEverySecondSampleAndSkipsTheLowestBins) {
  const TimedLevel frame = RampFrame();
  AudioHandoff audio;
  audio.Convert(frame);
  for (int i = 0; i < AudioHandoff::kWaveformSize; ++i) {
    const int sum = frame.waveform[0][2 * i] + frame.waveform[1][2 * i] - 254;
    ASSERT_FLOAT_EQ(audio.Waveform()[i], 0.0027f * static_cast<float>(sum)) << "i=" << i;
  }
  for (int i = 0; i < AudioHandoff::kSpectrumSize; ++i) {
    const int sum = frame.frequency[0][i + 24] + frame.frequency[1][i + 24];
    ASSERT_FLOAT_EQ(audio.Spectrum()[i], 0.2f * static_cast<float>(sum)) << "i=" << i;
  }
}

TEST(AudioHandoff, SuccessiveRequestsSeeSuccessiveSlices) {
  struct Step {
    int32_t waveformCapacity, spectrumCapacity;
    int32_t count, firstSample, spectrumCount;
    bool freshAfter;
  };
  const Step steps[] = {
      {1024, 1024, 512, 0, 256, true},   {1024, 1024, 384, 128, 256, false}, {100, 10, 100, 256, 10, false},
      {1024, 256, 128, 384, 256, false}, {1024, 1024, 512, 0, 256, false},   {512, 255, 384, 128, 255, false},
  };
  AudioHandoff audio;
  audio.Convert(RampFrame());
  int index = 0;
  for (const Step& s : steps) {
    Buffers buffers;
    SampleRequest request = buffers.Request(s.waveformCapacity, s.spectrumCapacity);
    const bool fresh = audio.ServeSamples(request);
    EXPECT_EQ(request.mWaveformCount, s.count) << "request " << index;
    EXPECT_EQ(request.mSpectrumCount, s.spectrumCount) << "request " << index;
    EXPECT_EQ(fresh, s.freshAfter) << "request " << index;
    EXPECT_EQ(0,
              std::memcmp(buffers.waveform.data(), audio.Waveform() + s.firstSample, s.count * sizeof(float)))
        << "request " << index;
    EXPECT_EQ(0, std::memcmp(buffers.spectrum.data(), audio.Spectrum(), s.spectrumCount * sizeof(float)))
        << "request " << index;
    EXPECT_EQ(buffers.waveform[s.count], -99.0f) << "wrote past the count, request " << index;
    EXPECT_EQ(buffers.spectrum[s.spectrumCount], -99.0f) << "wrote past the count, request " << index;
    ++index;
  }
}

TEST(AudioHandoff, SilenceAndNewFramesRestartTheSlices) {
  AudioHandoff audio;
  audio.Convert(UniformFrame(255, 255, 255, 255));
  Buffers buffers;
  SampleRequest request = buffers.Request(1024, 1024);
  audio.ServeSamples(request);
  audio.ServeSamples(request);
  audio.Silence();
  EXPECT_EQ(audio.SampleRequests(), 0);
  EXPECT_TRUE(audio.ServeSamples(request));
  EXPECT_EQ(request.mWaveformCount, 512);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(buffers.waveform[i], 0.0f) << "i=" << i;
  for (int i = 0; i < 256; ++i) ASSERT_EQ(buffers.spectrum[i], 0.0f) << "i=" << i;
}

TEST(AudioHandoff, UntrustedRequestsNeverWriteOutOfBounds) {
  struct Case {
    const char* what;
    int32_t waveformCapacity, spectrumCapacity;
    bool nullWaveform, nullSpectrum;
    int32_t count, spectrumCount;
  };
  const Case cases[] = {
      {"negative capacities", -1, -5000, false, false, 0, 0},
      {"minimum capacities", INT32_MIN, INT32_MIN, false, false, 0, 0},
      {"null destinations", 1024, 1024, true, true, 0, 0},
      {"null waveform only", 1024, 1024, true, false, 0, 256},
      {"zero capacities", 0, 0, false, false, 0, 0},
      {"huge capacities", INT32_MAX, INT32_MAX, false, false, 512, 256},
  };
  for (const Case& c : cases) {
    AudioHandoff audio;
    audio.Convert(RampFrame());
    Buffers buffers;
    SampleRequest request = buffers.Request(c.waveformCapacity, c.spectrumCapacity);
    if (c.nullWaveform) request.mWaveform = nullptr;
    if (c.nullSpectrum) request.mSpectrum = nullptr;
    request.mEngineHeader = 0x11223344;
    request.mEngineReserved = 0x5566778899AABBCCll;
    audio.ServeSamples(request);
    EXPECT_EQ(request.mWaveformCount, c.count) << c.what;
    EXPECT_EQ(request.mSpectrumCount, c.spectrumCount) << c.what;
    EXPECT_EQ(buffers.waveform[c.count], -99.0f) << c.what;
    EXPECT_EQ(buffers.spectrum[c.spectrumCount], -99.0f) << c.what;
    EXPECT_EQ(request.mEngineHeader, 0x11223344) << c.what;
    EXPECT_EQ(request.mEngineReserved, 0x5566778899AABBCCll) << c.what;
  }
}

TEST(AudioHandoff, FramesAndRequestsAllocateNothing) {
  AudioHandoff audio;
  const TimedLevel frame = RampFrame();
  Buffers buffers;
  SampleRequest request = buffers.Request(512, 256);
  allocation_counter::Scope scope;
  for (int frameIndex = 0; frameIndex < 100; ++frameIndex) {
    audio.Convert(frame);
    for (int i = 0; i < 4; ++i) audio.ServeSamples(request);
    audio.Silence();
  }
  EXPECT_EQ(scope.Made(), 0);
}

}  // namespace
