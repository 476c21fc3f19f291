#include "text/BCQueue.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/Trace.h"
#include "text/UtilStr.h"

namespace {

constexpr int64_t kMaxCapacity = int64_t(1) << 30;
constexpr int32_t kDumpLimit = 256;

}  // namespace

BCQueue::~BCQueue() {
  RemoveRange(0, mCount);
  std::free(mItems);
}

bool BCQueue::Grow(int64_t requested) {
  const int64_t needed = std::max<int64_t>(int64_t(mCount) + 1, requested);
  if (needed > kMaxCapacity) return false;
  int64_t capacity = 1;
  while (capacity < needed) capacity <<= 1;
  auto** items = static_cast<void**>(std::malloc(size_t(capacity) * sizeof(void*)));
  if (!items) return false;
  // The run from head to the end of the array, then the wrapped run.
  for (int32_t i = 0; i < mCount; ++i) items[i] = Slot(i);
  std::free(mItems);
  mItems = items;
  mCapacity = int32_t(capacity);
  mHead = 0;
  return true;
}

bool BCQueue::Append(void* item) {
  if (mCapacity < int64_t(mCount) + 1) {
    int64_t requested = int64_t(mCapacity) * 4;
    if (requested < 13) requested = 16;
    if (!Grow(requested)) return false;
  }
  Slot(mCount) = item;
  ++mCount;
  return true;
}

int32_t BCQueue::IndexOf(const void* item, int32_t start) const {
  if (mCount == 0) return -1;
  start = std::clamp(start, 0, mCount - 1);
  for (int32_t distance = 0;; ++distance) {
    const int32_t below = start - distance, above = start + distance;
    if (below < 0 && above >= mCount) return -1;
    if (below >= 0 && Slot(below) == item) return below;
    if (distance > 0 && above < mCount && Slot(above) == item) return above;
  }
}

void BCQueue::RemoveRange(int32_t start, int32_t count) {
  start = std::max(start, 0);
  count = int32_t(std::min<int64_t>(count, int64_t(mCount) - start));
  if (mCount == 0 || count < 1) return;
  if (mOwnership == kReleaseElements || mOwnership == kFreeElements) {
    for (int32_t i = start; i < start + count; ++i) {
      if (!Slot(i)) continue;
      if (mOwnership == kReleaseElements)
        static_cast<BCObject*>(Slot(i))->Release();
      else
        std::free(Slot(i));
    }
  }
  const int32_t remaining = mCount - count;
  const int32_t behind = remaining - start;
  if (behind < start) {
    for (int32_t i = 0; i < behind; ++i) Slot(start + i) = Slot(start + count + i);
  } else {
    for (int32_t i = start - 1; i >= 0; --i) Slot(i + count) = Slot(i);
    mHead = (mHead + count) & (mCapacity - 1);
  }
  mCount = remaining;
}

bool BCQueue::RemoveItem(const void* item) {
  const int32_t index = IndexOf(item, 0);
  if (index < 0) return false;
  RemoveRange(index, 1);
  return true;
}

void* BCQueue::Get(int32_t index) const {
  return index >= 0 && index < mCount ? Slot(index) : nullptr;
}

void BCQueue::Dump() const {
  UtilStr elements;
  const int32_t shown = std::min(mCount, kDumpLimit);
  for (int32_t i = 0; i < shown; ++i) {
    elements.AppendCode(int64_t(intptr_t(Slot(i))));
    elements.Append(i + 1 < mCount ? ", " : " ");
  }
  if (shown < mCount) elements.AppendFormat("... <%d additional> ", mCount - shown);
  TracePrintf(kTraceNewline | 1, "BCQueue (0x%X): { %s} <%d total>", unsigned(uintptr_t(this)),
              elements.mText, mCount);
}
