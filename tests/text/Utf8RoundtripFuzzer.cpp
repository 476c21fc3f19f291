// Valid UTF-8 survives UTF-8 -> UTF-16 -> UTF-8 unchanged, valid UTF-16 the
// other way round; any input, with any capacity, stays inside its buffers.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "text/UtilStr.h"
#include "text/WideText.h"

namespace {

// Well-formed UTF-8 that the conversion keeps: shortest forms, no
// surrogates, nothing above U+10FFFF, and no byte-order mark (it is dropped).
bool IsKeptUtf8(const uint8_t* p, size_t size) {
  for (size_t i = 0; i < size;) {
    const uint8_t lead = p[i];
    size_t n;
    uint32_t cp;
    if (lead < 0x80) {
      n = 1, cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      n = 2, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      n = 3, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      n = 4, cp = lead & 0x07;
    } else {
      return false;
    }
    if (i + n > size) return false;
    for (size_t k = 1; k < n; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = cp << 6 | (p[i + k] & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFEFF) return false;
    i += n;
  }
  return true;
}

bool IsKeptUtf16(const char16_t* u, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (u[i] == 0xFEFF || (u[i] >= 0xDC00 && u[i] <= 0xDFFF)) return false;
    if (u[i] >= 0xD800 && u[i] <= 0xDBFF) {
      if (i + 1 >= count || u[i + 1] < 0xDC00 || u[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  const char* bytes = reinterpret_cast<const char*>(data);
  const int length = int(size);

  for (const bool compose : {false, true}) {
    const int needed = Utf8ToUtf16(bytes, length, nullptr, 0, compose);
    Check(needed >= 0 && needed <= length);
    std::vector<char16_t> units(size_t(needed) + 1);
    Check(Utf8ToUtf16(bytes, length, units.data(), needed, compose) == needed);
    // A cut buffer exactly as large as its capacity (ASan guards its end).
    const int cut = needed / 2;
    std::vector<char16_t> partial(static_cast<size_t>(cut));
    if (cut > 0) Check(Utf8ToUtf16(bytes, length, partial.data(), cut, compose) <= cut);

    if (!compose && needed > 0) {
      const int back = Utf16ToUtf8(units.data(), needed, nullptr, 0);
      std::vector<char> utf8(static_cast<size_t>(back));
      Check(Utf16ToUtf8(units.data(), needed, utf8.data(), back) == back);
      if (IsKeptUtf8(data, size)) Check(back == length && std::memcmp(utf8.data(), data, size) == 0);
    }
  }

  // The same bytes up to a zero byte.
  std::vector<char> terminated(bytes, bytes + size);
  terminated.push_back(0);
  Check(Utf8ToUtf16(terminated.data(), -1, nullptr, 0, true) >= 0);

  // The bytes read as UTF-16 units.
  const size_t count = size / 2;
  std::vector<char16_t> wide(count + 1);
  if (count) std::memcpy(wide.data(), data, count * 2);
  const int utf8Length = Utf16ToUtf8(wide.data(), int(count), nullptr, 0);
  std::vector<char> utf8(static_cast<size_t>(utf8Length));
  Check(Utf16ToUtf8(wide.data(), int(count), utf8.data(), utf8Length) == utf8Length);
  std::vector<char> short8(static_cast<size_t>(utf8Length / 3));
  if (!short8.empty())
    Check(Utf16ToUtf8(wide.data(), int(count), short8.data(), int(short8.size())) <= int(short8.size()));
  Check(Utf16ToUtf8(wide.data(), -1, nullptr, 0) <= utf8Length);
  if (IsKeptUtf16(wide.data(), count) && utf8Length > 0) {
    std::vector<char16_t> again(count);
    Check(Utf8ToUtf16(utf8.data(), utf8Length, again.data(), int(count), false) == int(count));
    Check(std::memcmp(again.data(), wide.data(), count * 2) == 0);
  }

  UtilStr text;
  text.AppendWide(wide.data(), int(count));
  Check(text.mLength == utf8Length && text.mText[text.mLength] == 0);
  std::vector<char16_t> out(count + 2);
  text.CopyOutWide(out.data(), int(out.size() * 2));
  return 0;
}
