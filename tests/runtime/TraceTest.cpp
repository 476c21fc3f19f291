#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RecordingSink.h"
#include "platform/Platform.h"
#include "runtime/Trace.h"

#ifdef _WIN32
#include <windows.h>

#include "files/BCFileSpec.h"
#include "text/UtilStr.h"
#else
#include <sys/mman.h>
#endif

namespace {

std::vector<std::pair<uint32_t, std::string>> gTraced;

void RecordTrace(uint32_t channel, const char* text) {
  gTraced.emplace_back(channel, text);
}

std::vector<uint32_t> TableEntries() {
  const TraceChannelTable& table = GetTraceChannelTable();
  return std::vector<uint32_t>(table.mEntries, table.mEntries + table.mCount);
}

// Every test leaves the routing table, the log folder and the hooks as it found them.
class TraceTest : public testing::Test {
 protected:
  void SetUp() override {
    mSavedEntries = TableEntries();
    std::memcpy(mSavedFolder, gLogFolder, sizeof(mSavedFolder));
    gTraced.clear();
    SetTraceCallback(RecordTrace);
  }
  void TearDown() override {
    SetTraceCallback(nullptr);
    SetTraceSink(nullptr);
    for (const uint32_t entry : TableEntries()) SetTraceChannel(entry & kTraceChannelMask, 0);
    for (const uint32_t entry : mSavedEntries)
      SetTraceChannel(entry & kTraceChannelMask, entry & ~kTraceChannelMask);
    std::memcpy(gLogFolder, mSavedFolder, sizeof(mSavedFolder));
  }

  std::vector<uint32_t> mSavedEntries;
  char mSavedFolder[kLogFolderSize];
};

// A page that faults when read: a message formatted from it would crash.
class UnreadablePage {
 public:
#ifdef _WIN32
  UnreadablePage() : mPage(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS)) {}
  ~UnreadablePage() {
    VirtualFree(mPage, 0, MEM_RELEASE);
  }
#else
  UnreadablePage() : mPage(mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)) {}
  ~UnreadablePage() {
    munmap(mPage, 4096);
  }
#endif
  const char* Text() const {
    return static_cast<const char*>(mPage);
  }

 private:
  void* mPage;
};

// The log folder ends in a backslash, which is a separator only on Windows.
std::string AsDesktop(const std::filesystem::path& folder) {
#ifdef _WIN32
  return folder.string();
#else
  return folder.string() + "/";
#endif
}

}  // namespace

TEST_F(TraceTest, LoadTimeSetUpPointsTheLogFolderAtTheDesktop) {
#ifdef _WIN32
  BCFileSpec desktop;
  UtilStr path;
  ASSERT_EQ(GetSpecialFolder(desktop, FolderDesktop), 0);
  ASSERT_EQ(desktop.GetPath(&path), 0);
  EXPECT_EQ(std::string(gLogFolder), std::string(path.mText) + "\\");
#else
  EXPECT_STREQ(gLogFolder, "\\") << "no desktop outside Windows";
#endif
  EXPECT_EQ(TableEntries(), std::vector<uint32_t>{0x02000001}) << "no key chord while the tests load";
}

TEST_F(TraceTest, DefaultTableSendsOnlyChannelOneToStandardOutput) {
  EXPECT_EQ(GetTraceChannelRoute(0x10000001), kTraceToConsole);
  EXPECT_EQ(GetTraceChannelRoute(1), kTraceToConsole);
  for (const uint32_t silent : {0x10000000u, 0x1000000Au, 0x1000000Bu, 0x0000000Cu}) {
    EXPECT_EQ(GetTraceChannelRoute(silent), 0u) << std::hex << silent;
    EXPECT_EQ(TracePrintf(silent, "quiet %d", 1), 0) << std::hex << silent;
    EXPECT_EQ(TraceText(silent, "quiet"), 0) << std::hex << silent;
  }
  EXPECT_TRUE(gTraced.empty());
  EXPECT_EQ(TracePrintf(0x10000001, "describe %s", "me"), 1);
  EXPECT_EQ(gTraced, (std::vector<std::pair<uint32_t, std::string>>{{0x12000001, "describe me"}}));
}

TEST_F(TraceTest, UnroutedChannelFormatsNothing) {
  const UnreadablePage page;
  EXPECT_EQ(TracePrintf(0x1000000B, "%s", page.Text()), 0);
  EXPECT_EQ(TraceText(0x1000000B, page.Text()), 0);
}

TEST_F(TraceTest, SetTraceChannelReplacesRoutingAndRemovesByMovingTheLast) {
  SetTraceChannel(5, kTraceToFile);
  SetTraceChannel(6, kTraceToConsole | kTraceNewline);
  SetTraceChannel(7, kTraceToConsole);
  EXPECT_EQ(TableEntries(), (std::vector<uint32_t>{0x02000001, 0x01000005, 0x12000006, 0x02000007}));
  SetTraceChannel(5, kTraceToConsole);
  EXPECT_EQ(GetTraceChannelRoute(5), kTraceToConsole) << "replaced, not merged";
  SetTraceChannel(5, 0);
  EXPECT_EQ(TableEntries(), (std::vector<uint32_t>{0x02000001, 0x02000007, 0x12000006}));
  SetTraceChannel(0, kTraceToConsole);
  SetTraceChannel(99, 0);
  EXPECT_EQ(TableEntries().size(), 3u);
  for (uint32_t channel = 100; channel < 140; ++channel) SetTraceChannel(channel, kTraceToConsole);
  EXPECT_EQ(TableEntries().size(), size_t(kTraceChannelCapacity)) << "a full table takes no more";
  EXPECT_EQ(GetTraceChannelRoute(128), kTraceToConsole);
  EXPECT_EQ(GetTraceChannelRoute(129), 0u);
}

TEST_F(TraceTest, KeyChordOpensTheDiagnosticChannels) {
  SetUpTrace("C:\\Desk", true);
  EXPECT_EQ(GetTraceChannelTable().mCount, 14);
  for (const uint32_t channel : {10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 50, 70})
    EXPECT_EQ(GetTraceChannelRoute(channel), kTraceToConsole) << channel;
  EXPECT_EQ(GetTraceChannelRoute(11), 0u);
  EXPECT_STREQ(gLogFolder, "C:\\Desk\\");
}

TEST_F(TraceTest, LogFolderThatDoesNotFitFallsBackToTheLoneBackslash) {
  const std::string fits(kLogFolderSize - 2, 'f');
  SetUpTrace(fits.c_str(), false);
  EXPECT_EQ(std::string(gLogFolder), fits + "\\");
  const std::string tooLong(kLogFolderSize - 1, 'g');
  SetUpTrace(tooLong.c_str(), false);
  EXPECT_STREQ(gLogFolder, "\\");
  SetUpTrace(nullptr, false);
  EXPECT_STREQ(gLogFolder, "\\");
  EXPECT_EQ(TableEntries(), std::vector<uint32_t>{0x02000001});
}

TEST_F(TraceTest, LongMessagesArriveWhole) {
  for (const int length : {509, 510, 2000, 70000}) {
    gTraced.clear();
    const std::string text(size_t(length), 'm');
    EXPECT_EQ(TracePrintf(0x10000001, "[%s]", text.c_str()), 1);
    ASSERT_EQ(gTraced.size(), 1u);
    EXPECT_EQ(gTraced[0].second, "[" + text + "]") << "length " << length;
  }
}

TEST_F(TraceTest, FlaggedRoutesLikeTheConsoleAndIsHandedBack) {
  EXPECT_EQ(TraceWrite(0x20000009, "flagged"), kTraceFlagged);
  EXPECT_EQ(TraceWrite(0x02000009, "plain"), 0u);
  EXPECT_EQ(TraceWrite(0x20000009, nullptr), kTraceFlagged);
  SetTraceChannel(9, kTraceFlagged);
  EXPECT_EQ(TraceText(9, "via table"), int(kTraceFlagged));
  EXPECT_EQ(gTraced.size(), 3u);
}

TEST_F(TraceTest, SinkHookGetsTheTextAndOneLineBreak) {
  RecordingSink sink;
  sink.mIndent = 1;
  SetTraceSink(&sink);
  TracePrintf(0x10000001, "one\ntwo");
  TracePrintf(0x00000001, "three");
  EXPECT_EQ(sink.Text(), "one\n    two\n    three");
}

TEST_F(TraceTest, UnwritableLogFolderDropsOnlyTheFileOutput) {
  const std::filesystem::path blocker =
      std::filesystem::temp_directory_path() / ("bc-trace-blocker-" + std::to_string(PlatformProcessId()));
  std::ofstream(blocker) << "a file where the folder should be";
  // The log file would have to live inside a plain file.
  SetUpTrace(AsDesktop(blocker).c_str(), false);
  SetTraceChannel(5, kTraceToFile | kTraceToConsole);
  EXPECT_EQ(TracePrintf(0x10000005, "still %s", "delivered"), 1);
  SetTraceChannel(5, kTraceToFile);
  EXPECT_EQ(TracePrintf(0x10000005, "file only"), 1);
  EXPECT_EQ(gTraced, (std::vector<std::pair<uint32_t, std::string>>{{0x13000005, "still delivered"}}));
  std::filesystem::remove(blocker);
}
