#include "files/XIntDictionary.h"

#include <cstdlib>
#include <cstring>

#include "files/TableGrowth.h"

void XIntDictionary::FreeDeleter::operator()(Entry** buckets) const {
  std::free(buckets);
}

XIntDictionary::~XIntDictionary() {
  Clear();
}

uint32_t XIntDictionary::HashKey(int64_t key) {
  uint64_t k = static_cast<uint64_t>(key);
  k = ~k + (k << 18);
  k ^= k >> 31;
  k *= 21;
  k ^= k >> 11;
  k += k << 6;
  k ^= k >> 22;
  return static_cast<uint32_t>(k);
}

const XIntDictionary::Entry* XIntDictionary::Find(int64_t key) const {
  if (mBucketCount == 0) return nullptr;
  const Entry* entry = mBuckets[HashKey(key) & (mBucketCount - 1)];
  while (entry && entry->mKey != key) entry = entry->mNext;
  return entry;
}

XIntDictionary::Entry* XIntDictionary::Find(int64_t key) {
  return const_cast<Entry*>(static_cast<const XIntDictionary*>(this)->Find(key));
}

void XIntDictionary::ReleaseValue(uint32_t tag, int64_t value) {
  if ((tag & TagOwned) && value) ValueObject(value)->Release();
}

void XIntDictionary::Insert(int64_t key, int64_t value, uint32_t tag) {
  tag &= ~TagFound;
  Reserve(1);
  if (Entry* existing = Find(key)) {
    // Setting an owned object again keeps it alive.
    if (existing->mValue != value || !(tag & TagOwned)) ReleaseValue(existing->mTag, existing->mValue);
    existing->mTag = tag;
    existing->mValue = value;
    return;
  }
  void* room = mBucketCount ? mPool.Take() : nullptr;
  if (!room) {
    // Out of memory: the value cannot be kept, so an owned one is let go.
    ReleaseValue(tag, value);
    return;
  }
  Entry*& head = mBuckets[HashKey(key) & (mBucketCount - 1)];
  head = new (room) Entry{key, tag, value, head};
  ++mCount;
}

void XIntDictionary::Reserve(int more) {
  const int64_t wanted = int64_t(mCount) + more;
  if (int64_t(mThreshold) >= wanted) return;
  const uint32_t buckets = GrownBucketCount(wanted, mBucketCount, /*keepCurrent=*/true);
  if (more > 0) mPool.Reserve(size_t(more));
  if (buckets == mBucketCount) return;
  auto* fresh = static_cast<Entry**>(std::calloc(buckets, sizeof(Entry*)));
  if (!fresh) return;  // the table keeps working with longer chains
  mBuckets.reset(fresh);
  mBucketCount = buckets;
  mThreshold = GrowThresholdFor(buckets);
  // Oldest first, each to the head of its chain: newer entries stay in front.
  mPool.ForEach([this](Entry* entry) {
    Entry*& head = mBuckets[HashKey(entry->mKey) & (mBucketCount - 1)];
    entry->mNext = head;
    head = entry;
  });
}

void XIntDictionary::Clear() {
  mPool.ForEach([](Entry* entry) {
    ReleaseValue(entry->mTag, entry->mValue);
    entry->~Entry();
  });
  mPool.Rewind();
  if (mBucketCount) std::memset(mBuckets.get(), 0, size_t(mBucketCount) * sizeof(Entry*));
  mCount = 0;
}

bool XIntDictionary::Next(Cursor& cursor, const Entry** entry) const {
  const Entry* next = nullptr;
  uint32_t bucket = cursor.mBucket;
  if (cursor.mEntry) {
    next = cursor.mEntry->mNext;
    if (!next) ++bucket;
  }
  while (!next && bucket < mBucketCount) {
    next = mBuckets[bucket];
    if (!next) ++bucket;
  }
  cursor.mEntry = next;
  cursor.mBucket = next ? bucket : mBucketCount;
  if (entry) *entry = next;
  return next != nullptr;
}
