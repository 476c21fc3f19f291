#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/ResultCodes.h"
#include "runtime/Trace.h"
#include "runtime/XCriticalSection.h"
#include "runtime/XSemaphore.h"
#include "runtime/XThread.h"
#include "runtime/XThreadGroup.h"

namespace {

std::mutex gTracedLock;
std::vector<std::pair<uint32_t, std::string>> gTraced;

void RecordTrace(uint32_t channel, const char* text) {
  const std::lock_guard<std::mutex> lock(gTracedLock);
  gTraced.emplace_back(channel, text);
}

// An owning event handle.
class Event {
 public:
  Event() : mHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Event() { CloseHandle(mHandle); }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  void Set() { SetEvent(mHandle); }
  HANDLE Handle() const { return mHandle; }

 private:
  HANDLE mHandle;
};

// Blocks until released (or forever), then finishes; counts its destruction.
class GateThread : public XThread {
 public:
  static inline std::atomic<int> destroyed{0};

  explicit GateThread(const char* name, HANDLE gate = nullptr) : XThread(name), mGate(gate) {}
  ~GateThread() override { ++destroyed; }

  std::atomic<DWORD> mRunThreadID{0};
  std::atomic<int> mStopCalls{0};

 protected:
  void Run() override {
    mRunThreadID = GetCurrentThreadId();
    while (!IsStopRequested()) {
      if (mGate && WaitForSingleObject(mGate, 5) == WAIT_OBJECT_0) return;
      if (!mGate) Sleep(5);
    }
  }
  int32_t StopRequested() override { return 40 + ++mStopCalls; }

 private:
  HANDLE mGate;
};

// Channel 11 routed to standard output and recorded for one test.
class XThreadTest : public testing::Test {
 protected:
  void SetUp() override {
    gTraced.clear();
    SetTraceChannel(11, kTraceToConsole);
    SetTraceCallback(RecordTrace);
  }
  void TearDown() override {
    SetTraceCallback(nullptr);
    SetTraceChannel(11, 0);
  }
  std::vector<std::pair<uint32_t, std::string>> Traced() {
    const std::lock_guard<std::mutex> lock(gTracedLock);
    return gTraced;
  }
};

}  // namespace

TEST_F(XThreadTest, NamedThreadTracesStartAndEnd) {
  Event gate;
  GateThread thread("Worker", gate.Handle());
  EXPECT_EQ(thread.GetState(), XThread::kCreated);
  ASSERT_EQ(thread.Start(), kOk);
  EXPECT_EQ(thread.Start(), kErrBadArgument);
  gate.Set();
  EXPECT_TRUE(thread.Wait(0x7FFFFFFF));
  EXPECT_EQ(thread.GetState(), XThread::kClosed);
  EXPECT_EQ(thread.GetThreadID(), 0u);
  EXPECT_NE(thread.mRunThreadID.load(), 0u);
  const std::vector<std::pair<uint32_t, std::string>> expected = {{0x1200000B, "XThread (Worker): START"},
                                                                  {0x1200000B, "XThread (Worker): END"}};
  EXPECT_EQ(Traced(), expected);
}

TEST_F(XThreadTest, UnnamedThreadShowsItsIdInHexadecimal) {
  Event gate;
  gate.Set();
  GateThread thread(nullptr, gate.Handle());
  ASSERT_EQ(thread.Start(), kOk);
  ASSERT_TRUE(thread.Wait(0x7FFFFFFF));
  char display[64];
  std::snprintf(display, sizeof(display), "XThread (0x%x): START", unsigned(thread.mRunThreadID.load()));
  ASSERT_FALSE(Traced().empty());
  EXPECT_EQ(Traced().front().second, display);
}

TEST_F(XThreadTest, NegativeTimeOutOnlyPolls) {
  Event gate;
  GateThread thread("Poller", gate.Handle());
  ASSERT_EQ(thread.Start(), kOk);
  const DWORD before = GetTickCount();
  EXPECT_FALSE(thread.Wait(-5));
  EXPECT_FALSE(thread.Wait(0));
  EXPECT_LT(GetTickCount() - before, 1000u);
  EXPECT_NE(thread.GetState(), XThread::kClosed);
  EXPECT_NE(thread.GetThreadID(), 0u) << "a time-out leaves the thread as it was";
  gate.Set();
  EXPECT_TRUE(thread.Wait(0x7FFFFFFF));
}

TEST_F(XThreadTest, TerminateEndsAThreadThatNeverReturns) {
  Event never;
  GateThread thread("Stuck", never.Handle());
  ASSERT_EQ(thread.Start(), kOk);
  while (thread.GetState() != XThread::kRunning) Sleep(1);
  EXPECT_EQ(thread.Terminate(), &thread);
  EXPECT_EQ(thread.GetState(), XThread::kClosed);
  EXPECT_EQ(thread.GetThreadID(), 0u);
  EXPECT_TRUE(thread.Wait(0));
  const std::vector<std::pair<uint32_t, std::string>> expected = {{0x1200000B, "XThread (Stuck): START"}};
  EXPECT_EQ(Traced(), expected) << "a terminated thread never reaches its END line";
}

TEST_F(XThreadTest, RequestStopSetsTheFlagThenNotifies) {
  GateThread thread("Stoppable");
  ASSERT_EQ(thread.Start(), kOk);
  EXPECT_EQ(thread.RequestStop(), 41);
  EXPECT_TRUE(thread.IsStopRequested());
  EXPECT_TRUE(thread.Wait(0x7FFFFFFF));
  EXPECT_EQ(thread.mStopCalls.load(), 1);
}

TEST_F(XThreadTest, NeverStartedThreadWaitsAsClosed) {
  GateThread thread("Idle");
  EXPECT_TRUE(thread.Wait(-5));
  EXPECT_EQ(thread.GetState(), XThread::kClosed);
}

TEST_F(XThreadTest, GroupStopAllReapsEveryClosedThread) {
  GateThread::destroyed = 0;
  XThreadGroup group;
  for (const char* name : {"A", "B", "C"}) {
    auto* thread = new GateThread(name);
    ASSERT_EQ(thread->Start(), kOk);
    ASSERT_TRUE(group.Add(thread));
  }
  EXPECT_FALSE(group.Add(nullptr));
  EXPECT_EQ(group.GetCount(), 3u);
  group.StopAll();
  EXPECT_EQ(group.GetCount(), 0u);
  EXPECT_EQ(GateThread::destroyed.load(), 3);
  EXPECT_EQ(Traced().size(), 6u);
}

TEST_F(XThreadTest, GroupWaitAllTerminatesOnlyWhenAsked) {
  GateThread::destroyed = 0;
  Event never;
  Event gate;
  XThreadGroup group(50, false);
  auto* stuck = new GateThread("Stuck", never.Handle());
  auto* done = new GateThread("Done", gate.Handle());
  ASSERT_EQ(stuck->Start(), kOk);
  ASSERT_EQ(done->Start(), kOk);
  group.Add(stuck);
  group.Add(done);
  gate.Set();
  group.WaitAll(300, false);
  EXPECT_EQ(group.GetCount(), 1u) << "the finished thread is reaped, the stuck one stays";
  EXPECT_EQ(stuck->GetState(), XThread::kRunning);
  group.WaitAll(-5, true);
  EXPECT_EQ(group.GetCount(), 0u);
  EXPECT_EQ(GateThread::destroyed.load(), 2);
}

TEST_F(XThreadTest, GroupDestructionStopsAndDestroysItsThreads) {
  GateThread::destroyed = 0;
  Event never;
  {
    XThreadGroup group(20, false);
    auto* polite = new GateThread("Polite");
    auto* stuck = new GateThread("Stuck", never.Handle());
    auto* idle = new GateThread("Idle");
    ASSERT_EQ(polite->Start(), kOk);
    group.Add(polite);
    group.Add(stuck);
    group.Add(idle);
    ASSERT_EQ(stuck->Start(), kOk);
  }
  EXPECT_EQ(GateThread::destroyed.load(), 3);
}

TEST(XCriticalSection, SerialisesAndReenters) {
  XCriticalSection section;
  int counter = 0;
  struct Adder : XThread {
    Adder(XCriticalSection& section, int& counter) : mSection(section), mCounter(counter) {}
    void Run() override {
      for (int i = 0; i < 20000; ++i) {
        const XCriticalSectionLock outer(mSection);
        const XCriticalSectionLock inner(mSection);
        mCounter = mCounter + 1;
      }
    }
    XCriticalSection& mSection;
    int& mCounter;
  };
  Adder first(section, counter);
  Adder second(section, counter);
  ASSERT_EQ(first.Start(), kOk);
  ASSERT_EQ(second.Start(), kOk);
  ASSERT_TRUE(first.Wait(0x7FFFFFFF));
  ASSERT_TRUE(second.Wait(0x7FFFFFFF));
  EXPECT_EQ(counter, 40000);
}

TEST(XSemaphore, ReleasesOnlyPositiveCountsWithinItsMaximum) {
  XSemaphore semaphore(0, 3);
  ASSERT_TRUE(semaphore.IsValid());
  semaphore.Release(0);
  semaphore.Release(-2);
  EXPECT_FALSE(semaphore.Wait(-5));
  semaphore.Release(2);
  semaphore.Release(5);  // beyond the maximum: refused and ignored
  EXPECT_TRUE(semaphore.Wait(0));
  EXPECT_TRUE(semaphore.Wait(0));
  EXPECT_FALSE(semaphore.Wait(10));
}
