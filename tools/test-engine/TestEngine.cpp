// The test engine DLL; see TestEngineControl.h for what it does and how a
// test drives it. Built several times: the variant macros turn one export or
// the loading off.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "TestEngineControl.h"
#include "host/VisualAPI.h"

#define TEST_ENGINE_EXPORT extern "C" __declspec(dllexport)

namespace {

struct RecordedCall {
  TestEngineCall call;
  std::vector<uint8_t> payload;
  std::string text;
};

struct QueuedCallback {
  int64_t code;
  std::vector<uint8_t> bytes;
  bool nullData;
  int64_t size;
  bool everyStep;
  bool sampleRequest;
  int32_t waveformCapacity;
  int32_t spectrumCapacity;
  int32_t options;
};

struct Instance {
  HostCallback callback;
  void* context;
};

struct TextAnswer {
  std::string text;
  int32_t reportedLength;
};

// The record a text-list read hands over for the engine to fill.
struct TextRecord {
  const char* text;
  int32_t length;
};

constexpr int64_t kUnhandled = 55012;
constexpr size_t kMaxPayload = 1 << 20;

struct EngineState {
  std::mutex lock;
  std::vector<RecordedCall> calls;
  TestEngineObserver observer = nullptr;
  void* observerContext = nullptr;

  int32_t getApiResult = 0;
  bool giveTable = true;
  int32_t createResult = 0;
  int32_t createId = kTestEngineAutoId;
  int32_t nextId = 1;
  int32_t setTargetResult = 0;
  int32_t stepPeriod = 10;
  std::map<uint32_t, int64_t> sendAnswers;
  std::map<uint32_t, std::deque<int64_t>> queuedSendAnswers;
  int32_t windowRect[4] = {};
  std::map<uint32_t, TextAnswer> textAnswers;
  std::vector<QueuedCallback> callbacks;
  std::map<int32_t, Instance> instances;

  float waveform[kTestEngineSampleBufferSize] = {};
  float spectrum[kTestEngineSampleBufferSize] = {};
  int32_t waveformCount = 0;
  int32_t spectrumCount = 0;

  void ResetAnswers() {
    getApiResult = 0;
    giveTable = true;
    createResult = 0;
    createId = kTestEngineAutoId;
    nextId = 1;
    setTargetResult = 0;
    stepPeriod = 10;
    sendAnswers.clear();
    queuedSendAnswers.clear();
    std::memset(windowRect, 0, sizeof(windowRect));
    textAnswers.clear();
    callbacks.clear();
    waveformCount = 0;
    spectrumCount = 0;
  }
};

EngineState& State() {
  static EngineState state;
  return state;
}

size_t KnownRecordSize(uint32_t code) {
  switch (code) {
    case kCodeTrack:
      return 3100;
    case kCodeCoverArt:
    case kCodeEvent:
      return 32;
    case kCodeInsets:
    case kCodeWindowRect:
      return 16;
    default:
      return 0;
  }
}

TestEngineCall MakeCall(int32_t kind, int32_t instanceId) {
  TestEngineCall call{};
  call.kind = kind;
  call.instanceId = instanceId;
  call.threadId = GetCurrentThreadId();
  return call;
}

void Record(TestEngineCall call, const void* payload = nullptr, size_t payloadSize = 0,
            std::string text = std::string()) {
  RecordedCall entry;
  entry.call = call;
  if (payload && payloadSize > 0) {
    const auto* bytes = static_cast<const uint8_t*>(payload);
    entry.payload.assign(bytes, bytes + std::min(payloadSize, kMaxPayload));
  }
  entry.text = std::move(text);
  entry.call.payloadSize = int32_t(entry.payload.size());
  entry.call.textLength = int32_t(entry.text.size());
  TestEngineObserver observer;
  void* context;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    observer = State().observer;
    context = State().observerContext;
    State().calls.push_back(entry);
  }
  if (observer) observer(context, &entry.call);
}

int32_t Create(int32_t* instanceId, int32_t reserved, HostCallback callback, void* context,
               const char* hostParameters) {
  EngineState& state = State();
  int32_t id;
  int32_t result;
  {
    std::lock_guard<std::mutex> guard(state.lock);
    id = state.createId == kTestEngineAutoId ? state.nextId++ : state.createId;
    result = state.createResult;
    if (id != 0) state.instances[id] = Instance{callback, context};
  }
  if (instanceId) *instanceId = id;
  TestEngineCall call = MakeCall(kTestEngineCreate, id);
  call.flags = uint32_t(reserved);
  call.pointer = context;
  call.result = result;
  Record(call, nullptr, 0, hostParameters ? std::string(hostParameters) : std::string());
  return result;
}

void Destroy(int32_t instanceId) {
  {
    std::lock_guard<std::mutex> guard(State().lock);
    State().instances.erase(instanceId);
  }
  Record(MakeCall(kTestEngineDestroy, instanceId));
}

int32_t SetTarget(int32_t instanceId, void* target, int64_t extra, uint32_t flags) {
  int32_t result;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    result = State().setTargetResult;
  }
  TestEngineCall call = MakeCall(kTestEngineSetTarget, instanceId);
  call.pointer = target;
  call.extra = extra;
  call.flags = flags;
  call.result = result;
  Record(call);
  return result;
}

// Builds the payload of one queued callback in the engine's own buffers.
void* PrepareCallbackData(QueuedCallback& queued, TestEngineSampleRequest& request) {
  if (queued.sampleRequest) {
    std::memset(&request, 0xA5, sizeof(request));
    request.waveformCapacity = queued.waveformCapacity;
    request.waveform = (queued.options & kTestEngineNullWaveform) ? nullptr : State().waveform;
    request.waveformCount = 0;
    request.spectrumCapacity = queued.spectrumCapacity;
    request.spectrum = (queued.options & kTestEngineNullSpectrum) ? nullptr : State().spectrum;
    request.spectrumCount = 0;
    return &request;
  }
  return queued.nullData ? nullptr : queued.bytes.data();
}

void RunCallbacks(int32_t instanceId) {
  Instance instance{};
  std::vector<QueuedCallback> due;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    auto found = State().instances.find(instanceId);
    if (found == State().instances.end() || !found->second.callback) return;
    instance = found->second;
    auto& queue = State().callbacks;
    due = queue;
    std::erase_if(queue, [](const QueuedCallback& queued) { return !queued.everyStep; });
  }
  for (QueuedCallback& queued : due) {
    TestEngineSampleRequest request;
    void* data = PrepareCallbackData(queued, request);
    const int64_t size = queued.sampleRequest ? int64_t(sizeof(request)) : queued.size;
    const int32_t result = instance.callback(instance.context, queued.code, data, size);
    TestEngineCall call = MakeCall(kTestEngineCallback, instanceId);
    call.code = queued.code;
    call.pointer = data;
    call.extra = size;
    call.result = result;
    if (queued.sampleRequest) {
      {
        std::lock_guard<std::mutex> guard(State().lock);
        State().waveformCount = request.waveformCount;
        State().spectrumCount = request.spectrumCount;
      }
      Record(call, &request, sizeof(request));
    } else {
      Record(call, data, data ? queued.bytes.size() : 0);
    }
  }
}

int32_t Step(int32_t instanceId, int32_t first, int32_t second) {
  RunCallbacks(instanceId);
  int32_t period;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    period = State().stepPeriod;
  }
  TestEngineCall call = MakeCall(kTestEngineStep, instanceId);
  call.code = first;
  call.extra = second;
  call.result = period;
  Record(call);
  return period;
}

int64_t SendAnswer(uint32_t code) {
  EngineState& state = State();
  auto queued = state.queuedSendAnswers.find(code);
  if (queued != state.queuedSendAnswers.end() && !queued->second.empty()) {
    const int64_t answer = queued->second.front();
    queued->second.pop_front();
    return answer;
  }
  auto own = state.sendAnswers.find(code);
  if (own != state.sendAnswers.end()) return own->second;
  auto any = state.sendAnswers.find(0);
  return any != state.sendAnswers.end() ? any->second : 0;
}

int64_t Send(int32_t instanceId, uint32_t code, void* data, int64_t size) {
  TestEngineCall call = MakeCall(kTestEngineSend, instanceId);
  call.code = code;
  call.pointer = data;
  call.extra = size;
  size_t copySize = size > 0 ? size_t(size) : KnownRecordSize(code);
  std::vector<uint8_t> payload;
  if (data && copySize > 0) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    payload.assign(bytes, bytes + std::min(copySize, kMaxPayload));
  }
  std::string text;
  if (code == kCodeCoverArt && payload.size() >= 24) {
    const char* path;
    std::memcpy(&path, payload.data() + 16, sizeof(path));
    if (path) text = path;
  }
  {
    std::lock_guard<std::mutex> guard(State().lock);
    call.result = SendAnswer(code);
    if (data && code == kCodeWindowRect) std::memcpy(data, State().windowRect, sizeof(State().windowRect));
    auto answer = State().textAnswers.find(code);
    if (data && answer != State().textAnswers.end()) {
      TextRecord record{answer->second.text.c_str(), answer->second.reportedLength};
      std::memcpy(data, &record, sizeof(record));
    }
  }
  Record(call, payload.data(), payload.size(), std::move(text));
  return call.result;
}

template <int kEntry>
int64_t UnusedEntry() {
  TestEngineCall call = MakeCall(kTestEngineUnusedEntry, 0);
  call.flags = kEntry;
  call.result = kUnhandled;
  Record(call);
  return kUnhandled;
}

template <int... kEntries>
VisualAPI MakeTable(std::integer_sequence<int, kEntries...>) {
  VisualAPI table{{reinterpret_cast<void*>(&UnusedEntry<kEntries>)...}};
  table.entries[VisualAPI::kCreate] = reinterpret_cast<void*>(&Create);
  table.entries[VisualAPI::kDestroy] = reinterpret_cast<void*>(&Destroy);
  table.entries[VisualAPI::kSetTarget] = reinterpret_cast<void*>(&SetTarget);
  table.entries[VisualAPI::kStep] = reinterpret_cast<void*>(&Step);
  table.entries[VisualAPI::kSend] = reinterpret_cast<void*>(&Send);
  return table;
}

VisualAPI gTable = MakeTable(std::make_integer_sequence<int, VisualAPI::kEntryCount>());

}  // namespace

TEST_ENGINE_EXPORT int32_t GetBCVisualAPI(int32_t version, VisualAPI** table, int64_t reserved) {
  int32_t result;
  VisualAPI* given;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    result = State().getApiResult;
    given = State().giveTable ? &gTable : nullptr;
  }
#ifdef TEST_ENGINE_NULL_TABLE
  result = 0;
  given = nullptr;
#endif
  if (table) *table = given;
  TestEngineCall call = MakeCall(kTestEngineGetAPI, 0);
  call.code = version;
  call.pointer = given;
  call.extra = reserved;
  call.result = result;
  Record(call);
  return result;
}

#ifndef TEST_ENGINE_NO_RELEASE
TEST_ENGINE_EXPORT void ReleaseBCVisualAPI(VisualAPI* table) {
  TestEngineCall call = MakeCall(kTestEngineReleaseAPI, 0);
  call.pointer = table;
  Record(call);
}
#endif

TEST_ENGINE_EXPORT void TestEngine_Reset() {
  std::lock_guard<std::mutex> guard(State().lock);
  State().calls.clear();
  State().observer = nullptr;
  State().observerContext = nullptr;
  State().ResetAnswers();
}

TEST_ENGINE_EXPORT void TestEngine_ClearCalls() {
  std::lock_guard<std::mutex> guard(State().lock);
  State().calls.clear();
}

TEST_ENGINE_EXPORT int32_t TestEngine_CallCount() {
  std::lock_guard<std::mutex> guard(State().lock);
  return int32_t(State().calls.size());
}

TEST_ENGINE_EXPORT int32_t TestEngine_GetCall(int32_t index, TestEngineCall* call, void* payload,
                                              int32_t capacity) {
  std::lock_guard<std::mutex> guard(State().lock);
  if (index < 0 || size_t(index) >= State().calls.size()) return -1;
  const RecordedCall& entry = State().calls[size_t(index)];
  if (call) *call = entry.call;
  if (payload && capacity > 0) {
    std::memcpy(payload, entry.payload.data(), std::min(size_t(capacity), entry.payload.size()));
  }
  return int32_t(entry.payload.size());
}

TEST_ENGINE_EXPORT int32_t TestEngine_GetCallText(int32_t index, char* text, int32_t capacity) {
  std::lock_guard<std::mutex> guard(State().lock);
  if (index < 0 || size_t(index) >= State().calls.size()) return -1;
  const std::string& kept = State().calls[size_t(index)].text;
  if (text && capacity > 0) {
    const size_t count = std::min(size_t(capacity - 1), kept.size());
    std::memcpy(text, kept.data(), count);
    text[count] = 0;
  }
  return int32_t(kept.size());
}

TEST_ENGINE_EXPORT void TestEngine_SetObserver(TestEngineObserver observer, void* context) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().observer = observer;
  State().observerContext = context;
}

TEST_ENGINE_EXPORT void TestEngine_SetGetAPIAnswer(int32_t result, int32_t giveTable) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().getApiResult = result;
  State().giveTable = giveTable != 0;
}

TEST_ENGINE_EXPORT void TestEngine_SetCreateAnswer(int32_t result, int32_t instanceId) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().createResult = result;
  State().createId = instanceId;
}

TEST_ENGINE_EXPORT void TestEngine_SetTargetAnswer(int32_t result) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().setTargetResult = result;
}

TEST_ENGINE_EXPORT void TestEngine_SetStepPeriod(int32_t period) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().stepPeriod = period;
}

TEST_ENGINE_EXPORT void TestEngine_SetSendAnswer(uint32_t code, int64_t answer) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().sendAnswers[code] = answer;
}

TEST_ENGINE_EXPORT void TestEngine_QueueSendAnswer(uint32_t code, int64_t answer) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().queuedSendAnswers[code].push_back(answer);
}

TEST_ENGINE_EXPORT void TestEngine_SetWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().windowRect[0] = left;
  State().windowRect[1] = top;
  State().windowRect[2] = right;
  State().windowRect[3] = bottom;
}

TEST_ENGINE_EXPORT void TestEngine_SetTextAnswer(uint32_t code, const char* text, int32_t reportedLength) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().textAnswers[code] = TextAnswer{text ? std::string(text) : std::string(), reportedLength};
}

TEST_ENGINE_EXPORT void TestEngine_QueueCallback(int64_t code, const void* bytes, int32_t byteCount,
                                                 int64_t size, int32_t options) {
  QueuedCallback queued{};
  queued.code = code;
  queued.nullData = bytes == nullptr;
  if (bytes && byteCount > 0) {
    const auto* first = static_cast<const uint8_t*>(bytes);
    queued.bytes.assign(first, first + byteCount);
  }
  if (!queued.nullData && queued.bytes.empty()) queued.bytes.push_back(0);
  queued.size = size;
  queued.everyStep = (options & kTestEngineEveryStep) != 0;
  std::lock_guard<std::mutex> guard(State().lock);
  State().callbacks.push_back(std::move(queued));
}

TEST_ENGINE_EXPORT void TestEngine_QueueSampleRequest(int32_t waveformCapacity, int32_t spectrumCapacity,
                                                      int32_t options) {
  QueuedCallback queued{};
  queued.code = kCodeGetSamples;
  queued.everyStep = (options & kTestEngineEveryStep) != 0;
  queued.sampleRequest = true;
  queued.waveformCapacity = waveformCapacity;
  queued.spectrumCapacity = spectrumCapacity;
  queued.options = options;
  std::lock_guard<std::mutex> guard(State().lock);
  State().callbacks.push_back(std::move(queued));
}

TEST_ENGINE_EXPORT void TestEngine_GetLastSamples(float* waveform, float* spectrum, int32_t capacity,
                                                  int32_t* waveformCount, int32_t* spectrumCount) {
  std::lock_guard<std::mutex> guard(State().lock);
  const size_t count = size_t(std::clamp(capacity, 0, kTestEngineSampleBufferSize));
  if (waveform) std::memcpy(waveform, State().waveform, count * sizeof(float));
  if (spectrum) std::memcpy(spectrum, State().spectrum, count * sizeof(float));
  if (waveformCount) *waveformCount = State().waveformCount;
  if (spectrumCount) *spectrumCount = State().spectrumCount;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
#ifdef TEST_ENGINE_INIT_FAILS
  if (reason == DLL_PROCESS_ATTACH) return FALSE;
#endif
  if (reason == DLL_PROCESS_DETACH) {
    TestEngineObserver observer;
    void* context;
    {
      std::lock_guard<std::mutex> guard(State().lock);
      observer = State().observer;
      context = State().observerContext;
    }
    if (observer) {
      const TestEngineCall call = MakeCall(kTestEngineUnload, 0);
      observer(context, &call);
    }
  }
  return TRUE;
}
