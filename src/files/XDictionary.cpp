#include "files/XDictionary.h"

#include <bit>
#include <cstdlib>
#include <cstring>

#include "files/TableGrowth.h"

namespace {

inline uint8_t FoldUpper(uint8_t byte) {
  return (byte >= 'a' && byte <= 'z') ? byte - 32 : byte;
}

}  // namespace

void XDictionary::FreeDeleter::operator()(Entry** buckets) const {
  std::free(buckets);
}

XDictionary::~XDictionary() {
  Clear();
}

uint32_t XDictionary::HashKey(const char* key, int length, bool caseSensitive) {
  constexpr uint32_t c1 = 0xcc9e2d51;
  constexpr uint32_t c2 = 0x1b873593;
  const auto* bytes = reinterpret_cast<const uint8_t*>(key);
  if (!caseSensitive) {
    uint32_t h = 0x3e365edd;
    for (int i = 0; i < length; ++i) h = h * c1 + FoldUpper(bytes[i]);
    return std::rotl(h, 17);
  }
  uint32_t h = 0x3e365edd ^ (static_cast<uint32_t>(length) * c2);
  const int blocksEnd = length & ~3;
  if (const int tail = length & 3) {
    if (tail == 3) h ^= uint32_t(bytes[blocksEnd + 2]) << 16;
    if (tail >= 2) h ^= uint32_t(bytes[blocksEnd + 1]) << 8;
    h ^= bytes[blocksEnd];
    h *= c1;
    h = std::rotl(h, 14);
  }
  for (int i = 0; i < blocksEnd; i += 4) {
    uint32_t k = uint32_t(bytes[i]) | uint32_t(bytes[i + 1]) << 8 | uint32_t(bytes[i + 2]) << 16 |
                 uint32_t(bytes[i + 3]) << 24;
    k *= c1;
    k = std::rotl(k, 15);
    h ^= k * c2;
    h = h * 16 + std::rotl(h, 13) + 0xe6546b64;
  }
  return std::rotl(h, 17);
}

bool XDictionary::KeysMatch(const UtilStr& stored, const char* key, int length) const {
  if (stored.mLength != length) return false;
  if (mCaseSensitive) return std::memcmp(stored.mText, key, size_t(length)) == 0;
  const auto* a = reinterpret_cast<const uint8_t*>(stored.mText);
  const auto* b = reinterpret_cast<const uint8_t*>(key);
  for (int i = 0; i < length; ++i)
    if (FoldUpper(a[i]) != FoldUpper(b[i])) return false;
  return true;
}

XDictionary::Entry* XDictionary::FindEntry(const char* key, int length) const {
  if (mBucketCount == 0) return nullptr;
  Entry* entry = mBuckets[HashKey(key, length, mCaseSensitive) & (mBucketCount - 1)];
  while (entry && !KeysMatch(entry->mKey, key, length)) entry = entry->mNext;
  return entry;
}

uint32_t XDictionary::Lookup(const char* key, int keyLength, int64_t* value) const {
  if (!key) keyLength = 0;
  if (keyLength < 0) keyLength = static_cast<int>(std::strlen(key));
  const Entry* entry = FindEntry(key, keyLength);
  if (value) *value = entry ? entry->mValue : 0;
  return entry ? entry->mTag | TagFound : 0;
}

void XDictionary::ReleaseValue(uint32_t tag, int64_t value) {
  if ((tag & TagOwned) && value) ValueObject(value)->Release();
}

void XDictionary::Insert(const UtilStr& key, int64_t value, uint32_t tag) {
  tag &= ~TagFound;
  Reserve(1);
  if (Entry* existing = FindEntry(key.mText, key.mLength)) {
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
  Entry*& head = mBuckets[HashKey(key.mText, key.mLength, mCaseSensitive) & (mBucketCount - 1)];
  head = new (room) Entry{key, tag, value, head};
  ++mCount;
}

void XDictionary::Reserve(int more) {
  const int64_t wanted = int64_t(mCount) + more;
  if (int64_t(mThreshold) >= wanted) return;
  const uint32_t buckets = GrownBucketCount(wanted, mBucketCount, /*keepCurrent=*/false);
  if (more > 0) mPool.Reserve(size_t(more));
  if (buckets == mBucketCount) return;
  auto* fresh = static_cast<Entry**>(std::calloc(buckets, sizeof(Entry*)));
  if (!fresh) return;  // the table keeps working with longer chains
  mBuckets.reset(fresh);
  mBucketCount = buckets;
  mThreshold = GrowThresholdFor(buckets);
  // Oldest first, each to the head of its chain: newer entries stay in front.
  mPool.ForEach([this](Entry* entry) {
    Entry*& head =
        mBuckets[HashKey(entry->mKey.mText, entry->mKey.mLength, mCaseSensitive) & (mBucketCount - 1)];
    entry->mNext = head;
    head = entry;
  });
}

void XDictionary::Clear() {
  mPool.ForEach([](Entry* entry) {
    ReleaseValue(entry->mTag, entry->mValue);
    entry->~Entry();
  });
  mPool.Rewind();
  if (mBucketCount) std::memset(mBuckets.get(), 0, size_t(mBucketCount) * sizeof(Entry*));
  mCount = 0;
}

bool XDictionary::Next(Cursor& cursor, const Entry** entry, int64_t* value, uint32_t* tag) const {
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
  if (!next) return false;
  if (entry) *entry = next;
  if (value) *value = next->mValue;
  if (tag) *tag = next->mTag;
  return true;
}
