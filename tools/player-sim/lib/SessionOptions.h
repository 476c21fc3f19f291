// What one simulator run is asked to do, and the command line that says it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace player_sim {

enum class ScriptActionKind {
  kToggleFullScreen,  // Alt+Enter to the player
  kTogglePause,       // Space
  kSeekBack,          // Left arrow
  kSeekForward,       // Right arrow
  kNextTrack,         // N
  kEscape,            // Escape to whichever window has the focus
  kKey,               // a character key to whichever window has the focus
  kClick,             // a left click in the middle of the pane
  kCapture,           // keep a picture of the pane in memory (tests)
};

struct ScriptAction {
  double atSeconds = 0.0;
  ScriptActionKind kind = ScriptActionKind::kCapture;
  wchar_t key = 0;
};

struct SessionOptions {
  bool list = false;
  bool help = false;
  std::wstring effect = L"Lumatide";
  std::vector<std::wstring> files;  // empty: the synthesised tune
  double seconds = 0.0;             // 0: until the playlist ends
  int fps = 30;
  double screenshotEvery = 0.0;
  std::wstring outDir;
  bool skinOverlay = false;
  int paneWidth = 800;
  int paneHeight = 450;
  std::wstring title, artist, album, year, picture;
  std::vector<ScriptAction> script;
  bool tolerateBlank = false;
  bool progress = true;
};

struct ParsedOptions {
  std::optional<SessionOptions> options;
  std::string error;  // set when options is empty
};

// Arguments without the program name.
ParsedOptions ParseCommandLine(const std::vector<std::wstring>& arguments);

// "4:alt+enter,7.5:space": times in seconds, actions as in the usage text.
bool ParseScript(const std::wstring& text, std::vector<ScriptAction>& actions, std::string& error);

extern const char kUsageText[];

}  // namespace player_sim
