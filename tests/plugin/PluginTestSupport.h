// Shared pieces of the Windows plug-in tests: a window like the player's
// visualization pane, and plug-in objects whose shared host runs the fake
// engine.
#pragma once

#include <windows.h>

#include <cstring>
#include <memory>

#include "FakeEngine.h"
#include "plugin/PlayerHost.h"
#include "plugin/PluginObject.h"
#include "plugin/TimedLevel.h"

// A top-level window of the given size; destroyed with the object.
class TestWindow {
 public:
  TestWindow(int x, int y, int width, int height, const wchar_t* className = L"BCPluginTestPane",
             DWORD exStyle = 0) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    mWindow = CreateWindowExW(exStyle, className, L"", WS_POPUP, x, y, width, height, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  ~TestWindow() {
    if (mWindow) DestroyWindow(mWindow);
  }
  HWND Get() const { return mWindow; }

 private:
  HWND mWindow = nullptr;
};

// The first object of the process creates the shared host; the fake engine
// replaces the product's engine library in it.
inline std::unique_ptr<PluginObject> MakePluginWithFakeEngine(bool mediaCenter) {
  auto plugin = std::make_unique<PluginObject>(mediaCenter);
  PlayerHost* host = plugin->Host();
  if (host && host->GetEngineTable() != FakeEngine::Instance().Table()) {
    host->SetEngineTable(FakeEngine::Instance().Table());
  }
  return plugin;
}

inline TimedLevel UniformLevels(unsigned char wave, unsigned char bin) {
  TimedLevel levels{};
  std::memset(levels.waveform, wave, sizeof(levels.waveform));
  std::memset(levels.frequency, bin, sizeof(levels.frequency));
  levels.state = play_state;
  return levels;
}

// Drives render calls until the engine's window is attached; the call
// number of the attach, or 0 if none within limit.
inline int RenderUntilAttached(PluginObject& plugin, const TimedLevel& levels, int limit) {
  for (int call = 1; call <= limit; ++call) {
    const int before = FakeEngine::Instance().Count(FakeEngineCall::kSetTarget);
    plugin.RenderWindowed(&levels);
    const auto targets = FakeEngine::Instance().Calls(FakeEngineCall::kSetTarget);
    if (int(targets.size()) > before && targets.back().target != nullptr) return call;
  }
  return 0;
}
