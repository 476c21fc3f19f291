// Writes screenshots on a thread of its own: PNG encoding takes long enough
// to disturb the frames the player is timing.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "WindowCapture.h"

namespace player_sim {

class ScreenshotWriter {
 public:
  ScreenshotWriter();
  ~ScreenshotWriter();
  ScreenshotWriter(const ScreenshotWriter&) = delete;
  ScreenshotWriter& operator=(const ScreenshotWriter&) = delete;

  void Write(std::wstring path, Picture picture);
  // Waits for every queued picture; then the lists are complete.
  void Finish();

  const std::vector<std::wstring>& Written() const { return mWritten; }
  const std::vector<std::wstring>& Failed() const { return mFailed; }

 private:
  void Work();

  std::mutex mLock;
  std::condition_variable mChanged;
  std::deque<std::pair<std::wstring, Picture>> mQueue;
  bool mStopping = false;
  std::vector<std::wstring> mWritten;
  std::vector<std::wstring> mFailed;
  std::thread mThread;
};

}  // namespace player_sim
