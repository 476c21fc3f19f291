// The runtime's wait time-outs in milliseconds, as the system takes them.
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr int32_t kWaitWithoutLimit = 0x7FFFFFFF;

// Negative: 0 (only a poll); kWaitWithoutLimit: INFINITE.
inline DWORD WaitTimeout(int32_t milliseconds) {
  if (milliseconds == kWaitWithoutLimit) return INFINITE;
  return milliseconds < 0 ? 0 : DWORD(milliseconds);
}
