#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/XTextReader.h"
#include "runtime/ResultCodes.h"

namespace {

// Each ReadLine until the first empty line, as "line/status".
std::vector<std::string> ReadAll(XTextReader& reader) {
  std::vector<std::string> reads;
  UtilStr line;
  for (int guard = 0; guard < 100; ++guard) {
    const int32_t status = reader.ReadLine(&line);
    reads.push_back(std::string(line.mText, size_t(line.mLength)) + "/" + std::to_string(status));
    if (line.mLength == 0) break;
  }
  return reads;
}

TEST(XTextReader, HandsOutNonEmptyLinesThenAnEmptyOne) {
  using Reads = std::vector<std::string>;
  const std::pair<std::string, Reads> cases[] = {
      {"a\n\nb\r\nc", {"a/0", "b/0", "c/55203", "/55203"}},
      {"whole text", {"whole text/55203", "/55203"}},
      {"last\n", {"last/0", "/55203"}},
      {"\r\n\n\r", {"/55203"}},
      {"", {"/55203"}},
      {"\n\n  indented \r\rx", {"  indented /0", "x/55203", "/55203"}},
      {std::string("a\0b\nc", 5), {std::string("a\0b/0", 5), "c/55203", "/55203"}},
  };
  for (const auto& [text, expected] : cases) {
    XTextReader reader;
    reader.SetText(UtilStr(text.data(), int(text.size())));
    EXPECT_EQ(ReadAll(reader), expected) << text;
  }
}

TEST(XTextReader, UnopenedOrResetReaderReturnsNoLine) {
  XTextReader reader;
  const char* start = "x";
  int length = 5;
  reader.NextLine(&start, &length);
  EXPECT_EQ(start, nullptr);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(ReadAll(reader), std::vector<std::string>{"/55021"});

  reader.SetText(UtilStr("one\ntwo"));
  UtilStr line;
  EXPECT_EQ(reader.ReadLine(&line), kOk);
  reader.Reset();
  EXPECT_EQ(reader.ReadLine(&line), kErrNoInstance);
  EXPECT_EQ(line.mLength, 0);
}

TEST(XTextReader, SetTextStartsOverWithItsOwnCopy) {
  XTextReader reader;
  UtilStr text("first\nsecond");
  reader.SetText(text);
  UtilStr line;
  reader.ReadLine(&line);
  text.Assign("changed\n");  // the reader keeps the text it was given
  EXPECT_EQ(reader.ReadLine(&line), kErrEndOfText);
  EXPECT_STREQ(line.mText, "second");

  reader.SetText(UtilStr("again"));
  EXPECT_EQ(reader.ReadLine(nullptr), kErrEndOfText);
  EXPECT_EQ(reader.ReadLine(&line), kErrEndOfText);
  EXPECT_EQ(line.mLength, 0);
}

}  // namespace
