#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/TextFunctions.h"
#include "text/XStringList.h"

namespace {

std::vector<std::string> Texts(const XStringList& list) {
  std::vector<std::string> texts;
  for (int32_t i = 1; i <= list.Count(); ++i)
    texts.emplace_back(list.GetText(i)->mText, size_t(list.GetText(i)->mLength));
  return texts;
}

TEST(XStringList, SortedListIsAscendingIgnoringCase) {
  XStringList list(XPtrList::kSorted);
  list.AddText("b");
  list.AddText("A");
  list.AddText("c");
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(list.GetText(0), nullptr);
  EXPECT_EQ(list.GetText(4), nullptr);
}

TEST(XStringList, FindTextInEveryMode) {
  struct Case {
    const char* text;
    int length;
    bool caseSensitive;
    const char* found;  // null: not found
  };
  const Case cases[] = {
      {"bravo", -1, false, "Bravo"}, {"bravo", -1, true, "bravo"},    {"BRAVO", -1, true, nullptr},
      {"Bravo", -1, true, "Bravo"},  {"alphabet", 5, false, "alpha"}, {"delta", -1, false, nullptr},
      {"", -1, false, nullptr},      {"zulu", -1, false, "zulu"},     {"a", -1, false, nullptr},
  };
  for (const int32_t mode : {XPtrList::kInsertionOrder, XPtrList::kUnordered, XPtrList::kSorted}) {
    XStringList list(mode);
    for (const char* text : {"charlie", "Bravo", "alpha", "zulu", "bravo"}) list.AddText(text);
    for (const Case& c : cases) {
      const int32_t index = list.FindText(c.text, c.length, c.caseSensitive);
      const std::string context = std::string("mode ") + std::to_string(mode) + " '" + c.text + "'";
      if (!c.found) {
        EXPECT_EQ(index, 0) << context;
        continue;
      }
      ASSERT_GT(index, 0) << context;
      // Without case, either spelling of an equal text may come first.
      EXPECT_EQ(CompareText(list.GetText(index)->mText, -1, c.found, -1, c.caseSensitive), 0)
          << context << " found " << list.GetText(index)->mText;
    }
    EXPECT_EQ(list.FindText(nullptr, 4, false), 0);
  }
  EXPECT_EQ(XStringList().FindText("x", -1, false), 0);
}

TEST(XStringList, CopiesShareTheTextAndRemovalDestroys) {
  const int32_t liveAtStart = DefaultBlockAllocator().liveBlocks.load();
  {
    const UtilStr artist("Artist Name");
    XStringList list;
    EXPECT_EQ(list.AddCopy(artist), 1);
    EXPECT_EQ(list.GetText(1)->mBlock, artist.mBlock);
    EXPECT_EQ(list.AddText("other", 3), 2);
    EXPECT_STREQ(list.GetText(2)->mText, "oth");
    EXPECT_TRUE(list.Remove(1));
    EXPECT_EQ(artist.mBlock->refs.load(), 1);
    EXPECT_FALSE(list.Remove(5));
    list.RemoveAll();
    EXPECT_EQ(list.Count(), 0);
    list.AddText("left for the destructor");
  }
  EXPECT_EQ(DefaultBlockAllocator().liveBlocks.load(), liveAtStart);
}

TEST(XStringList, ShuffleLeavesSortedOrder) {
  XStringList list(XPtrList::kSorted);
  for (const char* text : {"d", "a", "c", "b", "e", "f", "g", "h"}) list.AddText(text);
  list.Shuffle();
  EXPECT_EQ(list.Mode(), XPtrList::kInsertionOrder);
  EXPECT_EQ(list.Count(), 8);
  for (const char* text : {"a", "b", "c", "d", "e", "f", "g", "h"})
    EXPECT_GT(list.FindText(text, -1, true), 0) << text;
  list.AddText("0");
  EXPECT_STREQ(list.GetText(9)->mText, "0");  // appended, no longer sorted in
  list.SetMode(XPtrList::kSorted);
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"0", "a", "b", "c", "d", "e", "f", "g", "h"}));
}

}  // namespace
