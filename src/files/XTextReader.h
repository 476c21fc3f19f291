// Hands out the lines of a block of text one at a time. Empty lines never
// come out, so a reader is read until it yields an empty line.
#pragma once

#include <cstdint>

#include "runtime/ResultCodes.h"
#include "text/UtilStr.h"

class XTextReader {
 public:
  XTextReader() = default;
  XTextReader(const XTextReader&) = delete;
  XTextReader& operator=(const XTextReader&) = delete;
  virtual ~XTextReader() = default;

  // Not open: status 55021, no data.
  virtual void Reset();
  // Opens a copy of text; may be called again to start over.
  void SetText(const UtilStr& text);
  // The next line without its break, pointing into the data or the line
  // buffer; null and 0 when there is none. Valid until the next call.
  void NextLine(const char** start, int* length);
  // The status after the read: 0 while open, 55203 once the data is used
  // up, 55021 when never opened. destination (may be null) gets the line.
  int32_t ReadLine(UtilStr* destination);
  int32_t Status() const { return mStatus; }

 protected:
  // Called when the data is used up; this reader has a single block.
  virtual void Refill();

  int32_t mPosition = 0;
  const char* mData = nullptr;
  int32_t mSize = 0;
  int32_t mStatus = kErrNoInstance;
  UtilStr mLineBuffer;  // a line that reaches the end of the data
  UtilStr mSource;
};
