// One instance of the sample engine: the state behind an instance id, the
// answers to the host's messages, and one drawn frame per Step.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "AlbumArt.h"
#include "EngineRecords.h"
#include "FullScreenWindow.h"
#include "HostParameters.h"
#include "SceneRenderer.h"
#include "host/VisualAPI.h"

namespace sample_engine {

class EngineInstance final : private FullScreenListener {
 public:
  EngineInstance(HostCallback callback, void* context, const char* hostParameters);
  ~EngineInstance();
  EngineInstance(const EngineInstance&) = delete;
  EngineInstance& operator=(const EngineInstance&) = delete;

  int32_t SetTarget(void* target, int64_t extra, uint32_t flags);
  // Draws a frame; returns the milliseconds until the next Step.
  int32_t Step();
  int64_t Send(uint32_t code, void* data, int64_t size);

  static constexpr int32_t kFramePeriodMs = 16;
  static constexpr int kWaveformSize = 512;
  static constexpr int kSpectrumSize = 256;
  static constexpr int kBarCount = 48;

 private:
  void OnFullScreenKey(UINT virtualKey) override;
  void OnFullScreenCloseRequest() override;

  void EnterFullScreen();
  void LeaveFullScreen();
  void RequestFullScreen(bool wanted);
  int64_t HandleEvent(const InputEvent& event);
  void FetchAudio();
  float UpdateAutoGain();
  void UpdateBars();
  void UpdateFrameRate();
  void PublishProbe();
  void ClearProbe(HWND window);
  std::wstring StatusLine() const;

  HostCallback mCallback;
  void* mContext;
  HostParameters mParameters;
  std::wstring mHostName;
  bool mHostAudio;
  bool mMouse;

  HWND mTarget = nullptr;
  FullScreenWindow mFullScreen{*this};
  SceneRenderer mRenderer;
  AlbumArt mArt;
  TrackInfo mTrack;
  Insets mInsets;
  bool mInsetsKnown = false;
  int mScheme = 0;
  uint64_t mTrackVersion = 0;
  float mScopeGain = 1.0f;
  float mAutoGain = 1.0f;

  std::array<float, kWaveformSize> mWaveform{};
  int mWaveformCount = 0;
  std::array<float, kSpectrumSize> mSpectrum{};
  std::array<float, kBarCount> mBars{};
  std::array<float, kBarCount> mPeaks{};

  uint64_t mFrames = 0;
  uint64_t mSampleRequests = 0;
  std::chrono::steady_clock::time_point mRateWindowStart;
  uint64_t mRateWindowFrames = 0;
  int mFramesPerSecond = 0;
};

}  // namespace sample_engine
