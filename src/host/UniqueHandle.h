// Owns one Win32 kernel handle and closes it once.
#pragma once

#include <windows.h>

#include <utility>

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : mHandle(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : mHandle(std::exchange(other.mHandle, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.mHandle, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  void Reset(HANDLE handle = nullptr) {
    if (mHandle) CloseHandle(mHandle);
    mHandle = handle;
  }
  HANDLE Get() const { return mHandle; }
  explicit operator bool() const { return mHandle != nullptr; }

 private:
  HANDLE mHandle = nullptr;
};
