#include "host/EngineHost.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "files/XTextReader.h"
#include "host/EngineModule.h"
#include "runtime/Trace.h"
#include "text/XStringList.h"

namespace {

// Long sleeps of the pacing thread are cut into slices of this length, so
// that StopEngine never waits for a whole period the engine asked for.
constexpr int32_t kSleepSliceMs = 50;

int32_t ClampToInt32(int64_t value) {
  return int32_t(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

EngineHost::~EngineHost() {
  StopEngine();
}

void EngineHost::OnFinalRelease(int32_t) {
  SetEngineModule(nullptr);
  StopEngine();
}

int32_t EngineHost::SetEngineModule(EngineModule* module) {
  if (module == mModule) return kOk;
  if (module) module->Retain();
  SetEngineTable(nullptr);
  if (mModule) {
    mModule->RemoveHost(this);
    mModule->Release();
    mModule = nullptr;
  }
  mModule = module;
  if (!module) return kOk;
  module->AddHost(this);
  if (module->GetState() != kOk) return module->GetState();
  SetEngineTable(module->Acquire());
  return kOk;
}

void EngineHost::SetHostParameters(const char* text) {
  mHostParameters.Assign(text ? text : "");
}

void EngineHost::SetEngineTable(VisualAPI* table) {
  StopEngine();
  mTable = table;
  mState = kErrNotStarted;
}

void EngineHost::StartEngine() {
  if (!mTable && mState == kErrNotStarted && mModule) {
    VisualAPI* table = mModule->Acquire();
    if (table) {
      SetEngineTable(table);
    } else {
      mState = kErrEngineUnavailable;
    }
  }
  if (!mTable || mState != kErrNotStarted) return;

  StopEngine();
  mPeriod.store(1, std::memory_order_relaxed);
  int32_t instanceId = 0;
  mState = mTable->Create()(&instanceId, 0, &EngineHost::HostCallback, this, mHostParameters.mText);
  mInstanceId.store(instanceId, std::memory_order_release);
}

void EngineHost::StopEngine() {
  const int32_t instanceId = GetInstanceId();
  if (instanceId != 0) {
    DetachWindow();
    mTable->Destroy()(instanceId);
    mInstanceId.store(0, std::memory_order_release);
    mState = kErrNotStarted;
  }
  if (mPacingThread) {
    UniqueHandle thread = std::move(mPacingThread);
    if (WaitForSingleObject(thread.Get(), kStopWaitMs) == WAIT_TIMEOUT) TerminateThread(thread.Get(), 0);
  }
}

int32_t EngineHost::OnFullScreenRequest(bool) {
  return kErrNotHandled;
}

int32_t EngineHost::OnGetArt(void*) {
  return kErrNotHandled;
}

int32_t EngineHost::OnReleaseArt(void*) {
  return kErrNotHandled;
}

int32_t EngineHost::OnGetSamples(void*) {
  return kErrNotHandled;
}

void EngineHost::OnFullScreenStarted(bool) {}

void EngineHost::OnFullScreenEnded(bool) {}

void EngineHost::Idle() {
  const int32_t instanceId = GetInstanceId();
  if (instanceId == 0) return;
  const HWND window = GetWindow();
  RECT client;
  if (mTrackClientRect && GetClientRect(window, &client) && !SameRect(client, mLastClientRect)) {
    mLastClientRect = client;
    mWindowChanged = true;
  }
  if (mWindowChanged) {
    AttachWindow(window, IsEngineFullScreen() ? kTargetFullScreen : 0, 0);
    mWindowChanged = false;
  }
  // The attach may have stopped the engine (a specialisation may restart it).
  const int32_t current = GetInstanceId();
  if (current == 0) return;
  const int32_t step = mTable->Step()(current, 0, 0);
  mPeriod.store(ClampToInt32(int64_t(mPeriodBias) + step), std::memory_order_relaxed);
}

int32_t EngineHost::AttachWindow(HWND window, uint32_t options, int64_t extra) {
  if (!window) ResetPacing();
  if (!IsEngineRunning()) return kErrNoInstance;
  const int32_t result = SetEngineTarget(window, kTargetWindow, options, extra);
  mKind8Target = nullptr;
  mWindow.store(window, std::memory_order_release);
  mKind0Target = nullptr;
  return result;
}

int32_t EngineHost::AttachKind0(void* target, uint32_t options, int64_t extra) {
  if (!target) ResetPacing();
  if (!IsEngineRunning()) return kErrNoInstance;
  const int32_t result = SetEngineTarget(target, kTargetKind0, options, extra);
  mKind8Target = nullptr;
  mWindow.store(nullptr, std::memory_order_release);
  mKind0Target = target;
  return result;
}

int32_t EngineHost::AttachKind1(void* target, uint32_t options, int64_t extra) {
  SetPacingActive(false);
  if (!target) ResetPacing();
  if (!IsEngineRunning()) return kErrNoInstance;
  return SetEngineTarget(target, kTargetKind1, options, extra);
}

int32_t EngineHost::AttachKind8(void* target, uint32_t options, int64_t extra) {
  if (!target) ResetPacing();
  if (!IsEngineRunning()) return kErrNoInstance;
  const int32_t result = SetEngineTarget(target, kTargetKind8, options, extra);
  mKind8Target = target;
  mWindow.store(nullptr, std::memory_order_release);
  mKind0Target = nullptr;
  return result;
}

int32_t EngineHost::SetEngineTarget(void* target, uint32_t kind, uint32_t options, int64_t extra) {
  return mTable->SetTarget()(GetInstanceId(), target, extra, mAttachOptionBits | kind | options);
}

void EngineHost::PlaceWindow(HWND window) {
  if (!mTable) return;
  int32_t rect[4] = {};
  SendToEngine(kCodeWindowRect, rect, sizeof(rect));
  const int64_t width = int64_t(rect[2]) - rect[0];
  const int64_t height = int64_t(rect[3]) - rect[1];
  if (width > 0 && height > 0) {
    MoveWindow(window, rect[0], rect[1], ClampToInt32(width), ClampToInt32(height), TRUE);
    ShowWindow(window, SW_SHOW);
  }
}

void EngineHost::DetachWindow() {
  AttachWindow(nullptr, 0, 0);
}

void EngineHost::SetPacingActive(bool on) {
  int32_t period = mPeriod.load(std::memory_order_relaxed);
  if (!on) {
    mPeriod.store(0, std::memory_order_relaxed);
    period = -1;
  }
  if (on && period == mArmedPeriod) return;
  const HWND window = GetWindow();
  // Turning pacing on needs a window; remembering the period without one
  // would make the next request with the same period a no-op.
  if (!window) {
    if (!on) mArmedPeriod = -1;
    return;
  }
  mArmedPeriod = period;

  if (mUsePacingThread) {
    if (!on) return;  // the thread ends by itself once the instance is gone
    if (mPacingThread && WaitForSingleObject(mPacingThread.Get(), 0) == WAIT_TIMEOUT) return;
    mPacingThread.Reset(CreateThread(nullptr, 0, &EngineHost::PacingThread, this, 0, nullptr));
    return;
  }
  const UINT_PTR timerId = reinterpret_cast<UINT_PTR>(this);
  if (on) {
    SetTimer(window, timerId, UINT(std::max<int64_t>(1, int64_t(period) + kTimerExtraMs)),
             &EngineHost::PacingTimer);
  } else {
    KillTimer(window, timerId);
  }
}

void CALLBACK EngineHost::PacingTimer(HWND, UINT, UINT_PTR id, DWORD) {
  EngineHost* host = reinterpret_cast<EngineHost*>(id);
  host->Idle();
  host->SetPacingActive(true);
}

DWORD WINAPI EngineHost::PacingThread(void* context) {
  EngineHost* host = static_cast<EngineHost*>(context);
  while (host->IsEngineRunning()) host->SleepWhileRunning(host->NextPacingSleep());
  return 1;
}

int32_t EngineHost::NextPacingSleep() {
  if (!IsAudioFresh()) return kNoFreshAudioMs;
  const HWND window = GetWindow();
  if (!window) return kNoWindowMs;
  DWORD_PTR period = 0;
  if (!SendMessageTimeoutA(window, WM_MBUTTONDBLCLK, 0, kPacingMessageParam, SMTO_NORMAL, kPacingTimeoutMs,
                           &period)) {
    return 1;
  }
  return std::clamp<int64_t>(int64_t(period) + kPeriodExtraMs, 1, std::numeric_limits<int32_t>::max());
}

void EngineHost::SleepWhileRunning(int32_t ms) {
  ms = std::max(ms, 1);
  do {
    const int32_t slice = std::min(ms, kSleepSliceMs);
    Sleep(DWORD(slice));
    ms -= slice;
  } while (ms > 0 && IsEngineRunning());
}

DWORD EngineHost::GetPacingThreadId() const {
  return mPacingThread ? GetThreadId(mPacingThread.Get()) : 0;
}

void EngineHost::Shutdown() {
  StopEngine();
}

void EngineHost::ResetPacing() {
  SetPacingActive(false);
  mLastClientRect = RECT{};
}

int32_t EngineHost::ReadTextList(uint32_t code, XStringList* list) {
  if (!list) return kErrBadArgument;
  list->SetMode(XPtrList::kInsertionOrder);
  list->RemoveAll();
  TextListRecord record{};
  const int64_t sent = SendToEngine(code, &record, sizeof(record));
  // An answer that is no result code counts as not handled.
  int32_t result = sent == ClampToInt32(sent) ? int32_t(sent) : kErrNotHandled;
  if (result == kOk && !record.text) result = kErrNotHandled;
  if (result != kOk) return result;

  XTextReader reader;
  reader.SetText(UtilStr(record.text, record.length < 0 ? -1 : record.length));
  UtilStr line;
  while (reader.ReadLine(&line), line.mLength > 0) {
    const void* tab = std::memchr(line.mText, '\t', size_t(line.mLength));
    list->AddText(line.mText, tab ? int(static_cast<const char*>(tab) - line.mText) : line.mLength);
  }
  return result;
}

int32_t EngineHost::HandleEngineMessage(int64_t code, void* data, int64_t size) {
  switch (code) {
    case kCodeFullScreenPrefs:
      if (data) {
        std::memcpy(mFullScreenParameters, data, sizeof(mFullScreenParameters));
      } else {
        std::memset(mFullScreenParameters, 0, sizeof(mFullScreenParameters));
      }
      mFullScreenParametersSize = size;
      return kErrNotHandled;
    case kCodeGetSamples:
      return OnGetSamples(data);
    case kCodeFullScreenWanted:
      return OnFullScreenRequest(data != nullptr);
    case kCodeGetArt:
      return OnGetArt(data);
    case kCodeReleaseArt:
      return OnReleaseArt(data);
    case kCodeFullScreenStarted:
      OnFullScreenStarted(data != nullptr);
      return kErrNotHandled;
    case kCodeFullScreenEnded:
      OnFullScreenEnded(data != nullptr);
      return kErrNotHandled;
    default:
      return kErrNotHandled;
  }
}

int32_t EngineHost::HostCallback(void* context, int64_t code, void* data, int64_t size) {
  if (!context) return kErrNotHandled;
  return static_cast<EngineHost*>(context)->HandleEngineMessage(code, data, size);
}

int64_t EngineHost::SendToEngine(uint32_t code, void* data, int64_t size) {
  if (!mTable) return 0;
  return mTable->Send()(GetInstanceId(), code, data, size);
}

bool EngineHost::IsEngineFullScreen() {
  if (!IsEngineRunning()) return false;
  return SendToEngine(kCodeGetFullScreen, nullptr, 0) != 0;
}

void EngineHost::Dump() const {
  TracePrintf(kTraceNewline | 1,
              "EngineHost (0x%X): state = %d, instance = %d, window = 0x%X, period = %d, module = 0x%X",
              unsigned(uintptr_t(this)), mState, GetInstanceId(), unsigned(uintptr_t(GetWindow())),
              GetPeriod(), unsigned(uintptr_t(mModule)));
}
