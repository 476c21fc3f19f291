#include "runtime/XThread.h"

#include "runtime/ResultCodes.h"
#include "runtime/Trace.h"
#include "runtime/WaitTimeout.h"

namespace {

constexpr uint32_t kThreadChannel = 0x1000000B;
// The exception through which a debugger learns a thread's name.
constexpr DWORD kThreadNameException = 0x406D1388;
constexpr DWORD kThreadNameType = 0x1000;
constexpr DWORD kTerminatedExitCode = 0xFFFFFFFF;
// Termination is asynchronous; the object may be destroyed right after it.
constexpr DWORD kTerminationWait = 1000;

// The record a debugger reads: type, name, thread id, flags.
struct ThreadNameRecord {
  DWORD mType;
  const char* mName;
  DWORD mThreadID;
  DWORD mFlags;
};

LONG CALLBACK ContinueAfterThreadName(EXCEPTION_POINTERS* exception) {
  return exception->ExceptionRecord->ExceptionCode == kThreadNameException ? EXCEPTION_CONTINUE_EXECUTION
                                                                           : EXCEPTION_CONTINUE_SEARCH;
}

// Catches the naming exception for one scope; a debugger sees it first.
class ThreadNameCatcher {
 public:
  ThreadNameCatcher() : mHandler(AddVectoredExceptionHandler(1, ContinueAfterThreadName)) {}
  ~ThreadNameCatcher() {
    if (mHandler) RemoveVectoredExceptionHandler(mHandler);
  }
  ThreadNameCatcher(const ThreadNameCatcher&) = delete;
  ThreadNameCatcher& operator=(const ThreadNameCatcher&) = delete;
  bool IsActive() const { return mHandler != nullptr; }

 private:
  void* mHandler;
};

void NameThreadForDebugger(const char* name, DWORD threadID) {
  const ThreadNameCatcher catcher;
  if (!catcher.IsActive()) return;
  const ThreadNameRecord record = {kThreadNameType, name, threadID, 0};
  RaiseException(kThreadNameException, 0, sizeof(record) / sizeof(ULONG_PTR),
                 reinterpret_cast<const ULONG_PTR*>(&record));
}

}  // namespace

XThread::XThread(const char* name) : mName(name ? name : "") {}

XThread::~XThread() {
  if (mHandle) Terminate();
}

int32_t XThread::Start() {
  if (mStarted) return kErrBadArgument;
  DWORD threadID = 0;
  mHandle = CreateThread(nullptr, 0, ThreadProcedure, this, 0, &threadID);
  if (!mHandle) return kErrSystem;
  mThreadID.store(threadID, std::memory_order_release);
  mStarted = true;
  return kOk;
}

DWORD WINAPI XThread::ThreadProcedure(void* argument) {
  auto* thread = static_cast<XThread*>(argument);
  const DWORD threadID = GetCurrentThreadId();
  thread->mThreadID.store(threadID, std::memory_order_release);
  UtilStr display("XThread ");
  if (thread->mName.mLength > 0)
    display.AppendFormat("(%s)", thread->mName.mText);
  else
    display.AppendFormat("(0x%x)", unsigned(threadID));
  NameThreadForDebugger(display.mText, threadID);
  TracePrintf(kThreadChannel, "%s: START", display.mText);
  thread->mState.store(kRunning, std::memory_order_release);
  thread->Run();
  thread->mState.store(kFinished, std::memory_order_release);
  TracePrintf(kThreadChannel, "%s: END", display.mText);
  return 0;
}

bool XThread::Wait(int32_t timeout) {
  if (mHandle && WaitForSingleObject(mHandle, WaitTimeout(timeout)) == WAIT_OBJECT_0) {
    CloseHandle(mHandle);
    mHandle = nullptr;
  }
  if (!mHandle) {
    mThreadID.store(0, std::memory_order_release);
    mState.store(kClosed, std::memory_order_release);
  }
  return GetState() == kClosed;
}

XThread* XThread::Terminate() {
  if (mHandle) {
    TerminateThread(mHandle, kTerminatedExitCode);
    WaitForSingleObject(mHandle, kTerminationWait);
    CloseHandle(mHandle);
    mHandle = nullptr;
    mThreadID.store(0, std::memory_order_release);
  }
  mState.store(kClosed, std::memory_order_release);
  return this;
}

int32_t XThread::RequestStop() {
  mStopRequested.store(true, std::memory_order_release);
  return StopRequested();
}
