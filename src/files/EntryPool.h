// Storage for the entries of a keyed table: entries are taken from large
// chunks instead of one heap block each, and a cleared table reuses them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

template <class Entry>
class EntryPool {
 public:
  EntryPool() = default;
  EntryPool(const EntryPool&) = delete;
  EntryPool& operator=(const EntryPool&) = delete;
  // The owner destroys the entries it constructed before the pool goes.
  ~EntryPool() {
    for (const Chunk& chunk : mChunks) std::free(chunk.slots);
  }

  // Uninitialised room for one entry, or null when memory is exhausted.
  void* Take() {
    while (mCurrent < mChunks.size() && mUsed == mChunks[mCurrent].size) {
      ++mCurrent;
      mUsed = 0;
    }
    if (mCurrent == mChunks.size() && !AddChunk(1)) return nullptr;
    ++mTaken;
    return mChunks[mCurrent].slots + mUsed++;
  }

  // Makes sure that `more` further entries can be taken without a new chunk.
  void Reserve(size_t more) {
    const size_t free = mCapacity - mTaken;
    if (more > free) AddChunk(more - free);
  }

  // Calls visit(entry) for every taken entry, oldest first.
  template <class Visit>
  void ForEach(Visit visit) const {
    size_t left = mTaken;
    for (const Chunk& chunk : mChunks) {
      for (size_t i = 0; i < chunk.size && left > 0; ++i, --left)
        visit(std::launder(reinterpret_cast<Entry*>(chunk.slots + i)));
      if (left == 0) break;
    }
  }

  // Forgets every entry; the owner has destroyed them. The chunks stay.
  void Rewind() {
    mCurrent = 0;
    mUsed = 0;
    mTaken = 0;
  }

 private:
  struct alignas(Entry) Slot {
    std::byte bytes[sizeof(Entry)];
  };
  struct Chunk {
    Slot* slots;
    size_t size;
  };

  // At least `needed` slots; chunks double so that taking stays amortised.
  bool AddChunk(size_t needed) {
    const size_t size = std::max(needed, std::max<size_t>(mCapacity, 16));
    auto* slots = static_cast<Slot*>(std::malloc(size * sizeof(Slot)));
    if (!slots) return false;
    mChunks.push_back({slots, size});
    mCapacity += size;
    return true;
  }

  std::vector<Chunk> mChunks;
  size_t mCurrent = 0;   // chunk being filled
  size_t mUsed = 0;      // slots taken in that chunk
  size_t mTaken = 0;     // slots taken in all chunks
  size_t mCapacity = 0;  // slots in all chunks
};
