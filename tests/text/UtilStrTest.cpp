#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "text/UtilStr.h"

namespace {

std::string Text(const UtilStr& s) {
  return std::string(s.mText, size_t(s.mLength));
}

int32_t Capacity(const UtilStr& s) {
  return s.mBlock ? s.mBlock->capacity : 0;
}

int32_t Refs(const UtilStr& s) {
  return s.mBlock ? s.mBlock->refs.load() : 0;
}

// Every string keeps a zero byte behind its text.
void ExpectTerminated(const UtilStr& s) {
  EXPECT_EQ(s.mText[s.mLength], 0) << "length " << s.mLength;
}

class LiveBlocks : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(DefaultBlockAllocator().liveBlocks.load(), mLiveAtStart); }
  int32_t mLiveAtStart = DefaultBlockAllocator().liveBlocks.load();
};

using UtilStrWrite = LiveBlocks;

TEST_F(UtilStrWrite, AssignAndAppendFollowTheGrowthRule) {
  UtilStr s;
  EXPECT_EQ(s.mBlock, nullptr);
  EXPECT_EQ(s.mLength, 0);
  EXPECT_STREQ(s.mText, "");

  s.Assign("abc");
  EXPECT_EQ(Text(s), "abc");
  EXPECT_EQ(Capacity(s), 3 + 32);  // a fresh text gets 32 bytes of slack

  s.Append("0123456789012345678901234567890123", 34);  // 37 + 1 >= 35: grows by 32 + 37 / 4
  EXPECT_EQ(Text(s), "abc0123456789012345678901234567890123");
  EXPECT_EQ(Capacity(s), 37 + 32 + 37 / 4);

  const TextBlock* block = s.mBlock;
  s.Append("x");  // fits: same block
  EXPECT_EQ(s.mBlock, block);
  ExpectTerminated(s);

  s.Append(std::string(200000, 'y').c_str());  // slack is capped at 20000
  EXPECT_EQ(Capacity(s), s.mLength + 20000);
}

TEST_F(UtilStrWrite, EmptyTextsReleaseOnAssignAndChangeNothingOnAppend) {
  UtilStr s("abc");
  s.Append("", 0);
  s.Append(nullptr, -1);
  EXPECT_EQ(Text(s), "abc");
  s.Assign("", -1);
  EXPECT_EQ(s.mBlock, nullptr);
  EXPECT_EQ(s.mLength, 0);
  EXPECT_STREQ(s.mText, "");
  s.Assign("abc", -7);  // any negative length means up to the zero byte
  EXPECT_EQ(Text(s), "abc");
  s.Assign(nullptr, 0);
  EXPECT_EQ(s.mBlock, nullptr);
}

TEST_F(UtilStrWrite, NoTextWithALengthMakesRoomToFill) {
  UtilStr s("ab");
  s.Append(nullptr, 3);
  ASSERT_EQ(s.mLength, 5);
  ExpectTerminated(s);
  std::memcpy(s.GetWritableText() + 2, "cde", 3);
  EXPECT_EQ(Text(s), "abcde");
}

TEST_F(UtilStrWrite, EmbeddedZeroBytesAreKept) {
  UtilStr s("a\0b", 3);
  s.Append("\0c", 2);
  EXPECT_EQ(Text(s), std::string("a\0b\0c", 5));
}

TEST_F(UtilStrWrite, AppendingItsOwnTextDoublesIt) {
  for (const int length : {3, 30, 1000}) {
    UtilStr s(std::string(size_t(length), 'q').c_str());
    const std::string before = Text(s);
    s.Append(s.mText, s.mLength);  // 1000 + 1000 needs a new block, 3 + 3 does not
    EXPECT_EQ(Text(s), before + before) << "length " << length;
    ExpectTerminated(s);
  }
}

TEST_F(UtilStrWrite, AssignFromInsideItselfKeepsTheBytes) {
  UtilStr s("hello world");
  s.Assign(s.mText + 6, 5);
  EXPECT_EQ(Text(s), "world");
}

TEST_F(UtilStrWrite, CopiesShareUntilWritten) {
  using Writer = void (*)(UtilStr&);
  const std::vector<std::pair<const char*, Writer>> writers = {
      {"Append", [](UtilStr& s) { s.Append("!"); }},
      {"Assign", [](UtilStr& s) { s.Assign("other"); }},
      {"Replace", [](UtilStr& s) { s.Replace(0, 1, "J", 1); }},
      {"Truncate", [](UtilStr& s) { s.Truncate(2); }},
      {"GetWritableText", [](UtilStr& s) { s.GetWritableText()[0] = 'J'; }},
      {"AppendFormat", [](UtilStr& s) { s.AppendFormat("%d", 7); }},
      {"AppendRepeated", [](UtilStr& s) { s.AppendRepeated('-', 3); }},
      {"Clear", [](UtilStr& s) { s.Clear(10); }},
  };
  for (const auto& [name, write] : writers) {
    for (const bool writeCopy : {false, true}) {
      UtilStr original("jigsaw");
      UtilStr copy;
      copy.CopyFrom(original);
      EXPECT_EQ(copy.mBlock, original.mBlock);
      EXPECT_EQ(Refs(original), 2);
      write(writeCopy ? copy : original);
      EXPECT_EQ(Text(writeCopy ? original : copy), "jigsaw") << name << (writeCopy ? " on the copy" : "");
      EXPECT_EQ(Refs(original), 1) << name;
      EXPECT_EQ(Refs(copy), 1) << name;
    }
  }
}

TEST_F(UtilStrWrite, CopyOntoItselfAndOverAnotherBlock) {
  UtilStr a("first"), b("second");
  a.CopyFrom(a);
  EXPECT_EQ(Refs(a), 1);
  a.CopyFrom(b);  // a's old block goes
  EXPECT_EQ(Text(a), "second");
  EXPECT_EQ(Refs(b), 2);
  UtilStr c = a;
  c = b;
  EXPECT_EQ(Refs(b), 3);
}

TEST_F(UtilStrWrite, ABorrowedTextIsCopiedBeforeAnyWrite) {
  // No block but a length: the text belongs to someone else.
  static const char kBorrowed[] = "borrowed";
  UtilStr s;
  s.mText = const_cast<char*>(kBorrowed);
  s.mLength = 8;
  s.Append("!");
  EXPECT_EQ(Text(s), "borrowed!");
  EXPECT_STREQ(kBorrowed, "borrowed");
  UtilStr t;
  t.mText = const_cast<char*>(kBorrowed);
  t.mLength = 8;
  t.GetWritableText()[0] = 'B';
  EXPECT_EQ(Text(t), "Borrowed");
  EXPECT_STREQ(kBorrowed, "borrowed");
}

TEST_F(UtilStrWrite, ClearKeepsACloseFittingBlockOnly) {
  UtilStr s;
  s.Clear(100);
  EXPECT_EQ(Capacity(s), 132);
  EXPECT_EQ(s.mLength, 0);
  ExpectTerminated(s);

  s.Assign("abc");
  const TextBlock* block = s.mBlock;
  s.Clear(50);  // 132 - 50 is within 1..99999: kept
  EXPECT_EQ(s.mBlock, block);
  EXPECT_EQ(s.mLength, 0);
  s.Clear(132);  // no spare byte: replaced
  EXPECT_EQ(Capacity(s), 164);

  UtilStr big;
  big.Clear(200000);
  big.Clear(10);  // far too large: replaced
  EXPECT_EQ(Capacity(big), 42);
  big.Clear(0);
  EXPECT_EQ(big.mBlock, nullptr);
  big.Clear(-5);
  EXPECT_EQ(big.mBlock, nullptr);
}

TEST_F(UtilStrWrite, ClearOfASharedStringLeavesTheOtherAlone) {
  UtilStr a("shared text"), b(a);
  b.Clear(4);
  EXPECT_EQ(Text(a), "shared text");
  EXPECT_EQ(b.mLength, 0);
}

TEST_F(UtilStrWrite, TruncateReportsTheExcess) {
  struct Case {
    int count, result;
    const char* left;
  };
  for (const Case& c :
       {Case{0, 0, "abcde"}, Case{-3, 0, "abcde"}, Case{2, 0, "abc"}, Case{5, 0, ""}, Case{8, 3, ""}}) {
    UtilStr s("abcde");
    EXPECT_EQ(s.Truncate(c.count), c.result) << "count " << c.count;
    EXPECT_EQ(Text(s), c.left) << "count " << c.count;
    ExpectTerminated(s);
    if (s.mLength == 0) {
      EXPECT_EQ(s.mBlock, nullptr);
    }
  }
}

TEST_F(UtilStrWrite, Replace) {
  struct Case {
    int start, count;
    const char* text;
    int textLength, result;
    const char* expected;
  };
  const Case cases[] = {
      {0, 0, "X", 1, 1, "Xabcdef"}, {6, 0, "XY", -1, 2, "abcdefXY"},        {2, 2, "XY", 2, 0, "abXYef"},
      {2, 2, "", 0, -2, "abef"},    {1, 1, "LONGER", -1, 5, "aLONGERcdef"}, {4, 2, "", 0, -2, "abcd"},
      {-5, 2, "Z", 1, -1, "Zcdef"}, {4, 99, "Z", 1, -1, "abcdZ"},           {99, 3, "Z", 1, 1, "abcdefZ"},
      {2, 0, "", 0, 0, "abcdef"},   {2, -4, "Q", 1, 1, "abQcdef"},          {0, 6, "", 0, -6, ""},
      {1, 4, "x", -1, -3, "axf"},
  };
  for (const Case& c : cases) {
    UtilStr s("abcdef");
    EXPECT_EQ(s.Replace(c.start, c.count, c.text, c.textLength), c.result)
        << c.start << "," << c.count << ",'" << c.text << "'";
    EXPECT_EQ(Text(s), c.expected) << c.start << "," << c.count << ",'" << c.text << "'";
    ExpectTerminated(s);
  }
}

TEST_F(UtilStrWrite, ReplaceWithItsOwnBytes) {
  UtilStr s("abcdef");
  s.Replace(0, 1, s.mText + 2, 3);  // the tail moves over the source unless guarded
  EXPECT_EQ(Text(s), "cdebcdef");
  UtilStr t("abcdef");
  t.Replace(3, 3, t.mText, 6);
  EXPECT_EQ(Text(t), "abcabcdef");
}

TEST_F(UtilStrWrite, MatchesStdStringUnderRandomEdits) {
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  auto pick = [&](int n) { return int(random() % unsigned(n + 1)); };
  const std::string alphabet = "abcXYZ\0\t'\\";
  std::vector<UtilStr> strings(4);
  std::vector<std::string> models(4);
  for (int step = 0; step < 4000; ++step) {
    const int i = pick(3), j = pick(3);
    std::string piece(size_t(pick(40)), ' ');
    for (char& c : piece) c = alphabet[size_t(pick(int(alphabet.size()) - 1))];
    switch (pick(7)) {
      case 0:
        strings[i].Assign(piece.data(), int(piece.size()));
        models[i] = piece;
        break;
      case 1:
        strings[i].Append(piece.data(), int(piece.size()));
        models[i] += piece;
        break;
      case 2: {
        const int start = pick(int(models[i].size())), count = pick(int(models[i].size()) - start);
        strings[i].Replace(start, count, piece.data(), int(piece.size()));
        models[i].replace(size_t(start), size_t(count), piece);
        break;
      }
      case 3: {
        const int count = pick(int(models[i].size()) + 2);
        strings[i].Truncate(count);
        models[i].resize(models[i].size() - std::min(models[i].size(), size_t(count)));
        break;
      }
      case 4:
        strings[i].CopyFrom(strings[j]);
        models[i] = models[j];
        break;
      case 5:
        strings[i].Append(strings[j].mText, strings[j].mLength);
        models[i] += models[j];
        break;
      case 6:
        strings[i].Clear(pick(60));
        models[i].clear();
        break;
      default:
        if (!models[i].empty()) {
          const int at = pick(int(models[i].size()) - 1);
          strings[i].GetWritableText()[at] = 'W';
          models[i][size_t(at)] = 'W';
        }
    }
    for (int k = 0; k < 4; ++k) {
      ASSERT_EQ(Text(strings[k]), models[k]) << "string " << k << " after step " << step;
      ASSERT_EQ(strings[k].mText[strings[k].mLength], 0) << "string " << k << " after step " << step;
    }
  }
}

// Hands out blocks from the heap and counts them, so the allocator of a
// grown block and the release of every block can be checked.
int gCustomLive = 0;
BlockAllocator gCustom{[](int64_t bytes) {
                         ++gCustomLive;
                         return ::operator new(size_t(bytes));
                       },
                       [](void* block) {
                         --gCustomLive;
                         ::operator delete(block);
                       },
                       0};

TEST(UtilStrAllocator, AGrowingStringKeepsItsAllocator) {
  {
    auto* block = static_cast<TextBlock*>(gCustom.allocate(16 + 40 + 2));
    new (&block->refs) std::atomic<int32_t>(1);
    block->capacity = 40;
    block->allocator = &gCustom;
    std::memcpy(block->bytes, "custom", 7);
    UtilStr s;
    s.mBlock = block;
    s.mText = block->bytes;
    s.mLength = 6;
    s.Append(std::string(100, '+').c_str());
    EXPECT_EQ(s.mBlock->allocator, &gCustom);
    EXPECT_EQ(gCustomLive, 1);
    UtilStr copy(s);
    copy.Append("more");
    EXPECT_EQ(copy.mBlock->allocator, &gCustom);
    EXPECT_EQ(gCustomLive, 2);
  }
  EXPECT_EQ(gCustomLive, 0);
}

TEST(UtilStrLimits, HugeLengthsLeaveTheStringUnchanged) {
  UtilStr s("abc");
  s.Append(nullptr, INT32_MAX);
  EXPECT_EQ(Text(s), "abc");
  s.Append(nullptr, INT32_MAX - 40);
  EXPECT_EQ(Text(s), "abc");
  EXPECT_EQ(s.Replace(1, 0, nullptr, INT32_MAX - 1), 0);
  EXPECT_EQ(Text(s), "abc");
  s.AppendRepeated('x', INT32_MAX);
  EXPECT_EQ(Text(s), "abc");
  s.Clear(INT32_MAX);  // cannot be reserved: the string is simply empty
  EXPECT_EQ(s.mLength, 0);
  ExpectTerminated(s);
}

TEST(UtilStrSearch, FindLastChar) {
  const UtilStr s("a\\b\\c");
  struct Case {
    char byte;
    int limit, expected;
  };
  for (const Case& c : {Case{'\\', 99, 4}, Case{'\\', 3, 2}, Case{'\\', 1, 0}, Case{'a', 1, 1},
                        Case{'z', 99, 0}, Case{'c', 5, 5}, Case{'a', -1, 0}}) {
    EXPECT_EQ(s.FindLastChar(c.byte, c.limit), c.expected) << "'" << c.byte << "' limit " << c.limit;
  }
}

TEST_F(UtilStrWrite, AppendFormat) {
  UtilStr s("n=");
  s.AppendFormat("%d/%s/%05.1f", 42, "x", 3.14159);
  EXPECT_EQ(Text(s), "n=42/x/003.1");

  const std::string long3000(3000, 'L');
  UtilStr longer("<");
  longer.AppendFormat("%s>", long3000.c_str());
  EXPECT_EQ(Text(longer), "<" + long3000 + ">");
  ExpectTerminated(longer);

  const std::string huge(300000, 'H');
  UtilStr big;
  big.AppendFormat("%s", huge.c_str());
  EXPECT_EQ(big.mLength, 300000);

  UtilStr empty;
  empty.AppendFormat("%s", "");
  EXPECT_EQ(empty.mLength, 0);
  ExpectTerminated(empty);
}

TEST_F(UtilStrWrite, AppendFormatOfItsOwnText) {
  UtilStr s(std::string(140, 's').c_str());
  const std::string before = Text(s);
  s.AppendFormat("[%s]", s.mText);  // needs a bigger block while the argument points into the old one
  EXPECT_EQ(Text(s), before + "[" + before + "]");
  UtilStr shared("abc"), copy(shared);
  copy.AppendFormat("%s%s", copy.mText, shared.mText);
  EXPECT_EQ(Text(copy), "abcabcabc");
}

TEST_F(UtilStrWrite, NumbersAndCodes) {
  struct Case {
    int64_t value;
    const char* expected;
  };
  for (const Case& c :
       {Case{0x5472636B, "'Trck'"}, Case{5000, "5000"}, Case{100000, "0x186A0"}, Case{-20000, "-0x4E20"},
        Case{-10000, "-10000"}, Case{10000, "10000"}, Case{0x41424344FF, "0x41424344FF"},
        Case{0x27414243, "'\\'ABC'"}, Case{INT64_MIN, "-0x8000000000000000"}, Case{0x100000, "0x100000"}}) {
    UtilStr s;
    s.AppendCode(c.value);
    EXPECT_EQ(Text(s), c.expected) << c.value;
  }
  UtilStr n("x");
  n.AppendInteger(-123);
  EXPECT_EQ(Text(n), "x-123");
  n.AppendInteger(INT64_MIN, true);
  EXPECT_EQ(Text(n), "-9223372036854775808");
  n.AppendDecimal(3.14159, 2);
  EXPECT_EQ(Text(n), "-92233720368547758083.14");
}

TEST_F(UtilStrWrite, AppendEscaped) {
  const std::string all("a\t\n\f\r\"'\\\0\x01\x7f\x80\xff", 13);
  struct Case {
    int flags;
    std::string expected;
  };
  const Case cases[] = {
      {0, all},
      {0x02, std::string("a\t\n\f\r\"'\\\\0\x01\x7f\x80\xff", 14)},
      {0x04, std::string("a\t\n\f\r\\\"\\'\\\\\0\x01\x7f\x80\xff", 16)},
      {0x08, std::string("a\\t\\n\\f\\r\"'\\\0\x01\x7f\x80\xff", 17)},
      {0x10, "a\\t\\n\\f\\r\"'\\\\0\\x01\x7f\x80\xff"},
      {0x20, std::string("a\t\n\f\r\"'\\\0\x01\x7f\\x80\\xFF", 19)},
      {0x34, "a\\t\\n\\f\\r\\\"\\'\\\\\\0\\x01\x7f\\x80\\xFF"},
  };
  for (const Case& c : cases) {
    UtilStr s;
    s.AppendEscaped(all.data(), int(all.size()), c.flags);
    EXPECT_EQ(Text(s), c.expected) << "flags " << c.flags;
  }
  UtilStr upToZero;
  upToZero.AppendEscaped("ab\"c", -1, 0x04);
  EXPECT_EQ(Text(upToZero), "ab\\\"c");
  upToZero.AppendEscaped("ignored", 0, 0x04);
  upToZero.AppendEscaped(nullptr, 5, 0x04);
  EXPECT_EQ(Text(upToZero), "ab\\\"c");
}

TEST_F(UtilStrWrite, AppendEscapedCrossesTheBufferAndReadsItsOwnText) {
  const std::string quotes(1000, '"');
  UtilStr s(quotes.c_str());
  s.AppendEscaped(s.mText, s.mLength, 0x04);
  std::string expected = quotes;
  for (int i = 0; i < 1000; ++i) expected += "\\\"";
  EXPECT_EQ(Text(s), expected);
}

TEST_F(UtilStrWrite, AppendUnescaped) {
  struct Case {
    const char* text;
    int length;
    bool quoted;
    std::string expected;
  };
  const Case cases[] = {
      {"a\\tb\\x41\\x4g\\q\\", -1, false,
       "a\tbAx4g"
       "q"},
      {"  'it\\'s' 'ok'", -1, true,
       "it's"
       "ok"},
      {"\"say \\\"hi\\\"\"", -1, true, "say \"hi\""},
      {"   ", -1, true, ""},
      {"ab\0cd", 5, false, std::string("ab\0cd", 5)},
      {"\\0\\X7e", -1, false, std::string("\0~", 2)},
  };
  for (const Case& c : cases) {
    UtilStr s("<");
    s.AppendUnescaped(c.text, c.length, c.quoted);
    EXPECT_EQ(Text(s), "<" + c.expected) << c.text;
    ExpectTerminated(s);
  }
  UtilStr self("x\\ty");
  self.AppendUnescaped(self.mText, self.mLength, false);
  EXPECT_EQ(Text(self), "x\\tyx\ty");
}

TEST_F(UtilStrWrite, WideTextInAndOut) {
  UtilStr s("A");
  EXPECT_EQ(s.AppendWide(u"\u00e9\u20ac\U0001F600"), 2 + 3 + 4);
  EXPECT_EQ(Text(s), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(s.AppendWide(u"xyz", 0), 0);
  EXPECT_EQ(s.AppendWide(nullptr, 5), 0);
  EXPECT_EQ(s.AppendWide(u"\xFEFF", 1), 0);  // a byte-order mark alone adds nothing

  char16_t wide[8];
  EXPECT_TRUE(UtilStr("e\xCC\x81t\xC3\xA9").CopyOutWide(wide, sizeof wide));  // composed on the way
  EXPECT_EQ(std::u16string(wide), u"\u00e9t\u00e9");
  char16_t exact[4];  // three units needed, three fit: reported as cut
  EXPECT_FALSE(UtilStr("abc").CopyOutWide(exact, sizeof exact));
  EXPECT_EQ(std::u16string(exact), u"abc");
  EXPECT_FALSE(UtilStr("abcdef").CopyOutWide(exact, sizeof exact));
  EXPECT_EQ(std::u16string(exact), u"abc");
  EXPECT_FALSE(UtilStr("a").CopyOutWide(exact, 3));
  EXPECT_FALSE(UtilStr("a").CopyOutWide(nullptr, 100));
}

TEST(UtilStrCopyOut, TerminatorOnlyWhenItFits) {
  const UtilStr s("abcd");
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_FALSE(s.CopyOut(buffer, 4));
  EXPECT_EQ(std::string(buffer, 5), "abcd#");
  EXPECT_TRUE(s.CopyOut(buffer, 5));
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_FALSE(s.CopyOut(buffer, 0));
  EXPECT_FALSE(s.CopyOut(buffer, -3));
  EXPECT_FALSE(s.CopyOut(nullptr, 8));
}

TEST(UtilStrCompare, OtherAgainstOwnText) {
  const UtilStr apple("apple"), banana("Banana");
  EXPECT_LT(banana.Compare(&apple, false), 0);  // the other (apple) sorts first
  EXPECT_GT(apple.Compare(&banana, false), 0);
  EXPECT_EQ(UtilStr("ABC").Compare(&apple, true), 'a' - 'A');
  EXPECT_EQ(UtilStr("Apple").Compare(&apple, false), 0);
  EXPECT_EQ(apple.Compare(nullptr, true), -5);  // no other text counts as empty
  EXPECT_EQ(apple.toString(), &apple);
}

TEST(UtilStrDump, PrintableBinaryAndMixed) {
  struct Case {
    std::string text;
    std::string shown;
  };
  const Case cases[] = {
      {"", "''"},
      {"plain text", "'plain text'"},
      {std::string("ab\0\x01", 4), "'ab'<2 additional bytes>"},
      {std::string(120, 'p'), "'" + std::string(100, 'p') + "'<20 additional bytes>"},
      {"\x01xyz", "<4 bytes binary data>"},
  };
  for (const Case& c : cases) {
    const UtilStr s(c.text.data(), int(c.text.size()));
    char address[32];
    std::snprintf(address, sizeof address, "0x%X", unsigned(uintptr_t(&s)));
    ::testing::internal::CaptureStdout();
    s.Dump();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "UtilStr (" + std::string(address) + "): " + c.shown + "\n");
  }
}

}  // namespace
