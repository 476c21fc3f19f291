#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "text/XPtrList.h"

namespace {

// Fake elements that are never dereferenced by a plain list.
void* Item(intptr_t n) {
  return reinterpret_cast<void*>(n * 16);
}

std::vector<intptr_t> Contents(const XPtrList& list) {
  std::vector<intptr_t> items;
  for (int32_t i = 1; i <= list.Count(); ++i) items.push_back(reinterpret_cast<intptr_t>(list.Get(i)) / 16);
  return items;
}

// Orders by the element value modulo 10, so equal keys exist.
int CompareLastDigit(void* const* a, void* const* b, void* context) {
  ++*static_cast<int*>(context);
  const intptr_t x = reinterpret_cast<intptr_t>(*a) / 16 % 10, y = reinterpret_cast<intptr_t>(*b) / 16 % 10;
  return int(y - x);
}

TEST(XPtrList, RemovalPerMode) {
  struct Case {
    int32_t mode, index;
    std::vector<intptr_t> left;
  };
  for (const Case& c :
       {Case{XPtrList::kUnordered, 1, {3, 2}}, Case{XPtrList::kInsertionOrder, 1, {2, 3}},
        Case{XPtrList::kSorted, 1, {2, 3}}, Case{0, 2, {1, 3}}, Case{XPtrList::kUnordered, 3, {1, 2}}}) {
    XPtrList list(c.mode);
    for (intptr_t n : {1, 2, 3}) list.Add(Item(n));
    EXPECT_TRUE(list.Remove(c.index));
    EXPECT_EQ(Contents(list), c.left) << "mode " << c.mode << " index " << c.index;
  }
}

TEST(XPtrList, IndexesOutsideTheListAreRefused) {
  XPtrList list;
  for (intptr_t n : {1, 2}) list.Add(Item(n));
  EXPECT_EQ(list.Get(0), nullptr);
  EXPECT_EQ(list.Get(3), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_FALSE(list.Remove(0));
  EXPECT_FALSE(list.Remove(3));
  EXPECT_EQ(Contents(list), (std::vector<intptr_t>{1, 2}));
}

TEST(XPtrList, GrowthRule) {
  XPtrList list;
  EXPECT_EQ(list.Capacity(), 0);
  for (intptr_t n = 1; n <= 24; ++n) list.Add(Item(n));
  EXPECT_EQ(list.Capacity(), 24);
  list.Add(Item(25));
  EXPECT_EQ(list.Capacity(), 96);
  for (intptr_t n = 26; n <= 97; ++n) list.Add(Item(n));
  EXPECT_EQ(list.Capacity(), 3 * 96 + 24);
  list.RemoveAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 3 * 96 + 24);  // the array stays
  EXPECT_TRUE(list.Reserve(-5));
  EXPECT_FALSE(list.Reserve(INT32_MAX));
}

TEST(XPtrList, InsertAtClampsThePosition) {
  XPtrList list;
  list.InsertAt(Item(2), 0);
  list.InsertAt(Item(4), 99);
  list.InsertAt(Item(1), -3);
  list.InsertAt(Item(3), 2);
  EXPECT_EQ(Contents(list), (std::vector<intptr_t>{1, 2, 3, 4}));
}

TEST(XPtrList, SortedAddFindsItsPlaceByBisection) {
  int calls = 0;
  XPtrList list(XPtrList::kSorted);
  list.SetComparator(CompareLastDigit, &calls);
  std::vector<intptr_t> added;
  for (intptr_t n = 0; n < 200; ++n) {
    const intptr_t value = (n * 37) % 101;
    const int32_t index = list.Add(Item(value));
    ASSERT_EQ(reinterpret_cast<intptr_t>(list.Get(index)) / 16, value);
    added.push_back(value);
  }
  const std::vector<intptr_t> items = Contents(list);
  EXPECT_TRUE(
      std::is_sorted(items.begin(), items.end(), [](intptr_t a, intptr_t b) { return a % 10 < b % 10; }));
  EXPECT_EQ(std::multiset<intptr_t>(items.begin(), items.end()),
            std::multiset<intptr_t>(added.begin(), added.end()));
  EXPECT_LT(calls, 200 * 9);  // bisection, not a walk: about log2(200) probes per insertion
}

TEST(XPtrList, SortOnlyInSortedMode) {
  const std::vector<intptr_t> values = {9, 3, 7, 1, 8, 2, 2, 6, 0, 5, 4};
  int calls = 0;
  XPtrList list(XPtrList::kInsertionOrder);
  list.SetComparator(CompareLastDigit, &calls);
  for (intptr_t v : values) list.Add(Item(v));
  list.Sort();
  EXPECT_EQ(Contents(list), values);
  list.SetMode(XPtrList::kSorted);  // sorts at once
  EXPECT_EQ(Contents(list), (std::vector<intptr_t>{0, 1, 2, 2, 3, 4, 5, 6, 7, 8, 9}));

  list.SetComparator(nullptr, nullptr);  // no comparator: unordered
  EXPECT_EQ(list.Mode(), XPtrList::kUnordered);
  list.SetMode(XPtrList::kSorted);
  EXPECT_EQ(list.Add(Item(1)), 12);  // appended: there is nothing to order by
}

TEST(XPtrList, DefaultComparatorOrdersByAddress) {
  // Addresses that differ in their high half: a difference cut to int would
  // get the sign wrong.
  const intptr_t low = 0x100000010, high = 0x200000000;
  XPtrList list(XPtrList::kSorted);
  list.Add(reinterpret_cast<void*>(high));
  list.Add(reinterpret_cast<void*>(low));
  list.Add(reinterpret_cast<void*>(intptr_t(0x10)));
  EXPECT_EQ(list.Get(1), reinterpret_cast<void*>(intptr_t(0x10)));
  EXPECT_EQ(list.Get(2), reinterpret_cast<void*>(low));
  EXPECT_EQ(list.Get(3), reinterpret_cast<void*>(high));
}

TEST(XPtrList, ShuffleKeepsEveryElement) {
  XPtrList list;
  for (intptr_t n = 1; n <= 50; ++n) list.Add(Item(n));
  list.Shuffle();
  std::vector<intptr_t> items = Contents(list);
  std::vector<intptr_t> sorted = items;
  std::sort(sorted.begin(), sorted.end());
  std::vector<intptr_t> expected(50);
  for (intptr_t n = 0; n < 50; ++n) expected[size_t(n)] = n + 1;
  EXPECT_EQ(sorted, expected);
  EXPECT_NE(items, expected);  // 50! orders: staying put means no shuffle happened
  XPtrList empty;
  empty.Shuffle();
  EXPECT_EQ(empty.Count(), 0);
}

class Tracked : public BCObject {
 public:
  explicit Tracked(std::vector<int>& destroyed, int id) : mDestroyed(destroyed), mId(id) {}
  ~Tracked() override { mDestroyed.push_back(mId); }

 private:
  std::vector<int>& mDestroyed;
  int mId;
};

TEST(XOwningPtrList, DestroysEachElementOnce) {
  std::vector<int> destroyed;
  {
    XOwningPtrList list(XPtrList::kUnordered);
    for (int id = 1; id <= 5; ++id) list.Add(new Tracked(destroyed, id));
    list.Add(nullptr);
    EXPECT_TRUE(list.Remove(2));
    EXPECT_EQ(destroyed, std::vector<int>{2});
  }
  std::sort(destroyed.begin(), destroyed.end());
  EXPECT_EQ(destroyed, (std::vector<int>{1, 2, 3, 4, 5}));

  destroyed.clear();
  XOwningPtrList list;
  for (int id = 1; id <= 3; ++id) list.Add(new Tracked(destroyed, id));
  list.RemoveAll();
  EXPECT_EQ(destroyed, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(list.Count(), 0);
}

TEST(XPtrList, Dump) {
  XPtrList list;
  list.Add(reinterpret_cast<void*>(intptr_t(0xABC0)));
  list.Add(nullptr);
  char expected[128];
  std::snprintf(expected, sizeof expected, "XPtrList (0x%X): mNumElements = 2\n   0: 0xABC0\n   1: 0x0\n",
                unsigned(uintptr_t(&list)));
  ::testing::internal::CaptureStdout();
  list.Dump();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), expected);
}

}  // namespace
