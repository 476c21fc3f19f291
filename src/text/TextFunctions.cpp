#include "text/TextFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

uint8_t FoldCase(uint8_t byte) {
  return byte >= 'a' && byte <= 'z' ? byte - 32 : byte;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Texts given with a negative length end at their zero byte.
int EndOf(const char* text, int length) {
  return length >= 0 ? length : int(std::strlen(text));
}

// Reads the sign after leading blanks; the position is left on the first digit.
bool ReadSign(const char* text, int end, int& position) {
  while (position < end && uint8_t(text[position]) <= 32) ++position;
  if (position < end && (text[position] == '-' || text[position] == '+')) return text[position++] == '-';
  return false;
}

}  // namespace

int CompareText(const char* a, int lengthA, const char* b, int lengthB, bool caseSensitive) {
  // No text reads as the empty text, whatever length came with it.
  if (!a) a = "", lengthA = std::min(lengthA, 0);
  if (!b) b = "", lengthB = std::min(lengthB, 0);
  if (lengthA < 0 && lengthB < 0) {
    for (int i = 0;; ++i) {
      uint8_t x = uint8_t(a[i]), y = uint8_t(b[i]);
      if (!caseSensitive) x = FoldCase(x), y = FoldCase(y);
      if (x != y || x == 0) return int(x) - int(y);
    }
  }
  lengthA = EndOf(a, lengthA);
  lengthB = EndOf(b, lengthB);
  const int common = std::min(lengthA, lengthB);
  for (int i = 0; i < common; ++i) {
    uint8_t x = uint8_t(a[i]), y = uint8_t(b[i]);
    if (!caseSensitive) x = FoldCase(x), y = FoldCase(y);
    if (x != y) return int(x) - int(y);
  }
  return lengthA - lengthB;
}

int FormatInteger(int64_t value, char* out, int base) {
  if (value == 0 || base < 2 || base > 36) {
    out[0] = '0';
    out[1] = 0;
    return 1;
  }
  char digits[64];
  int count = 0;
  uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
  for (; magnitude; magnitude /= unsigned(base)) digits[count++] = kDigits[magnitude % unsigned(base)];
  int length = 0;
  if (value < 0) out[length++] = '-';
  while (count) out[length++] = digits[--count];
  out[length] = 0;
  return length;
}

int FormatDecimal(double value, int decimals, char* out) {
  int length = 0;
  if (value < 0) {
    out[length++] = '-';
    value = -value;
  }
  double whole;
  const double fraction = std::modf(value, &whole);
  // Out-of-range and NaN values saturate rather than overflow the cast.
  const int32_t integer = whole >= 2147483647.0 ? INT32_MAX : whole >= 0 ? int32_t(whole) : 0;
  length += FormatInteger(integer, out + length, 10);
  const int places = std::min(decimals, 9);
  if (places > 0) {
    const double scaled = fraction * double(std::pow(10.0f, float(places)));
    const int64_t digits = scaled >= 1 && scaled < 1e10 ? int64_t(scaled) : 0;
    if (digits >= 1) {
      char text[24];
      int count = FormatInteger(digits, text, 10);
      out[length++] = '.';
      for (int zeros = places - count; zeros > 0; --zeros) out[length++] = '0';
      while (count > 1 && text[count - 1] == '0') --count;
      std::memcpy(out + length, text, size_t(count));
      length += count;
    }
  }
  out[length] = 0;
  if (length == 2 && out[0] == '-' && out[1] == '0') {
    out[0] = '0';
    out[1] = 0;
    length = 1;
  }
  return length;
}

int FormatCode(int64_t value, char* out, bool lowerCase) {
  int length = 0;
  for (int shift = 56; shift >= 0; shift -= 8) {
    char byte = char(uint64_t(value) >> shift);
    if (length == 0 && byte == 0) continue;
    if (lowerCase && byte >= 'A' && byte <= 'Z') byte += 32;
    out[length++] = byte;
  }
  out[length] = 0;
  return length;
}

int EscapeBytes(const char* bytes, int end, int flags, char* out, int outSize, int* position) {
  int local = 0;
  int& at = position ? *position : local;
  if (!bytes || !out) return 0;
  const int stop = EndOf(bytes, end);
  int written = 0;
  // Room for the longest escape, four bytes, is kept before each byte.
  for (; at < stop && written + 8 <= outSize; ++at) {
    const uint8_t byte = uint8_t(bytes[at]);
    const char* whitespace = std::strchr("\t\n\f\r", byte);
    if ((flags & 0x18) && byte && whitespace) {
      out[written++] = '\\';
      out[written++] = "tnfr"[whitespace - "\t\n\f\r"];
    } else if ((flags & 0x04) && (byte == '"' || byte == '\'' || byte == '\\')) {
      out[written++] = '\\';
      out[written++] = char(byte);
    } else if ((flags & 0x12) && byte == 0) {
      out[written++] = '\\';
      out[written++] = '0';
    } else if (((flags & 0x10) && byte < 0x20) || ((flags & 0x20) && byte >= 0x80)) {
      out[written++] = '\\';
      out[written++] = 'x';
      out[written++] = kDigits[byte >> 4];
      out[written++] = kDigits[byte & 15];
    } else {
      out[written++] = char(byte);
    }
  }
  return written;
}

int UnescapeBytes(const char* text, int end, char* out, int outSize, char quote, int* position) {
  int local = 0;
  int& at = position ? *position : local;
  if (!text || !out || at < 0) return 0;
  // With a negative end the zero byte ends the text.
  auto more = [&](int i) { return end < 0 ? text[i] != 0 : i < end; };
  int written = 0;
  while (written < outSize && more(at)) {
    const char byte = text[at++];
    if (quote && byte == quote) {
      while (more(at))
        if (text[at++] == quote) break;
      continue;
    }
    if (byte != '\\') {
      out[written++] = byte;
      continue;
    }
    // A backslash at the end or before a zero byte stands for nothing.
    if (!more(at) || text[at] == 0) continue;
    const char next = text[at++];
    switch (next) {
      case '0':
        out[written++] = 0;
        break;
      case 'f':
        out[written++] = '\f';
        break;
      case 'n':
        out[written++] = '\n';
        break;
      case 'r':
        out[written++] = '\r';
        break;
      case 't':
        out[written++] = '\t';
        break;
      case 'x':
      case 'X': {
        const int high = more(at) ? HexValue(text[at]) : -1;
        const int low = high >= 0 && more(at + 1) ? HexValue(text[at + 1]) : -1;
        if (low >= 0) {
          out[written++] = char(high << 4 | low);
          at += 2;
        } else {
          out[written++] = next;
        }
        break;
      }
      default:
        out[written++] = next;
    }
  }
  return written;
}

bool EndsWith(const char* suffix, bool caseSensitive, const char* text, int length) {
  const int suffixLength = suffix ? int(std::strlen(suffix)) : 0;
  const int textLength = text ? EndOf(text, length) : 0;
  if (textLength < suffixLength) return false;
  return CompareText(suffix, suffixLength, text + textLength - suffixLength, suffixLength, caseSensitive) ==
         0;
}

bool StartsWith(const char* prefix, bool caseSensitive, const char* text, int length) {
  if (!prefix) return true;
  if (!text) return false;
  for (int i = 0;; ++i) {
    if (prefix[i] == 0) return true;
    if (length >= 0 ? i >= length : text[i] == 0) return false;
    uint8_t x = uint8_t(prefix[i]), y = uint8_t(text[i]);
    if (!caseSensitive) x = FoldCase(x), y = FoldCase(y);
    if (x != y) return false;
  }
}

int FindChar(char byte, int start, bool caseSensitive, const char* text, int length) {
  if (!text) return 0;
  const int end = EndOf(text, length);
  uint8_t folded = uint8_t(byte), other = folded;
  if (!caseSensitive) {
    folded = FoldCase(folded);
    // Only letters have a second case; other bytes must match exactly.
    other = folded >= 'A' && folded <= 'Z' ? folded + 32 : folded;
  }
  for (int i = std::max(start, 0); i < end; ++i)
    if (uint8_t(text[i]) == folded || uint8_t(text[i]) == other) return i + 1;
  return 0;
}

int64_t ParseCharConstant(const char* text, int length, bool skipBlanks) {
  if (!text) return 0;
  int position = 0;
  if (skipBlanks)
    while ((length < 0 ? text[position] != 0 : position < length) && uint8_t(text[position]) <= 32)
      ++position;
  char bytes[8];
  const int count = UnescapeBytes(text, length, bytes, 8, '\'', &position);
  uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | uint8_t(bytes[i]);
  return int64_t(value);
}

int64_t ParseInteger(const char* text, int length) {
  if (!text) return 0;
  const int end = EndOf(text, length);
  int position = 0;
  const bool negative = ReadSign(text, end, position);
  uint64_t value = 0;
  bool hex = false;
  for (; position < end; ++position) {
    const char c = text[position];
    if (!hex && c >= '0' && c <= '9') {
      value = value * 10 + unsigned(c - '0');
    } else if (!hex && c == 'x') {
      hex = true;
    } else if (hex && HexValue(c) >= 0) {
      value = value * 16 + unsigned(HexValue(c));
    } else {
      break;
    }
  }
  return int64_t(negative ? 0 - value : value);
}

int32_t ParseInt32(const char* text, int length) {
  return int32_t(uint32_t(uint64_t(ParseInteger(text, length))));
}

double ParseReal(const char* text, int length) {
  if (!text) return 0;
  const int end = EndOf(text, length);
  int position = 0;
  const bool negative = ReadSign(text, end, position);
  double mantissa = 0, divisor = 1;
  bool point = false;
  int exponent = 0;
  for (; position < end; ++position) {
    const char c = text[position];
    if (c >= '0' && c <= '9') {
      mantissa = mantissa * 10 + (c - '0');
      if (point) divisor *= 10;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      if (c == 'e' || c == 'E') exponent = ParseInt32(text + position + 1, end - position - 1);
      break;
    }
  }
  const double value = mantissa / divisor * std::pow(10.0, exponent);
  return negative ? -value : value;
}
