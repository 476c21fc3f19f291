#include "SessionOptions.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace player_sim {
namespace {

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool ParseNumber(const std::wstring& text, double low, double high, double& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  value = std::wcstod(text.c_str(), &end);
  return end != nullptr && *end == L'\0' && value >= low && value <= high;
}

bool ParseAction(const std::wstring& name, ScriptAction& action) {
  static const struct {
    const wchar_t* name;
    ScriptActionKind kind;
  } kNames[] = {
      {L"alt+enter", ScriptActionKind::kToggleFullScreen},
      {L"space", ScriptActionKind::kTogglePause},
      {L"pause", ScriptActionKind::kTogglePause},
      {L"left", ScriptActionKind::kSeekBack},
      {L"right", ScriptActionKind::kSeekForward},
      {L"next", ScriptActionKind::kNextTrack},
      {L"esc", ScriptActionKind::kEscape},
      {L"escape", ScriptActionKind::kEscape},
      {L"click", ScriptActionKind::kClick},
      {L"capture", ScriptActionKind::kCapture},
  };
  const std::wstring lowered = Lower(name);
  for (const auto& entry : kNames) {
    if (lowered == entry.name) {
      action.kind = entry.kind;
      return true;
    }
  }
  if (lowered.size() == 5 && lowered.compare(0, 4, L"key:") == 0 && std::iswalnum(lowered[4])) {
    action.kind = ScriptActionKind::kKey;
    action.key = lowered[4];
    return true;
  }
  return false;
}

}  // namespace

const char kUsageText[] =
    "usage: player-sim [options] [AUDIO_FILE ...]\n"
    "Plays the player's role for a visualization: finds it among the player's\n"
    "installed effects, creates it, feeds it audio frames and events, and reports.\n"
    "With no file it plays a tune it synthesises; files may be WAV or Ogg Vorbis.\n"
    "\n"
    "  --list                  list the installed visualizations and exit\n"
    "  --effect NAME           the visualization to run (default Lumatide)\n"
    "  --seconds N             stop after N seconds (default: end of the playlist)\n"
    "  --fps N                 render calls per second (default 30)\n"
    "  --screenshot-every S    write a PNG of the pane (and of the full-screen\n"
    "  --out DIR               window while full screen) every S seconds into DIR\n"
    "  --skin-overlay          lay a layered \"WMP Skin Host\" bar over the pane\n"
    "  --size WxH              pane size in pixels (default 800x450)\n"
    "  --title T, --artist A, --album B, --year Y   tags for the media\n"
    "  --picture FILE          embedded album-art picture (JPEG or PNG)\n"
    "  --script T:ACTION,...   press keys at times (seconds): alt+enter, space,\n"
    "                          left, right, next, esc, key:C, click, capture\n"
    "  --tolerate-blank        exit 0 even when the visualization shows nothing\n"
    "  --quiet                 no progress line\n"
    "\n"
    "Keys while it runs: Alt+Enter full screen, Space pause, Left/Right seek, N next.\n"
    "Run as a copy named ehshell.exe it is the Media Center case.\n"
    "Exit codes: 0 fine, 1 bad command line, 2 bad audio or picture input,\n"
    "3 the visualization showed nothing, 4 the player could not run.\n";

bool ParseScript(const std::wstring& text, std::vector<ScriptAction>& actions, std::string& error) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(L',', start);
    const std::wstring item =
        Trim(text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
    start = comma == std::wstring::npos ? text.size() + 1 : comma + 1;
    if (item.empty()) continue;
    const size_t colon = item.find(L':');
    ScriptAction action;
    if (colon == std::wstring::npos ||
        !ParseNumber(Trim(item.substr(0, colon)), 0.0, 86400.0, action.atSeconds) ||
        !ParseAction(Trim(item.substr(colon + 1)), action)) {
      error = "bad script step \"" + Narrow(item) + "\" (expected SECONDS:ACTION)";
      return false;
    }
    actions.push_back(action);
  }
  return true;
}

ParsedOptions ParseCommandLine(const std::vector<std::wstring>& arguments) {
  SessionOptions options;
  auto fail = [](std::string message) { return ParsedOptions{std::nullopt, std::move(message)}; };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    auto value = [&](std::wstring& out) {
      if (i + 1 >= arguments.size()) return false;
      out = arguments[++i];
      return true;
    };
    std::wstring text;
    double number = 0.0;
    if (argument == L"--list") {
      options.list = true;
    } else if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
      options.help = true;
    } else if (argument == L"--skin-overlay") {
      options.skinOverlay = true;
    } else if (argument == L"--tolerate-blank") {
      options.tolerateBlank = true;
    } else if (argument == L"--quiet") {
      options.progress = false;
    } else if (argument == L"--effect") {
      if (!value(options.effect) || options.effect.empty()) return fail("--effect needs a name");
    } else if (argument == L"--seconds") {
      if (!value(text) || !ParseNumber(text, 0.1, 86400.0, options.seconds)) {
        return fail("--seconds needs a number of seconds (0.1 or more)");
      }
    } else if (argument == L"--fps") {
      if (!value(text) || !ParseNumber(text, 1.0, 200.0, number) || number != static_cast<int>(number)) {
        return fail("--fps needs a whole number from 1 to 200");
      }
      options.fps = static_cast<int>(number);
    } else if (argument == L"--screenshot-every") {
      if (!value(text) || !ParseNumber(text, 0.05, 86400.0, options.screenshotEvery)) {
        return fail("--screenshot-every needs a number of seconds (0.05 or more)");
      }
    } else if (argument == L"--out") {
      if (!value(options.outDir) || options.outDir.empty()) return fail("--out needs a folder");
    } else if (argument == L"--size") {
      int width = 0;
      int height = 0;
      if (!value(text) || swscanf(text.c_str(), L"%dx%d", &width, &height) != 2 || width < 64 ||
          height < 64 || width > 4096 || height > 4096) {
        return fail("--size needs WIDTHxHEIGHT, each from 64 to 4096");
      }
      options.paneWidth = width;
      options.paneHeight = height;
    } else if (argument == L"--title") {
      if (!value(options.title)) return fail("--title needs a text");
    } else if (argument == L"--artist") {
      if (!value(options.artist)) return fail("--artist needs a text");
    } else if (argument == L"--album") {
      if (!value(options.album)) return fail("--album needs a text");
    } else if (argument == L"--year") {
      if (!value(options.year)) return fail("--year needs a text");
    } else if (argument == L"--picture") {
      if (!value(options.picture) || options.picture.empty()) return fail("--picture needs a file");
    } else if (argument == L"--script") {
      std::string error;
      if (!value(text)) return fail("--script needs steps such as 4:alt+enter,7:alt+enter");
      if (!ParseScript(text, options.script, error)) return fail(error);
    } else if (argument.size() > 1 && argument[0] == L'-' && argument[1] == L'-') {
      return fail("unknown option " + Narrow(argument));
    } else {
      options.files.push_back(argument);
    }
  }
  if (options.screenshotEvery > 0.0 && options.outDir.empty())
    return fail("--screenshot-every needs --out DIR");
  std::stable_sort(options.script.begin(), options.script.end(),
                   [](const ScriptAction& a, const ScriptAction& b) { return a.atSeconds < b.atSeconds; });
  return ParsedOptions{std::move(options), {}};
}

}  // namespace player_sim
