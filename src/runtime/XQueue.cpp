#include "runtime/XQueue.h"

#include <atomic>
#include <cstring>

#include "runtime/XTextSink.h"
#include "text/UtilStr.h"

namespace {

constexpr uint32_t kFirstCapacity = 16;
constexpr uint32_t kDescribedElements = 256;

}  // namespace

XQueue::XQueue(Ownership ownership, BlockAllocator* allocator)
    : mAllocator(allocator ? allocator : &DefaultBlockAllocator()), mOwnership(ownership) {}

XQueue::~XQueue() {
  Clear();
}

bool XQueue::PushBack(void* element) {
  if (mCapacity < mCount + 1) {
    const uint32_t wanted = mCapacity >= kMaxCapacity / 4 ? kMaxCapacity : mCapacity * 4;
    if (!Grow(wanted < kFirstCapacity ? kFirstCapacity : wanted)) return false;
  }
  Slot(mCount) = element;
  ++mCount;
  return true;
}

void* XQueue::PopFront() {
  if (mCount == 0) return nullptr;
  void* element = mItems[mHead];
  --mCount;
  mHead = (mHead + 1) & (mCapacity - 1);
  return element;
}

void* XQueue::GetItem(int index) const {
  return index >= 0 && uint32_t(index) < mCount ? Slot(uint32_t(index)) : nullptr;
}

bool XQueue::Grow(uint32_t slots) {
  if (slots < mCount + 1) slots = mCount + 1;
  uint32_t capacity = 1;
  while (capacity < slots && capacity < kMaxCapacity) capacity <<= 1;
  if (capacity < mCount + 1) return false;
  auto** items = static_cast<void**>(mAllocator->allocate(int64_t(capacity) * int64_t(sizeof(void*))));
  if (!items) return false;
  // Queue order from slot 0: the run up to the end of the old storage, then the wrapped run.
  if (mCount > 0) {
    const uint32_t firstRun = mCapacity - mHead < mCount ? mCapacity - mHead : mCount;
    std::memcpy(items, mItems + mHead, firstRun * sizeof(void*));
    std::memcpy(items + firstRun, mItems, (mCount - firstRun) * sizeof(void*));
  }
  if (mItems) mAllocator->release(mItems);
  mItems = items;
  mCapacity = capacity;
  mHead = 0;
  return true;
}

void XQueue::ReleaseElement(void* element) const {
  if (!element) return;
  if (mOwnership == kOwnRecords) {
    auto* record = static_cast<XQueueRecord*>(element);
    if (record->mRelease) record->mRelease(record);
  } else if (mOwnership == kOwnTextBlocks) {
    auto* block = static_cast<TextBlock*>(element);
    if (block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) block->allocator->release(block);
  }
}

uint32_t XQueue::RemoveItems(int start, int number) {
  const uint32_t first = start < 0 ? 0 : uint32_t(start);
  if (mCount == 0 || number < 1 || first >= mCount) return mCount;
  const uint32_t removed = uint32_t(number) < mCount - first ? uint32_t(number) : mCount - first;
  for (uint32_t i = first; i < first + removed; ++i) ReleaseElement(Slot(i));
  const uint32_t behind = mCount - first - removed;
  if (behind >= first) {
    for (uint32_t i = first; i-- > 0;) Slot(i + removed) = Slot(i);
    mHead = (mHead + removed) & (mCapacity - 1);
  } else {
    for (uint32_t i = first + removed; i < mCount; ++i) Slot(i - removed) = Slot(i);
  }
  mCount -= removed;
  return mCount;
}

void XQueue::RemoveAll() {
  RemoveItems(0, int(mCount));
  mHead = 0;
  mCapacity = 0;
}

void XQueue::Clear() {
  RemoveAll();
  if (mItems) mAllocator->release(mItems);
  mItems = nullptr;
}

int32_t XQueue::Describe(XTextSink* sink) {
  const uint32_t shown = mCount < kDescribedElements ? mCount : kDescribedElements;
  UtilStr text;
  text.Clear(int(shown * 4));
  for (uint32_t i = 0; i < shown; ++i) {
    text.AppendCode(int64_t(reinterpret_cast<intptr_t>(Slot(i))));
    text.Append(i + 1 < mCount ? ", " : " ");
  }
  if (shown < mCount) text.AppendFormat("... <%d additional> ", int(mCount - shown));
  SinkPrintf(sink, "XQueue (0x%016llX): { %s} <%d total>",
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)), text.mText, int(mCount));
  return 0;
}
