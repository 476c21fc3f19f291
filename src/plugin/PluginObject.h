// What the plug-in object does, apart from being a COM object: when the
// engine is started, restarted, attached and stopped, and where the audio,
// track changes, window messages and player events go. The COM class is a
// thin layer over this.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "plugin/PlayerCore.h"
#include "plugin/TimedLevel.h"
#include "text/UtilStr.h"

class MediaItem;
class PlayerHost;

class PluginObject {
 public:
  // Render calls between a restart request and the (re)attach.
  static constexpr int32_t kPlayerRestartDelay = 3;
  static constexpr int32_t kMediaCenterRestartDelay = 20;
  // Render calls between an attach and the second sending of the insets.
  static constexpr int32_t kInsetsDelay = 10;
  static constexpr int32_t kHostParamsLength = 101;

  // Tells Media Center from the running executable's path.
  PluginObject();
  explicit PluginObject(bool mediaCenter);
  PluginObject(const PluginObject&) = delete;
  PluginObject& operator=(const PluginObject&) = delete;
  ~PluginObject();

  // "Lumatide": the process-wide product name, taken once from the marker.
  static const char* ProductName();
  static bool IsMediaCenterPath(const UtilStr& executablePath);

  // IWMPEffects2 and IWMPEffects, as plain operations.
  HRESULT SetCore(std::unique_ptr<PlayerCore> core);
  HRESULT Create(HWND window);
  HRESULT Destroy();
  HRESULT NotifyNewMedia(MediaItem* media);
  // S_OK when the host handled the message; result (may be null) always
  // receives the host's value.
  HRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  HRESULT RenderWindowed(const TimedLevel* levels);
  HRESULT GoFullscreen(bool fullScreen);
  HRESULT SetCurrentPreset(LONG preset);
  LONG GetCurrentPreset() const;
  static constexpr LONG kPresetCount = 1;

  // IWMPEvents that matter; every other event is ignored.
  void OnPlayStateChange(LONG state);
  void OnPositionChange();
  void OnMediaChange(bool itemGiven);

  PlayerHost* Host() const { return mHost; }
  int32_t StartCountdown() const { return mStartCountdown; }
  const UtilStr& HostParams() const { return mHostParams; }
  bool IsAdvised() const { return mConnectionPoint != nullptr; }
  bool HasCore() const { return mCore != nullptr; }

 private:
  void RequestRestart();
  void Disconnect();

  HWND mWindow = nullptr;
  bool mFullscreenRequested = false;
  bool mMediaCenter;
  int32_t mRestartDelay;
  int32_t mStartCountdown = 0;
  int32_t mInsetsCountdown = 0;
  UtilStr mHostParams;
  PlayerHost* mHost = nullptr;
  std::unique_ptr<PlayerCore> mCore;
  std::unique_ptr<EventConnection> mConnectionPoint;
  DWORD mAdviseCookie = 0;
};
