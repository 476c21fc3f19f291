// Its own translation unit, so that no call site sees malloc behind new.
#include "NewCounter.h"

#include <cstdlib>
#include <new>

namespace {
size_t gNewCalls = 0;
}

size_t NewCalls() {
  return gNewCalls;
}

void* operator new(size_t size) {
  ++gNewCalls;
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, size_t) noexcept {
  std::free(memory);
}
