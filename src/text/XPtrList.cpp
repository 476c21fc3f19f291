#include "text/XPtrList.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "runtime/RandomGenerator.h"
#include "runtime/Trace.h"

namespace {

// Ascending addresses. Compared rather than subtracted: a 64-bit pointer
// difference does not fit the int result.
int CompareAddresses(void* const* a, void* const* b, void*) {
  const auto x = uintptr_t(*a), y = uintptr_t(*b);
  return x < y ? 1 : x > y ? -1 : 0;
}

constexpr int64_t kMaxCapacity = (int64_t(1) << 28) - 1;

}  // namespace

XPtrList::XPtrList(int32_t mode) : mComparator(CompareAddresses), mMode(mode) {}

XPtrList::~XPtrList() {
  std::free(mItems);
}

void XPtrList::SetMode(int32_t mode) {
  mMode = mode;
  if (mode == kSorted) Sort();
}

void XPtrList::OnRemove(int32_t, int32_t) {}

void XPtrList::SetComparator(XPtrListComparator comparator, void* context) {
  mComparator = comparator;
  mComparatorContext = context;
  if (mMode == kSorted && !comparator) mMode = kUnordered;
  Sort();
}

bool XPtrList::Reserve(int32_t extra) {
  const int64_t needed = int64_t(mNumElements) + extra;
  if (needed <= mCapacity) return true;
  const int64_t capacity = needed + 4;
  if (capacity > kMaxCapacity) return false;
  auto** items = static_cast<void**>(std::malloc(size_t(capacity + 1) * sizeof(void*)));
  if (!items) return false;
  std::copy(mItems, mItems + mNumElements, items);
  std::free(mItems);
  mItems = items;
  mCapacity = int32_t(capacity);
  return true;
}

int32_t XPtrList::FindSortedPosition(const void* item) const {
  if (!mComparator) return mNumElements;
  void* const probe = const_cast<void*>(item);
  int32_t low = 0, high = mNumElements - 1;
  while (low <= high) {
    const int32_t middle = low + (high - low) / 2;
    if (mComparator(&mItems[middle], &probe, mComparatorContext) > 0)
      low = middle + 1;
    else
      high = middle - 1;
  }
  return low;
}

bool XPtrList::InsertAt(void* item, int32_t position) {
  if (mNumElements == mCapacity &&
      !Reserve(int32_t(std::min<int64_t>(2 * int64_t(mCapacity) + 20, INT32_MAX))))
    return false;
  position = std::clamp(position, 0, mNumElements);
  std::copy_backward(mItems + position, mItems + mNumElements, mItems + mNumElements + 1);
  mItems[position] = item;
  ++mNumElements;
  return true;
}

int32_t XPtrList::Add(void* item) {
  const int32_t position = Compares() ? FindSortedPosition(item) : mNumElements;
  return InsertAt(item, position) ? position + 1 : 0;
}

void* XPtrList::Get(int32_t index) const {
  return index >= 1 && index <= mNumElements ? mItems[index - 1] : nullptr;
}

bool XPtrList::Remove(int32_t index) {
  if (index < 1 || index > mNumElements) return false;
  OnRemove(index, index);
  if (mMode == kUnordered)
    mItems[index - 1] = mItems[mNumElements - 1];
  else
    std::copy(mItems + index, mItems + mNumElements, mItems + index - 1);
  --mNumElements;
  return true;
}

void XPtrList::RemoveAll() {
  if (mNumElements > 0) OnRemove(1, mNumElements);
  mNumElements = 0;
}

void XPtrList::Sort() {
  if (!Compares() || mNumElements < 2) return;
  // Heap sort: the heap's root is the element that sorts last.
  auto sortsBefore = [this](int32_t a, int32_t b) {
    return mComparator(&mItems[a], &mItems[b], mComparatorContext) > 0;
  };
  auto siftDown = [&](int32_t root, int32_t end) {
    for (int32_t child; (child = 2 * root + 1) < end; root = child) {
      if (child + 1 < end && sortsBefore(child, child + 1)) ++child;
      if (!sortsBefore(root, child)) return;
      std::swap(mItems[root], mItems[child]);
    }
  };
  for (int32_t root = mNumElements / 2 - 1; root >= 0; --root) siftDown(root, mNumElements);
  for (int32_t end = mNumElements - 1; end > 0; --end) {
    std::swap(mItems[0], mItems[end]);
    siftDown(0, end);
  }
}

void XPtrList::Shuffle() {
  RandomGenerator random;
  random.Seed();
  for (int32_t i = 0; i < mNumElements; ++i)
    std::swap(mItems[i], mItems[random.NextInRange(0, mNumElements - 1)]);
}

void XPtrList::Dump() const {
  TracePrintf(kTraceNewline | 1, "XPtrList (0x%X): mNumElements = %d", unsigned(uintptr_t(this)),
              mNumElements);
  for (int32_t i = 0; i < mNumElements; ++i)
    TracePrintf(kTraceNewline | 1, "   %d: 0x%X", i, unsigned(uintptr_t(mItems[i])));
}

XOwningPtrList::~XOwningPtrList() {
  RemoveAll();
}

void XOwningPtrList::OnRemove(int32_t first, int32_t last) {
  for (int32_t index = first; index <= last; ++index) delete static_cast<BCObject*>(Get(index));
}
