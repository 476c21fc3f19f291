#include "runtime/XBase.h"

#include "runtime/ResultCodes.h"
#include "runtime/Trace.h"
#include "runtime/XTextSink.h"

namespace {

constexpr uint32_t kUnhandledMessageChannel = 0x1000000A;

}  // namespace

int32_t XBase::Query(intptr_t) {
  return kErrNotHandled;
}

int32_t XBase::HandleMessage(const char* name, intptr_t, intptr_t) {
  TracePrintf(kUnhandledMessageChannel, "XBase unhandled message '%s'", name ? name : "");
  return 0;
}

int32_t XBase::Describe(XTextSink* sink) {
  // The address in the width the platform's %p gives on 64-bit Windows.
  SinkPrintf(sink, "XBase (%016llX)", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
  return 0;
}
