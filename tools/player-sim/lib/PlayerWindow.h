// The player's windows: the main window (class "WMPlayerApp"), the
// visualization pane inside it, whose messages are offered to the
// visualization first, a status strip, and optionally a layered "WMP Skin
// Host" control bar over the bottom of the pane, as the player's skins lay.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "Win32Handles.h"

namespace player_sim {

class PlayerWindowListener {
 public:
  // Every pane message goes here first; true when the visualization took it.
  virtual bool OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
  virtual void OnToggleFullScreen() = 0;
  virtual void OnTogglePause() = 0;
  virtual void OnSeek(double seconds) = 0;
  virtual void OnNextTrack() = 0;
  virtual void OnCloseRequest() = 0;

 protected:
  ~PlayerWindowListener() = default;
};

struct PlayerWindowLayout {
  int paneWidth = 800;
  int paneHeight = 450;
  bool skinOverlay = false;
  std::wstring title = L"Player Simulator";
};

// The private pacing message of the visualization's host.
inline constexpr UINT kPacingMessage = WM_MBUTTONDBLCLK;
inline constexpr LPARAM kPacingMarker = static_cast<LPARAM>(0xDEADBEEF);

class PlayerWindow {
 public:
  explicit PlayerWindow(PlayerWindowListener& listener) : mListener(listener) {}
  ~PlayerWindow();
  PlayerWindow(const PlayerWindow&) = delete;
  PlayerWindow& operator=(const PlayerWindow&) = delete;

  // False when a window could not be made; FailedStep and GetLastError tell which and why.
  bool Create(const PlayerWindowLayout& layout);
  const char* FailedStep() const { return mFailedStep; }
  void SetStatus(const std::wstring& text);

  HWND Main() const { return mMain.get(); }
  HWND Pane() const { return mPane.get(); }
  HWND Overlay() const { return mOverlay.get(); }

  // Pacing messages that reached the pane, and what the last one answered.
  uint64_t PacingMessages() const { return mPacingMessages; }
  int64_t LastPacingAnswer() const { return mLastPacingAnswer; }
  double FirstPacingSeconds() const { return mFirstPacingSeconds; }
  double LastPacingSeconds() const { return mLastPacingSeconds; }

 private:
  static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK OverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandlePane(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool HandlePlayerKey(UINT message, WPARAM key);
  void LayOut();
  void PaintStatus(HDC dc, const RECT& area);

  PlayerWindowListener& mListener;
  UniqueWindow mOverlay;
  UniqueWindow mPane;
  UniqueWindow mMain;
  std::wstring mStatus;
  const char* mFailedStep = "";
  uint64_t mPacingMessages = 0;
  int64_t mLastPacingAnswer = 0;
  double mFirstPacingSeconds = 0.0;
  double mLastPacingSeconds = 0.0;
};

// Seconds on a steady clock shared by the simulator's parts.
double MonotonicSeconds();

inline constexpr int kStatusStripHeight = 30;
inline constexpr int kSkinBarHeight = 60;
inline constexpr wchar_t kPlayerMainClass[] = L"WMPlayerApp";
inline constexpr wchar_t kSkinHostClass[] = L"WMP Skin Host";

}  // namespace player_sim
