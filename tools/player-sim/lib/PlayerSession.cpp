#include "PlayerSession.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "EffectCatalog.h"
#include "Utf8Text.h"

namespace player_sim {
namespace {

constexpr double kProgressInterval = 0.25;
constexpr double kTailAfterEnd = 0.5;  // keeps rendering briefly after the playlist ends
constexpr uint64_t kProbeEveryRenders = 4;

std::string HexResult(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::wstring ClassIdText(const CLSID& id) {
  wchar_t text[64] = L"";
  StringFromGUID2(id, text, 64);
  return text;
}

std::wstring Clock(double seconds) {
  const int tenths = static_cast<int>(std::max(0.0, seconds) * 10.0 + 0.5);
  wchar_t text[32];
  swprintf(text, 32, L"%02d:%02d.%d", tenths / 600, (tenths / 10) % 60, tenths % 10);
  return text;
}

// The engine's own full-screen window, when it has one in this process.
HWND FindEngineFullScreenWindow() {
  HWND window = FindWindowW(L"BCFullscreenWindowClass", nullptr);
  DWORD process = 0;
  if (window != nullptr) GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() && IsWindowVisible(window) ? window : nullptr;
}

void PostKey(HWND window, UINT virtualKey, wchar_t character) {
  if (window == nullptr) return;
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | static_cast<LPARAM>(scan) << 16;
  PostMessageW(window, WM_KEYDOWN, virtualKey, down);
  if (character != 0) PostMessageW(window, WM_CHAR, character, down);
  PostMessageW(window, WM_KEYUP, virtualKey, down | (1LL << 30) | (1LL << 31));
}

}  // namespace

PlayerSession::PlayerSession(SessionOptions options, std::vector<PlaylistItem> playlist)
    : mOptions(std::move(options)), mPlaylist(std::move(playlist)), mCore(SimCore::Create()) {}

PlayerSession::~PlayerSession() {
  ShutDown();
}

SessionReport PlayerSession::Run() {
  mReport.effectName = mOptions.effect;
  PlayerWindowLayout layout;
  layout.paneWidth = mOptions.paneWidth;
  layout.paneHeight = mOptions.paneHeight;
  layout.skinOverlay = mOptions.skinOverlay;
  layout.title = L"Player Simulator - " + mOptions.effect;
  if (!mWindow.Create(layout)) {
    const DWORD error = GetLastError();
    mReport.problem = std::string("the player's ") + mWindow.FailedStep() + " could not be created (error " +
                      std::to_string(error) + ")";
    // Seen under Wine when its desktop process was started without a display.
    if (error == ERROR_CLASS_DOES_NOT_EXIST) mReport.problem += "; the desktop has no display";
    return mReport;
  }
  mWindowCreated = true;
  mReport.playerRan = true;
  CreateEffect();
  if (!mPlaylist.empty()) StartItem(0);

  const double start = MonotonicSeconds();
  const double period = 1.0 / mOptions.fps;
  double nextRender = start;
  double nextScreenshot = mOptions.screenshotEvery > 0.0 ? mOptions.screenshotEvery : -1.0;
  size_t nextStep = 0;
  mLastAdvance = start;
  while (!mQuit) {
    const double now = MonotonicSeconds();
    const double at = now - start;
    if (mOptions.seconds > 0.0 ? at >= mOptions.seconds : (mEnded && at >= mEndedAt + kTailAfterEnd)) break;
    while (nextStep < mOptions.script.size() && mOptions.script[nextStep].atSeconds <= at) {
      RunScriptStep(mOptions.script[nextStep++], at);
    }
    if (now >= nextRender) {
      AdvancePosition(now);
      if (mEnded && mEndedAt == 0.0) mEndedAt = at;
      Render();
      nextRender += period;
      if (nextRender < now) nextRender = now + period;  // never try to catch up in a burst
    }
    if (nextScreenshot > 0.0 && at >= nextScreenshot) {
      TakeScreenshots(at);
      nextScreenshot += mOptions.screenshotEvery;
    }
    ShowProgress(at, false);

    const double wait = std::clamp(nextRender - MonotonicSeconds(), 0.0, 0.05);
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(wait * 1000.0), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) mQuit = true;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  mReport.wallSeconds = MonotonicSeconds() - start;
  ShowProgress(mReport.wallSeconds, true);
  if (mOptions.progress) std::fputs("\n", stdout);
  ShutDown();
  return mReport;
}

void PlayerSession::CreateEffect() {
  const std::optional<InstalledEffect> installed = FindInstalledEffect(mOptions.effect);
  if (!installed) {
    mReport.problem = "no visualization named \"" + Utf8(mOptions.effect) +
                      "\" is registered under HKLM\\SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects";
    return;
  }
  mReport.effectName = installed->name.empty() ? installed->key : installed->name;
  mReport.effectClassId = installed->classIdText;
  if (!installed->classId) {
    mReport.problem = "its classid \"" + Utf8(installed->classIdText) + "\" is not a class id";
    return;
  }
  ComPtr<IUnknown> object;
  const HRESULT created =
      CoCreateInstance(*installed->classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid());
  if (FAILED(created)) {
    mReport.problem =
        "creating " + Utf8(ClassIdText(*installed->classId)) + " failed with " + HexResult(created);
    return;
  }
  if (FAILED(object->QueryInterface(__uuidof(IWMPEffects), mEffect.PutVoid()))) {
    mReport.problem = "the object does not implement IWMPEffects";
    return;
  }
  object->QueryInterface(__uuidof(IWMPEffects2), mEffect2.PutVoid());
  mEffect->GetCapabilities(&mReport.capabilities);
  mReport.effectCreated = true;
  if (mEffect2) {
    mEffect2->SetCore(mCore.Get());
    mEffect2->Create(mWindow.Pane());
  }
}

void PlayerSession::StartItem(size_t index) {
  mItem = index;
  mPosition = 0.0;
  mEnded = false;
  mEndedAt = 0.0;
  ++mReport.itemsStarted;
  PlaylistItem& item = mPlaylist[index];
  // The order in which the player opens an item.
  mCore->SetPlayState(wmppsTransitioning);
  if (mEffect) {
    BSTR title = SysAllocString(item.media->Description().name.c_str());
    mEffect->MediaInfo(item.clip.channels, item.clip.sampleRate, title);
    SysFreeString(title);
  }
  if (mEffect2) mEffect2->NotifyNewMedia(item.media.Get());
  mCore->SetCurrentMedia(item.media.Get());
  mCore->SetPlayState(wmppsPlaying);
  mLastAdvance = MonotonicSeconds();
}

void PlayerSession::AdvancePosition(double now) {
  const double elapsed = now - mLastAdvance;
  mLastAdvance = now;
  if (mPlaylist.empty() || mCore->PlayState() != wmppsPlaying) return;
  const AudioClip& clip = mPlaylist[mItem].clip;
  mPosition += elapsed * clip.sampleRate;
  mReport.playedSeconds += elapsed;
  if (mPosition < static_cast<double>(clip.FrameCount())) return;
  if (mItem + 1 < mPlaylist.size()) {
    StartItem(mItem + 1);
    return;
  }
  mPosition = static_cast<double>(clip.FrameCount());
  mCore->SetPlayState(wmppsMediaEnded);
  mCore->SetPlayState(wmppsStopped);
  mEnded = true;
}

void PlayerSession::Render() {
  const WMPPlayState state = mCore->PlayState();
  if (state == wmppsPlaying && !mPlaylist.empty()) {
    mLevels.Build(mPlaylist[mItem].clip, static_cast<size_t>(mPosition), play_state, mFrame);
  } else {
    const int64_t stamp =
        mPlaylist.empty()
            ? 0
            : static_cast<int64_t>(mPosition * 1e7 / std::max(1, mPlaylist[mItem].clip.sampleRate));
    LevelBuilder::BuildSilence(state == wmppsPaused ? pause_state : stop_state, stamp, mFrame);
  }
  if (mEffect) {
    if (mFullScreen) {
      ++mReport.fullScreenRenderCalls;
      // A failing full-screen render sends the player back to windowed mode.
      if (FAILED(mEffect->RenderFullScreen(&mFrame))) LeaveFullScreen();
    } else if (mEffect2) {
      mEffect2->RenderWindowed(&mFrame, mRequiredRender ? TRUE : FALSE);
    } else {
      RECT area{};
      GetClientRect(mWindow.Pane(), &area);
      HDC dc = GetDC(mWindow.Pane());
      mEffect->Render(&mFrame, dc, &area);
      ReleaseDC(mWindow.Pane(), dc);
    }
    mRequiredRender = false;
    ++mReport.renderCalls;
  }
  if (mReport.renderCalls % kProbeEveryRenders == 0) ReadEngineProbe();
}

void PlayerSession::ReadEngineProbe() {
  HWND pane = mWindow.Pane();
  const uintptr_t state = sample_engine::ReadProbe(pane, sample_engine::kProbeState);
  const uintptr_t frames = sample_engine::ReadProbe(pane, sample_engine::kProbeFrames);
  if (state == 0 && frames == 0) return;
  mReport.probeSeen = true;
  mReport.engineState = state;
  mReport.engineFramesDrawn = frames;
  mReport.engineSampleRequests = sample_engine::ReadProbe(pane, sample_engine::kProbeSampleRequests);
  if ((state & sample_engine::kProbeStateInsets) != 0) {
    mReport.engineInsets =
        sample_engine::UnpackInsets(sample_engine::ReadProbe(pane, sample_engine::kProbeInsets));
  }
}

bool PlayerSession::OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!mEffect2) return false;
  return mEffect2->OnWindowMessage(message, wParam, lParam, result) == S_OK;
}

void PlayerSession::OnToggleFullScreen() {
  if (!mEffect || (mReport.capabilities & EFFECT_CANGOFULLSCREEN) == 0) return;
  if (mFullScreen) {
    LeaveFullScreen();
    return;
  }
  if (SUCCEEDED(mEffect->GoFullscreen(TRUE))) {
    mFullScreen = true;
    ++mReport.fullScreenTrips;
  }
}

void PlayerSession::LeaveFullScreen() {
  if (!mFullScreen) return;
  mFullScreen = false;
  mRequiredRender = true;
  if (mEffect) mEffect->GoFullscreen(FALSE);
}

void PlayerSession::OnTogglePause() {
  const WMPPlayState state = mCore->PlayState();
  if (state == wmppsPlaying) {
    AdvancePosition(MonotonicSeconds());
    mCore->SetPlayState(wmppsPaused);
  } else if (state == wmppsPaused) {
    mLastAdvance = MonotonicSeconds();
    mCore->SetPlayState(wmppsPlaying);
  }
}

void PlayerSession::OnSeek(double seconds) {
  if (mPlaylist.empty() || mEnded) return;
  const AudioClip& clip = mPlaylist[mItem].clip;
  const double old = mPosition / clip.sampleRate;
  mPosition =
      std::clamp(mPosition + seconds * clip.sampleRate, 0.0, static_cast<double>(clip.FrameCount() - 1));
  mCore->RaisePositionChange(old, mPosition / clip.sampleRate);
}

void PlayerSession::OnNextTrack() {
  if (mItem + 1 < mPlaylist.size()) StartItem(mItem + 1);
}

void PlayerSession::OnCloseRequest() {
  mQuit = true;
}

void PlayerSession::RunScriptStep(const ScriptAction& action, double at) {
  HWND focus = GetFocus() != nullptr ? GetFocus() : mWindow.Pane();
  switch (action.kind) {
    case ScriptActionKind::kToggleFullScreen:
      PostMessageW(mWindow.Main(), WM_SYSKEYDOWN, VK_RETURN, 1 | (1 << 29));
      break;
    case ScriptActionKind::kTogglePause:
      PostKey(mWindow.Pane(), VK_SPACE, L' ');
      break;
    case ScriptActionKind::kSeekBack:
      PostKey(mWindow.Pane(), VK_LEFT, 0);
      break;
    case ScriptActionKind::kSeekForward:
      PostKey(mWindow.Pane(), VK_RIGHT, 0);
      break;
    case ScriptActionKind::kNextTrack:
      PostKey(mWindow.Pane(), 'N', L'n');
      break;
    case ScriptActionKind::kEscape:
      PostKey(focus, VK_ESCAPE, 0x1B);
      break;
    case ScriptActionKind::kKey:
      PostKey(focus, static_cast<UINT>(std::towupper(action.key)), action.key);
      break;
    case ScriptActionKind::kClick: {
      RECT pane{};
      GetClientRect(mWindow.Pane(), &pane);
      const LPARAM point = MAKELPARAM(pane.right / 2, pane.bottom / 2);
      PostMessageW(mWindow.Pane(), WM_LBUTTONDOWN, MK_LBUTTON, point);
      PostMessageW(mWindow.Pane(), WM_LBUTTONUP, 0, point);
      break;
    }
    case ScriptActionKind::kCapture: {
      CapturedFrame frame;
      frame.atSeconds = at;
      if (std::optional<Picture> pane = CaptureClientArea(mWindow.Pane())) frame.pane = std::move(*pane);
      if (HWND fullScreen = FindEngineFullScreenWindow()) frame.fullScreen = CaptureClientArea(fullScreen);
      mReport.captures.push_back(std::move(frame));
      break;
    }
  }
}

void PlayerSession::TakeScreenshots(double at) {
  wchar_t stamp[32];
  swprintf(stamp, 32, L"%07.2fs", at);
  auto save = [&](Picture picture, const wchar_t* what) {
    mScreenshots.Write(mOptions.outDir + L"\\" + what + L"-" + stamp + L".png", std::move(picture));
  };
  if (std::optional<Picture> pane = CaptureClientArea(mWindow.Pane())) {
    if (HWND overlay = mWindow.Overlay()) {
      // The skin's bar is a window of its own; lay it over the picture as the screen shows it.
      RECT bar{};
      RECT paneRect{};
      GetWindowRect(overlay, &bar);
      GetWindowRect(mWindow.Pane(), &paneRect);
      if (std::optional<Picture> top = CaptureClientArea(overlay)) {
        BlendOver(*pane, *top, bar.left - paneRect.left, bar.top - paneRect.top, 200);
      }
    }
    save(std::move(*pane), L"pane");
  }
  if (HWND fullScreen = FindEngineFullScreenWindow()) {
    if (std::optional<Picture> picture = CaptureClientArea(fullScreen))
      save(std::move(*picture), L"fullscreen");
  }
}

void PlayerSession::ShowProgress(double at, bool force) {
  if (!force && at - mLastProgress < kProgressInterval) return;
  mLastProgress = at;
  const WMPPlayState state = mCore->PlayState();
  const wchar_t* stateText =
      state == wmppsPlaying ? L"playing" : (state == wmppsPaused ? L"paused " : L"stopped");
  double length = 0.0;
  double position = 0.0;
  std::wstring title;
  if (!mPlaylist.empty()) {
    const PlaylistItem& item = mPlaylist[mItem];
    length = item.clip.DurationSeconds();
    position = mPosition / item.clip.sampleRate;
    title = item.media->Description().name;
  }
  wchar_t figures[160];
  swprintf(figures, 160, L"render %llu  engine frames %llu%s",
           static_cast<unsigned long long>(mReport.renderCalls),
           static_cast<unsigned long long>(mWindow.PacingMessages()), mFullScreen ? L"  [full screen]" : L"");
  const std::wstring line = std::wstring(stateText) + L" " + Clock(position) + L" / " + Clock(length) +
                            L"  " + title + L"  " + figures;
  mWindow.SetStatus(line);
  if (mOptions.progress) {
    std::string text = Utf8(line);
    if (text.size() < 100) text.resize(100, ' ');
    std::fputs(("\r" + text).c_str(), stdout);
    std::fflush(stdout);
  }
}

void PlayerSession::ShutDown() {
  if (!mWindowCreated) return;
  mWindowCreated = false;
  mReport.pacingMessages = mWindow.PacingMessages();
  mReport.pacingSeconds =
      mReport.pacingMessages > 1 ? mWindow.LastPacingSeconds() - mWindow.FirstPacingSeconds() : 0.0;
  mReport.requestedPeriodMs = mReport.pacingMessages > 0 ? mWindow.LastPacingAnswer() : -1;
  ReadEngineProbe();
  if (mFullScreen && mEffect) mEffect->GoFullscreen(FALSE);
  mFullScreen = false;
  if (mEffect2) {
    mEffect2->Destroy();
    mEffect2->SetCore(nullptr);
  }
  mEffect2.Reset();
  mEffect.Reset();
  mReport.sinksLeftAdvised = mCore->AdvisedSinkCount();
  mScreenshots.Finish();
  mReport.screenshots = mScreenshots.Written();
  for (const std::wstring& path : mScreenshots.Failed()) {
    mReport.screenshotErrors.push_back(Utf8(path) + ": could not be written");
  }
}

}  // namespace player_sim
