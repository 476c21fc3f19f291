// Owns one counted reference to a COM interface.
#pragma once

#include <unknwn.h>

#include <utility>

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : mPointer(std::exchange(other.mPointer, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.mPointer, nullptr));
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  // Takes a reference of its own to pointer (may be null).
  static ComPtr Retain(T* pointer) {
    if (pointer) pointer->AddRef();
    ComPtr result;
    result.mPointer = pointer;
    return result;
  }

  // Releases what was held; for out-parameters.
  T** Put() {
    Reset();
    return &mPointer;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset(T* pointer = nullptr) {
    T* old = std::exchange(mPointer, pointer);
    if (old) old->Release();
  }
  T* Detach() { return std::exchange(mPointer, nullptr); }

  T* Get() const { return mPointer; }
  T* operator->() const { return mPointer; }
  explicit operator bool() const { return mPointer != nullptr; }

 private:
  T* mPointer = nullptr;
};
