#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/RandomGenerator.h"
#include "runtime/Trace.h"
#include "runtime/XHeap.h"

namespace {

std::string gTraced;

void RecordTrace(uint32_t channel, const char* text) {
  gTraced += text;
  if (channel & kTraceNewline) gTraced += "\n";
}

std::string Described(XHeap& heap) {
  gTraced.clear();
  SetTraceCallback(RecordTrace);
  heap.Describe(nullptr);
  SetTraceCallback(nullptr);
  return gTraced;
}

std::string Header(const XHeap& heap, int count) {
  char text[64];
  std::snprintf(text, sizeof(text), "XHeap (0x%X): mCount = %d\n",
                unsigned(reinterpret_cast<uintptr_t>(&heap)), count);
  return text;
}

XHeapElement Element(int32_t key) {
  XHeapElement element;
  element.mKey = key;
  element.mData[0] = uint8_t(key);
  return element;
}

}  // namespace

TEST(XHeap, PopsInKeyOrderAcrossBlocks) {
  RandomGenerator random;
  random.Seed();
  SCOPED_TRACE(testing::Message() << "seed state " << random.GetState());
  XHeap heap;
  std::vector<int32_t> keys;
  for (int i = 0; i < 200; ++i) {
    keys.push_back(random.NextInRange(-1000, 1000));
    ASSERT_TRUE(heap.Push(Element(keys.back())));
  }
  EXPECT_EQ(heap.GetCount(), 200);
  EXPECT_EQ(heap.GetBlockCount(), 7);
  std::sort(keys.begin(), keys.end());
  for (const int32_t key : keys) {
    ASSERT_EQ(heap.Top()->mKey, key);
    XHeapElement popped;
    ASSERT_TRUE(heap.Pop(&popped));
    ASSERT_EQ(popped.mKey, key);
    ASSERT_EQ(popped.mData[0], uint8_t(key));
  }
  EXPECT_FALSE(heap.Pop(nullptr));
  EXPECT_EQ(heap.Top(), nullptr);
}

TEST(XHeap, ClearKeepsOnlyTheFirstBlock) {
  XHeap heap;
  for (int i = 0; i < 100; ++i) heap.Push(Element(i));
  heap.Clear();
  EXPECT_EQ(heap.GetCount(), 0);
  EXPECT_EQ(heap.GetBlockCount(), 1);
  heap.Push(Element(3));
  EXPECT_EQ(heap.Top()->mKey, 3);
}

TEST(XHeap, DescribeListsRootAndBlocks) {
  XHeap heap;
  EXPECT_EQ(Described(heap), Header(heap, 0) + "Block 0:\n\n");
  for (const int key : {5, 9, 7}) heap.Push(Element(key));
  EXPECT_EQ(Described(heap), Header(heap, 3) + "Root: 5\n\nBlock 0:\n 9\n 7\n\n");

  heap.Clear();
  for (int key = 0; key < 34; ++key) heap.Push(Element(key));  // the root and 33 in the blocks
  std::string expected = Header(heap, 34) + "Root: 0\n\nBlock 0:\n";
  for (int key = 1; key <= 32; ++key) expected += " " + std::to_string(key) + "\n";
  expected += "\nBlock 1:\n 33\n\n";
  EXPECT_EQ(Described(heap), expected);

  heap.Pop(nullptr);  // 33 left in the blocks' worth: block 0 full, block 1 still allocated
  const std::string described = Described(heap);
  EXPECT_EQ(described.substr(described.size() - 2), "\n\n");
  EXPECT_EQ(described.find("Block 1:"), std::string::npos) << described;
}
