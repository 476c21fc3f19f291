// Typed settings read from key = value statements: text keys and number keys
// in two tables, values tagged as integer, real or owned text.
#pragma once

#include <cstdint>

#include "files/XDictionary.h"
#include "files/XIntDictionary.h"
#include "runtime/BCObject.h"
#include "text/UtilStr.h"

class ValueTable : public BCObject {
 public:
  explicit ValueTable(bool caseSensitive = true) : mTextKeyed(caseSensitive) {}
  ValueTable(const ValueTable&) = delete;
  ValueTable& operator=(const ValueTable&) = delete;

  void Clear();
  // Adds the statements of text (length -1: up to the zero byte) to the
  // table. 0, or 55023 when any statement was malformed; the well-formed
  // ones are stored either way.
  int32_t Parse(const char* text, int length);
  // Integers as they are, reals truncated toward zero, texts by
  // ParseInteger; 0 for an absent key.
  int64_t GetInteger(const char* key, int keyLength = -1) const;
  // True when the key is present. destination (may be null) receives the
  // text, or an integer's decimal digits, or a real with 7 decimals.
  bool GetText(const char* key, int keyLength, UtilStr* destination) const;

  // For keys that only have to exist, and for walks over every entry.
  const XDictionary& TextKeyed() const { return mTextKeyed; }
  const XIntDictionary& NumberKeyed() const { return mNumberKeyed; }

 private:
  void StoreText(const UtilStr& key, const UtilStr& text);
  void StoreNumberKeyedText(int64_t key, const UtilStr& text);

  XDictionary mTextKeyed;
  XIntDictionary mNumberKeyed;
};
