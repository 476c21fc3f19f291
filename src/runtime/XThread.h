// A worker thread: derive, put the work in Run, Start it, and Wait for it
// or Terminate it. Its start and end are traced on channel 11.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "runtime/XBase.h"
#include "text/UtilStr.h"

class XThread : public XBase {
 public:
  enum State : int32_t {
    kCreated = 0,
    kRunning = 3,   // set on the new thread just before Run
    kFinished = 4,  // Run returned
    kClosed = 5,    // the handle is released or the thread was terminated
  };

  // name: shown in the trace and to a debugger; may be null or empty.
  explicit XThread(const char* name = nullptr);
  // A thread that is still open is terminated. Destroy a thread only once
  // Wait answered true or after Terminate: Run must not outlive the object.
  ~XThread() override;

  // Creates the system thread, which runs Run. 55011 when the thread was
  // started before, 55013 when the system refuses.
  int32_t Start();
  // Time-out in ms: negative counts as 0 (a poll), 0x7FFFFFFF waits without
  // limit. True once the thread has ended and its handle is closed.
  bool Wait(int32_t timeout);
  // Forced end; answers the thread.
  XThread* Terminate();
  // Sets the stop flag, then answers what StopRequested answers.
  int32_t RequestStop();

  bool IsStopRequested() const { return mStopRequested.load(std::memory_order_acquire); }
  int32_t GetState() const { return mState.load(std::memory_order_acquire); }
  uint32_t GetThreadID() const { return mThreadID.load(std::memory_order_acquire); }
  const UtilStr& GetName() const { return mName; }

 protected:
  // The thread's work, called on the new thread.
  virtual void Run() {}
  // Called on the requesting thread after the stop flag is set.
  virtual int32_t StopRequested() { return 0; }

 private:
  static DWORD WINAPI ThreadProcedure(void* thread);

  std::atomic<uint32_t> mThreadID{0};
  HANDLE mHandle = nullptr;
  std::atomic<int32_t> mState{kCreated};
  UtilStr mName;
  std::atomic<bool> mStopRequested{false};
  bool mStarted = false;
};
