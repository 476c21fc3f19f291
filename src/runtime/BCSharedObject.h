// A BCObject with an atomic reference count that starts at 1.
#pragma once

#include <atomic>

#include "runtime/BCObject.h"

class BCSharedObject : public BCObject {
 public:
  BCSharedObject() = default;
  BCSharedObject(const BCSharedObject&) = delete;
  BCSharedObject& operator=(const BCSharedObject&) = delete;

  // Answers the new count.
  int32_t Retain() { return mRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }
  // At 0: OnFinalRelease(-1), then the object is destroyed.
  int32_t Release() override;
  int32_t GetRefCount() const override { return mRefCount.load(std::memory_order_relaxed); }

 protected:
  ~BCSharedObject() override = default;
  virtual void OnFinalRelease(int32_t /*reason*/) {}

 private:
  std::atomic<int32_t> mRefCount{1};
};
