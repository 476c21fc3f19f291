#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "text/WideText.h"

namespace {

std::u16string ToUtf16(const std::string& bytes, bool compose) {
  std::u16string units(size_t(Utf8ToUtf16(bytes.data(), int(bytes.size()), nullptr, 0, compose)), u'\0');
  const int written = Utf8ToUtf16(bytes.data(), int(bytes.size()), units.data(), int(units.size()), compose);
  units.resize(size_t(written));
  return units;
}

std::string ToUtf8(const std::u16string& units) {
  std::string bytes(size_t(Utf16ToUtf8(units.data(), int(units.size()), nullptr, 0)), '\0');
  const int written = Utf16ToUtf8(units.data(), int(units.size()), bytes.data(), int(bytes.size()));
  bytes.resize(size_t(written));
  return bytes;
}

std::string Hex(const std::u16string& units) {
  std::string text;
  char unit[8];
  for (char16_t u : units) text += (std::snprintf(unit, sizeof unit, "%04X ", unsigned(u)), unit);
  return text;
}

TEST(Utf8ToUtf16, DecodingRules) {
  struct Case {
    std::string bytes;
    bool compose;
    std::u16string expected;
  };
  const Case cases[] = {
      {"e\xCC\x81", true, u"\u00E9"},
      {"e\xCC\x81", false, u"e\u0301"},
      {"i\xCC\x87", true, u"i\u0307"},  // only the capital I takes the dot above
      {"I\xCC\x87", true, u"\u0130"},
      {"\xEF\xBB\xBF"
       "abc",
       false, u"abc"},
      {"\xC3\x28", false, u"("},
      {"\x80\xBF"
       "a",
       false, u"a"},
      {"\xE2\x82", false, u""},
      {"\xF0\x9F\x98\x80", false, u"\U0001F600"},
      {"\xC0\xAF", false, u"/"},  // overlong forms are taken as decoded
      {std::string("a\0b", 3), false, std::u16string(u"a\0b", 3)},
      {"\xF0\x9F\x98\x80\xCC\x81", true, u"\U0001F600\u0301"},
      {"a\xCC\x81\xCC\x81", true, u"\u00E1\u0301"},
      {"\xCC\x81"
       "e",
       true, u"\u0301e"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Hex(ToUtf16(c.bytes, c.compose)), Hex(c.expected)) << Hex(ToUtf16(c.bytes, false));
}

TEST(Utf8ToUtf16, CapacityAndBadArguments) {
  char16_t out[4] = {1, 1, 1, 1};
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80", -1, out, 1, false), 1);  // half a pair fits
  EXPECT_EQ(out[0], 0xD83D);
  EXPECT_EQ(out[1], 1);
  EXPECT_EQ(Utf8ToUtf16("abcdef", -1, out, 3, false), 3);
  // A buffer sized by the counting pass still receives the composed letter.
  EXPECT_EQ(Utf8ToUtf16("e\xCC\x81", -1, out, 1, true), 1);
  EXPECT_EQ(out[0], 0x00E9);
  EXPECT_EQ(Utf8ToUtf16("abc", -1, out, -1, false), 0);
  EXPECT_EQ(Utf8ToUtf16("abc", -1, nullptr, 2, false), 0);
  EXPECT_EQ(Utf8ToUtf16(nullptr, 5, out, 4, false), 0);
  EXPECT_EQ(Utf8ToUtf16("abc", 0, out, 4, false), 0);
  EXPECT_EQ(Utf8ToUtf16("ab\0cd", -1, nullptr, 0, false), 2);
  EXPECT_EQ(Utf8ToUtf16("\xE2\0\xAC", -1, nullptr, 0, false), 0);  // the zero byte ends the text
}

TEST(Utf16ToUtf8, EncodingRulesAndCapacity) {
  struct Case {
    std::u16string units;
    std::string expected;
  };
  const Case cases[] = {
      {u"A\u00E9\u20AC", "A\xC3\xA9\xE2\x82\xAC"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"\uFEFFx", "x"},
      {std::u16string(1, char16_t(0xD800)) + u"x", "x"},      // a lone high surrogate is dropped
      {std::u16string(1, char16_t(0xDC00)), "\xED\xB0\x80"},  // a lone low one is encoded as is
      {u"ab" + std::u16string(1, char16_t(0xDBFF)), "ab"},    // a high surrogate at the end ends it
  };
  for (const Case& c : cases) EXPECT_EQ(ToUtf8(c.units), c.expected) << Hex(c.units);

  EXPECT_EQ(Utf16ToUtf8(u"\u20AC", -1, nullptr, 0), 3);
  char out[4] = {1, 1, 1, 1};
  EXPECT_EQ(Utf16ToUtf8(u"\u20AC", -1, out, 2), 2);
  EXPECT_EQ(std::string(out, 3), "\xE2\x82\x01");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600", -1, nullptr, 0), 4);
  EXPECT_EQ(Utf16ToUtf8(u"abc", -1, out, -2), 0);
  EXPECT_EQ(Utf16ToUtf8(u"abc", -1, nullptr, 3), 0);
  EXPECT_EQ(Utf16ToUtf8(nullptr, 3, out, 3), 0);
}

TEST(WideRoundTrip, SurrogatePairsAlsoWithoutACount) {
  const std::u16string text = u"x\U0001F600y\U00010000\U0010FFFF";
  EXPECT_EQ(ToUtf16(ToUtf8(text), false), text);
  char bytes[32];
  const int length = Utf16ToUtf8(text.c_str(), -1, bytes, sizeof bytes);
  EXPECT_EQ(std::string(bytes, size_t(length)), ToUtf8(text));
  bytes[length] = 0;
  char16_t units[16];
  EXPECT_EQ(std::u16string(units, size_t(Utf8ToUtf16(bytes, -1, units, 16, false))), text);
}

// The composition table against Unicode's canonical composition, as written
// out once by make_compositions.py.
TEST(ComposeMark, MatchesCanonicalCompositionAndNothingElse) {
  std::ifstream data(BC_TEST_DATA_DIR "/text/compositions.txt");
  ASSERT_TRUE(data) << BC_TEST_DATA_DIR "/text/compositions.txt";
  std::map<std::pair<unsigned, unsigned>, unsigned> expected;
  for (std::string line; std::getline(data, line);) {
    if (line.empty() || line[0] == '#') continue;
    unsigned base, mark, composed;
    ASSERT_EQ(std::sscanf(line.c_str(), "%x %x %x", &base, &mark, &composed), 3) << line;
    expected[{base, mark}] = composed;
  }
  ASSERT_EQ(expected.size(), 127u);
  int checked = 0;
  for (unsigned base = 0; base <= 0x24F; ++base) {
    for (unsigned mark = 0x300; mark <= 0x36F; ++mark) {
      const auto found = expected.find({base, mark});
      const unsigned want = found == expected.end() ? 0 : found->second;
      ASSERT_EQ(unsigned(ComposeMark(char16_t(base), char16_t(mark))), want)
          << std::hex << "base " << base << " mark " << mark;
      ++checked;
    }
  }
  EXPECT_EQ(ComposeMark(0x1E00, 0x301), 0);
  EXPECT_EQ(ComposeMark('e', 0x1DC0), 0);
  EXPECT_EQ(checked, 0x250 * 0x70);
}

}  // namespace
