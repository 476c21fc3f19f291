#include "files/Tokenizer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "text/TextFunctions.h"

namespace {

constexpr std::array<TokenType, 256> kByteTokens = [] {
  std::array<TokenType, 256> types{};
  for (int c = 33; c < 256; ++c) types[c] = TokenType::Other;
  const char punctuation[] = "+-*/\\%=!;:,.^&|~#$@";
  for (int i = 0; punctuation[i]; ++i) types[uint8_t(punctuation[i])] = TokenType(int(TokenType::Plus) + i);
  const char brackets[] = "(){}[]";
  for (int i = 0; brackets[i]; ++i) types[uint8_t(brackets[i])] = TokenType(int(TokenType::OpenParen) + i);
  return types;
}();

inline bool IsDigit(uint8_t c) {
  return c >= '0' && c <= '9';
}
inline bool IsLetter(uint8_t c) {
  return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}
inline bool IsWordStart(uint8_t c) {
  return IsLetter(c) || c == '_';
}
inline bool IsWordByte(uint8_t c) {
  return IsWordStart(c) || IsDigit(c) || c == '.';
}
inline int HexDigit(uint8_t c) {
  if (IsDigit(c)) return c - '0';
  const uint8_t lower = c | 0x20;
  return (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10 : -1;
}

}  // namespace

uint32_t Tokenizer::EntryAt(int index) const {
  uint32_t entry;
  std::memcpy(&entry, mTokens.mText + size_t(index) * 4, 4);
  return entry;
}

// 0 when the value could not be stored for lack of memory.
int64_t Tokenizer::ValueAt(int index) const {
  const XIntDictionary::Entry* entry = mValues.Find(index);
  return entry ? entry->mValue : 0;
}

TokenType Tokenizer::TokenTypeAt(int index) const {
  if (index < 0 || index >= mCount) return TokenType::None;
  return TokenType(EntryAt(index) & 0xFF);
}

int32_t Tokenizer::TokenOffset(int index) const {
  if (index < 0 || index >= mCount) return -1;
  return int32_t(EntryAt(index) >> 8);
}

int64_t Tokenizer::TokenInteger(int index) const {
  const TokenType type = TokenTypeAt(index);
  if (type != TokenType::Integer && type != TokenType::Real) return 0;
  const int64_t value = ValueAt(index);
  return type == TokenType::Integer ? value : TruncateReal(ValueReal(value));
}

double Tokenizer::TokenReal(int index) const {
  const TokenType type = TokenTypeAt(index);
  if (type != TokenType::Integer && type != TokenType::Real) return 0;
  const int64_t value = ValueAt(index);
  return type == TokenType::Real ? ValueReal(value) : double(value);
}

const UtilStr* Tokenizer::TokenText(int index) const {
  const TokenType type = TokenTypeAt(index);
  if (type != TokenType::String && type != TokenType::Word) return nullptr;
  return ValueText(ValueAt(index));
}

void Tokenizer::ResetFor(int length) {
  const int tokens = length / 2;
  mTokens.Assign(nullptr, 4 * tokens + 200);
  mTokens.GetWritableText();
  mCount = 0;
  mValues.Clear();
  mValues.Reserve(tokens / 3);
  mInterned.Clear();
  mInterned.Reserve(tokens / 5);
}

void Tokenizer::AddToken(TokenType type, int offset) {
  if ((int64_t(mCount) + 1) * 4 > mTokens.mLength) {
    mTokens.Append(nullptr, 8 * mCount + 80 - mTokens.mLength);
    mTokens.GetWritableText();
  }
  const uint32_t entry = uint32_t(offset) << 8 | uint32_t(type);
  std::memcpy(mTokens.mText + size_t(mCount) * 4, &entry, 4);
  ++mCount;
}

void Tokenizer::AddValueToken(TokenType type, int offset, int64_t value) {
  mValues.Insert(mCount, value, 0);
  AddToken(type, offset);
}

const UtilStr* Tokenizer::Intern(const char* bytes, int length) {
  int64_t value;
  if (mInterned.Lookup(bytes, length, &value)) return ValueText(value);
  auto* text = new UtilStr(bytes, length);
  mInterned.Insert(*text, ObjectValue(text), TagOwned | TagText);
  return text;
}

int Tokenizer::ScanQuoted(const char* source, int position, int end, char quote) const {
  while (position < end && source[position] != quote) position += source[position] == '\\' ? 2 : 1;
  return std::min(position, end);
}

int64_t Tokenizer::DecodeCharConstant(const char* bytes, int length) const {
  if (length <= 0) return 0;
  char decoded[8];
  int position = 0;
  const int count = UnescapeBytes(bytes, length, decoded, int(sizeof decoded), 0, &position);
  uint64_t packed = 0;
  for (int i = 0; i < count; ++i) packed = packed << 8 | uint8_t(decoded[i]);
  return int64_t(packed);
}

const UtilStr* Tokenizer::DecodeString(const char* bytes, int length) {
  if (length <= 0 || !std::memchr(bytes, '\\', size_t(length))) return Intern(bytes, length);
  mScratch.Assign(nullptr, length);
  int position = 0;
  const int count = UnescapeBytes(bytes, length, mScratch.GetWritableText(), length, 0, &position);
  return Intern(mScratch.mText, count);
}

int Tokenizer::ScanNumber(const char* source, int position, int end, ParseErrorSink* sink,
                          TokenType defaultType) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(source);
  TokenType type = defaultType == TokenType::Real ? TokenType::Real : TokenType::Integer;
  int next = position;
  int textEnd = -1;
  bool hex = false;
  while (textEnd < 0) {
    const uint8_t c = next < end ? bytes[next] : 0;
    const uint8_t upper = IsLetter(c) ? c & ~0x20 : c;
    if (IsDigit(c)) {
      ++next;
    } else if (c == '.' || upper == 'E') {
      // A sign after E ends the number; it is not part of the exponent.
      type = TokenType::Real;
      ++next;
    } else if (upper == 'D' || upper == 'F') {
      type = TokenType::Real;
      textEnd = next++;
    } else if (upper == 'L' || upper == 'U') {
      type = TokenType::Integer;
      textEnd = next++;
      if (next < end && (bytes[next] & ~0x20) == 'L') ++next;
    } else if (upper == 'X' && next == position + 1 && bytes[position] == '0') {
      for (++next; next < end && HexDigit(bytes[next]) >= 0;) ++next;
      type = TokenType::Integer;
      hex = true;
      textEnd = next;
    } else if (IsLetter(c)) {
      if (sink) {
        UtilStr message;
        message.AppendFormat("'%c' is an unknown type suffix", c);
        sink->Report(kErrorCode, message, next, 1);
      }
      return -1;
    } else {
      textEnd = next;
    }
  }
  const char* text = source + position;
  const int length = textEnd - position;
  if (type == TokenType::Real) {
    AddValueToken(type, position, RealValue(ParseReal(text, length)));
  } else if (hex) {
    // Either case of x, so 0X1F is 31 like 0x1F.
    uint64_t value = 0;
    for (int i = 2; i < length; ++i) value = value << 4 | uint64_t(HexDigit(uint8_t(text[i])));
    AddValueToken(type, position, int64_t(value));
  } else {
    AddValueToken(type, position, ParseInteger(text, length));
  }
  return next;
}

bool Tokenizer::Tokenize(const char* source, int length, int start, ParseErrorSink* sink,
                         TokenType defaultNumberType) {
  size_t size = 0;
  if (source) size = length < 0 ? std::strlen(source) : size_t(length);
  if (size >= size_t(kSourceLimit)) {
    if (sink) sink->Report(kErrorCode, UtilStr("source buffer size exceeds limit"), -1, 0);
    return false;
  }
  const int end = int(size);
  ResetFor(end);
  const auto* bytes = reinterpret_cast<const uint8_t*>(source);
  int position = std::max(start, 0);
  while (position < end) {
    const uint8_t c = bytes[position];
    if (IsWordStart(c)) {
      int next = position + 1;
      while (next < end && IsWordByte(bytes[next])) ++next;
      AddValueToken(TokenType::Word, position, ObjectValue(Intern(source + position, next - position)));
      position = next;
    } else if (IsDigit(c) || (c == '.' && position + 1 < end && IsDigit(bytes[position + 1]))) {
      position = ScanNumber(source, position, end, sink, defaultNumberType);
      if (position < 0) return false;
    } else if (c == '\'' || c == '"') {
      const int close = ScanQuoted(source, position + 1, end, char(c));
      const char* inner = source + position + 1;
      const int innerLength = close - position - 1;
      if (c == '\'')
        AddValueToken(TokenType::Integer, position, DecodeCharConstant(inner, innerLength));
      else
        AddValueToken(TokenType::String, position, ObjectValue(DecodeString(inner, innerLength)));
      position = std::min(close + 1, end);
    } else {
      if (c > 32) AddToken(kByteTokens[c], position);
      ++position;
    }
  }
  return true;
}
