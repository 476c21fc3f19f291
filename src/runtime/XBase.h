// Root of the runtime library's own objects (queue, heap, threads, locks):
// named messages, a describe operation into a text sink, and a clear.
#pragma once

#include <cstdint>

class XTextSink;

class XBase {
 public:
  XBase() = default;
  XBase(const XBase&) = delete;
  XBase& operator=(const XBase&) = delete;
  virtual ~XBase() = default;

  virtual uint32_t GetRefCount() const { return mRefCount; }
  // 55012: not implemented in the base.
  virtual int32_t Query(intptr_t argument);
  virtual void* GetObjectPointer() { return nullptr; }
  // The base reports the message as unhandled on trace channel 10 and
  // answers 0, so a sender cannot tell handled from unhandled.
  virtual int32_t HandleMessage(const char* name, intptr_t first, intptr_t second);
  // Prints the object into the sink; "XBase (<address>)" in the base.
  virtual int32_t Describe(XTextSink* sink);
  virtual void Clear() {}

 protected:
  uint32_t mRefCount = 0;
};
