// XFile modes and share modes, ReadContents and ReadRange over real files.
#include <gtest/gtest.h>

#include <string>

#include "FileTestSupport.h"
#include "files/XFile.h"
#include "runtime/ResultCodes.h"

namespace {

using files_test::PathOf;
using files_test::ReadBytes;
using files_test::SpecOf;
using files_test::TempFolder;
using files_test::WriteBytes;

std::string TextOf(const UtilStr& text) {
  return std::string(text.mText, size_t(text.mLength));
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A handle held by someone else, opened with the given access and sharing.
UniqueHandle OpenOther(const std::filesystem::path& path, DWORD access, DWORD share) {
  HANDLE handle = CreateFileW(path.wstring().c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

TEST(FileAccess, ReadContentsLimits) {
  struct Case {
    const char* label;
    const char* fileName;  // below the temporary folder; the file holds bytes
    std::string bytes;
    bool create;
    int32_t limit;
    int32_t code;
    std::string expected;
  };
  const std::string ten = "0123456789";
  const Case cases[] = {
      {"10 bytes, limit 10", "f", ten, true, 10, kOk, ten},
      {"11 bytes, limit 10", "f", ten + "X", true, 10, kErrFileCut, ten},
      {"empty, limit 10", "f", "", true, 10, kOk, ""},
      {"11 bytes, no limit", "f", ten + "X", true, -1, kOk, ten + "X"},
      {"1 byte, limit 0", "f", "Z", true, 0, kErrFileCut, ""},
      {"empty, limit 0", "f", "", true, 0, kOk, ""},
      {"embedded zero bytes", "f", std::string("a\0b\0", 4), true, 100, kOk, std::string("a\0b\0", 4)},
      {"limit at the 32-bit maximum", "f", ten, true, INT32_MAX, kOk, ten},
      {"missing file", "absent.txt", "", false, 10, kErrFileNotFound, ""},
      {"missing folder", "absent\\f.txt", "", false, 10, kErrFolderNotFound, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    const std::filesystem::path path = folder.Path() / c.fileName;
    if (c.create) WriteBytes(path, c.bytes);
    UtilStr contents("stale contents");
    EXPECT_EQ(SpecOf(path).ReadContents(&contents, c.limit), c.code);
    EXPECT_EQ(TextOf(contents), c.expected);
  }
}

TEST(FileAccess, ReadRangeShortReadsAndBounds) {
  struct Case {
    int64_t start;
    int32_t count;
    int32_t code;
    std::string expected;
  };
  const Case cases[] = {
      {5, 10, kErrFileEndedEarly, "567"},
      {9, 10, kErrBadSeek, ""},
      {8, 10, kErrFileEndedEarly, ""},
      {0, -1, kOk, "01234567"},
      {3, -1, kOk, "34567"},
      {2, 3, kOk, "234"},
      {0, 0, kOk, ""},
      {-1, 3, kErrBadSeek, ""},
      {9, -1, kErrBadSeek, ""},
      {0, 9, kErrFileEndedEarly, "01234567"},
  };
  TempFolder folder;
  const std::filesystem::path path = folder.Path() / "eight.bin";
  WriteBytes(path, "01234567");
  const BCFileSpec fileSpec = SpecOf(path);
  for (const Case& c : cases) {
    SCOPED_TRACE("start " + std::to_string(c.start) + " count " + std::to_string(c.count));
    UtilStr range("stale");
    EXPECT_EQ(fileSpec.ReadRange(c.start, c.count, &range), c.code);
    EXPECT_EQ(TextOf(range), c.expected);
  }
  EXPECT_EQ(fileSpec.ReadRange(0, 1, nullptr), kErrBadArgument);
  EXPECT_EQ(fileSpec.ReadContents(nullptr, 1), kErrBadArgument);
}

TEST(FileAccess, EmptySpecAndUnknownModeOpenNothing) {
  void* handle = reinterpret_cast<void*>(1);
  EXPECT_EQ(BCFileSpec().OpenHandle(ReadSequential, &handle), kErrFileNotFound);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(BCFileSpec().Exists(), ExistsNone);

  TempFolder folder;
  WriteBytes(folder.Path() / "f", "x");
  handle = reinterpret_cast<void*>(1);
  EXPECT_EQ(SpecOf(folder.Path() / "f").OpenHandle(7, &handle), kErrBadArgument);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(SpecOf(folder.Path() / "f").OpenHandle(ReadSequential, nullptr), kErrBadArgument);
}

TEST(FileAccess, WhatEachModeAllows) {
  struct Case {
    int32_t mode;
    int32_t seekFar;
    int32_t seekToEnd;
    int32_t read;
    int32_t write;
  };
  const Case cases[] = {
      {ReadSequential, kErrBadSeek, kErrNoInstance, kOk, kErrNoInstance},
      {ReadRandom, kOk, kOk, kOk, kErrNoInstance},
      {WriteSequential, kErrBadSeek, kErrNoInstance, kErrNoInstance, kOk},
      {ReadWrite, kOk, kOk, kOk, kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode));
    TempFolder folder;
    const std::filesystem::path path = folder.Path() / "f.bin";
    WriteBytes(path, "01234567");
    XFile file;
    ASSERT_EQ(file.Open(SpecOf(path), c.mode), kOk);
    EXPECT_EQ(file.GetSize(), 8);
    EXPECT_EQ(file.GetPosition(), 0);
    EXPECT_EQ(file.Seek(-1), kErrBadSeek);
    EXPECT_EQ(file.Seek(0), kOk);
    EXPECT_EQ(file.Seek(100), c.seekFar);
    EXPECT_EQ(file.SeekToEnd(), c.seekToEnd);
    if (c.seekToEnd == kOk) {
      EXPECT_EQ(file.GetPosition(), 8);
    }
    EXPECT_EQ(file.Seek(0), kOk);
    char buffer[4] = {};
    int32_t done = -1;
    EXPECT_EQ(file.Read(buffer, 2, &done), c.read);
    EXPECT_EQ(done, c.read == kOk ? 2 : 0);
    EXPECT_EQ(file.Write("ab", 2, &done), c.write);
    EXPECT_EQ(done, c.write == kOk ? 2 : 0);
    EXPECT_EQ(file.Close(), kOk);
  }
}

TEST(FileAccess, ClosedFileAndNegativeCounts) {
  XFile file;
  char buffer[4];
  int32_t done = -1;
  EXPECT_EQ(file.Close(), kErrNoInstance);
  EXPECT_EQ(file.Read(buffer, 1, &done), kErrNoInstance);
  EXPECT_EQ(done, 0);
  EXPECT_EQ(file.Write(buffer, 1, nullptr), kErrNoInstance);
  EXPECT_EQ(file.Seek(0), kErrNoInstance);
  EXPECT_EQ(file.SeekToEnd(), kErrNoInstance);
  EXPECT_EQ(file.GetSize(), 0);
  EXPECT_EQ(file.GetPosition(), -1);

  TempFolder folder;
  WriteBytes(folder.Path() / "f", "0123");
  ASSERT_EQ(file.Open(SpecOf(folder.Path() / "f"), ReadWrite), kOk);
  EXPECT_EQ(file.Read(buffer, -1, &done), kErrBadArgument);
  EXPECT_EQ(file.Write(buffer, -1, &done), kErrBadArgument);
  EXPECT_EQ(file.Close(), kOk);
  EXPECT_EQ(file.Close(), kErrNoInstance);
}

TEST(FileAccess, ShortReadsAndSkips) {
  TempFolder folder;
  const std::filesystem::path path = folder.Path() / "f";
  WriteBytes(path, "01234567");
  XFile file;
  ASSERT_EQ(file.Open(SpecOf(path), ReadRandom), kOk);
  char buffer[8] = {};
  int32_t done = -1;
  EXPECT_EQ(file.Read(nullptr, 3, &done), kOk);
  EXPECT_EQ(done, 3);
  EXPECT_EQ(file.Read(buffer, 2, &done), kOk);
  EXPECT_EQ(std::string(buffer, 2), "34");
  EXPECT_EQ(file.Seek(6), kOk);
  EXPECT_EQ(file.Read(buffer, 4, &done), kErrShortTransfer);
  EXPECT_EQ(done, 2);
  EXPECT_EQ(std::string(buffer, 2), "67");

  // A sequential file moves only to its start.
  ASSERT_EQ(file.Open(SpecOf(path), ReadSequential), kOk);
  EXPECT_EQ(file.Read(nullptr, 3, &done), kErrBadSeek);
  EXPECT_EQ(done, 0);
}

TEST(FileAccess, SequentialWriteCutsAtCloseReadWriteDoesNot) {
  TempFolder folder;
  const std::filesystem::path sequential = folder.Path() / "sequential";
  const std::filesystem::path random = folder.Path() / "random";
  WriteBytes(sequential, "0123456789");
  WriteBytes(random, "0123456789");

  XFile file;
  ASSERT_EQ(file.Open(SpecOf(sequential), WriteSequential), kOk);
  EXPECT_EQ(file.Write("abc", 3, nullptr), kOk);
  EXPECT_EQ(file.Close(), kOk);
  EXPECT_EQ(ReadBytes(sequential), "abc");

  ASSERT_EQ(file.Open(SpecOf(random), ReadWrite), kOk);
  EXPECT_EQ(file.Write("abc", 3, nullptr), kOk);
  EXPECT_EQ(file.Close(), kOk);
  EXPECT_EQ(ReadBytes(random), "abc3456789");

  // Writing modes create a missing file; the destructor closes, and cuts.
  const std::filesystem::path created = folder.Path() / "created";
  {
    XFile fresh;
    ASSERT_EQ(fresh.Open(SpecOf(created), WriteSequential), kOk);
    EXPECT_EQ(fresh.Write("new", 3, nullptr), kOk);
  }
  EXPECT_EQ(ReadBytes(created), "new");
}

TEST(FileAccess, ShareModesAgainstAnotherHandle) {
  TempFolder folder;
  const std::filesystem::path path = folder.Path() / "shared";
  WriteBytes(path, "0123");
  const BCFileSpec fileSpec = SpecOf(path);
  struct Case {
    const char* label;
    DWORD access;
    DWORD share;
    bool allowed[4];  // modes 1 to 4
  };
  const Case cases[] = {
      {"other reader", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, {true, true, false, false}},
      {"other writer", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, {false, false, false, false}},
  };
  for (const Case& c : cases) {
    const UniqueHandle other = OpenOther(path, c.access, c.share);
    for (int32_t mode = ReadSequential; mode <= ReadWrite; ++mode) {
      SCOPED_TRACE(std::string(c.label) + ", mode " + std::to_string(mode));
      XFile file;
      const int32_t result = file.Open(fileSpec, mode);
      EXPECT_EQ(result == kOk, c.allowed[mode - 1]) << "result " << result;
      EXPECT_EQ(file.IsOpen(), c.allowed[mode - 1]);
    }
  }

  // Our own readers admit each other but no writer; a writer admits nobody.
  XFile reader;
  ASSERT_EQ(reader.Open(fileSpec, ReadSequential), kOk);
  XFile second;
  EXPECT_EQ(second.Open(fileSpec, ReadRandom), kOk);
  EXPECT_EQ(second.Open(fileSpec, WriteSequential), kErrSystem);
  reader.Close();
  second.Close();
  XFile writer;
  ASSERT_EQ(writer.Open(fileSpec, ReadWrite), kOk);
  UtilStr contents("stale");
  EXPECT_EQ(fileSpec.ReadContents(&contents, 100), kErrSystem);
  EXPECT_EQ(contents.mLength, 0);
}

TEST(FileAccess, OpenTextFindsBareNamesInTheCurrentFolder) {
  TempFolder folder;
  WriteBytes(folder.Path() / "bare.txt", "bare");
  wchar_t saved[MAX_PATH * 4];
  ASSERT_GT(GetCurrentDirectoryW(DWORD(std::size(saved)), saved), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().wstring().c_str()));

  BCFileSpec fromText;
  fromText.SetFromText("bare.txt");
  EXPECT_EQ(PathOf(fromText), PathOf(SpecOf(folder.Path() / "bare.txt")));
  XFile file;
  EXPECT_EQ(file.OpenText("bare.txt", ReadSequential), kOk);
  EXPECT_EQ(file.GetSize(), 4);
  EXPECT_EQ(file.OpenText("absent.txt", ReadSequential), kErrFileNotFound);
  EXPECT_FALSE(file.IsOpen());

  // Text with a backslash is taken as it is.
  fromText.SetFromText("rel\\x.txt");
  EXPECT_EQ(PathOf(fromText), "rel\\x.txt");
  SetCurrentDirectoryW(saved);
}

// A path whose prefixed UTF-16 form needs exactly the open buffer (1024
// units with the terminator) counts as not fitting; one unit less opens.
TEST(FileAccess, PathsAtTheWideBufferLimit) {
  TempFolder folder;
  const BCFileSpec base = folder.FileSpec();
  const int baseUnits = 4 + base.toString()->mLength;  // prefix + ASCII path
  std::filesystem::path deep = folder.Path();
  int units = baseUnits;
  while (1022 - units > 200) {
    deep /= std::string(150, 'd');
    units += 151;
  }
  const int nameFits = 1022 - units - 1;  // backslash + name: 1022 units in all
  const std::filesystem::path fits = deep / std::string(size_t(nameFits), 'f');
  const std::filesystem::path fills = deep / std::string(size_t(nameFits + 1), 'f');
  WriteBytes(fits, "fits");
  WriteBytes(fills, "fills");
  ASSERT_EQ(ReadBytes(fills), "fills");

  char16_t wide[1024];
  EXPECT_EQ(SpecOf(fits).GetWidePath(wide, 1024), 1022);
  EXPECT_EQ(SpecOf(fills).GetWidePath(wide, 1024), 0);

  UtilStr contents("stale");
  EXPECT_EQ(SpecOf(fits).ReadContents(&contents, 100), kOk);
  EXPECT_EQ(TextOf(contents), "fits");
  EXPECT_NE(SpecOf(fills).ReadContents(&contents, 100), kOk);
  EXPECT_EQ(contents.mLength, 0);
  EXPECT_EQ(SpecOf(fills).Exists(), ExistsFile);
}

}  // namespace
