#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "text/BCQueue.h"

namespace {

// Distinct fake pointers that are never dereferenced (ownership 0).
void* Item(intptr_t n) {
  return reinterpret_cast<void*>(n * 16);
}

std::vector<intptr_t> Contents(const BCQueue& queue) {
  std::vector<intptr_t> items;
  for (int32_t i = 0; i < queue.Count(); ++i) items.push_back(reinterpret_cast<intptr_t>(queue.Get(i)) / 16);
  return items;
}

std::vector<intptr_t> Range(intptr_t first, intptr_t last) {
  std::vector<intptr_t> items;
  for (intptr_t n = first; n <= last; ++n) items.push_back(n);
  return items;
}

BCQueue& Fill(BCQueue& queue, intptr_t first, intptr_t last) {
  for (intptr_t n = first; n <= last; ++n) queue.Append(Item(n));
  return queue;
}

TEST(BCQueue, GrowsBy16Then64KeepingOrder) {
  BCQueue queue;
  EXPECT_EQ(queue.Capacity(), 0);
  queue.Append(Item(1));
  EXPECT_EQ(queue.Capacity(), 16);
  Fill(queue, 2, 16);
  EXPECT_EQ(queue.Capacity(), 16);
  queue.Append(Item(17));
  EXPECT_EQ(queue.Capacity(), 64);
  EXPECT_EQ(Contents(queue), Range(1, 17));
  Fill(queue, 18, 65);
  EXPECT_EQ(queue.Capacity(), 256);
  EXPECT_EQ(Contents(queue), Range(1, 65));
}

TEST(BCQueue, WrapsAroundAndUnrollsWhenGrowing) {
  BCQueue queue;
  Fill(queue, 1, 16);
  queue.RemoveRange(0, 10);  // nothing in front: head moves on
  EXPECT_EQ(queue.Head(), 10);
  Fill(queue, 17, 26);  // slots 10..15, then 0..3
  EXPECT_EQ(queue.Capacity(), 16);
  EXPECT_EQ(Contents(queue), Range(11, 26));
  queue.Append(Item(27));
  EXPECT_EQ(queue.Capacity(), 64);
  EXPECT_EQ(queue.Head(), 0);
  EXPECT_EQ(Contents(queue), Range(11, 27));
}

TEST(BCQueue, RemovalMovesTheShorterSide) {
  struct Case {
    int32_t start, count;
    std::vector<intptr_t> left;
    int32_t headMove;
  };
  const Case cases[] = {
      {1, 1, {0, 2, 3, 4}, 1},  // element 0 moves up
      {3, 1, {0, 1, 2, 4}, 0},  // element 4 moves down
      {2, 1, {0, 1, 3, 4}, 1},  // a tie moves the front
      {0, 5, {}, 5},
      {-3, 2, {2, 3, 4}, 2},
      {3, 99, {0, 1, 2}, 0},
      {5, 1, {0, 1, 2, 3, 4}, 0},
      {1, 0, {0, 1, 2, 3, 4}, 0},
      {1, -2, {0, 1, 2, 3, 4}, 0},
  };
  for (const Case& c : cases) {
    BCQueue queue;
    Fill(queue, 0, 4);
    queue.RemoveRange(c.start, c.count);
    EXPECT_EQ(Contents(queue), c.left) << "RemoveRange(" << c.start << ", " << c.count << ")";
    EXPECT_EQ(queue.Head(), c.headMove) << "RemoveRange(" << c.start << ", " << c.count << ")";
  }
  BCQueue empty;
  empty.RemoveRange(0, 3);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(BCQueue, IndexOfSearchesOutwardsFromStart) {
  BCQueue queue;
  for (intptr_t n : {1, 2, 1, 3, 1, 4}) queue.Append(Item(n));
  struct Case {
    intptr_t item;
    int32_t start, expected;
  };
  for (const Case& c : {Case{1, 3, 2}, Case{1, 0, 0}, Case{1, 5, 4}, Case{4, 0, 5}, Case{2, 5, 1},
                        Case{3, -7, 3}, Case{4, 99, 5}, Case{9, 2, -1}}) {
    EXPECT_EQ(queue.IndexOf(Item(c.item), c.start), c.expected) << "item " << c.item << " from " << c.start;
  }
  EXPECT_EQ(BCQueue().IndexOf(Item(1), 0), -1);
}

TEST(BCQueue, RemoveItem) {
  BCQueue queue;
  Fill(queue, 1, 5);
  EXPECT_FALSE(queue.RemoveItem(Item(9)));
  EXPECT_EQ(Contents(queue), Range(1, 5));
  EXPECT_TRUE(queue.RemoveItem(Item(4)));
  EXPECT_EQ(Contents(queue), (std::vector<intptr_t>{1, 2, 3, 5}));
  EXPECT_EQ(queue.Get(-1), nullptr);
  EXPECT_EQ(queue.Get(4), nullptr);
}

class CountedObject : public BCObject {
 public:
  explicit CountedObject(int& released) : mReleased(released) {}
  int32_t Release() override {
    ++mReleased;
    return BCObject::Release();
  }

 private:
  int& mReleased;
};

TEST(BCQueue, OwnershipReleasesEachLeavingElementOnce) {
  int released = 0;
  {
    BCQueue queue(BCQueue::kReleaseElements);
    for (int i = 0; i < 6; ++i) queue.Append(new CountedObject(released));
    queue.Append(nullptr);
    queue.RemoveRange(1, 2);
    EXPECT_EQ(released, 2);
    EXPECT_TRUE(queue.RemoveItem(queue.Get(0)));
    EXPECT_EQ(released, 3);
    EXPECT_TRUE(queue.RemoveItem(nullptr));  // a null element is skipped
    EXPECT_EQ(released, 3);
  }
  EXPECT_EQ(released, 6);  // the rest leave with the queue

  BCQueue freeing(BCQueue::kFreeElements);  // LeakSanitizer checks these
  for (int i = 0; i < 20; ++i) freeing.Append(std::malloc(8));
  freeing.RemoveRange(5, 10);
}

TEST(BCQueue, WithoutOwnershipElementsAreUntouched) {
  int released = 0;
  CountedObject kept(released);
  {
    BCQueue queue;
    queue.Append(&kept);
    queue.Append(&kept);
    queue.RemoveRange(0, 1);
  }
  EXPECT_EQ(released, 0);
}

std::string DumpOf(const BCQueue& queue) {
  ::testing::internal::CaptureStdout();
  queue.Dump();
  return ::testing::internal::GetCapturedStdout();
}

std::string Address(const void* object) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%X", unsigned(uintptr_t(object)));
  return text;
}

TEST(BCQueue, DumpListsCodesAndCutsLongQueues) {
  BCQueue queue;
  EXPECT_EQ(DumpOf(queue), "BCQueue (" + Address(&queue) + "): { } <0 total>\n");
  queue.Append(reinterpret_cast<void*>(intptr_t(5)));
  queue.Append(reinterpret_cast<void*>(intptr_t(0x5472636B)));
  queue.Append(reinterpret_cast<void*>(intptr_t(100000)));
  EXPECT_EQ(DumpOf(queue), "BCQueue (" + Address(&queue) + "): { 5, 'Trck', 0x186A0 } <3 total>\n");

  BCQueue longQueue;
  for (intptr_t n = 0; n < 300; ++n) longQueue.Append(reinterpret_cast<void*>(n));
  const std::string line = DumpOf(longQueue);
  EXPECT_NE(line.find("{ 0, 1, 2, "), std::string::npos) << line;
  EXPECT_NE(line.find(" 255, ... <44 additional> } <300 total>\n"), std::string::npos) << line;
  EXPECT_EQ(line.find("256"), std::string::npos) << line;
}

}  // namespace
