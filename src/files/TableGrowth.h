// Growth rule shared by the keyed tables: bucket counts are powers of two
// and the load stays at or below 35 % (45 % for very large tables).
#pragma once

#include <bit>
#include <cstdint>

inline constexpr uint64_t kMaxBucketCount = 0x80000000u;

// 4 x the smallest power of two that is at least entries + 3. Above 2^31 the
// count is capped, or the current count is kept when keepCurrent is set.
inline uint32_t GrownBucketCount(int64_t entries, uint32_t current, bool keepCurrent) {
  const uint64_t wanted = 4 * std::bit_ceil(static_cast<uint64_t>(entries < 0 ? 0 : entries) + 3);
  if (wanted > kMaxBucketCount) return keepCurrent ? current : static_cast<uint32_t>(kMaxBucketCount);
  return static_cast<uint32_t>(wanted);
}

inline uint32_t GrowThresholdFor(uint32_t buckets) {
  return buckets > 0xFFFFF ? buckets / 100 * 45 : buckets * 35 / 100;
}
