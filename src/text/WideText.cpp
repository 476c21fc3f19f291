#include "text/WideText.h"

#include <algorithm>
#include <iterator>

namespace {

// Canonical compositions of the Latin letters with the accents that
// decomposed file names and tags use; keyed by mark, then base.
struct Composition {
  char16_t mark, base, composed;
};

constexpr Composition kCompositions[] = {
    {0x300, 'A', 0x00C0}, {0x300, 'E', 0x00C8}, {0x300, 'I', 0x00CC}, {0x300, 'N', 0x01F8},
    {0x300, 'O', 0x00D2}, {0x300, 'U', 0x00D9}, {0x300, 'a', 0x00E0}, {0x300, 'e', 0x00E8},
    {0x300, 'i', 0x00EC}, {0x300, 'n', 0x01F9}, {0x300, 'o', 0x00F2}, {0x300, 'u', 0x00F9},

    {0x301, 'A', 0x00C1}, {0x301, 'C', 0x0106}, {0x301, 'E', 0x00C9}, {0x301, 'I', 0x00CD},
    {0x301, 'N', 0x0143}, {0x301, 'O', 0x00D3}, {0x301, 'S', 0x015A}, {0x301, 'U', 0x00DA},
    {0x301, 'Y', 0x00DD}, {0x301, 'a', 0x00E1}, {0x301, 'c', 0x0107}, {0x301, 'e', 0x00E9},
    {0x301, 'i', 0x00ED}, {0x301, 'n', 0x0144}, {0x301, 'o', 0x00F3}, {0x301, 's', 0x015B},
    {0x301, 'u', 0x00FA}, {0x301, 'y', 0x00FD},

    {0x302, 'A', 0x00C2}, {0x302, 'C', 0x0108}, {0x302, 'E', 0x00CA}, {0x302, 'I', 0x00CE},
    {0x302, 'O', 0x00D4}, {0x302, 'S', 0x015C}, {0x302, 'U', 0x00DB}, {0x302, 'Y', 0x0176},
    {0x302, 'a', 0x00E2}, {0x302, 'c', 0x0109}, {0x302, 'e', 0x00EA}, {0x302, 'i', 0x00EE},
    {0x302, 'o', 0x00F4}, {0x302, 's', 0x015D}, {0x302, 'u', 0x00FB}, {0x302, 'y', 0x0177},

    {0x303, 'A', 0x00C3}, {0x303, 'I', 0x0128}, {0x303, 'N', 0x00D1}, {0x303, 'O', 0x00D5},
    {0x303, 'U', 0x0168}, {0x303, 'a', 0x00E3}, {0x303, 'i', 0x0129}, {0x303, 'n', 0x00F1},
    {0x303, 'o', 0x00F5}, {0x303, 'u', 0x0169},

    {0x304, 'A', 0x0100}, {0x304, 'E', 0x0112}, {0x304, 'I', 0x012A}, {0x304, 'O', 0x014C},
    {0x304, 'U', 0x016A}, {0x304, 'Y', 0x0232}, {0x304, 'a', 0x0101}, {0x304, 'e', 0x0113},
    {0x304, 'i', 0x012B}, {0x304, 'o', 0x014D}, {0x304, 'u', 0x016B}, {0x304, 'y', 0x0233},

    {0x306, 'A', 0x0102}, {0x306, 'E', 0x0114}, {0x306, 'I', 0x012C}, {0x306, 'O', 0x014E},
    {0x306, 'U', 0x016C}, {0x306, 'a', 0x0103}, {0x306, 'e', 0x0115}, {0x306, 'i', 0x012D},
    {0x306, 'o', 0x014F}, {0x306, 'u', 0x016D},

    {0x307, 'A', 0x0226}, {0x307, 'C', 0x010A}, {0x307, 'E', 0x0116}, {0x307, 'I', 0x0130},
    {0x307, 'O', 0x022E}, {0x307, 'a', 0x0227}, {0x307, 'c', 0x010B}, {0x307, 'e', 0x0117},
    {0x307, 'o', 0x022F},

    {0x308, 'A', 0x00C4}, {0x308, 'E', 0x00CB}, {0x308, 'I', 0x00CF}, {0x308, 'O', 0x00D6},
    {0x308, 'U', 0x00DC}, {0x308, 'Y', 0x0178}, {0x308, 'a', 0x00E4}, {0x308, 'e', 0x00EB},
    {0x308, 'i', 0x00EF}, {0x308, 'o', 0x00F6}, {0x308, 'u', 0x00FC}, {0x308, 'y', 0x00FF},

    {0x30A, 'A', 0x00C5}, {0x30A, 'U', 0x016E}, {0x30A, 'a', 0x00E5}, {0x30A, 'u', 0x016F},

    {0x30C, 'A', 0x01CD}, {0x30C, 'C', 0x010C}, {0x30C, 'E', 0x011A}, {0x30C, 'I', 0x01CF},
    {0x30C, 'N', 0x0147}, {0x30C, 'O', 0x01D1}, {0x30C, 'S', 0x0160}, {0x30C, 'U', 0x01D3},
    {0x30C, 'a', 0x01CE}, {0x30C, 'c', 0x010D}, {0x30C, 'e', 0x011B}, {0x30C, 'i', 0x01D0},
    {0x30C, 'n', 0x0148}, {0x30C, 'o', 0x01D2}, {0x30C, 's', 0x0161}, {0x30C, 'u', 0x01D4},

    {0x327, 'C', 0x00C7}, {0x327, 'E', 0x0228}, {0x327, 'N', 0x0145}, {0x327, 'S', 0x015E},
    {0x327, 'c', 0x00E7}, {0x327, 'e', 0x0229}, {0x327, 'n', 0x0146}, {0x327, 's', 0x015F},
};

constexpr bool Before(const Composition& a, const Composition& b) {
  return a.mark != b.mark ? a.mark < b.mark : a.base < b.base;
}

static_assert(std::is_sorted(std::begin(kCompositions), std::end(kCompositions), Before));

bool IsContinuation(int byte) {
  return byte >= 0x80 && byte <= 0xBF;
}

}  // namespace

char16_t ComposeMark(char16_t base, char16_t mark) {
  const Composition key{mark, base, 0};
  const auto* found = std::lower_bound(std::begin(kCompositions), std::end(kCompositions), key, Before);
  return found != std::end(kCompositions) && found->mark == mark && found->base == base ? found->composed : 0;
}

int Utf16ToUtf8(const char16_t* units, int count, char* out, int capacity) {
  if (!units || capacity < 0 || (!out && capacity > 0)) return 0;
  auto more = [&](int i) { return count < 0 ? units[i] != 0 : i < count; };
  int produced = 0;
  auto put = [&](uint32_t byte) {
    if (capacity == 0 || produced < capacity) {
      if (capacity > 0) out[produced] = char(byte);
      ++produced;
    }
  };
  for (int i = 0; more(i) && (capacity == 0 || produced < capacity);) {
    uint32_t cp = units[i++];
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (!more(i)) break;
      const uint32_t low = units[i];
      if (low < 0xDC00 || low > 0xDFFF) continue;
      cp = 0x10000 + ((cp - 0xD800) << 10 | (low - 0xDC00));
      ++i;
    }
    if (cp < 0x80) {
      put(cp);
    } else if (cp < 0x800) {
      put(0xC0 | cp >> 6);
      put(0x80 | (cp & 0x3F));
    } else if (cp == 0xFEFF) {
      continue;
    } else if (cp <= 0xFFFF) {
      put(0xE0 | cp >> 12);
      put(0x80 | (cp >> 6 & 0x3F));
      put(0x80 | (cp & 0x3F));
    } else {
      put(0xF0 | cp >> 18);
      put(0x80 | (cp >> 12 & 0x3F));
      put(0x80 | (cp >> 6 & 0x3F));
      put(0x80 | (cp & 0x3F));
    }
  }
  return produced;
}

int Utf8ToUtf16(const char* bytes, int length, char16_t* out, int capacity, bool compose) {
  if (!bytes || capacity < 0 || (!out && capacity > 0)) return 0;
  // The byte at i, or -1 past the end. Readers look at a byte only after the
  // ones before it were continuation bytes, so a zero byte is never passed.
  auto at = [&](int i) { return (length < 0 ? bytes[i] != 0 : i < length) ? int(uint8_t(bytes[i])) : -1; };
  int produced = 0;
  uint32_t previous = 0;
  auto put = [&](uint32_t unit) {
    if (capacity > 0) out[produced] = char16_t(unit);
    ++produced;
    previous = unit;
  };
  for (int i = 0;;) {
    const int lead = at(i);
    if (lead < 0) break;
    uint32_t cp;
    int used = 1;
    if (lead < 0x80) {
      cp = uint32_t(lead);
    } else if (lead < 0xC0) {
      used = 0;
    } else if (lead < 0xE0) {
      const int b1 = at(i + 1);
      cp = uint32_t(lead & 0x1F) << 6 | (b1 & 0x3F);
      used = IsContinuation(b1) ? 2 : 0;
    } else if (lead < 0xF0) {
      const int b1 = at(i + 1), b2 = IsContinuation(b1) ? at(i + 2) : -1;
      cp = uint32_t(lead & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F);
      used = IsContinuation(b2) ? 3 : 0;
    } else {
      const int b1 = at(i + 1), b2 = IsContinuation(b1) ? at(i + 2) : -1,
                b3 = IsContinuation(b2) ? at(i + 3) : -1;
      cp = uint32_t(lead & 0x07) << 18 | (b1 & 0x3F) << 12 | (b2 & 0x3F) << 6 | (b3 & 0x3F);
      used = IsContinuation(b3) ? 4 : 0;
    }
    // A stray continuation byte, or a lead byte without its continuation
    // bytes, is dropped on its own.
    if (used == 0) {
      ++i;
      continue;
    }
    // A full buffer still takes a mark that composes with its last unit, so
    // that a buffer sized by the counting pass gets the same text.
    const char16_t composed = compose && cp >= 0x300 && cp <= 0x36F && produced > 0
                                  ? ComposeMark(char16_t(previous), char16_t(cp))
                                  : 0;
    if (capacity > 0 && produced >= capacity && !composed) break;
    i += used;
    if (cp == 0xFEFF) continue;
    if (composed) {
      if (capacity > 0) out[produced - 1] = composed;
      previous = composed;
    } else if (cp < 0x10000) {
      put(cp);
    } else {
      put(0xD800 + ((cp - 0x10000) >> 10));
      if (capacity == 0 || produced < capacity) put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return produced;
}
