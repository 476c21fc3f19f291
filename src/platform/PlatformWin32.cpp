#include <windows.h>
// mmsystem.h builds on the definitions of windows.h.
#include <mmsystem.h>

#include <memory>
#include <new>

#include "files/BCFileSpec.h"
#include "platform/Platform.h"
#include "text/UtilStr.h"

uint32_t PlatformTickMilliseconds() {
  return timeGetTime();
}

int64_t PlatformSystemTime() {
  FILETIME time;
  GetSystemTimeAsFileTime(&time);
  return int64_t(uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime);
}

uint32_t PlatformProcessId() {
  return GetCurrentProcessId();
}

bool PlatformCurrentTime(bool local, std::tm* destination) {
  const std::time_t now = std::time(nullptr);
  return (local ? localtime_s(destination, &now) : gmtime_s(destination, &now)) == 0;
}

uint32_t PlatformMinimumTimerPeriod() {
  TIMECAPS caps;
  return timeGetDevCaps(&caps, sizeof(caps)) == MMSYSERR_NOERROR ? caps.wPeriodMin : 0;
}

bool PlatformBeginTimerPeriod(uint32_t milliseconds) {
  return timeBeginPeriod(milliseconds) == TIMERR_NOERROR;
}

void PlatformEndTimerPeriod(uint32_t milliseconds) {
  timeEndPeriod(milliseconds);
}

namespace {

// GetKeyState's high bit (the key is down) survives the sign extension; the
// toggle bit 0x0001 does not count.
bool KeyHeld(int key) {
  return (int32_t(GetKeyState(key)) & 0x00FE) != 0;
}

}  // namespace

bool PlatformTraceChordHeld() {
  return KeyHeld(VK_SHIFT) && (KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU));
}

bool PlatformDesktopFolder(char* destination, int size) {
  if (!destination || size <= 0) return false;
  destination[0] = 0;
  BCFileSpec desktop;
  UtilStr path;
  if (GetSpecialFolder(desktop, FolderDesktop) != 0 || desktop.GetPath(&path) != 0) return false;
  if (path.CopyOut(destination, size)) return true;
  destination[0] = 0;
  return false;
}

std::FILE* PlatformOpenForAppend(const char* path) {
  // The C runtime would read a narrow path in the ANSI code page; the path is UTF-8.
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
  if (units <= 0) return nullptr;
  std::unique_ptr<wchar_t[]> widePath(new (std::nothrow) wchar_t[units]);
  if (!widePath ||
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, widePath.get(), units) != units)
    return nullptr;
  return _wfopen(widePath.get(), L"a+");
}
