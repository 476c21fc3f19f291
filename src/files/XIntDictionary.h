// Hash table of tagged 64-bit values under 64-bit integer keys.
#pragma once

#include <cstdint>
#include <memory>

#include "files/EntryPool.h"
#include "files/ValueTags.h"
#include "runtime/BCObject.h"

class XIntDictionary : public BCObject {
 public:
  struct Entry {
    int64_t mKey;
    uint32_t mTag;
    int64_t mValue;
    Entry* mNext;
  };
  // Position of a walk with Next; starts zeroed.
  struct Cursor {
    const Entry* mEntry = nullptr;
    uint32_t mBucket = 0;
  };

  XIntDictionary() = default;
  XIntDictionary(const XIntDictionary&) = delete;
  XIntDictionary& operator=(const XIntDictionary&) = delete;
  ~XIntDictionary() override;

  Entry* Find(int64_t key);
  const Entry* Find(int64_t key) const;
  // Sets the entry of key, releasing an owned value it replaces.
  void Insert(int64_t key, int64_t value, uint32_t tag);
  // Makes room for `more` further entries.
  void Reserve(int more);
  // Removes every entry and releases owned values; the buckets stay.
  void Clear();
  // The next entry in bucket order, or false at the end.
  bool Next(Cursor& cursor, const Entry** entry) const;

  int32_t Count() const { return mCount; }
  uint32_t BucketCount() const { return mBucketCount; }
  uint32_t GrowThreshold() const { return mThreshold; }

  static uint32_t HashKey(int64_t key);

 private:
  struct FreeDeleter {
    void operator()(Entry** buckets) const;
  };

  static void ReleaseValue(uint32_t tag, int64_t value);

  std::unique_ptr<Entry*[], FreeDeleter> mBuckets;
  uint32_t mBucketCount = 0;
  int32_t mCount = 0;
  uint32_t mThreshold = 0;
  EntryPool<Entry> mPool;
};
