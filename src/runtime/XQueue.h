// A first-in-first-out ring of pointers with power-of-two capacity, storage
// from a block allocator and optional ownership of its elements.
#pragma once

#include <cstdint>

#include "runtime/XBase.h"

struct BlockAllocator;

// An element owned in mode kOwnRecords: removal calls release(element).
struct XQueueRecord {
  void* mFirst;
  void* mSecond;
  void (*mRelease)(void* record);
};

class XQueue : public XBase {
 public:
  // What removal does to an element.
  enum Ownership : int32_t {
    kOwnNothing = 0,
    kOwnRecords = 1,     // elements are XQueueRecord-shaped
    kOwnTextBlocks = 2,  // elements are TextBlocks: one reference is dropped
  };

  static constexpr uint32_t kMaxCapacity = 1u << 30;

  // allocator null: the default block allocator.
  explicit XQueue(Ownership ownership = kOwnNothing, BlockAllocator* allocator = nullptr);
  ~XQueue() override;

  // False when the storage could not grow; the element is then not taken.
  bool PushBack(void* element);
  // The first element, or null when empty; it passes to the caller unreleased.
  void* PopFront();
  // Null for an index outside 0 to count - 1.
  void* GetItem(int index) const;
  // Releases the elements from start (negative: 0) on, at most number of
  // them, and closes the gap by moving the shorter side. Answers the count left.
  uint32_t RemoveItems(int start, int number);
  void RemoveAll();
  // Capacity becomes the smallest power of two not below the request and
  // the count + 1, at most kMaxCapacity. False when that cannot hold the
  // elements or the allocator fails.
  bool Grow(uint32_t slots);

  // RemoveAll, then the storage is freed.
  void Clear() override;
  // "XQueue (0x<address>): { 1, 2, 3 } <3 total>", at most 256 elements listed.
  int32_t Describe(XTextSink* sink) override;

  uint32_t GetCount() const { return mCount; }
  uint32_t GetCapacity() const { return mCapacity; }

 private:
  void*& Slot(uint32_t index) const { return mItems[(mHead + index) & (mCapacity - 1)]; }
  void ReleaseElement(void* element) const;

  void** mItems = nullptr;
  uint32_t mHead = 0;
  uint32_t mCount = 0;
  uint32_t mCapacity = 0;
  BlockAllocator* mAllocator;
  Ownership mOwnership;
};
