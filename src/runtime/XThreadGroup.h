// A set of owned XThreads that are stopped, waited for and reaped together.
#pragma once

#include <cstdint>

#include "runtime/WaitTimeout.h"
#include "runtime/XBase.h"
#include "runtime/XCriticalSection.h"
#include "runtime/XQueue.h"

class XThread;

class XThreadGroup : public XBase {
 public:
  // The defaults of StopAll: how long each thread is waited for, and
  // whether a thread still running then is terminated.
  explicit XThreadGroup(int32_t waitTimeout = kWaitWithoutLimit, bool terminateOnTimeout = false);
  // Stops every thread, terminating those that outlast the default
  // time-out, and destroys them.
  ~XThreadGroup() override;

  // Takes ownership of the thread (started or not). False for null or when
  // the queue cannot grow; the caller then keeps the thread.
  bool Add(XThread* thread);
  // Removes and destroys the closed threads.
  void Reap();
  // Waits for each thread in turn with the full time-out, terminates those
  // still running when terminate is set, then reaps.
  void WaitAll(int32_t timeout, bool terminate);
  // RequestStop on every thread, then Reap.
  void RequestStopAll();
  // RequestStopAll, then WaitAll with the defaults.
  void StopAll();

  uint32_t GetCount();

 private:
  XQueue mThreads;
  XCriticalSection mLock;
  int32_t mWaitTimeout;
  bool mTerminateOnTimeout;
};
