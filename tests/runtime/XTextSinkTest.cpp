#include <gtest/gtest.h>

#include <string>

#include "RecordingSink.h"
#include "runtime/ResultCodes.h"
#include "runtime/Trace.h"
#include "runtime/XBase.h"
#include "runtime/XTextSink.h"

using Calls = std::vector<std::pair<bool, std::string>>;

TEST(XTextSink, LineBreaksBecomeIndentationInPiecesOfSixteen) {
  const struct {
    const char* text;
    int length;
    int indent;
    Calls calls;
  } cases[] = {
      {"a\nb", -1, 5, {{false, "a"}, {true, std::string(16, ' ')}, {false, "    "}, {false, "b"}}},
      {"a\nb", -1, 0, {{false, "a"}, {true, ""}, {false, "b"}}},
      {"a\nb", -1, 4, {{false, "a"}, {true, std::string(16, ' ')}, {false, "b"}}},
      {"x\r\ny", -1, 1, {{false, "x"}, {true, "    "}, {true, "    "}, {false, "y"}}},
      {"\n", -1, -3, {{true, ""}}},
      {"abc\ndef", 2, 0, {{false, "ab"}}},
      {"ab\0cd", 5, 0, {{false, "ab"}}},
      {"tail\n", -1, 0, {{false, "tail"}, {true, ""}}},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    sink.mIndent = c.indent;
    SinkWrite(&sink, c.text, c.length);
    EXPECT_EQ(sink.mCalls, c.calls) << "text '" << c.text << "' indent " << c.indent;
    EXPECT_EQ(sink.mWriteCount, 1);
  }
}

TEST(XTextSink, NothingConsumedLeavesTheCountAlone) {
  RecordingSink sink;
  SinkWrite(&sink, "", -1);
  SinkWrite(&sink, "abc", 0);
  SinkWrite(&sink, nullptr, 5);
  SinkWrite(nullptr, "abc", -1);
  EXPECT_TRUE(sink.mCalls.empty());
  EXPECT_EQ(sink.mWriteCount, 0);
}

TEST(XTextSink, PrintfDeliversLongTextWhole) {
  for (const int length : {0, 509, 510, 511, 3000}) {
    RecordingSink sink;
    const std::string text(size_t(length), 'q');
    SinkPrintf(&sink, "<%s>", text.c_str());
    EXPECT_EQ(sink.Text(), "<" + text + ">") << "length " << length;
  }
  SinkPrintf(nullptr, "%d", 1);
}

TEST(XBase, BaseAnswersAndDescription) {
  XBase object;
  EXPECT_EQ(object.GetRefCount(), 0u);
  EXPECT_EQ(object.Query(7), kErrNotHandled);
  EXPECT_EQ(object.GetObjectPointer(), nullptr);
  RecordingSink sink;
  EXPECT_EQ(object.Describe(&sink), 0);
  char expected[64];
  std::snprintf(expected, sizeof(expected), "XBase (%016llX)",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&object)));
  EXPECT_EQ(sink.Text(), expected);
  EXPECT_EQ(object.Describe(nullptr), 0);
}

namespace {

std::vector<std::pair<uint32_t, std::string>> gTraced;

void RecordTrace(uint32_t channel, const char* text) {
  gTraced.emplace_back(channel, text);
}

}  // namespace

TEST(XBase, UnhandledMessagesAreReportedOnChannelTen) {
  gTraced.clear();
  SetTraceCallback(RecordTrace);
  XBase object;
  EXPECT_EQ(object.HandleMessage("Ping", 1, 2), 0);
  EXPECT_TRUE(gTraced.empty()) << "channel 10 is silent by default";
  SetTraceChannel(10, kTraceToConsole);
  EXPECT_EQ(object.HandleMessage("Ping", 1, 2), 0);
  EXPECT_EQ(object.HandleMessage(nullptr, 0, 0), 0);
  SetTraceChannel(10, 0);
  SetTraceCallback(nullptr);
  const std::vector<std::pair<uint32_t, std::string>> expected = {
      {0x1200000A, "XBase unhandled message 'Ping'"}, {0x1200000A, "XBase unhandled message ''"}};
  EXPECT_EQ(gTraced, expected);
}
