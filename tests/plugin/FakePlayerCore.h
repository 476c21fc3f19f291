// A player core and its event connection for the plug-in object's logic. The
// object owns the core once SetCore took it, so what happens to both is kept
// in a log that the test owns.
#pragma once

#include <memory>

#include "FakeMedia.h"
#include "plugin/PlayerCore.h"

struct PlayerCoreLog {
  int advises = 0;
  int unadvises = 0;
  DWORD lastUnadvised = 0;
  int connectionsReleased = 0;
  int coresReleased = 0;
  int mediaRequests = 0;
};

class FakeEventConnection : public EventConnection {
 public:
  FakeEventConnection(PlayerCoreLog& log, HRESULT adviseResult, DWORD cookie)
      : mLog(log), mAdviseResult(adviseResult), mCookie(cookie) {}
  ~FakeEventConnection() override { ++mLog.connectionsReleased; }

  HRESULT Advise(DWORD* cookie) override {
    ++mLog.advises;
    *cookie = mCookie;
    return mAdviseResult;
  }
  void Unadvise(DWORD cookie) override {
    ++mLog.unadvises;
    mLog.lastUnadvised = cookie;
  }

 private:
  PlayerCoreLog& mLog;
  HRESULT mAdviseResult;
  DWORD mCookie;
};

// Hands out a view of a media object the test keeps.
class BorrowedMedia : public MediaItem {
 public:
  explicit BorrowedMedia(MediaItem& media) : mMedia(media) {}
  bool GetItemInfo(const char16_t* name, std::u16string* value) override {
    return mMedia.GetItemInfo(name, value);
  }
  bool GetPictureUrl(std::u16string* url) override { return mMedia.GetPictureUrl(url); }
  bool GetSourceUrl(std::u16string* url) override { return mMedia.GetSourceUrl(url); }

 private:
  MediaItem& mMedia;
};

class FakePlayerCore : public PlayerCore {
 public:
  explicit FakePlayerCore(PlayerCoreLog& log) : mLog(log) {}
  ~FakePlayerCore() override { ++mLog.coresReleased; }

  int32_t GetPlayState() override { return mPlayState; }
  std::unique_ptr<MediaItem> GetCurrentMedia() override {
    ++mLog.mediaRequests;
    if (!mCurrentMedia) return nullptr;
    return std::make_unique<BorrowedMedia>(*mCurrentMedia);
  }
  HRESULT FindEventConnection(std::unique_ptr<EventConnection>* connection) override {
    if (FAILED(mFindResult)) return mFindResult;
    *connection = std::make_unique<FakeEventConnection>(mLog, mAdviseResult, mCookie);
    return mFindResult;
  }

  int32_t mPlayState = 3;
  MediaItem* mCurrentMedia = nullptr;
  HRESULT mFindResult = S_OK;
  HRESULT mAdviseResult = S_OK;
  DWORD mCookie = 77;

 private:
  PlayerCoreLog& mLog;
};
