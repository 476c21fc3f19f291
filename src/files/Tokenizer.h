// Cuts settings text into tokens: numbers with type suffixes, character
// constants, quoted strings, bare words and punctuation, each with its value.
#pragma once

#include <cstdint>

#include "files/XDictionary.h"
#include "files/XIntDictionary.h"
#include "runtime/BCObject.h"
#include "text/UtilStr.h"

enum class TokenType : uint8_t {
  None = 0,  // never in the list; the type of an index outside it
  Integer = 1,
  Real = 3,
  String = 4,
  Word = 5,
  Plus = 16,
  Minus = 17,
  Star = 18,
  Slash = 19,
  Backslash = 20,
  Percent = 21,
  Equals = 22,
  Bang = 23,
  Semicolon = 24,
  Colon = 25,
  Comma = 26,
  Dot = 27,
  Caret = 28,
  Ampersand = 29,
  Bar = 30,
  Tilde = 31,
  Hash = 32,
  Dollar = 33,
  At = 34,
  OpenParen = 48,
  CloseParen = 49,
  OpenBrace = 50,
  CloseBrace = 51,
  OpenBracket = 52,
  CloseBracket = 53,
  Other = 255,  // any other byte above 32, including every byte from 128 up
};

// Receives the tokenizer's failures.
class ParseErrorSink : public BCObject {
 public:
  virtual void Report(int32_t code, const UtilStr& message, int32_t offset, int32_t flag) = 0;
};

class Tokenizer {
 public:
  // Offsets live in the 24 high bits of a token entry.
  static constexpr int32_t kSourceLimit = 0x1000000;
  static constexpr int32_t kErrorCode = 0x1000000;

  Tokenizer() = default;
  Tokenizer(const Tokenizer&) = delete;
  Tokenizer& operator=(const Tokenizer&) = delete;

  // length -1: up to the zero byte. defaultNumberType (Integer or Real) is
  // the type of a number without '.', exponent or suffix. False when the
  // source is too long (nothing tokenized) or a number has an unknown suffix
  // (the tokens before it stay).
  bool Tokenize(const char* source, int length, int start, ParseErrorSink* sink, TokenType defaultNumberType);

  int32_t TokenCount() const { return mCount; }
  TokenType TokenTypeAt(int index) const;
  // Byte offset of the token's first byte (a string's opening quote); -1 outside the list.
  int32_t TokenOffset(int index) const;
  // Integers as they are, reals truncated toward zero, anything else 0.
  int64_t TokenInteger(int index) const;
  // Reals as they are, integers converted, anything else 0.
  double TokenReal(int index) const;
  // The interned text of a string or word token, else null.
  const UtilStr* TokenText(int index) const;

 private:
  uint32_t EntryAt(int index) const;
  int64_t ValueAt(int index) const;
  void ResetFor(int length);
  void AddToken(TokenType type, int offset);
  void AddValueToken(TokenType type, int offset, int64_t value);
  const UtilStr* Intern(const char* bytes, int length);
  int ScanQuoted(const char* source, int position, int end, char quote) const;
  int64_t DecodeCharConstant(const char* bytes, int length) const;
  const UtilStr* DecodeString(const char* bytes, int length);
  // The offset after the number, or -1 after an unknown suffix.
  int ScanNumber(const char* source, int position, int end, ParseErrorSink* sink, TokenType defaultType);

  UtilStr mScratch;
  UtilStr mTokens;  // entries: type in the low 8 bits, source offset in the high 24
  int32_t mCount = 0;
  XIntDictionary mValues;
  XDictionary mInterned{true};
};
