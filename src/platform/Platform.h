// The few facts about the running system that platform-free code needs.
// One implementation per platform; src/platform/CMakeLists.txt picks it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>

// A free-running millisecond tick that wraps after 2^32 ms.
uint32_t PlatformTickMilliseconds();
// The system time in 100-nanosecond units since 1 January 1601 UTC.
int64_t PlatformSystemTime();
uint32_t PlatformProcessId();
// The current calendar time broken down as local time or as UTC; false when
// the system cannot break it down.
bool PlatformCurrentTime(bool local, std::tm* destination);

// The finest timer period the system offers in ms; 0 when it cannot tell.
uint32_t PlatformMinimumTimerPeriod();
// Ask for a finer system timer; true when granted. Every granted request is
// ended with PlatformEndTimerPeriod with the same period.
bool PlatformBeginTimerPeriod(uint32_t milliseconds);
void PlatformEndTimerPeriod(uint32_t milliseconds);

// Shift held together with Control or Alt: the chord that opens the extra
// trace channels while the module loads.
bool PlatformTraceChordHeld();

// The user's desktop folder as UTF-8, without a trailing separator; false
// (and an empty text) when it cannot be resolved or does not fit.
bool PlatformDesktopFolder(char* destination, int size);
// Opens a file named by a UTF-8 path for appending in text mode ("a+"),
// creating it when needed; null on failure.
std::FILE* PlatformOpenForAppend(const char* path);
