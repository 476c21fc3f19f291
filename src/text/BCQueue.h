// A double-ended sequence of pointers in a power-of-two ring buffer. Removal
// closes the gap by moving the shorter side; an ownership mode disposes of
// elements as they leave.
#pragma once

#include <cstdint>

#include "runtime/BCObject.h"

class BCQueue : public BCObject {
 public:
  enum Ownership : int32_t {
    kNotOwned = 0,
    kReleaseElements = 1,  // each leaving element gets its virtual Release
    kFreeElements = 2,     // each leaving element goes back to the C heap (std::free)
  };

  explicit BCQueue(int32_t ownership = kNotOwned) : mOwnership(ownership) {}
  BCQueue(const BCQueue&) = delete;
  BCQueue& operator=(const BCQueue&) = delete;
  ~BCQueue() override;

  // False only when the storage cannot grow (the element is not added).
  bool Append(void* item);
  // Index (0-based) of the match nearest to start, searching outwards; -1 when absent.
  int32_t IndexOf(const void* item, int32_t start = 0) const;
  void RemoveRange(int32_t start, int32_t count);
  bool RemoveItem(const void* item);
  void Dump() const override;

  // Element index (0-based), or null outside 0…Count() − 1.
  void* Get(int32_t index) const;
  int32_t Count() const { return mCount; }
  int32_t Capacity() const { return mCapacity; }
  int32_t Head() const { return mHead; }
  void SetOwnership(int32_t ownership) { mOwnership = ownership; }

 private:
  void*& Slot(int32_t index) const { return mItems[(mHead + index) & (mCapacity - 1)]; }
  bool Grow(int64_t requested);

  void** mItems = nullptr;
  int32_t mHead = 0;
  int32_t mCount = 0;
  int32_t mCapacity = 0;
  int32_t mOwnership = kNotOwned;
};
