// The library's two exports and the function table behind them. The host
// calls every entry on the thread of the window the engine is attached to.
#include <cstdint>
#include <map>
#include <memory>

#include "EngineInstance.h"
#include "host/VisualAPI.h"
#include "runtime/ResultCodes.h"

namespace sample_engine {
namespace {

std::map<int32_t, std::unique_ptr<EngineInstance>> gInstances;
int32_t gNextInstanceId = 1;

EngineInstance* FindInstance(int32_t id) {
  const auto it = gInstances.find(id);
  return it == gInstances.end() ? nullptr : it->second.get();
}

int32_t CreateEntry(int32_t* instanceId, int32_t /*reserved*/, HostCallback callback, void* context,
                    const char* hostParameters) {
  if (instanceId == nullptr) return kErrBadArgument;
  *instanceId = 0;
  const int32_t id = gNextInstanceId++;
  gInstances[id] = std::make_unique<EngineInstance>(callback, context, hostParameters);
  *instanceId = id;
  return kOk;
}

void DestroyEntry(int32_t instanceId) {
  const auto it = gInstances.find(instanceId);
  if (it == gInstances.end()) return;
  // Out of the table before it goes, in case its destruction calls back.
  std::unique_ptr<EngineInstance> instance = std::move(it->second);
  gInstances.erase(it);
}

int32_t SetTargetEntry(int32_t instanceId, void* target, int64_t extra, uint32_t flags) {
  EngineInstance* instance = FindInstance(instanceId);
  return instance != nullptr ? instance->SetTarget(target, extra, flags) : kErrNoInstance;
}

int32_t StepEntry(int32_t instanceId, int32_t, int32_t) {
  EngineInstance* instance = FindInstance(instanceId);
  return instance != nullptr ? instance->Step() : EngineInstance::kFramePeriodMs;
}

int64_t SendEntry(int32_t instanceId, uint32_t code, void* data, int64_t size) {
  EngineInstance* instance = FindInstance(instanceId);
  return instance != nullptr ? instance->Send(code, data, size) : kErrNoInstance;
}

// Entries the host never calls; anyone who does gets "not handled".
int64_t UnusedEntry() {
  return kErrNotHandled;
}

VisualAPI MakeTable() {
  VisualAPI table{};
  for (void*& entry : table.entries) entry = reinterpret_cast<void*>(&UnusedEntry);
  table.entries[VisualAPI::kCreate] = reinterpret_cast<void*>(&CreateEntry);
  table.entries[VisualAPI::kDestroy] = reinterpret_cast<void*>(&DestroyEntry);
  table.entries[VisualAPI::kSetTarget] = reinterpret_cast<void*>(&SetTargetEntry);
  table.entries[VisualAPI::kStep] = reinterpret_cast<void*>(&StepEntry);
  table.entries[VisualAPI::kSend] = reinterpret_cast<void*>(&SendEntry);
  return table;
}

VisualAPI gTable = MakeTable();

}  // namespace
}  // namespace sample_engine

extern "C" int32_t GetBCVisualAPI(int32_t version, VisualAPI** table, int64_t /*reserved*/) {
  if (table == nullptr) return kErrBadArgument;
  *table = nullptr;
  if (version != kVisualAPIVersion) return kErrBadArgument;
  *table = &sample_engine::gTable;
  return kOk;
}

extern "C" void ReleaseBCVisualAPI(VisualAPI* /*table*/) {
  // Instances a host forgot to destroy must not outlive the module's code.
  sample_engine::gInstances.clear();
  sample_engine::FullScreenWindow::UnregisterWindowClass();
}
