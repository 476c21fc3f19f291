// The growable pointer array: kept in insertion order, unordered with cheap
// removal, or kept sorted by a comparator. Indexes are 1-based, 0 = none.
#pragma once

#include <cstdint>

#include "runtime/BCObject.h"

// Positive when the element in slot a sorts before the one in slot b,
// negative when after, 0 when equal.
using XPtrListComparator = int (*)(void* const* a, void* const* b, void* context);

class XPtrList : public BCObject {
 public:
  enum Mode : int32_t {
    kInsertionOrder = 1,  // as is any mode other than the two below
    kUnordered = 2,       // removal moves the last element into the gap
    kSorted = 3,          // kept ascending under the comparator
  };

  explicit XPtrList(int32_t mode = kInsertionOrder);
  XPtrList(const XPtrList&) = delete;
  XPtrList& operator=(const XPtrList&) = delete;
  ~XPtrList() override;

  virtual void SetMode(int32_t mode);
  // The 1-based range first…last is about to leave the list.
  virtual void OnRemove(int32_t first, int32_t last);
  void Dump() const override;

  // A null comparator turns a sorted list into an unordered one.
  void SetComparator(XPtrListComparator comparator, void* context);
  // The element's index, or 0 when the array could not grow.
  int32_t Add(void* item);
  // position is 0-based and clamped to 0…count; false when the array could not grow.
  bool InsertAt(void* item, int32_t position);
  void* Get(int32_t index) const;
  bool Remove(int32_t index);
  void RemoveAll();
  void Sort();
  void Shuffle();
  // Room for extra more elements; false when it cannot be had.
  bool Reserve(int32_t extra);
  // The 0-based position at which the comparator would insert item.
  int32_t FindSortedPosition(const void* item) const;

  int32_t Count() const { return mNumElements; }
  int32_t Capacity() const { return mCapacity; }
  int32_t Mode() const { return mMode; }

 private:
  bool Compares() const { return mMode == kSorted && mComparator; }

  void** mItems = nullptr;  // mCapacity + 1 slots
  int32_t mCapacity = 0;
  int32_t mNumElements = 0;
  XPtrListComparator mComparator;
  void* mComparatorContext = nullptr;
  int32_t mMode;
};

// Owns its elements, heap objects with a virtual destructor (BCObjects):
// an element leaving the list, or the list going, destroys it.
class XOwningPtrList : public XPtrList {
 public:
  using XPtrList::XPtrList;
  ~XOwningPtrList() override;
  void OnRemove(int32_t first, int32_t last) override;
};
