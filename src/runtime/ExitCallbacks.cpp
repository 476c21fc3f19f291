#include "runtime/ExitCallbacks.h"

#include <atomic>
#include <climits>

namespace {

struct ExitCallbackEntry {
  // Null once the callback has run, or while its slot is claimed but not yet filled.
  std::atomic<ExitCallback> callback;
  void* context;
  int32_t priority;
};

ExitCallbackEntry gExitCallbackTable[kExitCallbackCapacity];
std::atomic<int32_t> gExitCallbackCount{0};

// Claims the next slot, never beyond the last one even when threads race
// for it; -1 when the table is full.
int ClaimSlot() {
  int32_t count = gExitCallbackCount.load(std::memory_order_relaxed);
  while (count < kExitCallbackCapacity) {
    if (gExitCallbackCount.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel)) return count;
  }
  return -1;
}

}  // namespace

void RegisterExitCallback(ExitCallback callback, void* context, int32_t priority) {
  if (!callback) return;
  const int slot = ClaimSlot();
  if (slot < 0) return;
  ExitCallbackEntry& entry = gExitCallbackTable[slot];
  entry.context = context;
  entry.priority = priority;
  entry.callback.store(callback, std::memory_order_release);
}

void RunExitCallbacks() {
  const int count = gExitCallbackCount.load(std::memory_order_acquire);
  for (;;) {
    bool found = false;
    int32_t highest = INT32_MIN;
    for (int i = 0; i < count; ++i) {
      const ExitCallbackEntry& entry = gExitCallbackTable[i];
      if (entry.callback.load(std::memory_order_acquire) && (!found || entry.priority > highest)) {
        highest = entry.priority;
        found = true;
      }
    }
    if (!found) break;
    for (int i = count - 1; i >= 0; --i) {
      ExitCallbackEntry& entry = gExitCallbackTable[i];
      if (entry.priority != highest) continue;
      if (const ExitCallback callback = entry.callback.exchange(nullptr, std::memory_order_acq_rel))
        callback(entry.context);
    }
  }
  gExitCallbackCount.store(0, std::memory_order_release);
}
