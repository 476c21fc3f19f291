#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "files/ValueTable.h"
#include "runtime/ResultCodes.h"

namespace {

std::string ValueText(uint32_t tag, int64_t value) {
  if (tag & TagInteger) return "int:" + std::to_string(value);
  if (tag & TagReal) {
    char text[64];
    std::snprintf(text, sizeof text, "real:%g", ValueReal(value));
    return text;
  }
  if (tag & TagText) {
    const UtilStr* string = ::ValueText(value);
    return "text:\"" + std::string(string->mText, size_t(string->mLength)) + "\"";
  }
  return "tag:" + std::to_string(tag);
}

// Every stored entry as key=type:value, sorted; number keys start with #.
std::string Entries(const ValueTable& table) {
  std::vector<std::string> entries;
  XDictionary::Cursor textCursor;
  const XDictionary::Entry* textEntry;
  while (table.TextKeyed().Next(textCursor, &textEntry, nullptr, nullptr))
    entries.push_back(std::string(textEntry->mKey.mText, size_t(textEntry->mKey.mLength)) + "=" +
                      ValueText(textEntry->mTag, textEntry->mValue));
  XIntDictionary::Cursor numberCursor;
  const XIntDictionary::Entry* numberEntry;
  while (table.NumberKeyed().Next(numberCursor, &numberEntry))
    entries.push_back("#" + std::to_string(numberEntry->mKey) + "=" +
                      ValueText(numberEntry->mTag, numberEntry->mValue));
  std::sort(entries.begin(), entries.end());
  std::string out;
  for (const std::string& entry : entries) out += (out.empty() ? "" : " ") + entry;
  return out;
}

struct ParseCase {
  std::string input;
  std::string entries;
  int32_t result;
};

TEST(ValueTable, StatementsBecomeTypedEntries) {
  const ParseCase cases[] = {
      {"", "", kOk},
      {" \r\n\t ", "", kOk},
      {"REVISION = 1\nPRODUCT_NAME = \"Lumatide\"\nVERSION = 3\n",
       "PRODUCT_NAME=text:\"Lumatide\" REVISION=int:1 VERSION=int:3", kOk},
      {"A = 12 B = 12.0 C = .5 D = 1e3 E = 2f F = 3D G = 10UL H = 7L I = 0x1F",
       "A=int:12 B=real:12 C=real:0.5 D=real:1000 E=real:2 F=real:3 G=int:10 H=int:7 I=int:31", kOk},
      {"VERSION_STR = 1.2.3 QUOTED = \"1.2.3\"", "QUOTED=text:\"1.2.3\" VERSION_STR=real:1.2", kOk},
      // The exponent takes no sign: the minus and the 5 start a statement without "=".
      {"VERSION = 1e-5", "VERSION=real:1", kErrMalformed},
      {"CODE = 'Trck' LONG = 'ABCDEFGHIJ'", "CODE=int:1416782699 LONG=int:4702394921427289928", kOk},
      {R"(S = "a\tb\x41\xZZ\q")", "S=text:\"a\tbAxZZq\"", kOk},
      {"KEY = -5 R = -2.5 T = -\"x\" W = -word", "KEY=int:-5 R=real:-2.5 T=text:\"x\" W=text:\"word\"", kOk},
      {"a-b = 1 x.y = 2 p - q = 3", "a-b=int:1 p-q=int:3 x.y=int:2", kOk},
      {"7 = 1 -3 = x 2.9 = \"two\" - = 4", "#-3=text:\"x\" #2=text:\"two\" #7=int:1", kErrMalformed},
      {"\"my key\" = 4 '' = 5", "#0=int:5 my key=int:4", kOk},
      {"A = 1 B =", "A=int:1", kErrMalformed},
      {"A = 1 B = = 2", "A=int:1", kErrMalformed},
      {"# note\nREVISION = 3", "=int:3", kErrMalformed},
      {"= 5 X = 1", "=int:1", kErrMalformed},
      {"A = B = 1", "A=text:\"B\"", kErrMalformed},
      {"A = 1 A = \"x\" A = 2.5 B = \"y\" B = \"z\"", "A=real:2.5 B=text:\"z\"", kOk},
      {"NAME = Lumatide", "NAME=text:\"Lumatide\"", kOk},
      // Bytes from 128 up: type-255 tokens outside quotes, kept inside them.
      {"KEY = caf\xc3\xa9", "KEY=text:\"caf\"", kErrMalformed},
      {"KEY = \xc3\xa9", "", kErrMalformed},
      {"KEY = \"caf\xc3\xa9\"", "KEY=text:\"caf\xc3\xa9\"", kOk},
      {"\xc3\xa9 = 1 NEXT = 2", "=int:1 NEXT=int:2", kErrMalformed},
      // A number with an unknown suffix ends the text that is read.
      {"A = 1 B = 2q C = 3", "A=int:1", kErrMalformed},
      {"A = 1 2q", "A=int:1", kErrMalformed},
      {"A = 5 ; B = 6", "=int:6 A=int:5", kErrMalformed},
      {std::string("A = 1\0B = 2", 11), "A=int:1 B=int:2", kOk},
      {"UNTERMINATED = \"abc", "UNTERMINATED=text:\"abc\"", kOk},
  };
  for (const ParseCase& c : cases) {
    ValueTable table;
    EXPECT_EQ(table.Parse(c.input.data(), int(c.input.size())), c.result) << c.input;
    EXPECT_EQ(Entries(table), c.entries) << c.input;
  }
}

TEST(ValueTable, ParseAddsToWhatTheTableHoldsUntilCleared) {
  ValueTable table;
  ASSERT_EQ(table.Parse("A = 1 B = \"b\" 4 = 4", -1), kOk);
  ASSERT_EQ(table.Parse("B = \"c\" C = 2", -1), kOk);
  EXPECT_EQ(Entries(table), "#4=int:4 A=int:1 B=text:\"c\" C=int:2");
  table.Clear();
  EXPECT_EQ(Entries(table), "");
  EXPECT_EQ(table.Parse(nullptr, -1), kOk);
  EXPECT_EQ(table.Parse(nullptr, 5), kOk);
}

TEST(ValueTable, TooLongSourceIsMalformedAndStoresNothing) {
  std::string huge(0x1000000, ' ');
  huge.replace(0, 5, "A = 1");
  ValueTable table;
  EXPECT_EQ(table.Parse(huge.data(), int(huge.size())), kErrMalformed);
  EXPECT_EQ(Entries(table), "");
}

TEST(ValueTable, CaseFoldingTableMergesKeys) {
  ValueTable table(false);
  ASSERT_EQ(table.Parse("Alpha = 1 ALPHA = 2 beta = 3", -1), kOk);
  EXPECT_EQ(table.TextKeyed().Count(), 2);
  EXPECT_EQ(table.GetInteger("alpha"), 2);
  EXPECT_EQ(table.GetInteger("BETA", 4), 3);

  ValueTable sensitive;
  ASSERT_EQ(sensitive.Parse("Alpha = 1 ALPHA = 2", -1), kOk);
  EXPECT_EQ(sensitive.GetInteger("Alpha"), 1);
  EXPECT_EQ(sensitive.GetInteger("alpha"), 0);
}

TEST(ValueTable, GettersConvertBetweenTypes) {
  ValueTable table;
  ASSERT_EQ(
      table.Parse("I = -42 R = 2.5 N = -2.5 T = \"17 apples\" H = \"0x10\" W = word S = \"\" P = 3.14159265 "
                  "BIG = 1e300",
                  -1),
      kOk);
  const std::pair<const char*, int64_t> integers[] = {
      {"I", -42}, {"R", 2}, {"N", -2},     {"T", 17},          {"H", 16},
      {"W", 0},   {"S", 0}, {"ABSENT", 0}, {"BIG", INT64_MAX},
  };
  for (const auto& [key, expected] : integers) EXPECT_EQ(table.GetInteger(key), expected) << key;

  const std::pair<const char*, const char*> texts[] = {
      {"I", "-42"}, {"R", "2.5"}, {"P", "3.1415926"}, {"T", "17 apples"}, {"W", "word"}, {"S", ""},
  };
  for (const auto& [key, expected] : texts) {
    UtilStr text("old");
    EXPECT_TRUE(table.GetText(key, -1, &text)) << key;
    EXPECT_STREQ(text.mText, expected) << key;
  }
  UtilStr untouched("old");
  EXPECT_FALSE(table.GetText("ABSENT", -1, &untouched));
  EXPECT_STREQ(untouched.mText, "old");
  EXPECT_TRUE(table.GetText("I", 1, nullptr));
  EXPECT_TRUE(table.GetText("Ixyz", 1, nullptr));  // the length bounds the key
  EXPECT_TRUE(table.TextKeyed().Lookup("W", -1, nullptr) & TagFound);
}

TEST(ValueTable, CopiesOfATextStayWhenTheTableChanges) {
  ValueTable table;
  ASSERT_EQ(table.Parse("NAME = \"first\"", -1), kOk);
  UtilStr copy;
  ASSERT_TRUE(table.GetText("NAME", -1, &copy));
  ASSERT_EQ(table.Parse("NAME = \"second\"", -1), kOk);
  table.Clear();
  EXPECT_STREQ(copy.mText, "first");
}

}  // namespace
