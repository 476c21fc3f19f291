// The millisecond tick, the system time and the smoothed wall clock.
#pragma once

#include <atomic>
#include <cstdint>

// Wraps after about 49.7 days.
uint32_t GetMilliseconds();
// Milliseconds since 1 January 1970 UTC, straight from the system clock.
int64_t GetSystemMilliseconds();
// Milliseconds since 1 January 1970 UTC: the tick added to a base that is
// read from the system clock again every ten seconds.
int64_t GetWallClockMilliseconds();

// Raises the system timer resolution once per process and registers its
// release as an exit callback.
void RaiseTimerResolution();
// The exit callback; the context is ignored.
void RestoreTimerResolution(void* context);
// The raised period in ms, 0 while the resolution is not raised.
uint32_t GetRaisedTimerPeriod();

// The smoothing behind GetWallClockMilliseconds, with its sources passed in
// so that tests can drive the tick.
class WallClock {
 public:
  struct Sources {
    uint32_t (*tick)();
    int64_t (*systemMilliseconds)();
    void (*beforeSynchronise)();
  };

  explicit WallClock(const Sources& sources) : mSources(sources) {}

  int64_t Now();

 private:
  int64_t Synchronise();

  static constexpr uint32_t kResynchroniseAfter = 10000;

  const Sources mSources;
  // Readers on other threads may see a base from one synchronisation and a
  // reference tick from the next: that is at most one step of the clock.
  std::atomic<int64_t> mBase{0};
  std::atomic<uint32_t> mReferenceTick{0xFFFFFFFF};
  std::atomic<bool> mSynchronised{false};
};
