// Reading engine.txt: file contents to result code, library path and record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "FileTestSupport.h"
#include "files/ProductInfo.h"
#include "files/ValueTable.h"
#include "files/XFile.h"
#include "runtime/ResultCodes.h"

namespace {

using files_test::PathOf;
using files_test::SpecOf;
using files_test::TempFolder;
using files_test::WriteBytes;

// A text field read the way the record's readers must: bounded by its width.
template <size_t Width>
std::string FieldText(const char (&field)[Width]) {
  return std::string(field, strnlen(field, Width));
}

const std::string kValid = "REVISION = 1\nPRODUCT_NAME = \"Lumatide\"\nVERSION = 3\n";

// Contents padded with spaces (ordinary white space) to an exact size.
std::string PaddedTo(const std::string& text, size_t size) {
  return text + std::string(size - text.size(), ' ');
}

struct Case {
  const char* label;
  std::optional<std::string> contents;  // none: a Resources folder without engine.txt
  int32_t code;
  const char* library;  // below the product folder; null: the library path stays empty
  const char* productName;
  int32_t version;
  const char* versionText;
};

TEST(ProductInfoFile, ContentsToResultLibraryAndRecord) {
  const Case cases[] = {
      {"missing file", std::nullopt, kErrFileNotFound, nullptr, "", 0, ""},
      {"empty file", "", kErrRevision, nullptr, "", 0, ""},
      {"valid without LIB", kValid, kOk, nullptr, "Lumatide", 3, ""},
      {"valid with LIB", kValid + "LIB = \"engine.dll\"", kOk, "engine.dll", "Lumatide", 3, ""},
      {"exactly 55000 bytes", PaddedTo(kValid + "LIB = lib.dll", 55000), kOk, "lib.dll", "Lumatide", 3, ""},
      {"55001 bytes", PaddedTo(kValid + "LIB = lib.dll", 55001), kErrFileCut, nullptr, "", 0, ""},
      {"REVISION = 0", "REVISION = 0 PRODUCT_NAME = x VERSION = 1", kErrRevision, nullptr, "x", 1, ""},
      {"REVISION = -1", "REVISION = -1 PRODUCT_NAME = x VERSION = 1", kErrRevision, nullptr, "x", 1, ""},
      {"REVISION quoted", "REVISION = \"2\" PRODUCT_NAME = x VERSION = 1", kOk, nullptr, "x", 1, ""},
      {"REVISION = 2.9", "REVISION = 2.9 PRODUCT_NAME = x VERSION = 1", kOk, nullptr, "x", 1, ""},
      {"REVISION absent", "PRODUCT_NAME = x VERSION = 1", kErrRevision, nullptr, "x", 1, ""},
      {"REVISION absent, LIB present", "PRODUCT_NAME = x VERSION = 1 LIB = e.dll", kOk, "e.dll", "x", 1, ""},
      {"no VERSION", "REVISION = 1 PRODUCT_NAME = x", kErrProductFields, nullptr, "x", 0, ""},
      {"no VERSION, LIB present", "REVISION = 1 PRODUCT_NAME = x LIB = e.dll", kOk, "e.dll", "x", 0, ""},
      {"no PRODUCT_NAME", "REVISION = 1 VERSION = 2", kErrProductFields, nullptr, "", 2, ""},
      {"keys are case-sensitive", "revision = 1 PRODUCT_NAME = x VERSION = 1", kErrRevision, nullptr, "x", 1,
       ""},
      {"LIB with a leading backslash", kValid + "LIB = \"\\\\bin\\\\e.dll\"", kOk, "bin\\e.dll", "Lumatide",
       3, ""},
      {"LIB without it", kValid + "LIB = \"bin\\\\e.dll\"", kOk, "bin\\e.dll", "Lumatide", 3, ""},
      {"VERSION_STR unquoted", kValid + "VERSION_STR = 1.2.3", kOk, nullptr, "Lumatide", 3, "1.1999999"},
      {"VERSION_STR quoted", kValid + "VERSION_STR = \"1.2.3\"", kOk, nullptr, "Lumatide", 3, "1.2.3"},
      {"later value wins", kValid + "VERSION = 9 VERSION = 10", kOk, nullptr, "Lumatide", 10, ""},
      {"VERSION as text and real", "REVISION = 1 PRODUCT_NAME = x VERSION = \"12\" VERSION_STR = 7", kOk,
       nullptr, "x", 12, "7"},
      // A comment is no comment: REVISION's value lands under the empty key.
      {"comment line", "# note\n" + kValid, kErrMalformed, nullptr, "Lumatide", 3, ""},
      {"comment line, LIB present", "# note\n" + kValid + "LIB = e.dll", kOk, "e.dll", "Lumatide", 3, ""},
      // The bytes from 128 up end the word; skipping to the next "=" swallows VERSION.
      {"unquoted non-ASCII", "REVISION = 1 PRODUCT_NAME = Lumi\xC3\xA8re VERSION = 1", kErrMalformed, nullptr,
       "Lumi", 0, ""},
      {"quoted non-ASCII", "REVISION = 1 PRODUCT_NAME = \"Lumi\xC3\xA8re\" VERSION = 1", kOk, nullptr,
       "Lumi\xC3\xA8re", 1, ""},
      {"statement without value", kValid + "LIB =", kErrMalformed, nullptr, "Lumatide", 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    if (c.contents)
      WriteBytes(folder.Path() / "Resources" / "engine.txt", *c.contents);
    else
      std::filesystem::create_directories(folder.Path() / "Resources");

    BCFileSpec library;
    library.SetPath("stale");
    ProductInfo info;
    std::memset(&info, 0xCD, sizeof info);
    const int32_t result = ReadProductInfoWithLibrary(folder.FileSpec(), &info, &library);
    EXPECT_EQ(result, c.code);
    const std::string expectedLibrary =
        c.library ? PathOf(folder.FileSpec()) + "\\" + c.library : std::string();
    EXPECT_EQ(PathOf(library), expectedLibrary);

    // The record is filled whatever the result.
    ProductInfo record;
    std::memset(&record, 0xCD, sizeof record);
    EXPECT_EQ(ReadProductInfo(folder.FileSpec(), record), c.code);
    EXPECT_EQ(FieldText(record.mProductName), c.productName);
    EXPECT_EQ(record.mVersion, c.version);
    EXPECT_EQ(FieldText(record.mVersionText), c.versionText);
    EXPECT_EQ(FieldText(record.mLibraryPath), c.library ? expectedLibrary : "");
    if (result == kOk) {
      EXPECT_EQ(std::memcmp(&info, &record, sizeof info), 0);
    }
  }
}

TEST(ProductInfoFile, EveryFieldAndItsWidth) {
  TempFolder folder;
  const std::string name128(128, 'N');
  const std::string distro64(64, 'D');
  const std::string longLibrary(1100, 'L');
  WriteBytes(folder.Path() / "Resources" / "engine.txt",
             "REVISION = 1 VERSION = 3 VERSION_DATE = 20240131 BUILD_NUMBER = 7.8 SKU = -2\n"
             "PRODUCT_NAME = \"" +
                 name128 +
                 "\"\nPRODUCT_URL_NAME = lumatide\nPROJECT_NAME = 42\n"
                 "BUNDLE_ID = \"com.example\"\nDISTRO = \"" +
                 distro64.substr(0, 63) +
                 "\"\n"
                 "AUTHOR_NAME = \"A\"\nAUTHOR_URL = \"B\"\nABOUT_URL = \"C\"\nUPGRADE_URL = \"D\"\n"
                 "UPDATE_URL = \"E\"\nCOPYRIGHT = \"F\"\nAFFILIATE = \"" +
                 distro64 +
                 "X\"\n"
                 "LIB = \"" +
                 longLibrary + "\"\nUNKNOWN_KEY = 5\n");
  ProductInfo info;
  std::memset(&info, 0xCD, sizeof info);
  BCFileSpec library;
  ASSERT_EQ(ReadProductInfoWithLibrary(folder.FileSpec(), &info, &library), kOk);

  EXPECT_EQ(info.mVersion, 3);
  EXPECT_EQ(info.mVersionDate, 20240131);
  EXPECT_EQ(info.mBuildNumber, 7);
  EXPECT_EQ(info.mSku, -2);
  // 128 bytes fill the field without terminator and stop before the next one.
  EXPECT_EQ(FieldText(info.mProductName), name128);
  EXPECT_EQ(FieldText(info.mProductUrlName), "lumatide");
  EXPECT_EQ(FieldText(info.mProjectName), "42");
  EXPECT_EQ(FieldText(info.mBundleId), "com.example");
  EXPECT_EQ(FieldText(info.mDistro), distro64.substr(0, 63));
  EXPECT_EQ(FieldText(info.mAuthorName), "A");
  EXPECT_EQ(FieldText(info.mAuthorUrl), "B");
  EXPECT_EQ(FieldText(info.mAboutUrl), "C");
  EXPECT_EQ(FieldText(info.mUpgradeUrl), "D");
  EXPECT_EQ(FieldText(info.mUpdateUrl), "E");
  EXPECT_EQ(FieldText(info.mCopyright), "F");
  EXPECT_EQ(FieldText(info.mAffiliate), distro64);
  EXPECT_EQ(FieldText(info.mVersionText), "");
  for (const char byte : info.mReserved) EXPECT_EQ(byte, 0);

  // The joined library path does not fit its field: the field holds its
  // first 1024 bytes, the library path the whole path.
  const std::string wholeLibrary = PathOf(folder.FileSpec()) + "\\" + longLibrary;
  EXPECT_EQ(FieldText(info.mLibraryPath), wholeLibrary.substr(0, 1024));
  EXPECT_EQ(PathOf(library), wholeLibrary);
}

TEST(ProductInfoFile, ParseKeepsEveryStatementAndEmptiesTheTable) {
  TempFolder folder;
  WriteBytes(folder.Path() / "Resources" / "engine.txt", kValid + "EXTRA = \"kept\" 7 = 8");
  ValueTable table(true);
  table.Parse("OLD = 1", -1);
  ASSERT_EQ(ParseProductInfoFile(folder.FileSpec(), table), kOk);
  UtilStr text;
  EXPECT_TRUE(table.GetText("EXTRA", -1, &text));
  EXPECT_STREQ(text.mText, "kept");
  EXPECT_FALSE(table.GetText("OLD", -1, nullptr));

  TempFolder emptyFolder;
  EXPECT_EQ(ParseProductInfoFile(emptyFolder.FileSpec(), table), kErrFolderNotFound);
  EXPECT_FALSE(table.GetText("EXTRA", -1, nullptr));

  BCFileSpec path;
  GetProductInfoPath(folder.FileSpec(), path);
  EXPECT_EQ(PathOf(path), PathOf(folder.FileSpec()) + "\\Resources\\engine.txt");
  GetProductInfoPath(BCFileSpec(), path);
  EXPECT_TRUE(path.IsEmpty());
}

TEST(ProductInfoFile, UnreadableFiles) {
  TempFolder folder;
  const std::filesystem::path info = folder.Path() / "Resources" / "engine.txt";
  BCFileSpec library;

  // A folder in the file's place.
  std::filesystem::create_directories(info);
  library.SetPath("stale");
  EXPECT_NE(ReadProductInfoWithLibrary(folder.FileSpec(), nullptr, &library), kOk);
  EXPECT_TRUE(library.IsEmpty());
  std::filesystem::remove(info);

  // A file held open by a writer that shares nothing.
  WriteBytes(info, kValid + "LIB = e.dll");
  XFile writer;
  ASSERT_EQ(writer.Open(SpecOf(info), ReadWrite), kOk);
  library.SetPath("stale");
  EXPECT_EQ(ReadProductInfoWithLibrary(folder.FileSpec(), nullptr, &library), kErrSystem);
  EXPECT_TRUE(library.IsEmpty());
  writer.Close();
  EXPECT_EQ(ReadProductInfoWithLibrary(folder.FileSpec(), nullptr, &library), kOk);
  EXPECT_EQ(PathOf(library), PathOf(folder.FileSpec()) + "\\e.dll");

  // An empty product folder path has no information file.
  library.SetPath("stale");
  EXPECT_EQ(ReadProductInfoWithLibrary(BCFileSpec(), nullptr, &library), kErrFileNotFound);
  EXPECT_TRUE(library.IsEmpty());
}

}  // namespace
