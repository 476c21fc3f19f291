#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "runtime/ExitCallbacks.h"

namespace {

std::vector<intptr_t> gCalls;

void RecordCall(void* context) {
  gCalls.push_back(reinterpret_cast<intptr_t>(context));
}

void* Tag(intptr_t tag) {
  return reinterpret_cast<void*>(tag);
}

class ExitCallbacksTest : public testing::Test {
 protected:
  // Whatever the process registered before (the clock, say) is drained first.
  void SetUp() override {
    RunExitCallbacks();
    gCalls.clear();
  }
};

}  // namespace

TEST_F(ExitCallbacksTest, HigherPriorityFirstThenNewestFirst) {
  RegisterExitCallback(RecordCall, Tag(1), 0);
  RegisterExitCallback(RecordCall, Tag(2), 5);
  RegisterExitCallback(RecordCall, Tag(3), 0);
  RegisterExitCallback(RecordCall, Tag(4), -7);
  RegisterExitCallback(RecordCall, Tag(5), INT_MAX);
  RunExitCallbacks();
  EXPECT_EQ(gCalls, (std::vector<intptr_t>{5, 2, 3, 1, 4}));
}

TEST_F(ExitCallbacksTest, LowestPriorityStillRuns) {
  RegisterExitCallback(RecordCall, Tag(1), INT_MIN);
  RegisterExitCallback(RecordCall, Tag(2), INT_MIN + 1);
  RunExitCallbacks();
  EXPECT_EQ(gCalls, (std::vector<intptr_t>{2, 1}));
}

TEST_F(ExitCallbacksTest, SixtyFifthAndNullRegistrationsAreDropped) {
  RegisterExitCallback(nullptr, Tag(999), 100);
  for (intptr_t i = 0; i < 65; ++i) RegisterExitCallback(RecordCall, Tag(i), 0);
  RunExitCallbacks();
  ASSERT_EQ(gCalls.size(), 64u);
  for (intptr_t i = 0; i < 64; ++i) EXPECT_EQ(gCalls[i], 63 - i);
}

TEST_F(ExitCallbacksTest, EachCallbackRunsOnceAndTheRegistryEmpties) {
  RegisterExitCallback(RecordCall, Tag(1), 0);
  RunExitCallbacks();
  RunExitCallbacks();
  EXPECT_EQ(gCalls, (std::vector<intptr_t>{1}));
  for (intptr_t i = 0; i < 64; ++i) RegisterExitCallback(RecordCall, Tag(i), 0);
  RunExitCallbacks();
  EXPECT_EQ(gCalls.size(), 65u);
}
