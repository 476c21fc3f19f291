// The player core and its event connection as the plug-in object uses them.
// The product wraps the player's COM objects; tests give fakes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

class MediaItem;

// The player's IWMPEvents connection point, bound to the plug-in's own sink.
class EventConnection {
 public:
  virtual ~EventConnection() = default;
  virtual HRESULT Advise(DWORD* cookie) = 0;
  virtual void Unadvise(DWORD cookie) = 0;
};

class PlayerCore {
 public:
  // The player's WMPPlayState value for playing.
  static constexpr int32_t kPlaying = 3;

  virtual ~PlayerCore() = default;
  // 0 (undefined) when the core says nothing.
  virtual int32_t GetPlayState() = 0;
  // Null when the core has no current media.
  virtual std::unique_ptr<MediaItem> GetCurrentMedia() = 0;
  // The connection point for the player's events, through the core's
  // connection-point container; the failing call's result otherwise.
  virtual HRESULT FindEventConnection(std::unique_ptr<EventConnection>* connection) = 0;
};
