// Arbitrary bytes as engine.txt: Parse must give 0 or 55023, and every
// stored entry must read back through the getters.
#include <cstdint>
#include <cstdlib>

#include "files/Tokenizer.h"
#include "files/ValueTable.h"
#include "runtime/ResultCodes.h"

namespace {

class CountingSink : public ParseErrorSink {
 public:
  void Report(int32_t code, const UtilStr& message, int32_t, int32_t) override {
    if (code != Tokenizer::kErrorCode || message.mLength == 0) std::abort();
    ++mReports;
  }
  int mReports = 0;
};

void ParseAndReadBack(const char* text, int length, bool caseSensitive) {
  ValueTable table(caseSensitive);
  const int32_t result = table.Parse(text, length);
  if (result != kOk && result != kErrMalformed) std::abort();
  XDictionary::Cursor cursor;
  const XDictionary::Entry* entry;
  uint32_t tag;
  UtilStr value;
  while (table.TextKeyed().Next(cursor, &entry, nullptr, &tag)) {
    if (!(tag & (TagInteger | TagReal | TagText))) std::abort();
    table.GetInteger(entry->mKey.mText, entry->mKey.mLength);
    if (!table.GetText(entry->mKey.mText, entry->mKey.mLength, &value)) std::abort();
  }
  // A second parse replaces values in place.
  if (table.Parse(text, length) != result) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  const char* text = reinterpret_cast<const char*>(data);
  const int length = static_cast<int>(size);
  ParseAndReadBack(text, length, true);
  ParseAndReadBack(text, length, false);

  CountingSink sink;
  Tokenizer tokens;
  const bool ok = tokens.Tokenize(text, length, 0, &sink, TokenType::Real);
  if (ok != (sink.mReports == 0) || sink.mReports > 1) std::abort();
  for (int i = 0; i < tokens.TokenCount(); ++i)
    if (tokens.TokenTypeAt(i) == TokenType::None || tokens.TokenOffset(i) >= length) std::abort();
  return 0;
}
