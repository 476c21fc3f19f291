#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeEngine.h"
#include "FakePlayerCore.h"
#include "PluginTestSupport.h"
#include "plugin/InsetsCalculator.h"
#include "plugin/PluginObject.h"
#include "plugin/SampleRequest.h"
#include "plugin/TrackRecords.h"

namespace {

constexpr UINT kPacingMessage = WM_MBUTTONDBLCLK;
constexpr LPARAM kPacingParam = 0xDEADBEEF;

class PluginObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { FakeEngine::Instance().Reset(); }
  void TearDown() override {
    EXPECT_EQ(PlayerHost::Shared(), nullptr) << "a test left the shared host alive";
  }

  FakeEngine& engine = FakeEngine::Instance();
  TestWindow pane{100, 100, 640, 480};
  TimedLevel levels = UniformLevels(200, 10);
};

TEST_F(PluginObjectTest, AttachesOnTheDelayedRenderCallWithTheHostText) {
  struct Case {
    bool mediaCenter;
    int expectedCall;
    const char* hostText;
  };
  const Case cases[] = {
      {false, 3, "Host=\"Windows Media Player\" Realtime=1 FSFlags=2 Kybd=0 Mouse=1 HostAudio=1"},
      {true, 20, "Host=\"Windows Media Center\" Realtime=1 FSFlags=0 Kybd=1 Mouse=1 HostAudio=1"},
  };
  for (const Case& c : cases) {
    engine.Reset();
    auto plugin = MakePluginWithFakeEngine(c.mediaCenter);
    const std::string expectedText = std::string(c.hostText) + std::string(26, ' ');
    EXPECT_EQ(std::string(plugin->Host()->GetHostParameters().mText), expectedText);
    EXPECT_EQ(plugin->HostParams().mLength, 101);
    plugin->Create(pane.Get());
    EXPECT_EQ(RenderUntilAttached(*plugin, levels, 40), c.expectedCall) << "media center " << c.mediaCenter;
    // Started right before the attach, and told the (empty) track at once.
    EXPECT_EQ(engine.Count(FakeEngineCall::kCreate), 1);
    EXPECT_EQ(engine.Count(FakeEngineCall::kSend, kCodeTrack), 1);
    EXPECT_EQ(engine.Count(FakeEngineCall::kSend, kCodeCoverArt), 1);
    const auto targets = engine.Calls(FakeEngineCall::kSetTarget);
    ASSERT_FALSE(targets.empty());
    EXPECT_EQ(targets.back().target, pane.Get());
    EXPECT_EQ(targets.back().flags, kTargetWindow);
    // Insets once at the attach and again ten render calls later.
    EXPECT_EQ(engine.Count(FakeEngineCall::kSend, kCodeInsets), 1);
    for (int i = 0; i < 9; ++i) plugin->RenderWindowed(&levels);
    EXPECT_EQ(engine.Count(FakeEngineCall::kSend, kCodeInsets), 1);
    plugin->RenderWindowed(&levels);
    EXPECT_EQ(engine.Count(FakeEngineCall::kSend, kCodeInsets), 2);
    plugin->Destroy();
  }
}

TEST_F(PluginObjectTest, RestartCountdownIsRaisedToTheDelayAndNeverLowered) {
  TestWindow other{50, 50, 320, 240};
  enum Op { kCreatePane, kCreateOther, kCreateNull, kRender, kFullscreenOn, kFullscreenOff };
  struct Case {
    const char* what;
    bool mediaCenter;
    std::vector<Op> ops;
    int32_t countdown;
  };
  const Case cases[] = {
      {"one Create", false, {kCreatePane}, 3},
      {"Create twice with the same window", false, {kCreatePane, kRender, kCreatePane}, 2},
      {"Create with a new window raises it again", false, {kCreatePane, kRender, kRender, kCreateOther}, 3},
      {"full screen toggles restart", false, {kCreatePane, kRender, kFullscreenOn}, 3},
      {"same full-screen flag again changes nothing", false, {kFullscreenOff, kRender}, 0},
      {"Media Center", true, {kCreatePane, kRender, kCreateOther}, 20},
      {"countdown runs down to the attach", false, {kCreatePane, kRender, kRender, kRender}, 0},
      {"Create(NULL) after a window", false, {kCreatePane, kRender, kRender, kRender, kCreateNull}, 3},
  };
  for (const Case& c : cases) {
    engine.Reset();
    auto plugin = MakePluginWithFakeEngine(c.mediaCenter);
    for (Op op : c.ops) {
      switch (op) {
        case kCreatePane:
          plugin->Create(pane.Get());
          break;
        case kCreateOther:
          plugin->Create(other.Get());
          break;
        case kCreateNull:
          plugin->Create(nullptr);
          break;
        case kRender:
          plugin->RenderWindowed(&levels);
          break;
        case kFullscreenOn:
          plugin->GoFullscreen(true);
          break;
        case kFullscreenOff:
          plugin->GoFullscreen(false);
          break;
      }
    }
    EXPECT_EQ(plugin->StartCountdown(), c.countdown) << c.what;
    plugin->Destroy();
  }
}

TEST_F(PluginObjectTest, FullScreenRequestAttachesWithTheFullScreenOption) {
  auto plugin = MakePluginWithFakeEngine(false);
  plugin->Create(pane.Get());
  ASSERT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  TestWindow fullScreen{0, 0, 800, 600};
  plugin->GoFullscreen(true);
  plugin->Create(fullScreen.Get());
  // The old window is let go at once, the new one attached after the delay.
  EXPECT_EQ(engine.Calls(FakeEngineCall::kSetTarget).back().target, nullptr);
  EXPECT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  EXPECT_EQ(engine.Calls(FakeEngineCall::kSetTarget).back().flags, kTargetWindow | kTargetFullScreen);
  plugin->Destroy();
}

TEST_F(PluginObjectTest, RenderBeforeCreateOnlyHandsOffAudio) {
  auto plugin = MakePluginWithFakeEngine(false);
  PlayerCoreLog log;
  plugin->SetCore(std::make_unique<FakePlayerCore>(log));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(plugin->RenderWindowed(&levels), S_OK);
  EXPECT_EQ(engine.Count(FakeEngineCall::kCreate), 0);
  EXPECT_EQ(engine.Count(FakeEngineCall::kSetTarget), 0);
  EXPECT_FLOAT_EQ(plugin->Host()->GetAudio().Waveform()[0], 0.0027f * (200 + 200 - 254));
  EXPECT_TRUE(plugin->Host()->IsAudioFresh());
  plugin->SetCore(nullptr);
}

TEST_F(PluginObjectTest, OnlyPresetZeroExists) {
  auto plugin = MakePluginWithFakeEngine(false);
  plugin->Create(pane.Get());
  ASSERT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  for (LONG preset : {LONG(-5), LONG(0), LONG(1), LONG(7), LONG(INT32_MAX), LONG(INT32_MIN)}) {
    EXPECT_EQ(plugin->SetCurrentPreset(preset), S_OK);
    EXPECT_EQ(plugin->GetCurrentPreset(), 0) << preset;
    EXPECT_EQ(plugin->StartCountdown(), 0) << preset;
  }
  EXPECT_EQ(engine.Count(FakeEngineCall::kDestroy), 0) << "a preset change stopped the engine";
  plugin->Destroy();
}

TEST_F(PluginObjectTest, WindowMessageResults) {
  auto plugin = MakePluginWithFakeEngine(false);
  plugin->Create(pane.Get());
  ASSERT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  engine.mStepPeriod = 16;
  struct Case {
    const char* what;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    HRESULT expected;
    LRESULT value;
  };
  const Case cases[] = {
      {"pacing message answers the period", kPacingMessage, 0, kPacingParam, S_OK, 16},
      {"paint is handled", WM_PAINT, 0, 0, S_OK, 0},
      {"an unknown message is not", WM_USER + 5, 1, 2, S_FALSE, -1},
      {"a middle double click without the marker", kPacingMessage, 0, 0x00100010, S_FALSE, -1},
      {"a click the engine takes", WM_LBUTTONDOWN, 0, 0x00100010, S_OK, 0},
  };
  for (const Case& c : cases) {
    LRESULT value = -12345;
    EXPECT_EQ(plugin->OnWindowMessage(c.message, c.wParam, c.lParam, &value), c.expected) << c.what;
    EXPECT_EQ(value, c.value) << c.what;
    EXPECT_EQ(plugin->OnWindowMessage(c.message, c.wParam, c.lParam, nullptr), c.expected)
        << c.what << " (null)";
  }
  engine.mSendAnswer = 55019;
  LRESULT value = 0;
  EXPECT_EQ(plugin->OnWindowMessage(WM_LBUTTONDOWN, 0, 0x00100010, &value), S_FALSE)
      << "click the engine left";
  EXPECT_EQ(value, -1);
  plugin->Destroy();
}

TEST_F(PluginObjectTest, SetCoreConnectsAndDisconnects) {
  struct Case {
    const char* what;
    HRESULT findResult, adviseResult;
    DWORD cookie;
    HRESULT expected;
    bool advised;
  };
  const Case cases[] = {
      {"advised", S_OK, S_OK, 77, S_OK, true},
      {"no connection point", E_NOINTERFACE, S_OK, 77, E_NOINTERFACE, false},
      {"advise fails", S_OK, E_FAIL, 77, E_FAIL, false},
      {"cookie 0 counts as failure but not as an error", S_OK, S_OK, 0, S_OK, false},
  };
  for (const Case& c : cases) {
    auto plugin = MakePluginWithFakeEngine(false);
    PlayerCoreLog log;
    auto core = std::make_unique<FakePlayerCore>(log);
    core->mFindResult = c.findResult;
    core->mAdviseResult = c.adviseResult;
    core->mCookie = c.cookie;
    EXPECT_EQ(plugin->SetCore(std::move(core)), c.expected) << c.what;
    EXPECT_EQ(plugin->IsAdvised(), c.advised) << c.what;
    EXPECT_TRUE(plugin->HasCore()) << c.what;
    // Destroy keeps the connection; SetCore(NULL) ends it, twice is harmless.
    plugin->Destroy();
    EXPECT_EQ(log.unadvises, 0) << c.what;
    plugin->SetCore(nullptr);
    plugin->SetCore(nullptr);
    EXPECT_EQ(log.unadvises, c.advised ? 1 : 0) << c.what;
    if (c.advised) {
      EXPECT_EQ(log.lastUnadvised, c.cookie) << c.what;
    }
    EXPECT_EQ(log.coresReleased, 1) << c.what;
    EXPECT_EQ(log.connectionsReleased, c.findResult == S_OK ? 1 : 0) << c.what;
    EXPECT_FALSE(plugin->HasCore()) << c.what;
  }
}

TEST_F(PluginObjectTest, CallsInAnyOrderAreHarmless) {
  auto plugin = MakePluginWithFakeEngine(false);
  EXPECT_EQ(plugin->Destroy(), S_OK);
  EXPECT_EQ(plugin->Destroy(), S_OK);
  plugin->OnPlayStateChange(1);
  plugin->OnPositionChange();
  plugin->OnMediaChange(true);
  EXPECT_EQ(plugin->NotifyNewMedia(nullptr), S_OK);
  EXPECT_EQ(plugin->RenderWindowed(nullptr), S_OK);
  EXPECT_EQ(plugin->SetCore(nullptr), S_OK);
  plugin->Create(pane.Get());
  EXPECT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  EXPECT_EQ(plugin->Destroy(), S_OK);
  EXPECT_EQ(plugin->Destroy(), S_OK);
  EXPECT_EQ(engine.Count(FakeEngineCall::kDestroy), 1);
  // After Destroy the countdown starts over with the next Create.
  plugin->Create(pane.Get());
  EXPECT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  EXPECT_EQ(engine.Count(FakeEngineCall::kCreate), 2);
  plugin->Destroy();
}

TEST_F(PluginObjectTest, PlayStatesThatEndTheTrackClearTheRecords) {
  struct Case {
    LONG state;
    bool clears;
  };
  const Case cases[] = {{1, true},  {8, true},  {9, true},  {2, false},
                        {3, false}, {0, false}, {6, false}, {11, false}};
  for (const Case& c : cases) {
    engine.Reset();
    auto plugin = MakePluginWithFakeEngine(false);
    plugin->Create(pane.Get());
    ASSERT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
    FakeMedia media;
    media.Set(u"Title", u"Song");
    plugin->NotifyNewMedia(&media);
    ASSERT_EQ(engine.Count(FakeEngineCall::kSend, kCodeTrack), 2);
    plugin->OnPlayStateChange(c.state);
    EXPECT_EQ(engine.Count(FakeEngineCall::kSend, kCodeTrack), c.clears ? 3 : 2) << "state " << c.state;
    if (c.clears) {
      const auto track = engine.Calls(FakeEngineCall::kSend, kCodeTrack).back().payload;
      TrackRecords empty;
      EXPECT_EQ(0, std::memcmp(track.data(), &empty.Track(), sizeof(TrackRecord))) << "state " << c.state;
      const auto art = engine.Calls(FakeEngineCall::kSend, kCodeCoverArt).back().payload;
      EXPECT_EQ(art, std::vector<uint8_t>(32, 0)) << "state " << c.state;
    }
    plugin->Destroy();
  }
}

TEST_F(PluginObjectTest, MediaChangeReadsTheCoresCurrentMedia) {
  auto plugin = MakePluginWithFakeEngine(false);
  FakeMedia current;
  current.Set(u"Title", u"Current");
  // Before SetCore nothing happens.
  plugin->OnMediaChange(true);
  PlayerCoreLog log;
  auto core = std::make_unique<FakePlayerCore>(log);
  core->mCurrentMedia = &current;
  plugin->SetCore(std::move(core));
  plugin->Create(pane.Get());
  ASSERT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  const int before = engine.Count(FakeEngineCall::kSend, kCodeTrack);
  plugin->OnMediaChange(false);
  EXPECT_EQ(log.mediaRequests, 0) << "a null item still asked the core";
  plugin->OnMediaChange(true);
  EXPECT_EQ(log.mediaRequests, 1);
  ASSERT_EQ(engine.Count(FakeEngineCall::kSend, kCodeTrack), before + 1);
  const auto payload = engine.Calls(FakeEngineCall::kSend, kCodeTrack).back().payload;
  EXPECT_EQ(0, std::memcmp(payload.data() + 28, u"Current", 16));
  plugin->SetCore(nullptr);
  plugin->Destroy();
}

TEST_F(PluginObjectTest, AudioFollowsThePlayState) {
  auto plugin = MakePluginWithFakeEngine(false);
  PlayerCoreLog log;
  auto core = std::make_unique<FakePlayerCore>(log);
  FakePlayerCore* corePointer = core.get();
  plugin->SetCore(std::move(core));
  const AudioHandoff& audio = plugin->Host()->GetAudio();

  plugin->RenderWindowed(&levels);
  EXPECT_FLOAT_EQ(audio.Waveform()[10], 0.0027f * 146);
  EXPECT_FLOAT_EQ(audio.Spectrum()[10], 4.0f);
  // A null frame while playing changes nothing.
  plugin->Host()->SetAudioFresh(false);
  plugin->RenderWindowed(nullptr);
  EXPECT_FLOAT_EQ(audio.Waveform()[10], 0.0027f * 146);
  EXPECT_FALSE(plugin->Host()->IsAudioFresh());
  // A seek silences until the next frame.
  plugin->OnPositionChange();
  EXPECT_EQ(audio.Waveform()[10], 0.0f);
  // Paused: silence on every call, and fresh each time.
  corePointer->mPlayState = 2;
  for (int i = 0; i < 3; ++i) {
    plugin->Host()->SetAudioFresh(false);
    plugin->RenderWindowed(&levels);
    EXPECT_EQ(audio.Waveform()[10], 0.0f);
    EXPECT_TRUE(plugin->Host()->IsAudioFresh());
  }
  plugin->SetCore(nullptr);
}

TEST_F(PluginObjectTest, SampleRequestsFromTheEngine) {
  auto plugin = MakePluginWithFakeEngine(false);
  PlayerCoreLog log;
  plugin->SetCore(std::make_unique<FakePlayerCore>(log));
  plugin->Create(pane.Get());
  ASSERT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  plugin->RenderWindowed(&levels);

  float waveform[1024];
  float spectrum[1024];
  SampleRequest request{};
  request.mWaveformCapacity = 1024;
  request.mWaveform = waveform;
  request.mSpectrumCapacity = 1024;
  request.mSpectrum = spectrum;
  EXPECT_EQ(engine.CallHost(kCodeGetSamples, &request, sizeof(request)), 0);
  EXPECT_EQ(request.mWaveformCount, 512);
  EXPECT_EQ(request.mSpectrumCount, 256);
  EXPECT_FLOAT_EQ(waveform[511], 0.0027f * 146);
  EXPECT_TRUE(plugin->Host()->IsAudioFresh());
  EXPECT_EQ(engine.CallHost(kCodeGetSamples, &request, sizeof(request)), 0);
  EXPECT_EQ(request.mWaveformCount, 384);
  EXPECT_FALSE(plugin->Host()->IsAudioFresh());
  // A misbehaving engine gets a defined answer.
  EXPECT_EQ(engine.CallHost(kCodeGetSamples, nullptr, 0), 55011);
  request.mWaveformCapacity = -1;
  request.mSpectrum = nullptr;
  EXPECT_EQ(engine.CallHost(kCodeGetSamples, &request, sizeof(request)), 0);
  EXPECT_EQ(request.mWaveformCount, 0);
  EXPECT_EQ(request.mSpectrumCount, 0);
  plugin->SetCore(nullptr);
  plugin->Destroy();
}

TEST_F(PluginObjectTest, TwoObjectsShareOneHost) {
  auto first = MakePluginWithFakeEngine(false);
  PlayerHost* host = first->Host();
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->GetRefCount(), 1);
  // Even a Media Center object reuses the host and its parameters unchanged.
  auto second = std::make_unique<PluginObject>(true);
  EXPECT_EQ(second->Host(), host);
  EXPECT_EQ(host->GetRefCount(), 2);
  EXPECT_NE(std::string(host->GetHostParameters().mText).find("Windows Media Player"), std::string::npos);
  first->Create(pane.Get());
  ASSERT_EQ(RenderUntilAttached(*first, levels, 5), 3);
  // Destroy on one of two objects only drops that object's reference.
  second->Destroy();
  EXPECT_EQ(second->Host(), nullptr);
  EXPECT_EQ(host->GetRefCount(), 1);
  EXPECT_EQ(engine.Count(FakeEngineCall::kDestroy), 0);
  LRESULT value = 7;
  EXPECT_EQ(second->OnWindowMessage(kPacingMessage, 0, kPacingParam, &value), S_FALSE);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(second->GetCurrentPreset(), 0);
  EXPECT_EQ(second->SetCurrentPreset(3), S_OK);
  EXPECT_EQ(second->RenderWindowed(&levels), S_OK);
  second.reset();
  EXPECT_EQ(PlayerHost::Shared(), host);
  first->Destroy();
  EXPECT_EQ(engine.Count(FakeEngineCall::kDestroy), 1);
}

TEST_F(PluginObjectTest, ProductNameAndMediaCenterPath) {
  EXPECT_STREQ(PluginObject::ProductName(), "Lumatide");
  struct Case {
    const char* path;
    bool mediaCenter;
  };
  const Case cases[] = {
      {"C:\\Windows\\ehome\\ehshell.exe", true},  {"C:\\Windows\\ehome\\EHSHELL.EXE", true},
      {"C:\\Program Files\\wmplayer.exe", false}, {"ehshell.exe", false},
      {"C:\\x\\notehshell.exe", false},           {"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PluginObject::IsMediaCenterPath(UtilStr(c.path)), c.mediaCenter) << c.path;
}

}  // namespace
