// Drives one instance of the visual engine: creates and destroys it, gives
// it a window, paces its frames on that window's thread, and carries the
// messages between host and engine. A specialisation overrides the On...
// requests, StartEngine and AttachWindow.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "host/UniqueHandle.h"
#include "host/VisualAPI.h"
#include "runtime/BCSharedObject.h"
#include "runtime/ResultCodes.h"
#include "text/UtilStr.h"

class EngineModule;
class XStringList;

// The host's state: 55050 no instance yet, 55040 engine unavailable, 0
// instance created, other: the code Create returned.
using EngineState = int32_t;

class EngineHost : public BCSharedObject {
 public:
  // lParam of the blocking message that the pacing thread sends the window.
  static constexpr LPARAM kPacingMessageParam = 0xDEADBEEF;
  static constexpr int32_t kStopWaitMs = 8000;
  // Sleeps of the pacing thread besides the engine's own period.
  static constexpr int32_t kPeriodExtraMs = 6;
  static constexpr int32_t kNoFreshAudioMs = 2;
  static constexpr int32_t kNoWindowMs = 300;
  static constexpr int32_t kPacingTimeoutMs = 300;
  static constexpr int32_t kTimerExtraMs = 5;

  EngineHost() = default;

  // Retains the module, detaches from the old one. The module's state when
  // the engine is not loaded yet, else 0.
  virtual int32_t SetEngineModule(EngineModule* module);
  virtual void SetHostParameters(const char* text);
  // Loads the engine on first use and creates an instance when none exists.
  virtual void StartEngine();
  // Detaches and destroys the instance, ends the pacing thread.
  virtual void StopEngine();
  // Engine requests; the defaults answer 55012.
  virtual int32_t OnFullScreenRequest(bool wanted);
  virtual int32_t OnGetArt(void* data);
  virtual int32_t OnReleaseArt(void* data);
  // One engine step; re-attaches first when the window changed.
  virtual void Idle();
  // window null detaches (and turns pacing off). 55021 without an instance,
  // otherwise SetTarget's result.
  virtual int32_t AttachWindow(HWND window, uint32_t options, int64_t extra);
  virtual int32_t AttachKind0(void* target, uint32_t options, int64_t extra);
  virtual int32_t AttachKind1(void* target, uint32_t options, int64_t extra);
  virtual int32_t AttachKind8(void* target, uint32_t options, int64_t extra);
  // Moves and shows window where the engine says ('Wind').
  virtual void PlaceWindow(HWND window);
  virtual void DetachWindow();
  // Every message of the attached window passes through here; handled
  // (may be null) tells whether the host consumed it.
  virtual int64_t HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
  virtual void SetPacingActive(bool on);
  virtual void Shutdown();
  // Asks the engine for a text with code and adds its lines, each cut
  // before its first tab, to list (emptied first).
  virtual int32_t ReadTextList(uint32_t code, XStringList* list);
  virtual void OnFullScreenStarted(bool started);
  virtual void OnFullScreenEnded(bool ended);
  // Dispatches an engine request to the On... operations.
  virtual int32_t HandleEngineMessage(int64_t code, void* data, int64_t size);
  virtual void ResetPacing();
  virtual int32_t OnGetSamples(void* request);

  // 0 when there is no table.
  int64_t SendToEngine(uint32_t code, void* data, int64_t size);
  // False without an instance; otherwise the engine's answer to 'GetF'.
  bool IsEngineFullScreen();
  // Stops the engine and starts over with table (may be null).
  void SetEngineTable(VisualAPI* table);
  // The function given to Create; context is the host.
  static int32_t HostCallback(void* context, int64_t code, void* data, int64_t size);

  // Frames driven by the pacing thread instead of a window timer.
  void SetUsePacingThread(bool on) { mUsePacingThread = on; }
  // Re-attach when the window's client rectangle changes.
  void SetTrackClientRect(bool on) { mTrackClientRect = on; }
  // Mouse events this close to the left, right and bottom edges are not sent.
  void SetMouseBorder(int32_t pixels) { mMouseBorder = pixels; }
  void SetAttachOptionBits(uint32_t bits) { mAttachOptionBits = bits; }
  void SetPeriodBias(int32_t ms) { mPeriodBias = ms; }
  // Fresh audio waits for the engine; the pacing thread idles without it.
  void SetAudioFresh(bool fresh) { mAudioFresh.store(fresh, std::memory_order_relaxed); }
  bool IsAudioFresh() const { return mAudioFresh.load(std::memory_order_relaxed); }

  EngineState GetState() const { return mState; }
  int32_t GetInstanceId() const { return mInstanceId.load(std::memory_order_acquire); }
  bool IsEngineRunning() const { return GetInstanceId() != 0; }
  HWND GetWindow() const { return mWindow.load(std::memory_order_acquire); }
  void* GetKind0Target() const { return mKind0Target; }
  void* GetKind8Target() const { return mKind8Target; }
  VisualAPI* GetEngineTable() const { return mTable; }
  EngineModule* GetEngineModule() const { return mModule; }
  const UtilStr& GetHostParameters() const { return mHostParameters; }
  int32_t GetPeriod() const { return mPeriod.load(std::memory_order_relaxed); }
  // The 12 bytes and the size argument of the engine's last 'FSPr'.
  const uint8_t* GetFullScreenParameters() const { return mFullScreenParameters; }
  int64_t GetFullScreenParametersSize() const { return mFullScreenParametersSize; }
  // 0 when no pacing thread runs.
  DWORD GetPacingThreadId() const;
  void Dump() const override;

 protected:
  ~EngineHost() override;
  // Detaches the module and stops the engine, so no instance or pacing
  // thread outlives the host.
  void OnFinalRelease(int32_t reason) override;
  // One pass of the pacing thread: runs a step through the window's thread
  // and answers how long to sleep before the next one (at least 1 ms).
  int32_t NextPacingSleep();

 private:
  static DWORD WINAPI PacingThread(void* host);
  static void CALLBACK PacingTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
  int32_t SetEngineTarget(void* target, uint32_t kind, uint32_t options, int64_t extra);
  // Sleeps ms in slices, returning early once the engine stopped.
  void SleepWhileRunning(int32_t ms);

  uint16_t mPendingControlChar = 0;
  UniqueHandle mPacingThread;
  UtilStr mHostParameters;
  EngineState mState = kErrNotStarted;
  std::atomic<int32_t> mInstanceId{0};
  VisualAPI* mTable = nullptr;
  std::atomic<int32_t> mPeriod{0};
  int32_t mPeriodBias = 0;
  int32_t mArmedPeriod = -1;
  std::atomic<bool> mAudioFresh{false};
  EngineModule* mModule = nullptr;
  bool mTrackClientRect = false;
  bool mWindowChanged = false;
  bool mUsePacingThread = false;
  int32_t mMouseBorder = 0;
  uint32_t mAttachOptionBits = 0;
  void* mKind8Target = nullptr;
  std::atomic<HWND> mWindow{nullptr};
  void* mKind0Target = nullptr;
  uint8_t mFullScreenParameters[12] = {};
  int64_t mFullScreenParametersSize = 0;
  RECT mLastClientRect = {};
};
