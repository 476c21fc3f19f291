#include "runtime/Clock.h"

#include "platform/Platform.h"
#include "runtime/ExitCallbacks.h"

namespace {

// 100-ns units from 1 January 1601 to 1 January 1970.
constexpr int64_t kSystemTimeAt1970 = 116444736000000000;
constexpr uint32_t kLeastTimerPeriod = 2;

std::atomic<uint32_t> gRaisedTimerPeriod{0};

WallClock& ProcessWallClock() {
  static WallClock clock({GetMilliseconds, GetSystemMilliseconds, RaiseTimerResolution});
  return clock;
}

}  // namespace

uint32_t GetMilliseconds() {
  return PlatformTickMilliseconds();
}

int64_t GetSystemMilliseconds() {
  return (PlatformSystemTime() - kSystemTimeAt1970) / 10000;
}

int64_t GetWallClockMilliseconds() {
  return ProcessWallClock().Now();
}

void RaiseTimerResolution() {
  if (gRaisedTimerPeriod.load(std::memory_order_acquire) != 0) return;
  uint32_t period = PlatformMinimumTimerPeriod();
  if (period < kLeastTimerPeriod) period = kLeastTimerPeriod;
  if (!PlatformBeginTimerPeriod(period)) return;
  uint32_t none = 0;
  if (gRaisedTimerPeriod.compare_exchange_strong(none, period, std::memory_order_acq_rel))
    RegisterExitCallback(RestoreTimerResolution, nullptr, 0);
  else
    PlatformEndTimerPeriod(period);  // another thread raised it first
}

void RestoreTimerResolution(void*) {
  if (const uint32_t period = gRaisedTimerPeriod.exchange(0, std::memory_order_acq_rel))
    PlatformEndTimerPeriod(period);
}

uint32_t GetRaisedTimerPeriod() {
  return gRaisedTimerPeriod.load(std::memory_order_acquire);
}

int64_t WallClock::Now() {
  // The elapsed time is taken modulo 2^32, so a wrapping tick stays correct.
  const uint32_t elapsed = mSources.tick() - mReferenceTick.load(std::memory_order_acquire);
  if (elapsed <= kResynchroniseAfter && mSynchronised.load(std::memory_order_acquire))
    return mBase.load(std::memory_order_acquire) + elapsed;
  return Synchronise();
}

int64_t WallClock::Synchronise() {
  mSources.beforeSynchronise();
  // The first reads after a pause can be slow; take them and discard them.
  mSources.systemMilliseconds();
  mSources.tick();
  const int64_t system1 = mSources.systemMilliseconds();
  const uint32_t tick1 = mSources.tick();
  const uint32_t tick2 = mSources.tick();
  const int64_t system2 = mSources.systemMilliseconds();
  const int64_t base = system1 + (system2 - system1) / 2;
  mBase.store(base, std::memory_order_release);
  mReferenceTick.store(tick1 + (tick2 - tick1) / 2, std::memory_order_release);
  mSynchronised.store(true, std::memory_order_release);
  return base;
}
