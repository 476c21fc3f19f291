// Owning wrapper of a system semaphore.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/XBase.h"

class XSemaphore : public XBase {
 public:
  XSemaphore(int32_t initialCount, int32_t maximumCount);
  ~XSemaphore() override;

  // Adds count when it is above 0; a refused release is ignored.
  void Release(int32_t count);
  // Takes one count; true when it was taken within the time-out (ms,
  // negative: 0, 0x7FFFFFFF: no limit).
  bool Wait(int32_t timeout);
  // False when the system gave no semaphore.
  bool IsValid() const { return mHandle != nullptr; }

 private:
  HANDLE mHandle;
};
