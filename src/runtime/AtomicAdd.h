// The one atomic operation that the runtime's reference counts use.
#pragma once

#include <atomic>
#include <cstdint>

// Adds in one locked exchange-and-add and answers the value after it,
// wrapping like unsigned arithmetic. A null target answers 0.
inline int32_t AtomicAdd(int32_t* target, int32_t addend) {
  if (!target) return 0;
  const int32_t before = std::atomic_ref<int32_t>(*target).fetch_add(addend, std::memory_order_acq_rel);
  return int32_t(uint32_t(before) + uint32_t(addend));
}
