// UnescapeBytes and AppendUnescaped on arbitrary bytes stay inside their
// buffers, and whatever AppendEscaped writes with escaped backslashes
// unescapes to the original bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "text/TextFunctions.h"
#include "text/UtilStr.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 1 << 16) return 0;
  const char quote = char(data[0]);
  const int outSize = data[1];
  const char* text = reinterpret_cast<const char*>(data + 2);
  const int length = int(size - 2);

  // Output buffers exactly as large as promised, so ASan sees any overrun.
  std::vector<char> out(static_cast<size_t>(outSize));
  int position = 0;
  const int written = UnescapeBytes(text, length, out.data(), outSize, quote, &position);
  Check(written >= 0 && written <= outSize && position >= 0 && position <= length);

  std::vector<char> terminated(text, text + length);
  terminated.push_back(0);
  std::vector<char> full(size_t(length) + 1);
  position = 0;
  const int fromZero = UnescapeBytes(terminated.data(), -1, full.data(), length + 1, quote, &position);
  Check(fromZero <= length && position <= int(std::strlen(terminated.data())));

  for (const bool quoted : {false, true}) {
    UtilStr s("prefix");
    s.AppendUnescaped(text, length, quoted);
    Check(s.mLength >= 6 && s.mLength <= 6 + length && s.mText[s.mLength] == 0);
    s.AppendUnescaped(s.mText, s.mLength, quoted);
  }

  const int flags = (data[1] & 0x3A) | 0x04;
  UtilStr escaped;
  escaped.AppendEscaped(text, length, flags);
  std::vector<char> back(size_t(escaped.mLength) + 1);
  position = 0;
  const int restored =
      UnescapeBytes(escaped.mText, escaped.mLength, back.data(), escaped.mLength + 1, 0, &position);
  Check(restored == length && std::memcmp(back.data(), text, size_t(length)) == 0);
  return 0;
}
