#include "EngineInstance.h"

#include <algorithm>
#include <cmath>

#include "SampleEngineProbe.h"
#include "runtime/ResultCodes.h"

namespace sample_engine {
namespace {

// Waveform values from the host lie within about +-0.69; spectrum values
// within 0 ... 102.
constexpr float kSpectrumFullScale = 102.0f;
constexpr float kBarDecay = 0.88f;
constexpr float kPeakFall = 0.01f;
constexpr float kGainStep = 1.25f;
constexpr float kMinGain = 0.25f;
constexpr float kMaxGain = 4.0f;
constexpr char16_t kEscape = 0x1B;
constexpr float kAutoGainLevel = 0.55f;
constexpr float kAutoGainFloor = 0.01f;
constexpr float kMaxAutoGain = 4.0f;
constexpr float kAutoGainSmoothing = 0.15f;
constexpr uint64_t kProbeEveryFrames = 8;

// Bar k covers spectrum cells [edge(k), edge(k + 1)): at least one cell each,
// wider towards the high end, the last edge at 256.
int BarEdge(int k, int barCount, int cellCount) {
  const double spread = std::pow(2.0, 8.0 * k / barCount) - 1.0;
  return k + static_cast<int>((cellCount - barCount) * spread / 255.0);
}

std::wstring Widen(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

}  // namespace

EngineInstance::EngineInstance(HostCallback callback, void* context, const char* hostParameters)
    : mCallback(callback),
      mContext(context),
      mParameters(HostParameters::Parse(hostParameters)),
      mHostName(Widen(mParameters.Text("Host", "host"))),
      mHostAudio(mParameters.Integer("HostAudio", 1) != 0),
      mMouse(mParameters.Integer("Mouse", 1) != 0),
      mRateWindowStart(std::chrono::steady_clock::now()) {}

EngineInstance::~EngineInstance() {
  mFullScreen.Close();
  ClearProbe(mTarget);
}

int32_t EngineInstance::SetTarget(void* target, int64_t /*extra*/, uint32_t flags) {
  // Kinds 0x1, 0x2 and 0x100 name targets this engine cannot draw into;
  // anything else is taken as a window handle.
  const bool windowKind = (flags & kTargetWindow) != 0 || (flags & 0x103) == 0;
  if (!windowKind) return kErrNotHandled;
  HWND window = static_cast<HWND>(target);
  if (window == nullptr) {
    LeaveFullScreen();
    ClearProbe(mTarget);
    mTarget = nullptr;
    return kOk;
  }
  if (!IsWindow(window)) return kErrBadArgument;
  if (window != mTarget) {
    ClearProbe(mTarget);
    mTarget = window;
  }
  if ((flags & kTargetFullScreen) != 0) {
    EnterFullScreen();
  } else {
    LeaveFullScreen();
  }
  PublishProbe();
  return kOk;
}

int32_t EngineInstance::Step() {
  if (mTarget == nullptr) return kFramePeriodMs;
  FetchAudio();
  UpdateBars();
  UpdateFrameRate();

  const bool fullScreen = mFullScreen.Handle() != nullptr;
  SceneContent content;
  content.waveform = mWaveform.data();
  content.waveformCount = mWaveformCount;
  content.bars = mBars.data();
  content.peaks = mPeaks.data();
  content.barCount = kBarCount;
  content.scopeGain = mScopeGain * UpdateAutoGain();
  content.track = &mTrack;
  content.art = &mArt;
  // The full-screen window is ours and nothing covers it.
  content.insets = fullScreen ? Insets{} : mInsets;
  content.scheme = &ColourSchemeAt(mScheme);
  content.trackVersion = mTrackVersion;
  content.status = StatusLine();
  if (mRenderer.Draw(fullScreen ? mFullScreen.Handle() : mTarget, content)) ++mFrames;
  // Window properties cost a trip to the window system each: not every frame.
  if (mFrames % kProbeEveryFrames == 0) PublishProbe();
  return kFramePeriodMs;
}

int64_t EngineInstance::Send(uint32_t code, void* data, int64_t /*size*/) {
  switch (code) {
    case kCodeTrack:
      if (data == nullptr) return kErrBadArgument;
      if (!DecodeTrackRecord(data, mTrack)) mTrack = TrackInfo{};
      ++mTrackVersion;
      PublishProbe();
      return kOk;
    case kCodeCoverArt: {
      if (data == nullptr) return kErrBadArgument;
      const std::string path = DecodeCoverArtRecord(data);
      if (path.empty()) {
        mArt.Clear();
      } else {
        mArt.Load(path);
      }
      ++mTrackVersion;
      PublishProbe();
      return kOk;
    }
    case kCodeInsets:
      if (data == nullptr) return kErrBadArgument;
      mInsets = DecodeInsetsRecord(data);
      mInsetsKnown = true;
      PublishProbe();
      return kOk;
    case kCodeEvent:
      if (data == nullptr) return kErrBadArgument;
      return HandleEvent(DecodeEventRecord(data));
    case kCodeGetFullScreen:
      return mFullScreen.Handle() != nullptr ? 1 : 0;
    default:
      return kErrNotHandled;
  }
}

int64_t EngineInstance::HandleEvent(const InputEvent& event) {
  const bool release = (event.flags & kEventRelease) != 0;
  if ((event.flags & kEventWheel) != 0) {
    mScopeGain =
        std::clamp(mScopeGain * std::pow(kGainStep, static_cast<float>(-event.wheelY)), kMinGain, kMaxGain);
    return kOk;
  }
  if ((event.flags & kEventDoubleClick) != 0) {
    RequestFullScreen(mFullScreen.Handle() == nullptr);
    return kOk;
  }
  if ((event.flags & kEventLeftButton) != 0) {
    if (!mMouse) return kErrEventUnused;
    if (!release) ++mScheme;
    return kOk;
  }
  if (release || (event.flags & (kEventCtrl | kEventAlt)) != 0) return kErrEventUnused;
  switch (event.character) {
    case u'c':
    case u'C':
      ++mScheme;
      return kOk;
    case u'f':
    case u'F':
      RequestFullScreen(mFullScreen.Handle() == nullptr);
      return kOk;
    case kEscape:
      if (mFullScreen.Handle() == nullptr) return kErrEventUnused;
      RequestFullScreen(false);
      return kOk;
    case kKeyUp:
      mScopeGain = std::min(kMaxGain, mScopeGain * kGainStep);
      return kOk;
    case kKeyDown:
      mScopeGain = std::max(kMinGain, mScopeGain / kGainStep);
      return kOk;
    default:
      return kErrEventUnused;
  }
}

void EngineInstance::OnFullScreenKey(UINT virtualKey) {
  switch (virtualKey) {
    case VK_ESCAPE:
    case 'F':
      RequestFullScreen(false);
      break;
    case 'C':
      ++mScheme;
      break;
    case VK_UP:
      mScopeGain = std::min(kMaxGain, mScopeGain * kGainStep);
      break;
    case VK_DOWN:
      mScopeGain = std::max(kMinGain, mScopeGain / kGainStep);
      break;
    default:
      break;
  }
}

void EngineInstance::OnFullScreenCloseRequest() {
  RequestFullScreen(false);
}

void EngineInstance::EnterFullScreen() {
  const bool wasOpen = mFullScreen.Handle() != nullptr;
  if (!mFullScreen.Open(mTarget) || wasOpen) return;
  static int32_t began = 1;
  if (mCallback != nullptr) mCallback(mContext, kCodeFullScreenStarted, &began, 0);
}

void EngineInstance::LeaveFullScreen() {
  if (mFullScreen.Handle() == nullptr) return;
  mFullScreen.Close();
  static int32_t ended = 1;
  if (mCallback != nullptr) mCallback(mContext, kCodeFullScreenEnded, &ended, 0);
}

void EngineInstance::RequestFullScreen(bool wanted) {
  if (mCallback == nullptr) return;
  static int32_t wantedMarker = 1;
  const int32_t result = mCallback(mContext, kCodeFullScreenWanted, wanted ? &wantedMarker : nullptr, 0);
  // A host that cannot take the player out of full screen must not leave
  // the user stuck behind a topmost window.
  if (!wanted && result != kOk) LeaveFullScreen();
}

void EngineInstance::FetchAudio() {
  mWaveformCount = 0;
  SampleRequest request{};
  request.recordSize = sizeof(request);
  request.waveformCapacity = kWaveformSize;
  request.waveform = mWaveform.data();
  request.spectrumCapacity = kSpectrumSize;
  request.spectrum = mSpectrum.data();
  if (!mHostAudio || mCallback == nullptr) {
    mSpectrum.fill(0.0f);
    return;
  }
  ++mSampleRequests;
  if (mCallback(mContext, kCodeGetSamples, &request, sizeof(request)) != kOk) {
    mSpectrum.fill(0.0f);
    return;
  }
  mWaveformCount = std::clamp(request.waveformCount, 0, kWaveformSize);
  const int spectrumCount = std::clamp(request.spectrumCount, 0, kSpectrumSize);
  std::fill(mSpectrum.begin() + spectrumCount, mSpectrum.end(), 0.0f);
}

float EngineInstance::UpdateAutoGain() {
  float peak = 0.0f;
  for (int i = 0; i < mWaveformCount; ++i) peak = std::max(peak, std::abs(mWaveform[i]));
  // Quiet passages are drawn larger; silence keeps the gain and stays a flat line.
  const float target =
      peak > kAutoGainFloor ? std::clamp(kAutoGainLevel / peak, 1.0f, kMaxAutoGain) : mAutoGain;
  mAutoGain += (target - mAutoGain) * kAutoGainSmoothing;
  return mAutoGain;
}

void EngineInstance::UpdateBars() {
  for (int k = 0; k < kBarCount; ++k) {
    const int first = BarEdge(k, kBarCount, kSpectrumSize);
    const int last = std::min(kSpectrumSize, BarEdge(k + 1, kBarCount, kSpectrumSize));
    float loudest = 0.0f;
    for (int cell = first; cell < last; ++cell) loudest = std::max(loudest, mSpectrum[cell]);
    const float level = std::clamp(loudest / kSpectrumFullScale, 0.0f, 1.0f);
    mBars[k] = std::max(level, mBars[k] * kBarDecay);
    mPeaks[k] = std::max(mBars[k], mPeaks[k] - kPeakFall);
  }
}

void EngineInstance::UpdateFrameRate() {
  ++mRateWindowFrames;
  const auto now = std::chrono::steady_clock::now();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - mRateWindowStart).count();
  if (elapsed < 1000) return;
  mFramesPerSecond = static_cast<int>(mRateWindowFrames * 1000 / static_cast<uint64_t>(elapsed));
  mRateWindowFrames = 0;
  mRateWindowStart = now;
}

std::wstring EngineInstance::StatusLine() const {
  std::wstring status = mHostName + L"  \u00B7  " + ColourSchemeAt(mScheme).name;
  if (mFramesPerSecond > 0) status += L"  \u00B7  " + std::to_wstring(mFramesPerSecond) + L" fps";
  return status;
}

void EngineInstance::PublishProbe() {
  if (mTarget == nullptr) return;
  uintptr_t state = 0;
  if (!mTrack.title.empty()) state |= kProbeStateTrack;
  if (mArt.IsLoaded()) state |= kProbeStateArt;
  if (mFullScreen.Handle() != nullptr) state |= kProbeStateFullScreen;
  if (mInsetsKnown) state |= kProbeStateInsets;
  auto publish = [this](const wchar_t* name, uintptr_t value) {
    SetPropW(mTarget, name, reinterpret_cast<HANDLE>(value));
  };
  publish(kProbeFrames, static_cast<uintptr_t>(mFrames));
  publish(kProbeSampleRequests, static_cast<uintptr_t>(mSampleRequests));
  publish(kProbeInsets,
          static_cast<uintptr_t>(PackInsets(mInsets.left, mInsets.top, mInsets.right, mInsets.bottom)));
  publish(kProbeState, state);
}

void EngineInstance::ClearProbe(HWND window) {
  if (window == nullptr || !IsWindow(window)) return;
  for (const wchar_t* name : {kProbeFrames, kProbeSampleRequests, kProbeInsets, kProbeState}) {
    RemovePropW(window, name);
  }
}

}  // namespace sample_engine
