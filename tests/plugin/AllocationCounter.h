// Counts every operator new of the test program and every block the byte
// string allocates, so a test can show that a hot path allocates nothing.
#pragma once

#include <cstdint>

namespace allocation_counter {

int64_t Count();
// Blocks from operator new not yet deleted.
int64_t Live();

// Allocations made between construction and Made().
class Scope {
 public:
  Scope();
  int64_t Made() const { return Count() - mStart; }

 private:
  int64_t mStart;
};

}  // namespace allocation_counter
