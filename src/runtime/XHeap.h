// A priority heap of 16-byte elements, the smallest key on top, stored in
// blocks of 32 elements beside a root held in the object.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/XBase.h"

// The key orders the heap; the rest belongs to the user.
struct XHeapElement {
  int32_t mKey = 0;
  uint8_t mData[12] = {};
};

class XHeap : public XBase {
 public:
  static constexpr int kBlockElements = 32;

  XHeap();
  ~XHeap() override = default;

  // False when no block could be allocated for the element.
  bool Push(const XHeapElement& element);
  // Takes the root; false when the heap is empty.
  bool Pop(XHeapElement* destination);
  // The root, or null when the heap is empty.
  const XHeapElement* Top() const { return mCount > 0 ? &mRoot : nullptr; }
  // Elements, the root included.
  int32_t GetCount() const { return mCount; }
  int GetBlockCount() const { return int(mBlocks.size()); }

  // Frees every block but the first and empties the heap.
  void Clear() override;
  // Lists the root and the blocks on trace channel 1; the sink is not used.
  int32_t Describe(XTextSink* sink) override;

 private:
  using Block = std::unique_ptr<XHeapElement[]>;

  // Heap position 0 is the root; position p > 0 is element p - 1 of the blocks.
  XHeapElement& At(int position);

  int32_t mCount = 0;
  std::vector<Block> mBlocks;
  XHeapElement mRoot;
};
