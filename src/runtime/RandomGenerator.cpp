#include "runtime/RandomGenerator.h"

#include <atomic>
#include <cstdint>

#include "platform/Platform.h"
#include "runtime/Clock.h"

namespace {

// Fixed at the first seeding of the process.
std::atomic<uint32_t> gSeedSalt{0};
std::atomic<uint32_t> gLastSeed{0x20ECF885};

}  // namespace

void RandomGenerator::Seed() {
  const uint32_t now = uint32_t(GetWallClockMilliseconds());
  uint32_t salt = gSeedSalt.load(std::memory_order_relaxed);
  if (salt == 0) {
    salt = now * 50651u + PlatformProcessId() * 10613u + uint32_t(uintptr_t(this)) * 201107u + 925241u;
    gSeedSalt.store(salt, std::memory_order_relaxed);
  }
  mState = gLastSeed.load(std::memory_order_relaxed) * 9040553u + salt + now * 13u;
  gLastSeed.store(mState, std::memory_order_relaxed);
}

uint32_t RandomGenerator::Next() {
  const uint32_t c = mState * 1103515245u + 12345u;
  mState = (c >> 14) ^ (c * 663608941u);
  return mState;
}

int RandomGenerator::NextInRange(int low, int high) {
  if (high <= low) return low;
  const uint32_t count = uint32_t(high) - uint32_t(low) + 1u;
  const uint32_t state = Next();
  // The full 32-bit range wraps the count to 0: every value is in range then.
  const uint32_t offset = count == 0 ? state : state % count;
  return int(uint32_t(low) + offset);
}
