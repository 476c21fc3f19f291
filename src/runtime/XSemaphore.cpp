#include "runtime/XSemaphore.h"

#include "runtime/WaitTimeout.h"

XSemaphore::XSemaphore(int32_t initialCount, int32_t maximumCount)
    : mHandle(CreateSemaphoreW(nullptr, initialCount, maximumCount, nullptr)) {}

XSemaphore::~XSemaphore() {
  if (mHandle) CloseHandle(mHandle);
}

void XSemaphore::Release(int32_t count) {
  if (mHandle && count > 0) ReleaseSemaphore(mHandle, count, nullptr);
}

bool XSemaphore::Wait(int32_t timeout) {
  return mHandle && WaitForSingleObject(mHandle, WaitTimeout(timeout)) == WAIT_OBJECT_0;
}
