#include "plugin/PluginObject.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "host/EngineModule.h"
#include "host/VisualAPI.h"
#include "plugin/MediaItem.h"
#include "plugin/PlayerHost.h"
#include "runtime/ExitCallbacks.h"
#include "text/TextFunctions.h"

namespace {

// The product name follows the first '-' and ends at the first control
// character.
constexpr char kBuildMarker[] = "DebugBreak-Lumatide\n ..  dgj!f!! fgf";
constexpr int kProductNameBytes = 256;
char gProductName[kProductNameBytes];

constexpr char kMediaCenterExecutable[] = "\\EHSHELL.EXE";
constexpr int kExecutablePathChars = 512;

#define BC_HOST_PARAMS_PADDING "                          "
constexpr char kPlayerHostParams[] =
    "Host=\"Windows Media Player\" Realtime=1 FSFlags=2 Kybd=0 Mouse=1 HostAudio=1" BC_HOST_PARAMS_PADDING;
constexpr char kMediaCenterHostParams[] =
    "Host=\"Windows Media Center\" Realtime=1 FSFlags=0 Kybd=1 Mouse=1 HostAudio=1" BC_HOST_PARAMS_PADDING;
static_assert(sizeof(kPlayerHostParams) - 1 == PluginObject::kHostParamsLength);
static_assert(sizeof(kMediaCenterHostParams) - 1 == PluginObject::kHostParamsLength);

// Player play states that end the audio and the track.
constexpr LONG kStopped = 1;
constexpr LONG kMediaEnded = 8;
constexpr LONG kTransitioning = 9;

void RunExitCallbacksAtExit() {
  RunExitCallbacks();
}

void TakeProductNameOnce() {
  if (gProductName[0] != 0) return;
  std::atexit(RunExitCallbacksAtExit);
  const char* dash = std::strchr(kBuildMarker, '-');
  const char* name = dash ? dash + 1 : kBuildMarker;
  int length = 0;
  while (length < kProductNameBytes - 1 && static_cast<unsigned char>(name[length]) >= ' ') {
    gProductName[length] = name[length];
    ++length;
  }
  gProductName[length] = 0;
}

bool RunsInMediaCenter() {
  wchar_t path[kExecutablePathChars] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, kExecutablePathChars);
  UtilStr text;
  text.AppendWide(reinterpret_cast<const char16_t*>(path), static_cast<int>(length));
  return PluginObject::IsMediaCenterPath(text);
}

}  // namespace

PluginObject::PluginObject() : PluginObject(RunsInMediaCenter()) {}

PluginObject::PluginObject(bool mediaCenter)
    : mMediaCenter(mediaCenter), mRestartDelay(mediaCenter ? kMediaCenterRestartDelay : kPlayerRestartDelay) {
  TakeProductNameOnce();
  mHostParams.Assign(mMediaCenter ? kMediaCenterHostParams : kPlayerHostParams);

  PlayerHost* host = PlayerHost::Shared();
  if (host) {
    host->Retain();
  } else {
    host = new (std::nothrow) PlayerHost(mMediaCenter);
    if (!host) return;
    PlayerHost::MakeShared(host);
    // Only the first object of a process sets the host parameters.
    host->SetHostParameters(mHostParams.mText);
    EngineModule* module = new (std::nothrow) EngineModule();
    if (module) {
      module->SetProductName(ProductName());
      host->SetEngineModule(module);
      module->Release();
    }
  }
  mHost = host;
}

PluginObject::~PluginObject() {
  if (mHost) mHost->Release();
  mHost = nullptr;
  mConnectionPoint.reset();
  mCore.reset();
}

const char* PluginObject::ProductName() {
  TakeProductNameOnce();
  return gProductName;
}

bool PluginObject::IsMediaCenterPath(const UtilStr& executablePath) {
  return EndsWith(kMediaCenterExecutable, false, executablePath.mText, executablePath.mLength);
}

void PluginObject::Disconnect() {
  if (mConnectionPoint) {
    if (mAdviseCookie != 0) mConnectionPoint->Unadvise(mAdviseCookie);
    mAdviseCookie = 0;
    mConnectionPoint.reset();
  }
  mCore.reset();
}

HRESULT PluginObject::SetCore(std::unique_ptr<PlayerCore> core) {
  Disconnect();
  if (!core) return S_OK;
  mCore = std::move(core);
  std::unique_ptr<EventConnection> connection;
  const HRESULT found = mCore->FindEventConnection(&connection);
  if (FAILED(found)) return found;
  if (!connection) return E_UNEXPECTED;
  mConnectionPoint = std::move(connection);
  DWORD cookie = 0;
  const HRESULT advised = mConnectionPoint->Advise(&cookie);
  mAdviseCookie = SUCCEEDED(advised) ? cookie : 0;
  if (FAILED(advised) || mAdviseCookie == 0) mConnectionPoint.reset();
  return advised;
}

void PluginObject::RequestRestart() {
  if (!mHost) return;
  const HWND attached = mHost->GetWindow();
  if (attached && attached != mWindow) mHost->DetachWindow();
  if (mStartCountdown < mRestartDelay) mStartCountdown = mRestartDelay;
}

HRESULT PluginObject::Create(HWND window) {
  if (window != mWindow) {
    mWindow = window;
    RequestRestart();
  }
  return S_OK;
}

HRESULT PluginObject::Destroy() {
  mWindow = nullptr;
  if (!mHost) return S_OK;
  if (mHost->GetRefCount() > 1) {
    mHost->Release();
    mHost = nullptr;
  } else {
    mHost->StopEngine();
  }
  return S_OK;
}

HRESULT PluginObject::NotifyNewMedia(MediaItem* media) {
  if (mHost) mHost->UpdateTrack(media);
  return S_OK;
}

HRESULT PluginObject::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!mHost) {
    if (result) *result = 0;
    return S_FALSE;
  }
  bool handled = false;
  const int64_t value = mHost->HandleWindowMessage(message, wParam, lParam, &handled);
  if (result) *result = static_cast<LRESULT>(value);
  return handled ? S_OK : S_FALSE;
}

HRESULT PluginObject::RenderWindowed(const TimedLevel* levels) {
  if (!mHost) return S_OK;
  const bool mismatch = mHost->GetWindow() != mWindow;
  if (mStartCountdown > 0 || mismatch) {
    if (mStartCountdown > 0) --mStartCountdown;
    if (mStartCountdown != 0) {
      Sleep(1);
    } else {
      mHost->AttachWindow(mWindow, mFullscreenRequested ? kTargetFullScreen : 0, 0);
      mInsetsCountdown = kInsetsDelay;
    }
  } else if (mInsetsCountdown > 0) {
    if (--mInsetsCountdown == 0) mHost->SendInsets();
  }
  const bool playing = mCore && mCore->GetPlayState() == PlayerCore::kPlaying;
  mHost->HandOffAudio(levels, playing);
  return S_OK;
}

HRESULT PluginObject::GoFullscreen(bool fullScreen) {
  if (fullScreen != mFullscreenRequested) {
    mFullscreenRequested = fullScreen;
    RequestRestart();
  }
  return S_OK;
}

HRESULT PluginObject::SetCurrentPreset(LONG preset) {
  if (preset < 1) preset = 0;
  if (preset > kPresetCount - 1) preset = kPresetCount - 1;
  if (!mHost || preset == mHost->GetCurrentPreset()) return S_OK;
  mHost->SetCurrentPreset(preset);
  mHost->StopEngine();
  RequestRestart();
  return S_OK;
}

LONG PluginObject::GetCurrentPreset() const {
  return mHost ? mHost->GetCurrentPreset() : 0;
}

void PluginObject::OnPlayStateChange(LONG state) {
  if (!mHost || (state != kStopped && state != kMediaEnded && state != kTransitioning)) return;
  mHost->SilenceAudio();
  mHost->UpdateTrack(nullptr);
}

void PluginObject::OnPositionChange() {
  if (mHost) mHost->SilenceAudio();
}

void PluginObject::OnMediaChange(bool itemGiven) {
  if (!itemGiven || !mCore || !mHost) return;
  std::unique_ptr<MediaItem> media = mCore->GetCurrentMedia();
  if (media) mHost->UpdateTrack(media.get());
}
