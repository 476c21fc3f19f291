// Owns one open registry key.
#pragma once

#include <windows.h>

#include <utility>

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept : mKey(std::exchange(other.mKey, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.mKey, nullptr));
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { Reset(); }

  HKEY* Put() {
    Reset();
    return &mKey;
  }
  void Reset(HKEY key = nullptr) {
    HKEY old = std::exchange(mKey, key);
    if (old) RegCloseKey(old);
  }
  HKEY Get() const { return mKey; }
  explicit operator bool() const { return mKey != nullptr; }

 private:
  HKEY mKey = nullptr;
};
