#include "runtime/BCSharedObject.h"

int32_t BCSharedObject::Release() {
  const int32_t left = mRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) {
    OnFinalRelease(-1);
    delete this;
  }
  return left;
}
