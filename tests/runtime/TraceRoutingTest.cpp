// Runs trace_probe as its own process and reads what it left on standard
// output and in the log file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "platform/Platform.h"
#include "runtime/Trace.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

fs::path ProgramFolder() {
#ifdef _WIN32
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
#else
  return fs::read_symlink("/proc/self/exe").parent_path();
#endif
}

#ifdef _WIN32
constexpr char kProbeName[] = "trace_probe.exe";
// The log folder ends in a backslash, which is a separator only on Windows.
std::string AsDesktop(const fs::path& folder) {
  return folder.string();
}
// Standard output and the log file are text streams.
std::string TextMode(const std::string& text) {
  return std::regex_replace(text, std::regex("\n"), "\r\n");
}
#else
constexpr char kProbeName[] = "trace_probe";
std::string AsDesktop(const fs::path& folder) {
  return folder.string() + "/";
}
std::string TextMode(const std::string& text) {
  return text;
}
#endif

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class TraceRoutingTest : public testing::Test {
 protected:
  void SetUp() override {
    mFolder = fs::temp_directory_path() / ("bc-trace-desktop-" + std::to_string(PlatformProcessId()));
    fs::remove_all(mFolder);
    fs::create_directories(mFolder);
  }
  void TearDown() override { fs::remove_all(mFolder); }

  // The probe's exit code; its standard output lands in output.
  int RunProbe(const fs::path& output) {
    const std::string command = "\"" + (ProgramFolder() / kProbeName).string() + "\" \"" +
                                AsDesktop(mFolder) + "\" > \"" + output.string() + "\"";
#ifdef _WIN32
    return std::system(("\"" + command + "\"").c_str());
#else
    return std::system(command.c_str());
#endif
  }

  std::string LogText() {
    return ReadAll(AsDesktop(mFolder) + "\\" + kLogFileName);
  }

  fs::path mFolder;
};

}  // namespace

TEST_F(TraceRoutingTest, StandardOutputAndLogFileHoldExactlyTheRoutedLines) {
  const std::string longText(2000, 'L');
  const std::string expectedOutput = "describe 1\n" + longText + "\nrun-on line\n\nconsole again\n";
  const std::string expectedRun = "to the file only\n" + longText + "\nrun-on line\n\n";

  ASSERT_EQ(RunProbe(mFolder / "first.txt"), 0);
  EXPECT_EQ(ReadAll(mFolder / "first.txt"), TextMode(expectedOutput));
  ASSERT_EQ(RunProbe(mFolder / "second.txt"), 0);
  EXPECT_EQ(ReadAll(mFolder / "second.txt"), TextMode(expectedOutput));

  // One banner per process, before its first line in the file.
  const std::string log = LogText();
  const std::regex banner(
      TextMode("===== \\d\\d-[A-Z]{3}-\\d{4}, \\d\\d:\\d\\d:\\d\\d \\(UTC[+-]\\d+\\) =====\n"));
  const std::string withoutBanners = std::regex_replace(log, banner, "<banner>");
  EXPECT_EQ(withoutBanners, TextMode("<banner>" + expectedRun + "<banner>" + expectedRun))
      << log.substr(0, 200);
}
