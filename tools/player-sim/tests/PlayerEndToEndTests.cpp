// The registered plug-in with the installed sample engine, driven by the
// simulated player in this process: what the engine draws while music plays
// and while paused, a trip into full screen and back, the insets under the
// player's skin bar, the pacing figure, and a clean shutdown.
// Runs only in a Wine prefix prepared by RunPlayerSimEndToEnd.cmake.
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <cstdio>

#include "PictureChecks.h"
#include "PlayerSession.h"
#include "Playlist.h"
#include "SimMedia.h"
#include "sample-engine/SceneLayout.h"

namespace {

using namespace player_sim;

constexpr int kPaneWidth = 800;
constexpr int kPaneHeight = 450;

SessionOptions OptionsFor(double seconds, const wchar_t* script) {
  SessionOptions options;
  options.seconds = seconds;
  options.progress = false;
  options.paneWidth = kPaneWidth;
  options.paneHeight = kPaneHeight;
  std::string error;
  EXPECT_TRUE(ParseScript(script, options.script, error)) << error;
  return options;
}

SessionReport Play(const SessionOptions& options) {
  PlaylistResult playlist = BuildPlaylist(options, L"");
  EXPECT_TRUE(playlist.error.empty()) << playlist.error;
  PlayerSession session(options, std::move(playlist.items));
  return session.Run();
}

void ExpectCleanShutdown(const SessionReport& report) {
  EXPECT_EQ(report.sinksLeftAdvised, 0u) << "SetCore(NULL) unadvises the plug-in";
}

Region ScopeRows(const sample_engine::SceneLayout& layout) {
  return {layout.visible.left, layout.scope.top, layout.visible.right, layout.scope.bottom};
}

Region TextBand(const sample_engine::SceneLayout& layout) {
  return {layout.text.left, layout.text.top, layout.text.right, layout.text.bottom};
}

TEST(PlayerEndToEnd, MusicDrawsScopeAndTextAndAPauseLeavesAFlatLine) {
  const long liveBefore = LiveSimObjects();
  const SessionReport report = Play(OptionsFor(5.0, L"2.0:capture, 2.3:space, 4.2:capture"));
  ASSERT_TRUE(report.effectCreated) << report.problem;
  ASSERT_GT(report.pacingMessages, 0u) << "no engine frames reached the pane";
  ASSERT_TRUE(report.probeSeen) << "the sample engine did not report itself";
  EXPECT_NE(report.engineState & sample_engine::kProbeStateTrack, 0u) << "the engine got the track's title";
  EXPECT_GT(report.engineSampleRequests, 0u);
  ASSERT_EQ(report.captures.size(), 2u);

  const sample_engine::SceneLayout layout =
      sample_engine::ComputeSceneLayout(kPaneWidth, kPaneHeight, 0, 0, 0, 0);
  const Picture& music = report.captures[0].pane;
  const Picture& paused = report.captures[1].pane;
  ASSERT_EQ(music.width, kPaneWidth);
  const int musicRows = CountNonUniformRows(music, ScopeRows(layout));
  const double textVariance = LuminanceVariance(music, TextBand(layout));
  std::printf("music: %d scope rows drawn, text band variance %.0f\n", musicRows, textVariance);
  EXPECT_GT(musicRows, 20) << "an oscilloscope trace of music spans many rows";
  EXPECT_GT(textVariance, 100.0) << "title and artists are drawn";

  const int pausedRows = CountNonUniformRows(paused, ScopeRows(layout));
  EXPECT_GT(pausedRows, 0) << "the line is still drawn";
  EXPECT_LE(pausedRows, 8) << "paused after silence the scope is a flat line";
  ExpectCleanShutdown(report);
  EXPECT_EQ(LiveSimObjects(), liveBefore) << "the plug-in released every media and picture object";
}

TEST(PlayerEndToEnd, FullScreenTripThroughTheEnginesOwnWindowAndBack) {
  const SessionReport report = Play(OptionsFor(6.0, L"1.5:alt+enter, 3.0:capture, 3.5:esc, 5.5:capture"));
  ASSERT_TRUE(report.effectCreated) << report.problem;
  EXPECT_EQ(report.fullScreenTrips, 1);
  EXPECT_GT(report.fullScreenRenderCalls, 0u) << "RenderFullScreen while full screen";
  ASSERT_EQ(report.captures.size(), 2u);
  ASSERT_TRUE(report.captures[0].fullScreen.has_value()) << "the engine's BCFullscreenWindowClass window";
  const Picture& full = *report.captures[0].fullScreen;
  EXPECT_GT(LuminanceVariance(full, {0, 0, full.width, full.height}), 100.0);
  EXPECT_FALSE(report.captures[1].fullScreen.has_value())
      << "Escape asked the host, the player left full screen";
  ExpectCleanShutdown(report);
}

TEST(PlayerEndToEnd, SkinBarOverThePaneBecomesTheEnginesBottomInset) {
  SessionOptions options = OptionsFor(2.5, L"");
  options.skinOverlay = true;
  const SessionReport report = Play(options);
  ASSERT_TRUE(report.engineInsets.has_value()) << "no 'Nset' reached the engine";
  EXPECT_EQ(report.engineInsets->left, 0);
  EXPECT_EQ(report.engineInsets->top, 0);
  EXPECT_EQ(report.engineInsets->right, 0);
  EXPECT_EQ(report.engineInsets->bottom, kSkinBarHeight);
  ExpectCleanShutdown(report);
}

// Measured and reported; timing under Wine on a shared machine is not
// something a test can promise.
TEST(PlayerEndToEnd, PacingFigureWithTheEngineAskingForSixteenMilliseconds) {
  const SessionReport report = Play(OptionsFor(8.0, L""));
  ASSERT_GT(report.pacingMessages, 1u);
  EXPECT_EQ(report.requestedPeriodMs, 16) << "the sample engine's Step answer";
  const double share = 100.0 * report.AchievedFps() / report.RequestedFps();
  std::printf("pacing: %.1f engine frames per second against %.1f asked (%.1f %%), %llu render calls\n",
              report.AchievedFps(), report.RequestedFps(), share,
              static_cast<unsigned long long>(report.renderCalls));
  ::testing::Test::RecordProperty("achieved_fps", std::to_string(report.AchievedFps()));
  ::testing::Test::RecordProperty("achieved_share_percent", std::to_string(share));
  ExpectCleanShutdown(report);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(OleInitialize(nullptr))) return 2;
  const int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
