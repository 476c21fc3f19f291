#include "files/ValueTable.h"

#include "files/Tokenizer.h"
#include "files/ValueTags.h"
#include "runtime/ResultCodes.h"
#include "text/TextFunctions.h"

void ValueTable::Clear() {
  mTextKeyed.Clear();
  mNumberKeyed.Clear();
}

void ValueTable::StoreText(const UtilStr& key, const UtilStr& text) {
  int64_t old;
  if (mTextKeyed.Lookup(key.mText, key.mLength, &old) & TagText)
    ValueText(old)->CopyFrom(text);
  else
    mTextKeyed.Insert(key, ObjectValue(new UtilStr(text)), TagOwned | TagText);
}

void ValueTable::StoreNumberKeyedText(int64_t key, const UtilStr& text) {
  XIntDictionary::Entry* old = mNumberKeyed.Find(key);
  if (old && (old->mTag & TagText))
    ValueText(old->mValue)->CopyFrom(text);
  else
    mNumberKeyed.Insert(key, ObjectValue(new UtilStr(text)), TagOwned | TagText);
}

namespace {

// A string or word token without its text (no memory for it) reads as empty.
const UtilStr& TextOf(const Tokenizer& tokens, int index) {
  static const UtilStr empty;
  const UtilStr* text = tokens.TokenText(index);
  return text ? *text : empty;
}

}  // namespace

int32_t ValueTable::Parse(const char* text, int length) {
  Tokenizer tokens;
  // A refused source or an unknown number suffix leaves text unread, which
  // is malformed even when the tokens before it form whole statements.
  bool malformed = !tokens.Tokenize(text, length, 0, nullptr, TokenType::Integer);
  const int count = tokens.TokenCount();
  UtilStr key;
  for (int p = 0; p < count;) {
    bool numberKey = false;
    int64_t number = 0;
    key.Clear();
    switch (tokens.TokenTypeAt(p)) {
      case TokenType::Integer:
      case TokenType::Real:
        numberKey = true;
        number = tokens.TokenInteger(p);
        break;
      case TokenType::Minus:
        numberKey = true;
        number = NegateWrapping(tokens.TokenInteger(++p));
        break;
      case TokenType::String:
        key.CopyFrom(TextOf(tokens, p));
        break;
      case TokenType::Word:
        key.CopyFrom(TextOf(tokens, p));
        // a-b and a .b join into one key
        while (
            (tokens.TokenTypeAt(p + 1) == TokenType::Minus || tokens.TokenTypeAt(p + 1) == TokenType::Dot) &&
            tokens.TokenTypeAt(p + 2) == TokenType::Word) {
          key.Append(tokens.TokenTypeAt(p + 1) == TokenType::Minus ? "-" : ".", 1);
          const UtilStr& part = TextOf(tokens, p + 2);
          key.Append(part.mText, part.mLength);
          p += 2;
        }
        break;
      default:
        malformed = true;
        break;
    }
    for (++p; p < count && tokens.TokenTypeAt(p) != TokenType::Equals; ++p) malformed = true;
    ++p;
    const bool negative = tokens.TokenTypeAt(p) == TokenType::Minus;
    if (negative) ++p;
    int64_t value = 0;
    uint32_t tag = 0;
    switch (tokens.TokenTypeAt(p)) {
      case TokenType::Integer:
        value = tokens.TokenInteger(p);
        if (negative) value = NegateWrapping(value);
        tag = TagInteger;
        break;
      case TokenType::Real:
        value = RealValue(negative ? -tokens.TokenReal(p) : tokens.TokenReal(p));
        tag = TagReal;
        break;
      case TokenType::String:
      case TokenType::Word:
        if (numberKey)
          StoreNumberKeyedText(number, TextOf(tokens, p));
        else
          StoreText(key, TextOf(tokens, p));
        break;
      default:
        malformed = true;
        break;
    }
    if (tag && numberKey)
      mNumberKeyed.Insert(number, value, tag);
    else if (tag)
      mTextKeyed.Insert(key, value, tag);
    ++p;
  }
  return malformed ? kErrMalformed : kOk;
}

int64_t ValueTable::GetInteger(const char* key, int keyLength) const {
  int64_t value;
  const uint32_t tag = mTextKeyed.Lookup(key, keyLength, &value);
  if (tag & TagInteger) return value;
  if (tag & TagReal) return TruncateReal(ValueReal(value));
  if (tag & TagText) {
    const UtilStr* text = ValueText(value);
    return ParseInteger(text->mText, text->mLength);
  }
  return 0;
}

bool ValueTable::GetText(const char* key, int keyLength, UtilStr* destination) const {
  int64_t value;
  const uint32_t tag = mTextKeyed.Lookup(key, keyLength, &value);
  if (!tag) return false;
  if (!destination) return true;
  if (tag & TagText) {
    destination->CopyFrom(*ValueText(value));
    return true;
  }
  destination->Clear();
  if (tag & TagInteger) destination->AppendInteger(value);
  if (tag & TagReal) destination->AppendDecimal(ValueReal(value), 7);
  return true;
}
