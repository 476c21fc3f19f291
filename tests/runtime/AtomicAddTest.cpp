#include <gtest/gtest.h>

#include <climits>
#include <thread>
#include <vector>

#include "runtime/AtomicAdd.h"

TEST(AtomicAdd, AnswersTheValueAfterTheAddition) {
  int32_t value = 5;
  EXPECT_EQ(AtomicAdd(&value, 3), 8);
  EXPECT_EQ(AtomicAdd(&value, -10), -2);
  value = INT32_MAX;
  EXPECT_EQ(AtomicAdd(&value, 1), INT32_MIN);
  EXPECT_EQ(AtomicAdd(nullptr, 1), 0);
}

TEST(AtomicAdd, ConcurrentAddsAllCount) {
  int32_t value = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&value] {
      for (int i = 0; i < 50000; ++i) AtomicAdd(&value, 1);
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(value, 200000);
}
