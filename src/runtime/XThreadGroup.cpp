#include "runtime/XThreadGroup.h"

#include "runtime/XThread.h"

XThreadGroup::XThreadGroup(int32_t waitTimeout, bool terminateOnTimeout)
    : mWaitTimeout(waitTimeout), mTerminateOnTimeout(terminateOnTimeout) {}

XThreadGroup::~XThreadGroup() {
  RequestStopAll();
  WaitAll(mWaitTimeout, true);
  const XCriticalSectionLock lock(mLock);
  while (void* thread = mThreads.PopFront()) delete static_cast<XThread*>(thread);
}

bool XThreadGroup::Add(XThread* thread) {
  if (!thread) return false;
  const XCriticalSectionLock lock(mLock);
  return mThreads.PushBack(thread);
}

void XThreadGroup::Reap() {
  const XCriticalSectionLock lock(mLock);
  for (int i = 0; i < int(mThreads.GetCount());) {
    auto* thread = static_cast<XThread*>(mThreads.GetItem(i));
    if (thread->GetState() != XThread::kClosed) {
      ++i;
      continue;
    }
    mThreads.RemoveItems(i, 1);
    delete thread;
  }
}

void XThreadGroup::WaitAll(int32_t timeout, bool terminate) {
  {
    const XCriticalSectionLock lock(mLock);
    for (uint32_t i = 0; i < mThreads.GetCount(); ++i) {
      auto* thread = static_cast<XThread*>(mThreads.GetItem(int(i)));
      if (!thread->Wait(timeout) && terminate) thread->Terminate();
    }
  }
  Reap();
}

void XThreadGroup::RequestStopAll() {
  {
    const XCriticalSectionLock lock(mLock);
    for (uint32_t i = 0; i < mThreads.GetCount(); ++i)
      static_cast<XThread*>(mThreads.GetItem(int(i)))->RequestStop();
  }
  Reap();
}

void XThreadGroup::StopAll() {
  RequestStopAll();
  WaitAll(mWaitTimeout, mTerminateOnTimeout);
}

uint32_t XThreadGroup::GetCount() {
  const XCriticalSectionLock lock(mLock);
  return mThreads.GetCount();
}
