// Path text operations on arbitrary bytes: the first byte picks a capacity
// and a split, the rest is a base path and a child text. Nothing may be
// written past a wide buffer, and walking up to the parent always ends.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "files/BCFileSpec.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  const int capacity = data[0] % 64 + (data[1] & 1 ? 1024 : 0);
  const size_t split = 2 + (size - 2) * data[1] / 256;
  const UtilStr baseText(reinterpret_cast<const char*>(data + 2), int(split - 2));
  const char* childText = reinterpret_cast<const char*>(data + split);
  const int childLength = int(size - split);

  BCFileSpec fileSpec;
  fileSpec.SetPath(baseText);
  UtilStr scratch;
  fileSpec.GetName(&scratch, false);
  fileSpec.GetName(&scratch, true);
  fileSpec.GetExtension(&scratch);

  std::vector<char16_t> wide(size_t(capacity) + 8, u'#');
  const int written = fileSpec.GetWidePath(wide.data(), capacity);
  Check(written == 0 || (written > 0 && written <= capacity - 2));
  if (capacity > 0) Check(wide[size_t(written)] == 0);
  for (size_t i = size_t(capacity); i < wide.size(); ++i) Check(wide[i] == u'#');

  BCFileSpec child;
  child.SetToChild(childText, childLength, fileSpec);
  child.SetName(baseText, data[0] & 1);
  child.GetPath(&scratch);

  int previous = child.toString()->mLength;
  while (!child.IsEmpty()) {
    child.SetToParentOf(child);
    Check(child.toString()->mLength < previous);
    previous = child.toString()->mLength;
  }
  return 0;
}
