#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/Tokenizer.h"

namespace {

class RecordingSink : public ParseErrorSink {
 public:
  void Report(int32_t code, const UtilStr& message, int32_t offset, int32_t flag) override {
    mReports.push_back({code, std::string(message.mText, size_t(message.mLength)), offset, flag});
  }
  struct Received {
    int32_t code;
    std::string message;
    int32_t offset;
    int32_t flag;
  };
  std::vector<Received> mReports;
};

// One token per line: its type, offset and value, e.g. "1@0=12" or "5@4='x'".
std::string Describe(const Tokenizer& tokens) {
  std::string out;
  for (int i = 0; i < tokens.TokenCount(); ++i) {
    const TokenType type = tokens.TokenTypeAt(i);
    out += std::to_string(int(type)) + "@" + std::to_string(tokens.TokenOffset(i));
    if (type == TokenType::Integer) out += "=" + std::to_string(tokens.TokenInteger(i));
    if (type == TokenType::Real) out += "=" + std::to_string(tokens.TokenReal(i));
    if (const UtilStr* text = tokens.TokenText(i))
      out += "='" + std::string(text->mText, size_t(text->mLength)) + "'";
    out += "\n";
  }
  return out;
}

std::string TokenizeToText(const std::string& source, bool* ok = nullptr) {
  Tokenizer tokens;
  const bool result = tokens.Tokenize(source.data(), int(source.size()), 0, nullptr, TokenType::Integer);
  if (ok) *ok = result;
  return Describe(tokens);
}

TEST(Tokenizer, NumbersTakeTheirTypeFromPointExponentAndSuffix) {
  const std::pair<std::string, std::string> cases[] = {
      {"12", "1@0=12\n"},
      {"12.0", "3@0=12.000000\n"},
      {".5", "3@0=0.500000\n"},
      {"1e3", "3@0=1000.000000\n"},
      {"2f", "3@0=2.000000\n"},
      {"3D", "3@0=3.000000\n"},
      {"10UL", "1@0=10\n"},
      {"7L", "1@0=7\n"},
      {"7ll", "1@0=7\n"},
      {"1.5L", "1@0=1\n"},
      {"0x1F", "1@0=31\n"},
      {"0X1f", "1@0=31\n"},
      {"0xffffffffffffffff", "1@0=-1\n"},
      {"1.2.3", "3@0=1.200000\n"},
      {"1e-5", "3@0=1.000000\n17@2\n1@3=5\n"},
      {"12_a", "1@0=12\n5@2='_a'\n"},
      {"5\xc3", "1@0=5\n255@1\n"},
  };
  for (const auto& [source, expected] : cases) EXPECT_EQ(TokenizeToText(source), expected) << source;
}

TEST(Tokenizer, DefaultNumberTypeAppliesToPlainNumbers) {
  Tokenizer tokens;
  ASSERT_TRUE(tokens.Tokenize("12 7L", -1, 0, nullptr, TokenType::Real));
  EXPECT_EQ(Describe(tokens), "3@0=12.000000\n1@3=7\n");
}

TEST(Tokenizer, UnknownSuffixStopsWithAReport) {
  RecordingSink sink;
  Tokenizer tokens;
  EXPECT_FALSE(tokens.Tokenize("A = 12q B", -1, 0, &sink, TokenType::Integer));
  EXPECT_EQ(Describe(tokens), "5@0='A'\n22@2\n");
  ASSERT_EQ(sink.mReports.size(), 1u);
  EXPECT_EQ(sink.mReports[0].code, 0x1000000);
  EXPECT_EQ(sink.mReports[0].message, "'q' is an unknown type suffix");
  EXPECT_EQ(sink.mReports[0].offset, 6);
  EXPECT_EQ(sink.mReports[0].flag, 1);

  bool ok = true;
  TokenizeToText("0xAG", &ok);  // the letter after the hex digits starts a word
  EXPECT_TRUE(ok);
  EXPECT_FALSE(tokens.Tokenize("1.5Q", -1, 0, nullptr, TokenType::Integer));  // no sink: silent
}

TEST(Tokenizer, SourceOf16MiBIsRefusedAndTheListKept) {
  RecordingSink sink;
  Tokenizer tokens;
  ASSERT_TRUE(tokens.Tokenize("kept", -1, 0, &sink, TokenType::Integer));
  const std::string huge(0x1000000, ' ');
  EXPECT_FALSE(tokens.Tokenize(huge.data(), int(huge.size()), 0, &sink, TokenType::Integer));
  ASSERT_EQ(sink.mReports.size(), 1u);
  EXPECT_EQ(sink.mReports[0].code, 0x1000000);
  EXPECT_EQ(sink.mReports[0].message, "source buffer size exceeds limit");
  EXPECT_EQ(sink.mReports[0].offset, -1);
  EXPECT_EQ(sink.mReports[0].flag, 0);
  EXPECT_EQ(Describe(tokens), "5@0='kept'\n");
  EXPECT_FALSE(tokens.Tokenize(huge.c_str(), -1, 0, nullptr, TokenType::Integer));
}

TEST(Tokenizer, CharacterConstantsPackBigEndian) {
  const std::pair<std::string, std::string> cases[] = {
      {"'Trck'", "1@0=1416782699\n"},
      {"'ABCDEFGHIJ'", "1@0=4702394921427289928\n"},  // the first 8 bytes count
      {"'\\x41\\''", "1@0=16679\n"},
      {"'\xff'", "1@0=255\n"},
      {"''", "1@0=0\n"},
      {"'ab", "1@0=24930\n"},  // unterminated: runs to the end
      {"'a\\", "1@0=97\n"},
  };
  for (const auto& [source, expected] : cases) EXPECT_EQ(TokenizeToText(source), expected) << source;
}

TEST(Tokenizer, QuotedStringsDecodeEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {R"("a\tb")", "4@0='a\tb'\n"},
      {R"("\x41")", "4@0='A'\n"},
      {R"("\xZZ")", "4@0='xZZ'\n"},
      {R"("\q\"\\")", "4@0='q\"\\'\n"},
      {"\"caf\xc3\xa9 \x01\"", "4@0='caf\xc3\xa9 \x01'\n"},
      {"\"abc", "4@0='abc'\n"},
      {"\"\"x", "4@0=''\n5@2='x'\n"},
      {"\"a\\", "4@0='a'\n"},
  };
  for (const auto& [source, expected] : cases) EXPECT_EQ(TokenizeToText(source), expected) << source;
}

TEST(Tokenizer, PunctuationAndOtherBytes) {
  std::string expected;
  const std::string source = "+-*/\\%=!;:,.^&|~#$@(){}[]<>?`\x80\xff";
  const int types[] = {16, 17, 18, 19, 20, 21, 22, 23, 24, 25,  26,  27,  28,  29,  30, 31,
                       32, 33, 34, 48, 49, 50, 51, 52, 53, 255, 255, 255, 255, 255, 255};
  for (size_t i = 0; i < source.size(); ++i)
    expected += std::to_string(types[i]) + "@" + std::to_string(i) + "\n";
  EXPECT_EQ(TokenizeToText(source), expected);
  EXPECT_EQ(TokenizeToText(std::string(" \t\r\n\x01\0 ", 7)), "");
}

TEST(Tokenizer, WordsRunOverDotsAndDigits) {
  EXPECT_EQ(TokenizeToText("a.b_2 c-d ._x"), "5@0='a.b_2'\n5@6='c'\n17@7\n5@8='d'\n27@10\n5@11='_x'\n");
}

TEST(Tokenizer, EqualTextsShareOneInternedString) {
  Tokenizer tokens;
  ASSERT_TRUE(tokens.Tokenize("x \"x\" y x", -1, 0, nullptr, TokenType::Integer));
  EXPECT_EQ(tokens.TokenText(0), tokens.TokenText(1));
  EXPECT_EQ(tokens.TokenText(0), tokens.TokenText(3));
  EXPECT_NE(tokens.TokenText(0), tokens.TokenText(2));
}

TEST(Tokenizer, AccessorsOutsideTheListAnswerNothing) {
  Tokenizer tokens;
  ASSERT_TRUE(tokens.Tokenize("w 5", -1, 0, nullptr, TokenType::Integer));
  EXPECT_EQ(tokens.TokenTypeAt(-1), TokenType::None);
  EXPECT_EQ(tokens.TokenTypeAt(2), TokenType::None);
  EXPECT_EQ(tokens.TokenOffset(2), -1);
  EXPECT_EQ(tokens.TokenText(1), nullptr);
  EXPECT_EQ(tokens.TokenText(5), nullptr);
  EXPECT_EQ(tokens.TokenInteger(0), 0);
  EXPECT_EQ(tokens.TokenReal(0), 0.0);
  EXPECT_EQ(tokens.TokenReal(1), 5.0);
  EXPECT_TRUE(tokens.Tokenize(nullptr, 10, 0, nullptr, TokenType::Integer));
  EXPECT_EQ(tokens.TokenCount(), 0);
}

TEST(Tokenizer, StartOffsetAndGrowthKeepOffsets) {
  EXPECT_EQ(
      [] {
        Tokenizer tokens;
        tokens.Tokenize("abc def", -1, 4, nullptr, TokenType::Integer);
        return Describe(tokens);
      }(),
      "5@4='def'\n");

  // One token per byte outgrows the list sized for one per two bytes.
  const std::string source(5000, '+');
  Tokenizer tokens;
  ASSERT_TRUE(tokens.Tokenize(source.data(), int(source.size()), 0, nullptr, TokenType::Integer));
  ASSERT_EQ(tokens.TokenCount(), 5000);
  for (int i = 0; i < 5000; i += 499) {
    EXPECT_EQ(tokens.TokenTypeAt(i), TokenType::Plus);
    EXPECT_EQ(tokens.TokenOffset(i), i);
  }
}

TEST(Tokenizer, RealsOutsideTheIntegerRangeSaturate) {
  Tokenizer tokens;
  ASSERT_TRUE(tokens.Tokenize("1e300 0.5", -1, 0, nullptr, TokenType::Integer));
  EXPECT_EQ(tokens.TokenInteger(0), INT64_MAX);
  EXPECT_EQ(tokens.TokenInteger(1), 0);
}

}  // namespace
