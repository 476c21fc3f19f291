// Hash table of tagged 64-bit values under text keys, compared byte for byte
// or with ASCII letters folded to upper case.
#pragma once

#include <cstdint>
#include <memory>

#include "files/EntryPool.h"
#include "files/ValueTags.h"
#include "runtime/BCObject.h"
#include "text/UtilStr.h"

class XDictionary : public BCObject {
 public:
  struct Entry {
    UtilStr mKey;
    uint32_t mTag;
    int64_t mValue;
    Entry* mNext;
  };
  // Position of a walk with Next; starts zeroed.
  struct Cursor {
    const Entry* mEntry = nullptr;
    uint32_t mBucket = 0;
  };

  explicit XDictionary(bool caseSensitive = true) : mCaseSensitive(caseSensitive ? 1 : 0) {}
  XDictionary(const XDictionary&) = delete;
  XDictionary& operator=(const XDictionary&) = delete;
  ~XDictionary() override;

  // The entry's tag with TagFound, or 0 (and *value 0) when the key is absent.
  uint32_t Lookup(const char* key, int keyLength, int64_t* value) const;
  // Sets the entry of key, releasing an owned value it replaces.
  void Insert(const UtilStr& key, int64_t value, uint32_t tag);
  // Makes room for `more` further entries.
  void Reserve(int more);
  // Removes every entry and releases owned values; the buckets stay.
  void Clear();
  // The next entry in bucket order, or false at the end. Outputs may be null.
  bool Next(Cursor& cursor, const Entry** entry, int64_t* value, uint32_t* tag) const;

  int32_t Count() const { return mCount; }
  uint32_t BucketCount() const { return mBucketCount; }
  uint32_t GrowThreshold() const { return mThreshold; }
  bool IsCaseSensitive() const { return mCaseSensitive != 0; }

  static uint32_t HashKey(const char* key, int length, bool caseSensitive);

 private:
  struct FreeDeleter {
    void operator()(Entry** buckets) const;
  };

  Entry* FindEntry(const char* key, int length) const;
  bool KeysMatch(const UtilStr& stored, const char* key, int length) const;
  static void ReleaseValue(uint32_t tag, int64_t value);

  std::unique_ptr<Entry*[], FreeDeleter> mBuckets;
  uint32_t mBucketCount = 0;
  int32_t mCount = 0;
  uint32_t mThreshold = 0;
  int32_t mCaseSensitive;
  EntryPool<Entry> mPool;
};
