// Plays the media player's part for the registered visualization: creates it
// through COM from the class id the player reads, hands it a core, a window,
// media and audio frames, routes the window's messages to it, and checks
// what the test engine saw.
#pragma once

#include <string>

#include "ClientChecks.h"

enum class EngineExpectation {
  kRuns,        // the test engine is installed and must run
  kMisbehaves,  // it runs but answers badly; the player must carry on
  kAbsent,      // broken or missing installation: no engine, no crash
};

struct PlayerRunOptions {
  EngineExpectation engine = EngineExpectation::kRuns;
  // The installed engine library, loaded first so its answers can be set.
  std::wstring enginePath;
  int renderCalls = 60;
};

void RunPlayer(ClientChecks& checks, const PlayerRunOptions& options);
