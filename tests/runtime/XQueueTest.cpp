#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>

#include "RecordingSink.h"
#include "runtime/RandomGenerator.h"
#include "runtime/XQueue.h"
#include "text/UtilStr.h"

namespace {

void* Value(intptr_t value) {
  return reinterpret_cast<void*>(value);
}

std::deque<intptr_t> Contents(const XQueue& queue) {
  std::deque<intptr_t> contents;
  for (uint32_t i = 0; i < queue.GetCount(); ++i)
    contents.push_back(reinterpret_cast<intptr_t>(queue.GetItem(int(i))));
  return contents;
}

// Counts live allocations; can be told to refuse.
struct CountingAllocator {
  static inline int live = 0;
  static inline bool refuse = false;
  static void* Allocate(int64_t bytes) {
    if (refuse) return nullptr;
    ++live;
    return std::malloc(size_t(bytes));
  }
  static void Release(void* block) {
    --live;
    std::free(block);
  }
};

BlockAllocator gCountingAllocator{CountingAllocator::Allocate, CountingAllocator::Release, 0};

struct CountedRecord : XQueueRecord {
  static inline int released = 0;
  CountedRecord() : XQueueRecord{nullptr, nullptr, [](void*) { ++released; }} {}
};

}  // namespace

TEST(XQueue, CapacityStartsAtSixteenAndGrowsFourfold) {
  XQueue queue;
  EXPECT_EQ(queue.GetCapacity(), 0u);
  EXPECT_TRUE(queue.PushBack(Value(1)));
  EXPECT_EQ(queue.GetCapacity(), 16u);
  for (int i = 2; i <= 16; ++i) queue.PushBack(Value(i));
  EXPECT_EQ(queue.GetCapacity(), 16u);
  queue.PushBack(Value(17));
  EXPECT_EQ(queue.GetCapacity(), 64u);
  EXPECT_EQ(queue.GetItem(16), Value(17));
  EXPECT_EQ(queue.GetItem(-1), nullptr);
  EXPECT_EQ(queue.GetItem(17), nullptr);
}

TEST(XQueue, WrapsAroundTheEndOfItsStorage) {
  XQueue queue;
  for (int i = 1; i <= 10; ++i) queue.PushBack(Value(i));
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(queue.PopFront(), Value(i));
  for (int i = 11; i <= 20; ++i) queue.PushBack(Value(i));
  EXPECT_EQ(queue.GetCapacity(), 16u);
  EXPECT_EQ(queue.GetItem(0), Value(5));
  std::deque<intptr_t> expected;
  for (int i = 5; i <= 20; ++i) expected.push_back(i);
  EXPECT_EQ(Contents(queue), expected);
  queue.PushBack(Value(21));  // grows while wrapped: the order survives
  expected.push_back(21);
  EXPECT_EQ(Contents(queue), expected);
}

TEST(XQueue, RemoveItemsClosesTheGap) {
  const struct {
    int start, number;
    std::deque<intptr_t> left;
  } cases[] = {
      {1, 1, {0, 2, 3, 4}},    {3, 1, {0, 1, 2, 4}},    {2, 100, {0, 1}},         {-4, 2, {2, 3, 4}},
      {5, 1, {0, 1, 2, 3, 4}}, {0, 0, {0, 1, 2, 3, 4}}, {1, -3, {0, 1, 2, 3, 4}}, {0, 5, {}},
  };
  for (const auto& c : cases) {
    XQueue queue;
    // Start part-way into the storage so that the moves cross its end.
    for (int i = 0; i < 14; ++i) queue.PushBack(Value(-1));
    for (int i = 0; i < 14; ++i) queue.PopFront();
    for (int i = 0; i < 5; ++i) queue.PushBack(Value(i));
    EXPECT_EQ(queue.RemoveItems(c.start, c.number), c.left.size()) << c.start << "," << c.number;
    EXPECT_EQ(Contents(queue), c.left) << c.start << "," << c.number;
  }
}

TEST(XQueue, BehavesLikeADequeUnderRandomOperations) {
  RandomGenerator random;
  random.Seed();
  SCOPED_TRACE(testing::Message() << "seed state " << random.GetState());
  XQueue queue;
  std::deque<intptr_t> model;
  intptr_t next = 1;
  for (int step = 0; step < 5000; ++step) {
    const int operation = random.NextInRange(0, 9);
    if (operation < 5) {
      queue.PushBack(Value(next));
      model.push_back(next++);
    } else if (operation < 8) {
      const intptr_t expected = model.empty() ? 0 : model.front();
      if (!model.empty()) model.pop_front();
      ASSERT_EQ(queue.PopFront(), Value(expected)) << "step " << step;
    } else {
      const int start = random.NextInRange(-2, int(model.size()) + 2);
      const int number = random.NextInRange(-1, 6);
      const size_t first = size_t(start < 0 ? 0 : start);
      if (number > 0 && first < model.size())
        model.erase(model.begin() + long(first),
                    model.begin() + long(std::min(model.size(), first + size_t(number))));
      ASSERT_EQ(queue.RemoveItems(start, number), model.size()) << "step " << step;
    }
    ASSERT_EQ(Contents(queue), model) << "step " << step;
  }
}

TEST(XQueue, OwnedElementsAreReleasedOnRemovalButNotOnPop) {
  CountedRecord records[6];
  CountedRecord::released = 0;
  {
    XQueue queue(XQueue::kOwnRecords);
    for (CountedRecord& record : records) queue.PushBack(&record);
    queue.PushBack(nullptr);
    EXPECT_EQ(queue.PopFront(), &records[0]);
    queue.RemoveItems(0, 2);
    EXPECT_EQ(CountedRecord::released, 2);
    queue.RemoveAll();
    EXPECT_EQ(CountedRecord::released, 5);
    queue.PushBack(&records[0]);
  }
  EXPECT_EQ(CountedRecord::released, 6) << "the destructor releases what is left";
}

TEST(XQueue, OwnedTextBlocksLoseOneReference) {
  UtilStr text("shared text");
  ASSERT_NE(text.mBlock, nullptr);
  text.mBlock->refs.fetch_add(2);
  {
    XQueue queue(XQueue::kOwnTextBlocks);
    queue.PushBack(text.mBlock);
    queue.PushBack(text.mBlock);
  }
  EXPECT_EQ(text.mBlock->refs.load(), 1);
  EXPECT_EQ(std::string(text.mText), "shared text");
}

TEST(XQueue, StorageComesFromItsAllocatorAndIsReturned) {
  CountingAllocator::live = 0;
  CountingAllocator::refuse = false;
  {
    XQueue queue(XQueue::kOwnNothing, &gCountingAllocator);
    for (int i = 0; i < 100; ++i) queue.PushBack(Value(i));
    EXPECT_EQ(CountingAllocator::live, 1);
    queue.RemoveAll();
    EXPECT_EQ(queue.GetCount(), 0u);
    queue.PushBack(Value(1));
    EXPECT_EQ(CountingAllocator::live, 1);
    EXPECT_EQ(queue.GetCapacity(), 16u);
    queue.Clear();
    EXPECT_EQ(CountingAllocator::live, 0);
    CountingAllocator::refuse = true;
    EXPECT_FALSE(queue.PushBack(Value(2)));
    EXPECT_EQ(queue.GetCount(), 0u);
    CountingAllocator::refuse = false;
    for (int i = 0; i < 16; ++i) queue.PushBack(Value(i));
    CountingAllocator::refuse = true;
    EXPECT_FALSE(queue.PushBack(Value(16)));
    EXPECT_EQ(queue.GetCount(), 16u);
    EXPECT_EQ(queue.GetItem(15), Value(15));
    CountingAllocator::refuse = false;
  }
  EXPECT_EQ(CountingAllocator::live, 0);
}

TEST(XQueue, DescribeListsCodesAndStopsAfter256) {
  XQueue queue;
  RecordingSink empty;
  queue.Describe(&empty);
  char address[40];
  std::snprintf(address, sizeof(address),
                "XQueue (0x%016llX): ", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&queue)));
  EXPECT_EQ(empty.Text(), std::string(address) + "{ } <0 total>");

  for (const intptr_t value : {intptr_t(42), intptr_t(0x5000), intptr_t(-20000), intptr_t(0x5472636B)})
    queue.PushBack(Value(value));
  RecordingSink codes;
  queue.Describe(&codes);
  EXPECT_EQ(codes.Text(), std::string(address) + "{ 42, 0x5000, -0x4E20, 'Trck' } <4 total>");

  queue.RemoveAll();
  std::string listed;
  for (int i = 0; i < 300; ++i) {
    queue.PushBack(Value(i));
    if (i < 256) listed += std::to_string(i) + ", ";
  }
  RecordingSink many;
  queue.Describe(&many);
  EXPECT_EQ(many.Text(), std::string(address) + "{ " + listed + "... <44 additional> } <300 total>");
}
