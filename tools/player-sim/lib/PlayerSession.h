// One run of the simulated player: creates the visualization the way the
// player does, plays the playlist through it (render calls at the asked
// rate, events, full screen, scripted keys), takes screenshots and gathers
// the figures of the closing summary.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "LevelBuilder.h"
#include "PlayerWindow.h"
#include "Playlist.h"
#include "ScreenshotWriter.h"
#include "SessionOptions.h"
#include "SimCore.h"
#include "WindowCapture.h"
#include "plugin/ComPtr.h"
#include "plugin/WmpEffects.h"
#include "sample-engine/SampleEngineProbe.h"

namespace player_sim {

struct CapturedFrame {
  double atSeconds = 0.0;
  Picture pane;
  std::optional<Picture> fullScreen;
};

struct SessionReport {
  std::wstring effectName;
  std::wstring effectClassId;
  DWORD capabilities = 0;
  bool playerRan = false;  // false: the player's own windows could not be made
  bool effectCreated = false;
  std::string problem;  // why the visualization could not run, when it could not

  double wallSeconds = 0.0;
  double playedSeconds = 0.0;
  size_t itemsStarted = 0;
  uint64_t renderCalls = 0;
  uint64_t fullScreenRenderCalls = 0;
  int fullScreenTrips = 0;

  uint64_t pacingMessages = 0;  // engine frames: pacing messages that reached the pane
  double pacingSeconds = 0.0;   // from the first pacing message to the last
  int64_t requestedPeriodMs = -1;

  bool probeSeen = false;  // the sample engine published its figures
  uint64_t engineFramesDrawn = 0;
  uint64_t engineSampleRequests = 0;
  std::optional<sample_engine::ProbedInsets> engineInsets;
  uintptr_t engineState = 0;

  std::vector<std::wstring> screenshots;
  std::vector<std::string> screenshotErrors;
  std::vector<CapturedFrame> captures;  // from "capture" script steps

  size_t sinksLeftAdvised = 0;  // event sinks still connected after shutdown

  bool ShowsNothing() const { return !effectCreated || pacingMessages == 0; }
  double AchievedFps() const { return pacingSeconds > 0.0 ? (pacingMessages - 1) / pacingSeconds : 0.0; }
  double RequestedFps() const { return requestedPeriodMs >= 0 ? 1000.0 / (requestedPeriodMs + 6.0) : 0.0; }
};

class PlayerSession final : private PlayerWindowListener {
 public:
  PlayerSession(SessionOptions options, std::vector<PlaylistItem> playlist);
  ~PlayerSession();
  PlayerSession(const PlayerSession&) = delete;
  PlayerSession& operator=(const PlayerSession&) = delete;

  // Runs to the end; COM must be initialised (apartment) on this thread.
  SessionReport Run();

 private:
  bool OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnToggleFullScreen() override;
  void OnTogglePause() override;
  void OnSeek(double seconds) override;
  void OnNextTrack() override;
  void OnCloseRequest() override;

  void CreateEffect();
  void StartItem(size_t index);
  void AdvancePosition(double now);
  void Render();
  void LeaveFullScreen();
  void RunScriptStep(const ScriptAction& action, double at);
  void TakeScreenshots(double at);
  void ReadEngineProbe();
  void ShowProgress(double at, bool force);
  void ShutDown();

  SessionOptions mOptions;
  std::vector<PlaylistItem> mPlaylist;
  PlayerWindow mWindow{*this};
  ComPtr<SimCore> mCore;
  ComPtr<IWMPEffects> mEffect;
  ComPtr<IWMPEffects2> mEffect2;
  bool mWindowCreated = false;
  LevelBuilder mLevels;
  TimedLevel mFrame{};

  size_t mItem = 0;
  double mPosition = 0.0;  // frames into the current item
  double mLastAdvance = 0.0;
  bool mEnded = false;
  double mEndedAt = 0.0;
  bool mFullScreen = false;
  bool mRequiredRender = true;
  bool mQuit = false;
  double mLastProgress = -1.0;
  SessionReport mReport;
  ScreenshotWriter mScreenshots;
};

}  // namespace player_sim
