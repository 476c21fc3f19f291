// EngineHost driving the test engine: instance life, attaches, engine
// requests, re-attach on window changes, pacing on the window's thread, and
// engines that answer badly.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "host/EngineHost.h"
#include "runtime/ResultCodes.h"
#include "text/XStringList.h"

namespace {

using host_test::HostWindow;
using host_test::LoadedTestEngine;
using host_test::PumpMessages;
using host_test::RecordingHost;
using host_test::Releaser;

class EngineHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mEngine.IsReady()) << "TestEngine.dll did not load from the test's folder";
    mHost.reset(new RecordingHost);
    mHost->SetHostParameters("Host=\"Test\" Realtime=1");
  }

  TestEngineControl& Engine() { return mEngine.Control(); }
  void Start() {
    mHost->SetEngineTable(mEngine.Table());
    mHost->StartEngine();
  }
  std::vector<TestEngineControl::Call> Calls(int32_t kind, int64_t code = 0) {
    return Engine().CallsOf(kind, code);
  }

  LoadedTestEngine mEngine;
  std::unique_ptr<RecordingHost, Releaser<RecordingHost>> mHost;
};

TEST_F(EngineHostTest, StartCreatesOneInstanceUntilStopped) {
  EXPECT_EQ(mHost->GetState(), kErrNotStarted);
  Start();
  EXPECT_EQ(mHost->GetState(), kOk);
  EXPECT_EQ(mHost->GetInstanceId(), 1);
  EXPECT_EQ(mHost->GetPeriod(), 1);
  mHost->StartEngine();

  auto creates = Calls(kTestEngineCreate);
  ASSERT_EQ(creates.size(), 1u);
  EXPECT_EQ(creates[0].text, "Host=\"Test\" Realtime=1");
  EXPECT_EQ(creates[0].pointer, mHost.get());
  EXPECT_EQ(creates[0].flags, 0u);

  mHost->StopEngine();
  EXPECT_FALSE(mHost->IsEngineRunning());
  EXPECT_EQ(mHost->GetState(), kErrNotStarted);
  auto detaches = Calls(kTestEngineSetTarget);
  ASSERT_EQ(detaches.size(), 1u);
  EXPECT_EQ(detaches[0].pointer, nullptr);
  EXPECT_EQ(detaches[0].flags, kTargetWindow);
  auto destroys = Calls(kTestEngineDestroy);
  ASSERT_EQ(destroys.size(), 1u);
  EXPECT_EQ(destroys[0].instanceId, 1);

  mHost->StartEngine();
  EXPECT_EQ(mHost->GetInstanceId(), 2);
  EXPECT_EQ(Calls(kTestEngineCreate).size(), 2u);
}

TEST_F(EngineHostTest, FailedCreateKeepsItsCodeUntilTheTableIsSetAgain) {
  Engine().SetCreateAnswer(55099, 0);
  Start();
  EXPECT_EQ(mHost->GetState(), 55099);
  EXPECT_FALSE(mHost->IsEngineRunning());

  Engine().SetCreateAnswer(kOk, kTestEngineAutoId);
  mHost->StartEngine();
  EXPECT_EQ(Calls(kTestEngineCreate).size(), 1u);
  EXPECT_EQ(mHost->AttachWindow(reinterpret_cast<HWND>(0x1234), 0, 0), kErrNoInstance);
  mHost->Idle();
  EXPECT_TRUE(Calls(kTestEngineStep).empty());

  mHost->SetEngineTable(mEngine.Table());
  EXPECT_EQ(mHost->GetState(), kErrNotStarted);
  mHost->StartEngine();
  EXPECT_EQ(mHost->GetState(), kOk);
  EXPECT_TRUE(mHost->IsEngineRunning());
}

TEST_F(EngineHostTest, AttachWithoutInstanceRecordsNothing) {
  HostWindow window;
  mHost->SetEngineTable(mEngine.Table());
  EXPECT_EQ(mHost->AttachWindow(window.Get(), 0, 0), kErrNoInstance);
  EXPECT_EQ(mHost->GetWindow(), nullptr);
  EXPECT_TRUE(Calls(kTestEngineSetTarget).empty());
}

TEST_F(EngineHostTest, AttachPassesTheOptionBitsAndKeepsTheWindowWhateverTheResult) {
  HostWindow window;
  Start();
  mHost->SetAttachOptionBits(0x8000);
  EXPECT_EQ(mHost->AttachWindow(window.Get(), kTargetFullScreen, 77), kOk);
  Engine().SetTargetAnswer(55098);
  HWND other = reinterpret_cast<HWND>(0x5678);
  EXPECT_EQ(mHost->AttachWindow(other, 0, 0), 55098);
  EXPECT_EQ(mHost->GetWindow(), other);

  auto targets = Calls(kTestEngineSetTarget);
  ASSERT_EQ(targets.size(), 2u);
  EXPECT_EQ(targets[0].pointer, window.Get());
  EXPECT_EQ(targets[0].extra, 77);
  EXPECT_EQ(targets[0].flags, 0x8000u | kTargetWindow | kTargetFullScreen);
  EXPECT_EQ(targets[1].flags, 0x8000u | kTargetWindow);
}

TEST_F(EngineHostTest, OtherTargetKindsKeepTheirOwnFields) {
  Start();
  int kind0 = 0, kind8 = 0, kind1 = 0;
  const HWND window = reinterpret_cast<HWND>(0x1234);
  mHost->AttachWindow(window, 0, 0);

  mHost->AttachKind0(&kind0, 0, 0);
  EXPECT_EQ(mHost->GetKind0Target(), &kind0);
  EXPECT_EQ(mHost->GetWindow(), nullptr);
  mHost->AttachKind8(&kind8, 0, 0);
  EXPECT_EQ(mHost->GetKind8Target(), &kind8);
  EXPECT_EQ(mHost->GetKind0Target(), nullptr);
  mHost->AttachKind1(&kind1, 0, 0);
  EXPECT_EQ(mHost->GetKind8Target(), &kind8);

  auto targets = Calls(kTestEngineSetTarget);
  ASSERT_EQ(targets.size(), 4u);
  EXPECT_EQ(targets[1].flags, kTargetKind0);
  EXPECT_EQ(targets[2].flags, kTargetKind8);
  EXPECT_EQ(targets[3].flags, kTargetKind1);
  EXPECT_EQ(targets[3].pointer, &kind1);
}

TEST_F(EngineHostTest, EngineRequestsReachTheirOperations) {
  struct Case {
    const char* code;
    bool withData;
    const char* request;  // hook reached, or none
    bool flag;
    int32_t result;
  };
  const Case cases[] = {
      {"GetS", true, "GetS", false, 7},
      {"FSHt", true, "FSHt", true, 7},
      {"FSHt", false, "FSHt", false, 7},
      {"GArt", true, "GArt", false, 7},
      {"RArt", false, "RArt", false, 7},
      {"FSSt", true, "FSSt", true, kErrNotHandled},
      {"FSEd", false, "FSEd", false, kErrNotHandled},
      {"FSPr", true, nullptr, false, kErrNotHandled},
      {"Zzzz", true, nullptr, false, kErrNotHandled},
  };
  mHost->mAnswer = 7;
  uint8_t payload[12] = {};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    mHost->mRequests.clear();
    const int64_t code = host_test::CodeOf(c.code);
    void* data = c.withData ? payload : nullptr;
    EXPECT_EQ(EngineHost::HostCallback(mHost.get(), code, data, 12), c.result);
    if (!c.request) {
      EXPECT_TRUE(mHost->mRequests.empty());
      continue;
    }
    ASSERT_EQ(mHost->mRequests.size(), 1u);
    EXPECT_EQ(mHost->mRequests[0].name, c.request);
    EXPECT_EQ(mHost->mRequests[0].flag, c.flag);
    if (c.code == std::string("GetS") || c.code == std::string("GArt")) {
      EXPECT_EQ(mHost->mRequests[0].data, data);
    }
  }
  EXPECT_EQ(EngineHost::HostCallback(nullptr, kCodeGetSamples, payload, 0), kErrNotHandled);
}

TEST_F(EngineHostTest, FullScreenParametersKeepPayloadAndSize) {
  const uint8_t payload[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  mHost->HandleEngineMessage(kCodeFullScreenPrefs, const_cast<uint8_t*>(payload), 99);
  EXPECT_EQ(std::memcmp(mHost->GetFullScreenParameters(), payload, 12), 0);
  EXPECT_EQ(mHost->GetFullScreenParametersSize(), 99);

  mHost->HandleEngineMessage(kCodeFullScreenPrefs, nullptr, 5);
  const uint8_t zero[12] = {};
  EXPECT_EQ(std::memcmp(mHost->GetFullScreenParameters(), zero, 12), 0);
  EXPECT_EQ(mHost->GetFullScreenParametersSize(), 5);
}

TEST_F(EngineHostTest, FullScreenIsAskedOnlyOfARunningEngine) {
  mHost->SetEngineTable(mEngine.Table());
  Engine().SetSendAnswer(kCodeGetFullScreen, 1);
  EXPECT_FALSE(mHost->IsEngineFullScreen());
  EXPECT_TRUE(Calls(kTestEngineSend).empty());

  mHost->StartEngine();
  EXPECT_TRUE(mHost->IsEngineFullScreen());
  Engine().SetSendAnswer(kCodeGetFullScreen, 0);
  EXPECT_FALSE(mHost->IsEngineFullScreen());
  auto sends = Calls(kTestEngineSend, kCodeGetFullScreen);
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sends[0].pointer, nullptr);
  EXPECT_EQ(sends[0].extra, 0);
}

TEST_F(EngineHostTest, SendWithoutTableAnswersZero) {
  EXPECT_EQ(mHost->SendToEngine(kCodeTrack, nullptr, 0), 0);
  Engine().SetSendAnswer(kCodeTrack, 42);
  Start();
  EXPECT_EQ(mHost->SendToEngine(kCodeTrack, nullptr, 0), 42);
}

TEST_F(EngineHostTest, PlaceWindowMovesToTheEngineRectangleOnlyWhenItHasArea) {
  HostWindow window;
  RECT before;
  GetWindowRect(window.Get(), &before);

  mHost->PlaceWindow(window.Get());  // no table: nothing asked
  EXPECT_TRUE(Calls(kTestEngineSend).empty());

  mHost->SetEngineTable(mEngine.Table());
  Engine().SetWindowRect(200, 100, 150, 300);  // no width
  mHost->PlaceWindow(window.Get());
  RECT rect;
  GetWindowRect(window.Get(), &rect);
  EXPECT_EQ(rect.left, before.left);
  EXPECT_FALSE(IsWindowVisible(window.Get()));

  Engine().SetWindowRect(30, 40, 230, 190);
  mHost->PlaceWindow(window.Get());
  GetWindowRect(window.Get(), &rect);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 40);
  EXPECT_EQ(rect.right, 230);
  EXPECT_EQ(rect.bottom, 190);
  EXPECT_TRUE(IsWindowVisible(window.Get()));

  auto sends = Calls(kTestEngineSend, kCodeWindowRect);
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sends[0].extra, 16);
  const int32_t zero[4] = {};
  ASSERT_EQ(sends[0].payload.size(), 16u);
  EXPECT_EQ(std::memcmp(sends[0].payload.data(), zero, 16), 0)
      << "the rectangle is zeroed before the engine fills it";
}

TEST_F(EngineHostTest, TextListIsSplitIntoLinesCutAtTheirFirstTab) {
  const uint32_t code = host_test::CodeOf("Pres");
  XStringList list(XPtrList::kSorted);
  list.AddText("stale");
  EXPECT_EQ(mHost->ReadTextList(code, &list), kErrNotHandled) << "no table: the send answers 0 with no text";
  EXPECT_EQ(list.Count(), 0);
  Start();

  struct Case {
    const char* name;
    const char* text;  // none: the engine leaves the record empty
    int32_t length;
    int64_t answer;
    int32_t result;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"lines and tabs", "zeta\tfirst\nalpha\r\n\r\nmid\tdle\tend", -1, 0, kOk, {"zeta", "alpha", "mid"}},
      {"length bounds the text", "one\ntwo\nthree", 7, 0, kOk, {"one", "two"}},
      {"no text", nullptr, 0, 0, kErrNotHandled, {}},
      {"engine failure", "one", -1, 55099, 55099, {}},
      {"answer beyond 32 bits", "one", -1, int64_t(1) << 40, kErrNotHandled, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Engine().Reset();
    Engine().SetSendAnswer(code, c.answer);
    if (c.text) Engine().SetTextAnswer(code, c.text, c.length);
    list.AddText("stale");
    EXPECT_EQ(mHost->ReadTextList(code, &list), c.result);
    EXPECT_EQ(list.Mode(), XPtrList::kInsertionOrder);
    std::vector<std::string> lines;
    for (int32_t i = 1; i <= list.Count(); ++i)
      lines.emplace_back(list.GetText(i)->mText, list.GetText(i)->mLength);
    EXPECT_EQ(lines, c.lines);
    auto sends = Calls(kTestEngineSend, code);
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].extra, int64_t(sizeof(TextListRecord)));
  }
  EXPECT_EQ(mHost->ReadTextList(code, nullptr), kErrBadArgument);
}

TEST_F(EngineHostTest, ClientRectangleChangeReattachesFullScreenExactlyWhenTheEngineSaysSo) {
  struct Case {
    int64_t getF;
    uint32_t flags;
  };
  for (const Case& c : {Case{0, kTargetWindow}, Case{1, kTargetWindow | kTargetFullScreen},
                        Case{-7, kTargetWindow | kTargetFullScreen}}) {
    SCOPED_TRACE(c.getF);
    HostWindow window;
    mHost.reset(new RecordingHost);
    Engine().Reset();
    Engine().SetSendAnswer(kCodeGetFullScreen, c.getF);
    mHost->SetTrackClientRect(true);
    Start();
    mHost->AttachWindow(window.Get(), 0, 0);
    mHost->Idle();  // the first rectangle counts as a change
    Engine().ClearCalls();

    mHost->Idle();
    EXPECT_TRUE(Calls(kTestEngineSetTarget).empty()) << "same rectangle, no re-attach";

    SetWindowPos(window.Get(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    mHost->Idle();
    auto targets = Calls(kTestEngineSetTarget);
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].pointer, window.Get());
    EXPECT_EQ(targets[0].flags, c.flags);
    EXPECT_EQ(Calls(kTestEngineStep).size(), 2u);
    mHost.reset();
  }
}

TEST_F(EngineHostTest, WindowPositionChangeMarksTheWindowUnlessOnlyTheOrderChanged) {
  HostWindow window;
  Start();
  mHost->AttachWindow(window.Get(), 0, 0);
  Engine().ClearCalls();

  WINDOWPOS position{};
  position.flags = SWP_NOSIZE | SWP_NOMOVE;
  bool handled = true;
  EXPECT_EQ(mHost->HandleWindowMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position), &handled),
            -1);
  EXPECT_FALSE(handled);
  mHost->Idle();
  EXPECT_TRUE(Calls(kTestEngineSetTarget).empty());

  position.flags = SWP_NOSIZE;
  mHost->HandleWindowMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position), nullptr);
  mHost->Idle();
  mHost->Idle();
  EXPECT_EQ(Calls(kTestEngineSetTarget).size(), 1u) << "one re-attach, at the next Idle only";
}

TEST_F(EngineHostTest, PacingSleepFollowsAudioWindowAndPeriod) {
  struct Case {
    const char* name;
    bool fresh;
    bool window;
    int32_t bias;
    int32_t step;
    int32_t sleep;
    size_t steps;
  };
  const Case cases[] = {
      {"period + 6", true, true, 0, 10, 16, 1},
      {"bias added", true, true, 4, 10, 20, 1},
      {"no fresh audio", false, true, 0, 10, 2, 0},
      {"no window", true, false, 0, 10, 300, 0},
      {"negative period", true, true, 0, -100, 1, 1},
      {"zero after the extra", true, true, 0, -6, 1, 1},
      {"most negative", true, true, 0, INT_MIN, 1, 1},
      {"huge period", true, true, 0, INT_MAX, INT_MAX, 1},
      {"huge bias and period", true, true, INT_MAX, INT_MAX, INT_MAX, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HostWindow window;
    mHost.reset(new RecordingHost);
    window.Route(mHost.get());
    Engine().Reset();
    Engine().SetStepPeriod(c.step);
    mHost->SetPeriodBias(c.bias);
    Start();
    if (c.window) mHost->AttachWindow(window.Get(), 0, 0);
    mHost->SetAudioFresh(c.fresh);
    EXPECT_EQ(mHost->NextPacingSleep(), c.sleep);
    EXPECT_EQ(Calls(kTestEngineStep).size(), c.steps);
    mHost.reset();
  }
}

// A window whose thread stops answering until released.
class BusyWindowThread {
 public:
  BusyWindowThread() {
    mRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    mReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    mThread = CreateThread(nullptr, 0, &BusyWindowThread::Run, this, 0, nullptr);
    WaitForSingleObject(mReady, 5000);
  }
  ~BusyWindowThread() {
    SetEvent(mRelease);
    WaitForSingleObject(mThread, 5000);
    CloseHandle(mThread);
    CloseHandle(mReady);
    CloseHandle(mRelease);
  }
  HWND Window() const { return mWindow; }

 private:
  static DWORD WINAPI Run(void* context) {
    auto* self = static_cast<BusyWindowThread*>(context);
    self->mWindow = CreateWindowExA(0, "STATIC", "busy", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetEvent(self->mReady);
    WaitForSingleObject(self->mRelease, INFINITE);
    DestroyWindow(self->mWindow);
    return 0;
  }

  HANDLE mRelease;
  HANDLE mReady;
  HANDLE mThread;
  HWND mWindow = nullptr;
};

TEST_F(EngineHostTest, PacingSleepsOneMillisecondWhenTheWindowDoesNotAnswer) {
  BusyWindowThread busy;
  ASSERT_NE(busy.Window(), nullptr);
  Start();
  mHost->AttachWindow(busy.Window(), 0, 0);
  mHost->SetAudioFresh(true);
  EXPECT_EQ(mHost->NextPacingSleep(), 1);
  EXPECT_TRUE(Calls(kTestEngineStep).empty());
}

TEST_F(EngineHostTest, EngineRunsOnlyOnTheWindowThread) {
  HostWindow window;
  window.Route(mHost.get());
  mHost->SetUsePacingThread(true);
  Start();
  mHost->AttachWindow(window.Get(), 0, 0);
  mHost->SetAudioFresh(true);
  const uint8_t preferences[12] = {1};
  Engine().QueueSampleRequest(512, 256, kTestEngineEveryStep);
  for (const char* code : {"FSHt", "FSSt", "FSEd", "GArt", "RArt"}) {
    Engine().QueueCallback(host_test::CodeOf(code), "x", 1, 1, kTestEngineEveryStep);
  }
  Engine().QueueCallback(kCodeFullScreenPrefs, preferences, 12, 12, kTestEngineEveryStep);

  mHost->SetPacingActive(true);
  const DWORD pacingThread = mHost->GetPacingThreadId();
  ASSERT_NE(pacingThread, 0u);
  PumpMessages(600);
  mHost->StopEngine();
  EXPECT_EQ(mHost->GetPacingThreadId(), 0u);

  const DWORD windowThread = GetCurrentThreadId();
  size_t steps = 0, callbacks = 0;
  for (const auto& call : Engine().Calls()) {
    if (call.kind == kTestEngineStep) ++steps;
    if (call.kind == kTestEngineCallback) ++callbacks;
    EXPECT_EQ(call.threadId, windowThread) << "call kind " << call.kind << " ran on thread " << call.threadId
                                           << ", the pacing thread is " << pacingThread;
  }
  EXPECT_GE(steps, 5u);
  EXPECT_EQ(callbacks, steps * 7);
  ASSERT_FALSE(mHost->mRequests.empty());
  for (const auto& request : mHost->mRequests) EXPECT_EQ(request.threadId, windowThread) << request.name;
}

TEST_F(EngineHostTest, StopEngineEndsThePacingThreadEvenWhenTheEngineAskedForDays) {
  HostWindow window;
  window.Route(mHost.get());
  mHost->SetUsePacingThread(true);
  Engine().SetStepPeriod(INT_MAX);
  Start();
  mHost->AttachWindow(window.Get(), 0, 0);
  mHost->SetAudioFresh(true);
  mHost->SetPacingActive(true);
  const DWORD threadId = mHost->GetPacingThreadId();
  PumpMessages(200);
  ASSERT_EQ(Calls(kTestEngineStep).size(), 1u) << "one step, then the long sleep";

  mHost->SetPacingActive(true);  // the period changed: re-armed, still one thread
  EXPECT_EQ(mHost->GetPacingThreadId(), threadId);

  HANDLE thread = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, threadId);
  ASSERT_NE(thread, nullptr);
  const ULONGLONG start = GetTickCount64();
  mHost->StopEngine();
  const ULONGLONG waited = GetTickCount64() - start;
  DWORD exitCode = 0;
  GetExitCodeThread(thread, &exitCode);
  CloseHandle(thread);
  EXPECT_EQ(exitCode, 1u) << "0 means the thread had to be terminated";
  EXPECT_LT(waited, ULONGLONG(EngineHost::kStopWaitMs));
}

TEST_F(EngineHostTest, TimerModeStepsOnTheWindowThreadUntilDetached) {
  HostWindow window;
  window.Route(mHost.get());
  Engine().SetStepPeriod(5);
  Start();
  mHost->AttachWindow(window.Get(), 0, 0);
  mHost->SetPacingActive(true);
  PumpMessages(300);
  auto steps = Calls(kTestEngineStep);
  EXPECT_GE(steps.size(), 3u);
  for (const auto& step : steps) EXPECT_EQ(step.threadId, GetCurrentThreadId());

  mHost->DetachWindow();
  Engine().ClearCalls();
  PumpMessages(200);
  EXPECT_TRUE(Calls(kTestEngineStep).empty()) << "the timer stops with the detach";
}

TEST_F(EngineHostTest, PacingTurnedOnBeforeTheWindowStartsOnceTheWindowComes) {
  HostWindow window;
  window.Route(mHost.get());
  mHost->SetUsePacingThread(true);
  Start();
  mHost->SetPacingActive(true);
  EXPECT_EQ(mHost->GetPacingThreadId(), 0u);
  mHost->AttachWindow(window.Get(), 0, 0);
  mHost->SetPacingActive(true);
  EXPECT_NE(mHost->GetPacingThreadId(), 0u);
}

TEST_F(EngineHostTest, GarbageFromTheEngineLeavesTheHostDefinedAndTheWindowResponsive) {
  HostWindow window;
  window.Route(mHost.get());
  mHost->SetUsePacingThread(true);
  Engine().SetSendAnswer(0, 0x7FFFFFFF12345678);
  Engine().SetTargetAnswer(-1);
  Engine().SetStepPeriod(-50);
  for (int64_t code : std::initializer_list<int64_t>{
           kCodeGetSamples, kCodeFullScreenWanted, kCodeFullScreenStarted, kCodeFullScreenEnded,
           kCodeFullScreenPrefs, kCodeGetArt, kCodeReleaseArt, int64_t(-1)}) {
    Engine().QueueCallback(code, nullptr, 0, -1, kTestEngineEveryStep);
  }
  Engine().QueueSampleRequest(-5, INT_MAX,
                              kTestEngineEveryStep | kTestEngineNullWaveform | kTestEngineNullSpectrum);
  Start();
  EXPECT_EQ(mHost->AttachWindow(window.Get(), 0, 0), -1);
  mHost->SetAudioFresh(true);
  mHost->SetPacingActive(true);
  PumpMessages(300);

  EXPECT_TRUE(mHost->IsEngineRunning());
  EXPECT_TRUE(mHost->IsEngineFullScreen());
  EXPECT_GE(Calls(kTestEngineStep).size(), 10u) << "a negative period paces at the fastest rate";
  bool handled = false;
  EXPECT_EQ(mHost->HandleWindowMessage(WM_CHAR, 'a', 0, &handled), 0);
  EXPECT_TRUE(handled);

  PostMessageA(window.Get(), WM_APP, 1, 2);
  MSG message;
  bool delivered = false;
  const ULONGLONG end = GetTickCount64() + 1000;
  while (!delivered && GetTickCount64() < end) {
    if (PeekMessageA(&message, window.Get(), WM_APP, WM_APP, PM_REMOVE)) delivered = true;
  }
  EXPECT_TRUE(delivered) << "the window's own messages keep flowing";
  mHost->StopEngine();
  EXPECT_EQ(mHost->GetState(), kErrNotStarted);
}

TEST_F(EngineHostTest, ReleasingTheHostStopsItsEngine) {
  HostWindow window;
  window.Route(mHost.get());
  mHost->SetUsePacingThread(true);
  Start();
  mHost->AttachWindow(window.Get(), 0, 0);
  mHost->SetAudioFresh(true);
  mHost->SetPacingActive(true);
  PumpMessages(50);
  window.Route(nullptr);
  mHost.reset();
  EXPECT_EQ(Calls(kTestEngineDestroy).size(), 1u);
}

}  // namespace
