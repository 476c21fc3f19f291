// player-sim: plays the media player's role for a visualization.
#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "EffectCatalog.h"
#include "PlayerSession.h"
#include "Playlist.h"
#include "PngFile.h"
#include "SessionOptions.h"
#include "SessionSummary.h"
#include "TuneSynth.h"
#include "Utf8Text.h"

namespace {

using namespace player_sim;

constexpr int kExitFine = 0;
constexpr int kExitUsage = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitShowsNothing = 3;
constexpr int kExitCannotRun = 4;
constexpr int kCoverSize = 256;

std::wstring ExecutableName() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring full(path, length);
  const size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

bool IsMediaCenter(const std::wstring& executable) {
  return _wcsicmp(executable.c_str(), L"ehshell.exe") == 0;
}

// A file that exists for the life of the run only.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  ~TemporaryFile() {
    if (!mPath.empty()) DeleteFileW(mPath.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Write(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::wstring path = std::wstring(folder, length) + name;
    if (!WriteFileAtomically(path, bytes)) return false;
    mPath = path;
    return true;
  }
  const std::wstring& Path() const { return mPath; }

 private:
  std::wstring mPath;
};

int ListEffects() {
  const std::vector<InstalledEffect> effects = ListInstalledEffects();
  if (effects.empty()) std::puts("no visualizations are registered");
  for (const InstalledEffect& effect : effects) {
    std::printf("%-20s %-40s %s\n", Utf8(effect.key).c_str(), Utf8(effect.classIdText).c_str(),
                Utf8(effect.description.empty() ? effect.name : effect.description).c_str());
  }
  return kExitFine;
}

bool MakeFolder(const std::wstring& folder) {
  if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int Run(const std::vector<std::wstring>& arguments) {
  ParsedOptions parsed = ParseCommandLine(arguments);
  if (!parsed.options) {
    std::fprintf(stderr, "player-sim: %s\n%s", parsed.error.c_str(), kUsageText);
    return kExitUsage;
  }
  SessionOptions& options = *parsed.options;
  if (options.help) {
    std::fputs(kUsageText, stdout);
    return kExitFine;
  }
  if (options.list) return ListEffects();

  TemporaryFile cover;
  if (options.files.empty() && options.picture.empty()) {
    cover.Write(L"player-sim-cover-" + std::to_wstring(GetCurrentProcessId()) + L".png",
                EncodePng(SynthesizeCoverPixels(kCoverSize), kCoverSize, kCoverSize));
  }
  PlaylistResult playlist = BuildPlaylist(options, cover.Path());
  if (!playlist.error.empty()) {
    std::fprintf(stderr, "player-sim: %s: %s\n", Utf8(playlist.failedFile).c_str(), playlist.error.c_str());
    return kExitBadInput;
  }
  if (!options.outDir.empty() && !MakeFolder(options.outDir)) {
    std::fprintf(stderr, "player-sim: %s: the output folder cannot be created\n",
                 Utf8(options.outDir).c_str());
    return kExitCannotRun;
  }

  const std::wstring executable = ExecutableName();
  const std::wstring hostName =
      (IsMediaCenter(executable) ? L"Windows Media Center case (" : L"Windows Media Player case (") +
      executable + L")";
  if (FAILED(OleInitialize(nullptr))) {
    std::fputs("player-sim: COM could not be initialised\n", stderr);
    return kExitCannotRun;
  }
  SessionReport report;
  {
    PlayerSession session(options, std::move(playlist.items));
    report = session.Run();
  }
  OleUninitialize();

  std::fputs(FormatSummary(report, options, hostName).c_str(), stdout);
  std::fflush(stdout);
  if (!report.playerRan) return kExitCannotRun;
  if (report.ShowsNothing() && !options.tolerateBlank) return kExitShowsNothing;
  return kExitFine;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* raw = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(raw[i]);
  LocalFree(raw);
  return Run(arguments);
}
