// Test client: checks the plug-in as installed, the way the player meets it.
//
//   test-client registered <module path>    the registry after regsvr32
//   test-client unregistered                the registry after regsvr32 /u
//   test-client typelib <module path>       the embedded type library
//   test-client play <engine path>          a run with the test engine
//   test-client misbehave <engine path>     a run with an engine answering badly
//   test-client play-without-engine         a run with a broken or no installation
//
// Named ehshell.exe, the client is Media Center. Exit code 0 when every
// check passed.
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "ClientChecks.h"
#include "PlayerRun.h"
#include "RegistryChecks.h"
#include "TypeLibraryChecks.h"

std::string Narrow(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(bytes > 0 ? bytes - 1 : 0, '\0');
  if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), bytes, nullptr, nullptr);
  return narrow;
}

std::string Hex(long value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  const std::wstring argument = argc > 2 ? argv[2] : L"";
  ClientChecks checks;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (mode == L"registered") {
    CheckRegistered(checks, argument);
  } else if (mode == L"unregistered") {
    CheckUnregistered(checks);
  } else if (mode == L"typelib") {
    CheckTypeLibrary(checks, argument);
  } else if (mode == L"play" || mode == L"misbehave") {
    PlayerRunOptions options;
    options.engine = mode == L"play" ? EngineExpectation::kRuns : EngineExpectation::kMisbehaves;
    options.enginePath = argument;
    RunPlayer(checks, options);
  } else if (mode == L"play-without-engine") {
    PlayerRunOptions options;
    options.engine = EngineExpectation::kAbsent;
    RunPlayer(checks, options);
  } else {
    std::fprintf(
        stderr,
        "usage: test-client registered|unregistered|typelib|play|misbehave|play-without-engine ...\n");
    return 2;
  }
  CoUninitialize();
  std::printf("%s: %d failed\n", checks.Failures() ? "FAILED" : "PASSED", checks.Failures());
  return checks.Failures() ? 1 : 0;
}
