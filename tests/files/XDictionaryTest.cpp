#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "files/XDictionary.h"
#include "files/XIntDictionary.h"

namespace {

// Counts its releases so the tables' ownership rules show as exact numbers.
class CountedObject : public BCObject {
 public:
  explicit CountedObject(int* releases) : mReleases(releases) {}
  int32_t Release() override {
    ++*mReleases;
    delete this;
    return 0;
  }

 private:
  int* mReleases;
};

std::string KeyName(int i) {
  return "key" + std::to_string(i);
}

TEST(TableHash, TextHashValuesArePinned) {
  struct Case {
    const char* key;
    int length;
    uint32_t caseSensitive;
    uint32_t caseFolding;
  };
  const Case cases[] = {
      {"", 0, 0xbdba7c6c, 0xbdba7c6c},
      {"A", 1, 0x921b415f, 0xba5dcc8d},
      {"LIB", 3, 0x05a67dd4, 0x906893d9},
      {"REVISION", 8, 0xc86e180b, 0xa298d324},
      {"PRODUCT_NAME", 12, 0x400f99dc, 0xc41db4e8},
      {"Lumatide\xc3\xa9", 10, 0xb897e387, 0x283d81b8},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(XDictionary::HashKey(c.key, c.length, true), c.caseSensitive) << c.key;
    EXPECT_EQ(XDictionary::HashKey(c.key, c.length, false), c.caseFolding) << c.key;
  }
  EXPECT_EQ(XDictionary::HashKey("product_name", 12, false), 0xc41db4e8u);
}

TEST(TableHash, IntegerHashValuesArePinned) {
  const std::pair<int64_t, uint32_t> cases[] = {
      {0, 0x2aeaa2ab},  {1, 0x15515fbc},          {7, 0x95393db3},
      {-5, 0x547c66b9}, {0x5472636B, 0x59bc924a}, {1LL << 40, 0x69e3bb4f},
  };
  for (const auto& [key, hash] : cases) EXPECT_EQ(XIntDictionary::HashKey(key), hash) << key;
}

TEST(XDictionary, GrowsFourfoldWhenTheThresholdIsReached) {
  XDictionary table;
  EXPECT_EQ(table.BucketCount(), 0u);
  EXPECT_EQ(table.Lookup("key0", -1, nullptr), 0u);
  const std::pair<int, std::pair<uint32_t, uint32_t>> steps[] = {
      {1, {16, 5}},    {5, {16, 5}},    {6, {64, 22}},   {22, {64, 22}},
      {23, {128, 44}}, {44, {128, 44}}, {45, {256, 89}}, {90, {512, 179}},
  };
  int inserted = 0;
  for (const auto& [count, shape] : steps) {
    while (inserted < count) {
      table.Insert(UtilStr(KeyName(inserted).c_str()), inserted, TagInteger);
      ++inserted;
    }
    EXPECT_EQ(table.BucketCount(), shape.first) << "after " << count << " keys";
    EXPECT_EQ(table.GrowThreshold(), shape.second) << "after " << count << " keys";
  }
  EXPECT_EQ(table.Count(), 90);
  for (int i = 0; i < inserted; ++i) {
    int64_t value = -1;
    EXPECT_EQ(table.Lookup(KeyName(i).c_str(), -1, &value), TagInteger | TagFound) << KeyName(i);
    EXPECT_EQ(value, i);
  }
}

TEST(XDictionary, ReserveSizesForTheWholeCount) {
  XDictionary table;
  table.Reserve(9166);  // 4 x 16384
  EXPECT_EQ(table.BucketCount(), 65536u);
  EXPECT_EQ(table.GrowThreshold(), 22937u);
  XIntDictionary big;
  big.Reserve(300000);  // above 0xFFFFF buckets the load may reach 45 %
  EXPECT_EQ(big.BucketCount(), 2097152u);
  EXPECT_EQ(big.GrowThreshold(), 2097152u / 100 * 45);
}

TEST(XDictionary, LookupReportsFoundEvenForTagZero) {
  XDictionary table;
  table.Insert(UtilStr("plain"), 42, 0);
  int64_t value = 0;
  EXPECT_EQ(table.Lookup("plain", 5, &value), TagFound);
  EXPECT_EQ(value, 42);
  value = 7;
  EXPECT_EQ(table.Lookup("plai", 4, &value), 0u);  // a prefix is another key
  EXPECT_EQ(value, 0);
  EXPECT_EQ(table.Lookup("plainer", -1, &value), 0u);
  EXPECT_EQ(table.Lookup(nullptr, -1, &value), 0u);
}

TEST(XDictionary, KeysMayHoldAnyBytes) {
  XDictionary table;
  const char withZero[] = {'a', '\0', 'b'};
  table.Insert(UtilStr(withZero, 3), 1, TagInteger);
  table.Insert(UtilStr("a"), 2, TagInteger);
  table.Insert(UtilStr("\xff\x80"), 3, TagInteger);
  int64_t value = 0;
  EXPECT_TRUE(table.Lookup(withZero, 3, &value));
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(table.Lookup("a", -1, &value));
  EXPECT_EQ(value, 2);
  EXPECT_TRUE(table.Lookup("\xff\x80", 2, &value));
  EXPECT_EQ(value, 3);
}

TEST(XDictionary, CaseModeDecidesWhetherKeysFold) {
  XDictionary folding(false);
  folding.Insert(UtilStr("Alpha"), 1, TagInteger);
  folding.Insert(UtilStr("ALPHA"), 2, TagInteger);
  EXPECT_EQ(folding.Count(), 1);
  int64_t value = 0;
  EXPECT_TRUE(folding.Lookup("alpha", -1, &value));
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(folding.Lookup("alpha_", -1, &value));
  // Only ASCII letters fold: bytes 0xE9 and 0xC9 stay different keys.
  folding.Insert(UtilStr("\xe9"), 3, TagInteger);
  EXPECT_FALSE(folding.Lookup("\xc9", -1, nullptr));

  XDictionary sensitive(true);
  sensitive.Insert(UtilStr("Alpha"), 1, TagInteger);
  sensitive.Insert(UtilStr("ALPHA"), 2, TagInteger);
  EXPECT_EQ(sensitive.Count(), 2);
  EXPECT_FALSE(sensitive.Lookup("alpha", -1, nullptr));
}

TEST(XDictionary, ReplacingAnOwnedValueReleasesIt) {
  int releases = 0;
  {
    XDictionary table;
    table.Insert(UtilStr("k"), ObjectValue(new CountedObject(&releases)), TagOwned);
    auto* second = new CountedObject(&releases);
    table.Insert(UtilStr("k"), ObjectValue(second), TagOwned | TagText);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(table.Count(), 1);
    int64_t value = 0;
    EXPECT_EQ(table.Lookup("k", 1, &value), TagOwned | TagText | TagFound);
    EXPECT_EQ(value, ObjectValue(second));
    table.Insert(UtilStr("k"), ObjectValue(second), TagOwned);  // the same object again stays alive
    EXPECT_EQ(releases, 1);
    table.Insert(UtilStr("k"), 5, TagInteger);
    EXPECT_EQ(releases, 2);
    table.Insert(UtilStr("other"), ObjectValue(new CountedObject(&releases)), TagOwned);
  }
  EXPECT_EQ(releases, 3);  // the destructor released the last one
}

TEST(XDictionary, ClearReleasesAndKeepsTheBuckets) {
  int releases = 0;
  XDictionary table;
  for (int i = 0; i < 30; ++i)
    table.Insert(UtilStr(KeyName(i).c_str()), ObjectValue(new CountedObject(&releases)), TagOwned);
  const uint32_t buckets = table.BucketCount();
  table.Clear();
  EXPECT_EQ(releases, 30);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.BucketCount(), buckets);
  EXPECT_FALSE(table.Lookup("key3", -1, nullptr));
  table.Insert(UtilStr("again"), 1, TagInteger);
  EXPECT_TRUE(table.Lookup("again", -1, nullptr));
  EXPECT_EQ(table.BucketCount(), buckets);
}

TEST(XDictionary, NextVisitsEveryEntryOnceInBucketOrder) {
  XDictionary table;
  XDictionary::Cursor cursor;
  EXPECT_FALSE(table.Next(cursor, nullptr, nullptr, nullptr));

  std::set<std::string> keys;
  for (int i = 0; i < 40; ++i) {
    keys.insert(KeyName(i));
    table.Insert(UtilStr(KeyName(i).c_str()), i, TagInteger);
  }
  std::set<std::string> seen;
  uint32_t lastBucket = 0;
  const XDictionary::Entry* entry = nullptr;
  int64_t value = 0;
  uint32_t tag = 0;
  cursor = {};
  while (table.Next(cursor, &entry, &value, &tag)) {
    const std::string key(entry->mKey.mText, size_t(entry->mKey.mLength));
    const uint32_t bucket =
        XDictionary::HashKey(key.data(), int(key.size()), true) & (table.BucketCount() - 1);
    EXPECT_GE(bucket, lastBucket) << key;
    lastBucket = bucket;
    EXPECT_EQ(tag, TagInteger);
    EXPECT_EQ(KeyName(int(value)), key);
    EXPECT_TRUE(seen.insert(key).second) << key << " twice";
  }
  EXPECT_EQ(seen, keys);
  EXPECT_FALSE(table.Next(cursor, nullptr, nullptr, nullptr));
}

TEST(XDictionary, NewestEntryOfABucketComesFirst) {
  XDictionary table;
  table.Reserve(5);
  const uint32_t mask = table.BucketCount() - 1;
  std::vector<std::string> sameBucket;
  const uint32_t target = XDictionary::HashKey("key0", 4, true) & mask;
  for (int i = 0; sameBucket.size() < 3; ++i)
    if ((XDictionary::HashKey(KeyName(i).c_str(), int(KeyName(i).size()), true) & mask) == target)
      sameBucket.push_back(KeyName(i));
  for (const std::string& key : sameBucket) table.Insert(UtilStr(key.c_str()), 0, 0);
  ASSERT_EQ(table.BucketCount(), mask + 1);
  XDictionary::Cursor cursor;
  const XDictionary::Entry* entry = nullptr;
  std::vector<std::string> order;
  while (table.Next(cursor, &entry, nullptr, nullptr)) order.emplace_back(entry->mKey.mText);
  EXPECT_EQ(order, (std::vector<std::string>{sameBucket[2], sameBucket[1], sameBucket[0]}));
}

TEST(XIntDictionary, GrowsFindsReplacesAndReleases) {
  int releases = 0;
  {
    XIntDictionary table;
    EXPECT_EQ(table.Find(1), nullptr);
    table.Insert(INT64_MIN, 1, TagInteger);
    EXPECT_EQ(table.BucketCount(), 16u);
    EXPECT_EQ(table.GrowThreshold(), 5u);
    for (int64_t key = -2; key <= 2; ++key) table.Insert(key, key * 10, TagInteger);
    EXPECT_EQ(table.BucketCount(), 64u);
    EXPECT_EQ(table.GrowThreshold(), 22u);
    EXPECT_EQ(table.Count(), 6);
    for (int64_t key = -2; key <= 2; ++key) {
      const XIntDictionary::Entry* entry = table.Find(key);
      ASSERT_NE(entry, nullptr) << key;
      EXPECT_EQ(entry->mValue, key * 10);
    }
    EXPECT_EQ(table.Find(INT64_MIN)->mValue, 1);
    EXPECT_EQ(table.Find(3), nullptr);

    table.Insert(7, ObjectValue(new CountedObject(&releases)), TagOwned);
    table.Insert(7, ObjectValue(new CountedObject(&releases)), TagOwned);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(table.Count(), 7);

    int visited = 0;
    XIntDictionary::Cursor cursor;
    while (table.Next(cursor, nullptr)) ++visited;
    EXPECT_EQ(visited, 7);

    table.Clear();
    EXPECT_EQ(releases, 2);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Find(0), nullptr);
    EXPECT_EQ(table.BucketCount(), 64u);
    table.Insert(9, ObjectValue(new CountedObject(&releases)), TagOwned);
  }
  EXPECT_EQ(releases, 3);
}

}  // namespace
