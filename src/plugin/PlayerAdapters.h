// The player's COM objects behind the plug-in's own small interfaces.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <memory>
#include <string>

#include "plugin/ComPtr.h"
#include "plugin/MediaItem.h"
#include "plugin/PlayerCore.h"
#include "plugin/WmpEffects.h"

class WmpMediaItem : public MediaItem {
 public:
  // Keeps its own reference to media (not null).
  explicit WmpMediaItem(IWMPMedia* media) : mMedia(ComPtr<IWMPMedia>::Retain(media)) {}

  bool GetItemInfo(const char16_t* name, std::u16string* value) override;
  bool GetPictureUrl(std::u16string* url) override;
  bool GetSourceUrl(std::u16string* url) override;

 private:
  ComPtr<IWMPMedia> mMedia;
};

class WmpEventConnection : public EventConnection {
 public:
  // sink is the plug-in's own IUnknown, which outlives the connection.
  WmpEventConnection(ComPtr<IConnectionPoint> point, IUnknown* sink)
      : mPoint(std::move(point)), mSink(sink) {}

  HRESULT Advise(DWORD* cookie) override;
  void Unadvise(DWORD cookie) override;

 private:
  ComPtr<IConnectionPoint> mPoint;
  IUnknown* mSink;
};

class WmpPlayerCore : public PlayerCore {
 public:
  // Keeps its own reference to core (not null); sink as for the connection.
  WmpPlayerCore(IWMPCore* core, IUnknown* sink) : mCore(ComPtr<IWMPCore>::Retain(core)), mSink(sink) {}

  int32_t GetPlayState() override;
  std::unique_ptr<MediaItem> GetCurrentMedia() override;
  HRESULT FindEventConnection(std::unique_ptr<EventConnection>* connection) override;

 private:
  ComPtr<IWMPCore> mCore;
  IUnknown* mSink;
};
