#include "runtime/XHeap.h"

#include <new>
#include <utility>

#include "runtime/Trace.h"

namespace {

constexpr uint32_t kDescribeChannel = 0x10000001;

}  // namespace

XHeap::XHeap() {
  mBlocks.emplace_back(new XHeapElement[kBlockElements]);
}

XHeapElement& XHeap::At(int position) {
  if (position == 0) return mRoot;
  const int element = position - 1;
  return mBlocks[size_t(element / kBlockElements)][element % kBlockElements];
}

bool XHeap::Push(const XHeapElement& element) {
  if (mCount == INT32_MAX) return false;
  const int elementIndex = mCount - 1;
  if (elementIndex >= 0 && size_t(elementIndex / kBlockElements) >= mBlocks.size()) {
    Block block(new (std::nothrow) XHeapElement[kBlockElements]);
    if (!block) return false;
    mBlocks.push_back(std::move(block));
  }
  int position = mCount++;
  while (position > 0) {
    const int parent = (position - 1) / 2;
    if (At(parent).mKey <= element.mKey) break;
    At(position) = At(parent);
    position = parent;
  }
  At(position) = element;
  return true;
}

bool XHeap::Pop(XHeapElement* destination) {
  if (mCount == 0) return false;
  if (destination) *destination = mRoot;
  const XHeapElement last = At(--mCount);
  int position = 0;
  for (;;) {
    int child = position * 2 + 1;
    if (child >= mCount) break;
    if (child + 1 < mCount && At(child + 1).mKey < At(child).mKey) ++child;
    if (last.mKey <= At(child).mKey) break;
    At(position) = At(child);
    position = child;
  }
  if (mCount > 0) At(position) = last;
  if (mCount == 0) mRoot = XHeapElement();
  return true;
}

void XHeap::Clear() {
  mBlocks.resize(1);
  mCount = 0;
  mRoot = XHeapElement();
}

int32_t XHeap::Describe(XTextSink*) {
  TracePrintf(kDescribeChannel, "XHeap (0x%X): mCount = %d", unsigned(reinterpret_cast<uintptr_t>(this)),
              mCount);
  if (mCount > 0) TracePrintf(kDescribeChannel, "Root: %d\n", mRoot.mKey);
  const int elements = mCount > 0 ? mCount - 1 : 0;
  for (size_t block = 0; block < mBlocks.size(); ++block) {
    TracePrintf(kDescribeChannel, "Block %d:", int(block));
    const int first = int(block) * kBlockElements;
    const int end = first + kBlockElements < elements ? first + kBlockElements : elements;
    for (int k = first; k < end; ++k) TracePrintf(kDescribeChannel, " %d", mBlocks[block][k - first].mKey);
    // Every block listing ends with an empty line; the one holding the
    // heap's last element ends the listing.
    TraceText(kDescribeChannel, "");
    if (end >= elements) break;
  }
  return 0;
}
