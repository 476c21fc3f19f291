// Counts the objects a program makes with operator new, for benchmarks that
// report allocations per operation.
#pragma once

#include <cstddef>

size_t NewCalls();
