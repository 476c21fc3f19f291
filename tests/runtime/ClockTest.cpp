#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "runtime/Clock.h"
#include "runtime/ExitCallbacks.h"

namespace {

// A tick and a system clock that the test moves by hand. The system clock
// advances by one millisecond per read so that the synchronisation's
// averaging shows.
struct FakeSources {
  static inline uint32_t tick = 0;
  static inline int64_t system = 0;
  static inline int synchronisations = 0;

  static uint32_t Tick() { return tick; }
  static int64_t System() { return system++; }
  static void BeforeSynchronise() { ++synchronisations; }
};

class WallClockTest : public testing::Test {
 protected:
  void SetUp() override {
    FakeSources::tick = 0;
    FakeSources::system = 0;
    FakeSources::synchronisations = 0;
  }
  WallClock mClock{{FakeSources::Tick, FakeSources::System, FakeSources::BeforeSynchronise}};
};

}  // namespace

TEST_F(WallClockTest, FirstReadingSynchronisesEvenRightAfterATickOfZero) {
  FakeSources::tick = 5;
  FakeSources::system = 1'700'000'000'000;
  // Warm-up read at +0, then s1 = +1 and s2 = +2: the base is their mean.
  EXPECT_EQ(mClock.Now(), 1'700'000'000'001);
  EXPECT_EQ(FakeSources::synchronisations, 1);
}

TEST_F(WallClockTest, FollowsTheTickForTenSecondsThenResynchronises) {
  FakeSources::tick = 1000;
  FakeSources::system = 50'000;
  const int64_t base = mClock.Now();
  FakeSources::system = 90'000;
  const uint32_t steps[] = {1, 250, 9999, 10000};
  for (const uint32_t step : steps) {
    FakeSources::tick = 1000 + step;
    EXPECT_EQ(mClock.Now(), base + step) << "after " << step << " ms";
  }
  EXPECT_EQ(FakeSources::synchronisations, 1);
  FakeSources::tick = 1000 + 10001;
  EXPECT_EQ(mClock.Now(), 90'001);
  EXPECT_EQ(FakeSources::synchronisations, 2);
}

TEST_F(WallClockTest, WrappingTickNeedsNoExtraSynchronisation) {
  FakeSources::tick = 0xFFFFF000;
  FakeSources::system = 7'000'000;
  const int64_t base = mClock.Now();
  FakeSources::tick = 0x00000100;  // 0x1100 ms later, past the wrap
  EXPECT_EQ(mClock.Now(), base + 0x1100);
  EXPECT_EQ(FakeSources::synchronisations, 1);
}

TEST(Clock, SystemMillisecondsAgreeWithTheCalendarClock) {
  const int64_t before = int64_t(std::time(nullptr)) * 1000;
  const int64_t now = GetSystemMilliseconds();
  const int64_t after = int64_t(std::time(nullptr)) * 1000 + 1000;
  EXPECT_GE(now, before);
  EXPECT_LE(now, after);
  const int64_t wall = GetWallClockMilliseconds();
  EXPECT_LE(std::llabs(wall - now), 1000) << "wall " << wall << " system " << now;
}

TEST(Clock, RaisedResolutionIsReleasedByTheExitCallbacks) {
  RaiseTimerResolution();
  const uint32_t period = GetRaisedTimerPeriod();
  EXPECT_GE(period, 2u);
  RaiseTimerResolution();
  EXPECT_EQ(GetRaisedTimerPeriod(), period);
  RunExitCallbacks();
  EXPECT_EQ(GetRaisedTimerPeriod(), 0u);
}
