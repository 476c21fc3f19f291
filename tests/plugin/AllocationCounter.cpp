#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "text/UtilStr.h"

namespace {

std::atomic<int64_t> gAllocations{0};
std::atomic<int64_t> gLive{0};
void* (*gBlockAllocate)(int64_t bytes) = nullptr;
void* (*gBlockReallocate)(void* block, int64_t bytes) = nullptr;

void* CountedAllocate(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block) gLive.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void CountedFree(void* block) {
  if (!block) return;
  gLive.fetch_sub(1, std::memory_order_relaxed);
  std::free(block);
}

void* CountedBlockAllocate(int64_t bytes) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return gBlockAllocate(bytes);
}

void* CountedBlockReallocate(void* block, int64_t bytes) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  return gBlockReallocate(block, bytes);
}

// The byte string's blocks bypass operator new; count them at their allocator.
void CountStringBlocks() {
  static const bool installed = [] {
    BlockAllocator& allocator = DefaultBlockAllocator();
    gBlockAllocate = allocator.allocate;
    allocator.allocate = CountedBlockAllocate;
    if (allocator.reallocate) {
      gBlockReallocate = allocator.reallocate;
      allocator.reallocate = CountedBlockReallocate;
    }
    return true;
  }();
  (void)installed;
}

}  // namespace

int64_t allocation_counter::Count() {
  return gAllocations.load(std::memory_order_relaxed);
}

int64_t allocation_counter::Live() {
  return gLive.load(std::memory_order_relaxed);
}

allocation_counter::Scope::Scope() {
  CountStringBlocks();
  mStart = Count();
}

void* operator new(std::size_t size) {
  if (void* block = CountedAllocate(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* block = CountedAllocate(size)) return block;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocate(size);
}
void operator delete(void* block) noexcept {
  CountedFree(block);
}
void operator delete[](void* block) noexcept {
  CountedFree(block);
}
void operator delete(void* block, std::size_t) noexcept {
  CountedFree(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  CountedFree(block);
}
