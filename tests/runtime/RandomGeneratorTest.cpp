#include <gtest/gtest.h>

#include <climits>

#include "runtime/RandomGenerator.h"

TEST(RandomGenerator, NextFollowsTheMixingFormula) {
  RandomGenerator fromZero(0);
  EXPECT_EQ(fromZero.Next(), 1749743173u);
  EXPECT_EQ(fromZero.GetState(), 1749743173u);
  RandomGenerator fromOne(1);
  EXPECT_EQ(fromOne.Next(), 784656311u);
}

TEST(RandomGenerator, EmptyOrInvertedRangeGivesLowWithoutAdvancing) {
  const struct { int low, high; } cases[] = {{5, 5}, {7, 3}, {INT_MAX, INT_MIN}, {0, -1}};
  for (const auto& range : cases) {
    RandomGenerator generator(12345);
    EXPECT_EQ(generator.NextInRange(range.low, range.high), range.low) << range.low << ".." << range.high;
    EXPECT_EQ(generator.GetState(), 12345u) << range.low << ".." << range.high;
  }
}

TEST(RandomGenerator, NextInRangeIsLowPlusStateModuloCount) {
  const struct {
    int low, high;
  } cases[] = {{0, 9}, {-3, 3}, {INT_MIN, INT_MIN + 1}, {INT_MAX - 2, INT_MAX}, {INT_MIN, -1}, {-1, INT_MAX}};
  for (const auto& range : cases) {
    RandomGenerator generator(777);
    RandomGenerator oracle(777);
    const uint32_t count = uint32_t(int64_t(range.high) - range.low + 1);
    for (int draw = 0; draw < 200; ++draw) {
      const int value = generator.NextInRange(range.low, range.high);
      const int64_t expected = int64_t(range.low) + oracle.Next() % count;
      ASSERT_EQ(value, expected) << range.low << ".." << range.high << " draw " << draw;
      ASSERT_GE(value, range.low);
      ASSERT_LE(value, range.high);
    }
  }
}

TEST(RandomGenerator, FullRangeDoesNotDivideByZero) {
  RandomGenerator generator(99);
  RandomGenerator oracle(99);
  EXPECT_EQ(generator.NextInRange(INT_MIN, INT_MAX), int(uint32_t(INT_MIN) + oracle.Next()));
}

TEST(RandomGenerator, SeedsInTheSameMillisecondDiffer) {
  RandomGenerator first;
  RandomGenerator second;
  first.Seed();
  second.Seed();
  EXPECT_NE(first.GetState(), second.GetState());
  RandomGenerator again;
  again.Seed();
  EXPECT_NE(again.GetState(), second.GetState());
}

TEST(RandomGenerator, DrawsCoverASmallRange) {
  RandomGenerator generator;
  generator.Seed();
  int seen[6] = {};
  for (int draw = 0; draw < 600; ++draw) ++seen[generator.NextInRange(0, 5)];
  for (int value = 0; value < 6; ++value) EXPECT_GT(seen[value], 50) << "value " << value;
}
