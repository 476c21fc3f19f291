// The engine's own full-screen window, class "BCFullscreenWindowClass",
// covering the monitor of the window the host attached the engine to. Its
// keys never pass through the host, so it reports them to its listener.
#pragma once

#include <windows.h>

namespace sample_engine {

class FullScreenListener {
 public:
  virtual void OnFullScreenKey(UINT virtualKey) = 0;
  virtual void OnFullScreenCloseRequest() = 0;

 protected:
  ~FullScreenListener() = default;
};

class FullScreenWindow {
 public:
  explicit FullScreenWindow(FullScreenListener& listener) : mListener(listener) {}
  ~FullScreenWindow() { Close(); }
  FullScreenWindow(const FullScreenWindow&) = delete;
  FullScreenWindow& operator=(const FullScreenWindow&) = delete;

  // Opens (or moves) the window over the monitor that shows target.
  bool Open(HWND target);
  void Close();
  HWND Handle() const { return mWindow; }

  // The class belongs to the engine module; unregistered before it unloads.
  static void UnregisterWindowClass();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  FullScreenListener& mListener;
  HWND mWindow = nullptr;
};

inline constexpr wchar_t kFullScreenWindowClass[] = L"BCFullscreenWindowClass";

}  // namespace sample_engine
