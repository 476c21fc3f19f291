#include <unistd.h>

#include "platform/Platform.h"

namespace {

// Seconds from 1 January 1601 to 1 January 1970.
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;

}  // namespace

uint32_t PlatformTickMilliseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return uint32_t(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}

int64_t PlatformSystemTime() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return (int64_t(now.tv_sec) + kSecondsFrom1601To1970) * 10000000 + now.tv_nsec / 100;
}

uint32_t PlatformProcessId() {
  return uint32_t(getpid());
}

bool PlatformCurrentTime(bool local, std::tm* destination) {
  const std::time_t now = std::time(nullptr);
  return (local ? localtime_r(&now, destination) : gmtime_r(&now, destination)) != nullptr;
}

// The POSIX timers are fine-grained already: there is nothing to raise.
uint32_t PlatformMinimumTimerPeriod() {
  return 1;
}

bool PlatformBeginTimerPeriod(uint32_t) {
  return true;
}

void PlatformEndTimerPeriod(uint32_t) {}

// No keyboard is consulted outside Windows.
bool PlatformTraceChordHeld() {
  return false;
}

// Outside Windows there is no desktop to resolve.
bool PlatformDesktopFolder(char* destination, int size) {
  if (destination && size > 0) destination[0] = 0;
  return false;
}

std::FILE* PlatformOpenForAppend(const char* path) {
  return std::fopen(path, "a+");
}
