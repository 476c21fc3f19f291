#include "ScreenshotWriter.h"

#include "PngFile.h"

namespace player_sim {

ScreenshotWriter::ScreenshotWriter() : mThread([this] { Work(); }) {}

ScreenshotWriter::~ScreenshotWriter() {
  Finish();
}

void ScreenshotWriter::Write(std::wstring path, Picture picture) {
  {
    std::lock_guard<std::mutex> lock(mLock);
    mQueue.emplace_back(std::move(path), std::move(picture));
  }
  mChanged.notify_one();
}

void ScreenshotWriter::Finish() {
  {
    std::lock_guard<std::mutex> lock(mLock);
    mStopping = true;
  }
  mChanged.notify_one();
  if (mThread.joinable()) mThread.join();
}

void ScreenshotWriter::Work() {
  for (;;) {
    std::pair<std::wstring, Picture> job;
    {
      std::unique_lock<std::mutex> lock(mLock);
      mChanged.wait(lock, [this] { return mStopping || !mQueue.empty(); });
      if (mQueue.empty()) return;
      job = std::move(mQueue.front());
      mQueue.pop_front();
    }
    const Picture& picture = job.second;
    const bool written =
        WriteFileAtomically(job.first, EncodePng(picture.rgb, picture.width, picture.height));
    std::lock_guard<std::mutex> lock(mLock);
    (written ? mWritten : mFailed).push_back(std::move(job.first));
  }
}

}  // namespace player_sim
