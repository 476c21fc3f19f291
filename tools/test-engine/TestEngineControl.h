// The test engine: a stand-in for the product's visual engine library, for
// tests that load an engine for real (LoadLibraryW, GetBCVisualAPI, the
// function table, HostCallback).
//
// TestEngine.dll exports GetBCVisualAPI and ReleaseBCVisualAPI. Its table
// answers Create, Destroy, SetTarget, Step and Send; every other entry only
// records that it was called and answers 55012. Every call is recorded with
// its arguments, the calling thread and a copy of its payload; the answers are
// chosen by the test. Inside Step the engine calls the host back with the
// requests queued by the test.
//
// The control functions are extra exports of the same DLL. Bind them from the
// module the host loaded:
//
//   HMODULE module = GetModuleHandleW(L"TestEngine.dll");
//   TestEngineControl engine;
//   engine.Bind(module);
//   engine.SetSendAnswer(FourCC("Evnt"), 55019);
//   engine.QueueCallback(FourCC("FSHt"), "\1", 1, 0, false);
//   ... run the host ...
//   for (const auto& call : engine.CallsOf(kTestEngineSend, FourCC("Evnt"))) ...
//
// A test that wants to set answers before the host loads the engine loads
// the DLL itself first (same path: the host then gets the same module and
// state), binds, configures, and frees its own reference afterwards.
// The state is process-wide and survives until the DLL unloads; Reset
// returns it to the defaults (Create succeeds with ids 1, 2, ...; SetTarget
// answers 0; Step answers 10; every Send answers 0).
//
// Payload copies: Send copies its data by the size argument, or, when the
// size is 0, by the size of the known record ('Trck' 3100, 'CArt' 32,
// 'Nset' 16, 'Evnt' 32, 'Wind' 16 bytes). A callback's payload is the
// engine's buffer as it was after the host answered. The call's text is
// Create's host parameter text, or the path a 'CArt' record points to.
//
// Variants beside it, for loading failures: TestEngineNoRelease.dll (no
// ReleaseBCVisualAPI export), TestEngineNullTable.dll (GetBCVisualAPI answers
// 0 and gives no table), TestEngineInitFails.dll (its DllMain refuses to load,
// so LoadLibraryW fails with an error other than "bad image" or "not found"),
// and TestEngineNotImage.dll (a text file, not a loadable image).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

enum TestEngineCallKind : int32_t {
  kTestEngineGetAPI = 1,      // code: version; pointer: table handed out; extra: reserved argument
  kTestEngineReleaseAPI = 2,  // pointer: table given back
  kTestEngineCreate = 3,      // pointer: context; flags: the reserved argument; text: host parameters
  kTestEngineDestroy = 4,
  kTestEngineSetTarget = 5,    // pointer: target; extra; flags
  kTestEngineStep = 6,         // code and extra: the two arguments; result: the period answered
  kTestEngineSend = 7,         // code: 4CC; pointer: data; extra: size; payload: copy of data
  kTestEngineCallback = 8,     // engine -> host: code, pointer, extra as passed; result: host's answer
  kTestEngineUnusedEntry = 9,  // flags: the table entry that was called
  kTestEngineUnload = 10,      // the DLL is being unloaded (reaches the observer only)
};

struct TestEngineCall {
  int32_t kind;        // TestEngineCallKind
  int32_t instanceId;  // the instance the call names (Create: the id handed out)
  uint32_t threadId;   // GetCurrentThreadId of the caller
  uint32_t flags;
  int64_t code;
  void* pointer;
  int64_t extra;
  int64_t result;
  int32_t payloadSize;  // bytes of payload kept
  int32_t textLength;   // bytes of text kept
};

// The record of a 'GetS' request as the engine builds it (64-bit layout).
// The bytes the engine owns are filled with 0xA5, so a test can see that the
// host left them alone.
struct TestEngineSampleRequest {
  int32_t engineOwned0;
  int32_t waveformCapacity;
  float* waveform;
  int32_t waveformCount;
  int32_t spectrumCapacity;
  int64_t engineOwned24;
  float* spectrum;
  int32_t spectrumCount;
  int32_t padding;
};
static_assert(sizeof(TestEngineSampleRequest) == 48);

// Destinations of the engine's sample requests hold this many floats.
inline constexpr int32_t kTestEngineSampleBufferSize = 1024;

// Create's instance-id answer that hands out 1, 2, 3, ...
inline constexpr int32_t kTestEngineAutoId = -1;
// Options of QueueCallback and QueueSampleRequest.
inline constexpr int32_t kTestEngineEveryStep = 1;     // call on every Step, not only the next one
inline constexpr int32_t kTestEngineNullWaveform = 2;  // sample request without waveform destination
inline constexpr int32_t kTestEngineNullSpectrum = 4;  // sample request without spectrum destination

using TestEngineObserver = void (*)(void* context, const TestEngineCall* call);

extern "C" {
using TestEngineResetFn = void (*)();
using TestEngineClearCallsFn = void (*)();
using TestEngineCallCountFn = int32_t (*)();
// Payload bytes of the call (copied up to capacity), or -1 for a bad index.
using TestEngineGetCallFn = int32_t (*)(int32_t index, TestEngineCall* call, void* payload, int32_t capacity);
using TestEngineGetCallTextFn = int32_t (*)(int32_t index, char* text, int32_t capacity);
using TestEngineSetObserverFn = void (*)(TestEngineObserver observer, void* context);
using TestEngineSetGetAPIAnswerFn = void (*)(int32_t result, int32_t giveTable);
using TestEngineSetCreateAnswerFn = void (*)(int32_t result, int32_t instanceId);
using TestEngineSetTargetAnswerFn = void (*)(int32_t result);
using TestEngineSetStepPeriodFn = void (*)(int32_t period);
// code 0: the answer for every code that has none of its own.
using TestEngineSetSendAnswerFn = void (*)(uint32_t code, int64_t answer);
// One-shot answers, used in order before the standing answer of the code.
using TestEngineQueueSendAnswerFn = void (*)(uint32_t code, int64_t answer);
using TestEngineSetWindowRectFn = void (*)(int32_t left, int32_t top, int32_t right, int32_t bottom);
// A Send of code with data fills the {text pointer, int32 length} record.
using TestEngineSetTextAnswerFn = void (*)(uint32_t code, const char* text, int32_t reportedLength);
// bytes null: the callback passes null data; size is passed as given.
using TestEngineQueueCallbackFn = void (*)(int64_t code, const void* bytes, int32_t byteCount, int64_t size,
                                           int32_t options);
using TestEngineQueueSampleRequestFn = void (*)(int32_t waveformCapacity, int32_t spectrumCapacity,
                                                int32_t options);
// Copies what the last sample request received; counts as the host wrote them.
using TestEngineGetLastSamplesFn = void (*)(float* waveform, float* spectrum, int32_t capacity,
                                            int32_t* waveformCount, int32_t* spectrumCount);
}

// Binds the control exports of a loaded test engine.
class TestEngineControl {
 public:
  struct Call : TestEngineCall {
    std::vector<uint8_t> payload;
    std::string text;
  };

  bool Bind(HMODULE module) {
    mBound = module != nullptr;
    Get(module, "TestEngine_Reset", Reset);
    Get(module, "TestEngine_ClearCalls", ClearCalls);
    Get(module, "TestEngine_CallCount", CallCount);
    Get(module, "TestEngine_GetCall", GetCall);
    Get(module, "TestEngine_GetCallText", GetCallText);
    Get(module, "TestEngine_SetObserver", SetObserver);
    Get(module, "TestEngine_SetGetAPIAnswer", SetGetAPIAnswer);
    Get(module, "TestEngine_SetCreateAnswer", SetCreateAnswer);
    Get(module, "TestEngine_SetTargetAnswer", SetTargetAnswer);
    Get(module, "TestEngine_SetStepPeriod", SetStepPeriod);
    Get(module, "TestEngine_SetSendAnswer", SetSendAnswer);
    Get(module, "TestEngine_QueueSendAnswer", QueueSendAnswer);
    Get(module, "TestEngine_SetWindowRect", SetWindowRect);
    Get(module, "TestEngine_SetTextAnswer", SetTextAnswer);
    Get(module, "TestEngine_QueueCallback", QueueCallback);
    Get(module, "TestEngine_QueueSampleRequest", QueueSampleRequest);
    Get(module, "TestEngine_GetLastSamples", GetLastSamples);
    return mBound;
  }

  std::vector<Call> Calls() const { return CallsOf(0, 0); }

  // kind 0: every kind; code 0: every code.
  std::vector<Call> CallsOf(int32_t kind, int64_t code = 0) const {
    std::vector<Call> calls;
    const int32_t count = CallCount();
    for (int32_t i = 0; i < count; ++i) {
      Call call{};
      const int32_t size = GetCall(i, &call, nullptr, 0);
      if (size < 0) break;
      if ((kind != 0 && call.kind != kind) || (code != 0 && call.code != code)) continue;
      call.payload.resize(size_t(size));
      GetCall(i, &call, call.payload.data(), size);
      call.text.resize(size_t(call.textLength));
      GetCallText(i, call.text.data(), call.textLength + 1);
      calls.push_back(std::move(call));
    }
    return calls;
  }

  TestEngineResetFn Reset = nullptr;
  TestEngineClearCallsFn ClearCalls = nullptr;
  TestEngineCallCountFn CallCount = nullptr;
  TestEngineGetCallFn GetCall = nullptr;
  TestEngineGetCallTextFn GetCallText = nullptr;
  TestEngineSetObserverFn SetObserver = nullptr;
  TestEngineSetGetAPIAnswerFn SetGetAPIAnswer = nullptr;
  TestEngineSetCreateAnswerFn SetCreateAnswer = nullptr;
  TestEngineSetTargetAnswerFn SetTargetAnswer = nullptr;
  TestEngineSetStepPeriodFn SetStepPeriod = nullptr;
  TestEngineSetSendAnswerFn SetSendAnswer = nullptr;
  TestEngineQueueSendAnswerFn QueueSendAnswer = nullptr;
  TestEngineSetWindowRectFn SetWindowRect = nullptr;
  TestEngineSetTextAnswerFn SetTextAnswer = nullptr;
  TestEngineQueueCallbackFn QueueCallback = nullptr;
  TestEngineQueueSampleRequestFn QueueSampleRequest = nullptr;
  TestEngineGetLastSamplesFn GetLastSamples = nullptr;

 private:
  template <typename Fn>
  void Get(HMODULE module, const char* name, Fn& fn) {
    fn = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    if (!fn) mBound = false;
  }

  bool mBound = false;
};
