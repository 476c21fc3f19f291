#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "text/TextFunctions.h"

namespace {

int Sign(int value) {
  return (value > 0) - (value < 0);
}

TEST(CompareText, LengthsCaseAndNoText) {
  struct Case {
    const char* a;
    int lengthA;
    const char* b;
    int lengthB;
    bool caseSensitive;
    int sign;
  };
  const Case cases[] = {
      {"abc", -1, "ABD", -1, false, -1}, {"abc", -1, "ABC", -1, false, 0}, {"abc", -1, "ABC", -1, true, 1},
      {"ab", 2, "abc", 3, true, -1},     {"abc", 2, "abd", 2, true, 0},    {"abc", -1, "ab", 2, true, 1},
      {"a\0b", 3, "a\0c", 3, true, -1},  {"\xE9", -1, "e", -1, true, 1},   {"[", -1, "a", -1, false, 1},
      {nullptr, 5, "", 0, true, 0},      {nullptr, -1, "a", -1, true, -1}, {"a", 1, nullptr, 7, true, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareText(c.a, c.lengthA, c.b, c.lengthB, c.caseSensitive)), c.sign)
        << (c.a ? c.a : "(none)") << "/" << c.lengthA << " vs " << (c.b ? c.b : "(none)") << "/" << c.lengthB;
  }
  EXPECT_EQ(CompareText("ab", 2, "abc", 3, true), -1);  // equal prefix: the length difference
}

TEST(FormatInteger, BasesAndSigns) {
  struct Case {
    int64_t value;
    int base;
    const char* expected;
  };
  for (const Case& c : {Case{0, 10, "0"}, Case{255, 16, "FF"}, Case{-255, 2, "-11111111"}, Case{35, 36, "Z"},
                        Case{12345, 1, "0"}, Case{12345, 37, "0"},
                        Case{INT64_MIN, 10, "-9223372036854775808"}, Case{INT64_MAX, 36, "1Y2P0IJ32E8E7"}}) {
    char out[72];
    const int length = FormatInteger(c.value, out, c.base);
    EXPECT_STREQ(out, c.expected) << c.value << " base " << c.base;
    EXPECT_EQ(length, int(std::string(c.expected).size()));
  }
  char longest[72];
  EXPECT_EQ(FormatInteger(INT64_MIN, longest, 2), 65);
}

TEST(FormatDecimal, TruncatesAndTrims) {
  struct Case {
    double value;
    int decimals;
    const char* expected;
  };
  const Case cases[] = {
      {3.14159, 2, "3.14"},
      {2.5, 3, "2.5"},
      {0.04, 1, "0"},
      {-0.2, 0, "0"},
      {1.99, 1, "1.9"},
      {-2.25, 2, "-2.25"},
      {-0.5, 1, "-0.5"},
      {0.05, 2, "0.05"},
      {7, 3, "7"},
      {1.03125, 3, "1.031"},
      {0.0625, 30, "0.0625"},
      {12.5, -2, "12"},
      {1e12, 2, "2147483647"},
      {-1e12, 0, "-2147483647"},
      {NAN, 3, "0"},
      {INFINITY, 2, "2147483647"},
  };
  for (const Case& c : cases) {
    char out[48];
    const int length = FormatDecimal(c.value, c.decimals, out);
    EXPECT_STREQ(out, c.expected) << c.value << " with " << c.decimals;
    EXPECT_EQ(length, int(std::string(out).size()));
  }
}

TEST(FormatCode, LeadingZerosDroppedAndCase) {
  char out[9];
  EXPECT_EQ(FormatCode(0x5472636B, out, false), 4);
  EXPECT_STREQ(out, "Trck");
  EXPECT_EQ(FormatCode(0x5472636B, out, true), 4);
  EXPECT_STREQ(out, "trck");
  EXPECT_EQ(FormatCode(0, out, false), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(FormatCode(0x41004200, out, false), 4);
  EXPECT_EQ(std::string(out, 4), std::string("A\0B\0", 4));
  EXPECT_EQ(FormatCode(-1, out, false), 8);
}

TEST(UnescapeBytes, QuotesEscapesAndLimits) {
  struct Case {
    const char* text;
    int end;
    char quote;
    int outSize;
    std::string expected;
    int position;
  };
  const Case cases[] = {
      {"abc'  'de'", -1, '\'', 64, "abcde", 10},
      {"abc'  'de'", 5, '\'', 64, "abc", 5},
      {"a\\x4", -1, 0, 64, "ax4", 4},
      {"\\x4Fz\\xz", -1, 0, 64, "Ozxz", 8},
      {"\\\"\\'\\\\\\0\\f\\n\\r\\t\\q", -1, 0, 64, std::string("\"'\\\0\f\n\r\tq", 9), 18},
      {"ab\\", -1, 0, 64, "ab", 3},
      {"ab\\", 3, 0, 64, "ab", 3},
      {"abcdef", -1, 0, 3, "abc", 3},
      {"ab\\\0c", 5, 0, 64, std::string("ab\0c", 4), 5},
      {"a\0b", 3, 0, 64, std::string("a\0b", 3), 3},
      {"\"unterminated", -1, '"', 64, "", 13},
  };
  for (const Case& c : cases) {
    char out[64];
    int position = 0;
    const int written = UnescapeBytes(c.text, c.end, out, c.outSize, c.quote, &position);
    EXPECT_EQ(std::string(out, size_t(written)), c.expected) << c.text;
    EXPECT_EQ(position, c.position) << c.text;
  }
  char out[4];
  int position = 0;
  EXPECT_EQ(UnescapeBytes(nullptr, 5, out, 4, 0, &position), 0);
  EXPECT_EQ(UnescapeBytes("abc", -1, out, 0, 0, &position), 0);
  EXPECT_EQ(UnescapeBytes("abc", -1, out, -4, 0, &position), 0);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(UnescapeBytes("abc", -1, out, 4, 0, nullptr), 3);
}

TEST(PrefixSuffixAndFind, Matching) {
  EXPECT_TRUE(EndsWith(".txt", true, "engine.txt", -1));
  EXPECT_TRUE(EndsWith(".TXT", false, "engine.txt", -1));
  EXPECT_FALSE(EndsWith(".TXT", true, "engine.txt", -1));
  EXPECT_FALSE(EndsWith("long suffix", true, "short", -1));
  EXPECT_TRUE(EndsWith("ne", true, "engine.txt", 6));
  EXPECT_TRUE(EndsWith("", true, "abc", -1));
  EXPECT_FALSE(EndsWith("a", true, nullptr, 5));

  EXPECT_TRUE(StartsWith("eng", true, "engine", -1));
  EXPECT_TRUE(StartsWith("ENG", false, "engine", -1));
  EXPECT_FALSE(StartsWith("ENG", true, "engine", -1));
  EXPECT_TRUE(StartsWith("engine", true, "engine", -1));
  EXPECT_FALSE(StartsWith("engines", true, "engine", -1));
  EXPECT_FALSE(StartsWith("engine", true, "engine", 3));
  EXPECT_TRUE(StartsWith(nullptr, true, nullptr, 0));
  EXPECT_FALSE(StartsWith("a", true, nullptr, 4));

  struct Case {
    char byte;
    int start;
    bool caseSensitive;
    const char* text;
    int length, expected;
  };
  const Case cases[] = {
      {'b', 0, true, "abcb", -1, 2}, {'b', 2, true, "abcb", -1, 4},  {'b', -9, true, "abcb", -1, 2},
      {'B', 0, true, "abcb", -1, 0}, {'B', 0, false, "abcb", -1, 2}, {'b', 0, false, "aBcb", -1, 2},
      {'c', 0, true, "abcb", 2, 0},  {'b', 9, true, "abcb", -1, 0},  {'!', 0, false, "A!", -1, 2},
      {'0', 0, false, "P0", -1, 2},  {'z', 0, true, nullptr, 5, 0},  {0, 0, true, "a\0b", 3, 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindChar(c.byte, c.start, c.caseSensitive, c.text, c.length), c.expected)
        << "'" << c.byte << "' from " << c.start << " in " << (c.text ? c.text : "(none)");
}

TEST(ParseNumbers, IntegersRealsAndCharacterConstants) {
  struct IntCase {
    const char* text;
    int length;
    int64_t expected;
  };
  const IntCase ints[] = {
      {"  42", -1, 42},
      {"-17abc", -1, -17},
      {"+8", -1, 8},
      {"0x1F", -1, 31},
      {"0xffG", -1, 255},
      {"12x1", -1, 193},
      {"0X1F", -1, 0},
      {"123", 2, 12},
      {"", -1, 0},
      {"- 5", -1, 0},
      {"\t\n 7", -1, 7},
      {nullptr, 4, 0},
      {"18446744073709551617", -1, 1},
  };
  for (const IntCase& c : ints)
    EXPECT_EQ(ParseInteger(c.text, c.length), c.expected) << (c.text ? c.text : "");
  EXPECT_EQ(ParseInt32("4294967297", -1), 1);
  EXPECT_EQ(ParseInt32("-0x80000000", -1), INT32_MIN);

  struct RealCase {
    const char* text;
    int length;
    double expected;
  };
  const RealCase reals[] = {
      {"1e-5", -1, 1e-5},  {" -2.5", -1, -2.5}, {"3.25.7", -1, 3.25}, {"1.5E2", -1, 150}, {".5", -1, 0.5},
      {"12.345", 4, 12.3}, {"7x", -1, 7},       {"", -1, 0},          {"2e", -1, 2},      {nullptr, 3, 0},
  };
  for (const RealCase& c : reals)
    EXPECT_DOUBLE_EQ(ParseReal(c.text, c.length), c.expected) << (c.text ? c.text : "");

  EXPECT_EQ(ParseCharConstant("Trck'", -1, false), 0x5472636B);
  EXPECT_EQ(ParseCharConstant("  ab'", -1, true), 0x6162);
  EXPECT_EQ(ParseCharConstant("  ab'", -1, false), 0x20206162);
  EXPECT_EQ(ParseCharConstant("\\x00\\n'", -1, false), 0x000A);
  EXPECT_EQ(ParseCharConstant("abcdefghij'", -1, false), 0x6162636465666768);
  EXPECT_EQ(ParseCharConstant("abc", 2, false), 0x6162);
  EXPECT_EQ(ParseCharConstant("   ", 3, true), 0);
}

TEST(EscapeBytes, StopsBeforeAnEscapeCouldOverflow) {
  const std::string zeros(100, '\0');
  char out[16];
  int position = 0;
  const int written = EscapeBytes(zeros.data(), 100, 0x02, out, sizeof out, &position);
  EXPECT_EQ(written, 10);  // five escapes of two bytes; one more would leave fewer than 8 free
  EXPECT_EQ(position, 5);
}

}  // namespace
