// Owning wrapper of a system critical section, and its scoped lock.
#pragma once

#include <windows.h>

#include "runtime/XBase.h"

class XCriticalSection : public XBase {
 public:
  XCriticalSection() { InitializeCriticalSection(&mSection); }
  ~XCriticalSection() override { DeleteCriticalSection(&mSection); }

  // Re-entrant for the owning thread.
  void Enter() { EnterCriticalSection(&mSection); }
  void Leave() { LeaveCriticalSection(&mSection); }

 private:
  CRITICAL_SECTION mSection;
};

// Holds the section for one scope.
class XCriticalSectionLock {
 public:
  explicit XCriticalSectionLock(XCriticalSection& section) : mSection(section) { mSection.Enter(); }
  ~XCriticalSectionLock() { mSection.Leave(); }
  XCriticalSectionLock(const XCriticalSectionLock&) = delete;
  XCriticalSectionLock& operator=(const XCriticalSectionLock&) = delete;

 private:
  XCriticalSection& mSection;
};
