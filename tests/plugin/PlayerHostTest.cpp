#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "AllocationCounter.h"
#include "FakeEngine.h"
#include "FakePlayerCore.h"
#include "PluginTestSupport.h"
#include "plugin/PlayerHost.h"
#include "plugin/SampleRequest.h"

namespace {

class PlayerHostTest : public ::testing::Test {
 protected:
  void SetUp() override { FakeEngine::Instance().Reset(); }
  void TearDown() override { EXPECT_EQ(PlayerHost::Shared(), nullptr); }

  FakeEngine& engine = FakeEngine::Instance();
  TimedLevel levels = UniformLevels(128, 0);
};

struct Overlay {
  RECT rect;
  const wchar_t* className;
  bool layered;
};

TEST_F(PlayerHostTest, InsetsFromThePlayersOverlayWindows) {
  // The engine's window: 1000 x 600 at (100, 100).
  struct Case {
    const char* what;
    bool mediaCenter;
    std::vector<Overlay> overlays;
    int32_t expected[4];
  };
  const Case cases[] = {
      {"no overlays", false, {}, {0, 0, 0, 0}},
      {"no overlays in Media Center", true, {}, {0, 75, 0, 75}},
      {"skin bar along the bottom", false, {{{100, 640, 1100, 700}, L"WMP Skin Host", true}}, {0, 0, 0, 60}},
      {"control bar along the top",
       false,
       {{{100, 100, 1100, 140}, L"CWmpControlCntr", true}},
       {0, 40, 0, 0}},
      {"skin bar in Media Center: no bands",
       true,
       {{{100, 640, 1100, 700}, L"WMP Skin Host", true}},
       {0, 0, 0, 60}},
      {"not layered", false, {{{100, 640, 1100, 700}, L"WMP Skin Host", false}}, {0, 0, 0, 0}},
      {"another class", false, {{{100, 640, 1100, 700}, L"WMP Skin Hos", true}}, {0, 0, 0, 0}},
      {"too thick", false, {{{100, 450, 1100, 700}, L"WMP Skin Host", true}}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    engine.Reset();
    TestWindow pane{100, 100, 1000, 600};
    std::vector<std::unique_ptr<TestWindow>> overlays;
    for (const Overlay& overlay : c.overlays) {
      overlays.push_back(std::make_unique<TestWindow>(
          overlay.rect.left, overlay.rect.top, overlay.rect.right - overlay.rect.left,
          overlay.rect.bottom - overlay.rect.top, overlay.className, overlay.layered ? WS_EX_LAYERED : 0));
    }
    auto plugin = MakePluginWithFakeEngine(c.mediaCenter);
    plugin->Create(pane.Get());
    ASSERT_NE(RenderUntilAttached(*plugin, levels, 25), 0) << c.what;
    const auto sent = engine.Calls(FakeEngineCall::kSend, kCodeInsets);
    ASSERT_EQ(sent.size(), 1u) << c.what;
    ASSERT_EQ(sent[0].payload.size(), 16u) << c.what;
    int32_t insets[4];
    std::memcpy(insets, sent[0].payload.data(), 16);
    EXPECT_EQ(std::vector<int32_t>(insets, insets + 4), std::vector<int32_t>(c.expected, c.expected + 4))
        << c.what;
    plugin->Destroy();
  }
}

TEST_F(PlayerHostTest, FullScreenRequestSendsThePlayerAltEnter) {
  TestWindow pane{100, 100, 640, 480};
  auto plugin = MakePluginWithFakeEngine(false);
  plugin->Create(pane.Get());
  ASSERT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  const char wanted = 1;

  // No player main window: the request fails.
  EXPECT_EQ(engine.CallHost(kCodeFullScreenWanted, const_cast<char*>(&wanted), 1), 55013);

  TestWindow player{0, 0, 800, 600, L"WMPlayerApp"};
  struct Case {
    const char* what;
    bool wanted;
    int64_t engineFullScreen;
    bool posted;
  };
  const Case cases[] = {
      {"enter full screen", true, 0, true},
      {"already full screen", true, 1, false},
      {"leave full screen", false, 1, true},
      {"already windowed", false, 0, false},
  };
  for (const Case& c : cases) {
    engine.mFullScreenAnswer = c.engineFullScreen;
    EXPECT_EQ(engine.CallHost(kCodeFullScreenWanted, c.wanted ? const_cast<char*>(&wanted) : nullptr, 0), 0)
        << c.what;
    MSG message;
    const bool posted = PeekMessageW(&message, player.Get(), WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    EXPECT_EQ(posted, c.posted) << c.what;
    if (posted) {
      EXPECT_EQ(message.wParam, WPARAM(VK_RETURN)) << c.what;
      EXPECT_EQ(message.lParam, 0) << c.what;
    }
  }
  plugin->Destroy();
}

TEST_F(PlayerHostTest, RenderSamplesInputAndPacingAllocateNothing) {
  TestWindow pane{100, 100, 640, 480};
  auto plugin = MakePluginWithFakeEngine(false);
  PlayerCoreLog log;
  plugin->SetCore(std::make_unique<FakePlayerCore>(log));
  plugin->Create(pane.Get());
  ASSERT_EQ(RenderUntilAttached(*plugin, levels, 5), 3);
  for (int i = 0; i < 12; ++i) plugin->RenderWindowed(&levels);  // past the second insets
  float waveform[512];
  float spectrum[256];
  SampleRequest request{};
  request.mWaveform = waveform;
  request.mSpectrum = spectrum;
  engine.mRecord = false;

  allocation_counter::Scope scope;
  for (int frame = 0; frame < 200; ++frame) {
    plugin->RenderWindowed(&levels);
    for (int i = 0; i < 4; ++i) {
      request.mWaveformCapacity = 512;
      request.mSpectrumCapacity = 256;
      engine.CallHost(kCodeGetSamples, &request, sizeof(request));
    }
    LRESULT result;
    plugin->OnWindowMessage(WM_CHAR, 'a', 0x001E0001, &result);
    plugin->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0x00200020, &result);
    plugin->OnWindowMessage(WM_MBUTTONDBLCLK, 0, 0xDEADBEEF, &result);
  }
  EXPECT_EQ(scope.Made(), 0);
  EXPECT_GE(engine.mUnrecordedCalls, 600) << "the engine was not reached";
  engine.mRecord = true;
  plugin->SetCore(nullptr);
  plugin->Destroy();
}

}  // namespace
