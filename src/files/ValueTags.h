// Tag bits of the keyed value tables and the 64-bit value word they describe:
// an integer, the bits of a real, or a pointer to an object.
#pragma once

#include <bit>
#include <cstdint>

#include "runtime/BCObject.h"
#include "text/UtilStr.h"

inline constexpr uint32_t TagText = 0x00000001;     // the value points to a UtilStr
inline constexpr uint32_t TagReal = 0x00000002;     // the value holds the bits of a double
inline constexpr uint32_t TagInteger = 0x00000004;  // the value is a signed 64-bit integer
inline constexpr uint32_t TagOwned = 0x10000000;    // the table releases the object
inline constexpr uint32_t TagFound = 0x20000000;    // never stored; set by a lookup that finds an entry

inline int64_t ObjectValue(const BCObject* object) {
  return static_cast<int64_t>(reinterpret_cast<uintptr_t>(object));
}
inline BCObject* ValueObject(int64_t value) {
  return reinterpret_cast<BCObject*>(static_cast<uintptr_t>(value));
}
inline UtilStr* ValueText(int64_t value) {
  return static_cast<UtilStr*>(ValueObject(value));
}
inline int64_t RealValue(double real) {
  return std::bit_cast<int64_t>(real);
}
inline double ValueReal(int64_t value) {
  return std::bit_cast<double>(value);
}

// Truncation toward zero that saturates instead of overflowing: NaN gives 0,
// reals beyond the int64 range give its nearest end.
inline int64_t TruncateReal(double real) {
  if (real != real) return 0;
  if (real >= 9223372036854775808.0) return INT64_MAX;
  if (real <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(real);
}

// Two's-complement negation without the overflow of -INT64_MIN.
inline int64_t NegateWrapping(int64_t value) {
  return static_cast<int64_t>(0 - static_cast<uint64_t>(value));
}
