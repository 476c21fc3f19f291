// Arbitrary bytes through the line reader: every line is non-empty, holds no
// line break, and the lines never add up to more than the text.
#include <cstdint>
#include <cstdlib>

#include "files/XTextReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  XTextReader reader;
  reader.SetText(UtilStr(reinterpret_cast<const char*>(data), static_cast<int>(size)));
  size_t total = 0;
  UtilStr line;
  for (;;) {
    const int32_t status = reader.ReadLine(&line);
    if (status != kOk && status != kErrEndOfText) std::abort();
    if (line.mLength == 0) break;
    for (int i = 0; i < line.mLength; ++i)
      if (line.mText[i] == '\n' || line.mText[i] == '\r') std::abort();
    total += size_t(line.mLength) + 1;
    if (total > size + 1) std::abort();
  }
  if (reader.Status() != kErrEndOfText) std::abort();
  return 0;
}
