// The path text of BCFileSpec: canonical form, names, joins and the UTF-16
// form. Runs natively and under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "files/BCFileSpec.h"
#include "runtime/ResultCodes.h"

namespace {

std::string PathOf(const BCFileSpec& fileSpec) {
  const UtilStr* path = fileSpec.toString();
  return std::string(path->mText, size_t(path->mLength));
}

std::string NameOf(const BCFileSpec& fileSpec, bool keepExtension) {
  UtilStr name("stale");
  fileSpec.GetName(&name, keepExtension);
  return std::string(name.mText, size_t(name.mLength));
}

std::string ExtensionOf(const BCFileSpec& fileSpec) {
  UtilStr extension("stale");
  fileSpec.GetExtension(&extension);
  return std::string(extension.mText, size_t(extension.mLength));
}

BCFileSpec SpecOf(const char* path) {
  BCFileSpec fileSpec;
  fileSpec.SetPath(path);
  return fileSpec;
}

// Readable form of UTF-16 text for failure messages: ASCII as is, the rest as \uXXXX.
std::string Printable(const std::u16string& text) {
  std::string out;
  for (const char16_t unit : text) {
    if (unit >= 0x20 && unit < 0x7F) {
      out += char(unit);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(unit));
      out += escaped;
    }
  }
  return out;
}

struct CanonicalCase {
  const char* input;
  const char* path;
  const char* name;  // without extension
  const char* nameWithExtension;
  const char* extension;
};

TEST(FileSpecPath, CanonicalFormNamesAndExtensions) {
  const CanonicalCase cases[] = {
      {"C:\\Temp\\", "C:\\Temp", "Temp", "Temp", ""},
      {"C:\\", "C:\\", "", "", ""},
      {"\\\\?\\C:\\Temp", "C:\\Temp", "Temp", "Temp", ""},
      {"\\\\?\\", "", "", "", ""},
      {"readme.txt", "readme.txt", "", "", ""},
      {"C:\\a\\archive.tar.gz", "C:\\a\\archive.tar.gz", "archive.tar", "archive.tar.gz", "gz"},
      {"C:/a/b.txt/", "C:/a/b.txt", "b", "b.txt", "txt"},
      {"C:\\a.d\\noext", "C:\\a.d\\noext", "noext", "noext", ""},
      {"C:\\a\\\\", "C:\\a\\", "", "", ""},
      {"ab/", "ab/", "", "", ""},
      {"C:\\a\\.hidden", "C:\\a\\.hidden", "", ".hidden", "hidden"},
      {"", "", "", "", ""},
  };
  for (const CanonicalCase& c : cases) {
    SCOPED_TRACE(std::string("input '") + c.input + "'");
    const BCFileSpec fileSpec = SpecOf(c.input);
    EXPECT_EQ(PathOf(fileSpec), c.path);
    EXPECT_EQ(NameOf(fileSpec, false), c.name);
    EXPECT_EQ(NameOf(fileSpec, true), c.nameWithExtension);
    EXPECT_EQ(ExtensionOf(fileSpec), c.extension);
  }
}

TEST(FileSpecPath, GetPathReportsEmptyPathAndMissingDestination) {
  UtilStr out("stale");
  EXPECT_EQ(BCFileSpec().GetPath(&out), kErrNoInstance);
  EXPECT_EQ(SpecOf("C:\\a").GetPath(nullptr), kErrBadArgument);
  EXPECT_EQ(SpecOf("C:\\a").GetPath(&out), kOk);
  EXPECT_STREQ(out.mText, "C:\\a");
}

TEST(FileSpecPath, SetNameWithAndWithoutExtension) {
  struct Case {
    const char* path;
    const char* newName;
    bool keepExtension;
    bool result;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\a\\old.txt", "report", true, true, "C:\\a\\report.txt"},
      {"C:\\a\\old.txt", "report", false, true, "C:\\a\\report"},
      {"C:\\a\\noext", "report", true, true, "C:\\a\\report"},
      // Without a separator the name, and so its extension, is empty.
      {"old.txt", "report", true, true, "report"},
      {"C:\\", "x.jpg", false, true, "C:\\x.jpg"},
      {"", "report", true, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " <- " + c.newName);
    BCFileSpec fileSpec = SpecOf(c.path);
    EXPECT_EQ(fileSpec.SetName(c.newName, c.keepExtension), c.result);
    EXPECT_EQ(PathOf(fileSpec), c.expected);
  }
}

TEST(FileSpecPath, SetToParentOfWalksDownToEmpty) {
  BCFileSpec fileSpec = SpecOf("C:\\a\\b");
  const char* expected[] = {"C:\\a", "C:", ""};
  for (const char* step : expected) {
    EXPECT_EQ(fileSpec.SetToParentOf(fileSpec), kOk);
    EXPECT_EQ(PathOf(fileSpec), step);
  }
  EXPECT_EQ(fileSpec.SetToParentOf(fileSpec), kOk);
  EXPECT_EQ(PathOf(fileSpec), "");

  BCFileSpec root = SpecOf("C:\\");
  root.SetToParentOf(root);
  EXPECT_EQ(PathOf(root), "");

  // Another path is read, not changed; an empty one leaves this unchanged.
  const BCFileSpec child = SpecOf("D:\\music\\album\\track.mp3");
  BCFileSpec parent = SpecOf("unchanged");
  parent.SetToParentOf(BCFileSpec());
  EXPECT_EQ(PathOf(parent), "unchanged");
  parent.SetToParentOf(child);
  EXPECT_EQ(PathOf(parent), "D:\\music\\album");
  EXPECT_EQ(NameOf(parent, true), "album");
  EXPECT_EQ(PathOf(child), "D:\\music\\album\\track.mp3");
}

TEST(FileSpecPath, SetToChildJoinsWithOneBackslash) {
  struct Case {
    const char* base;
    const char* text;
    int length;
    const char* expected;
    const char* name;
  };
  const Case cases[] = {
      {"C:\\a", "\\b", -1, "C:\\a\\b", "b"},
      {"C:\\a", "b", -1, "C:\\a\\b", "b"},
      {"C:\\", "b", -1, "C:\\b", "b"},
      {"C:", "b", -1, "C:\\b", "b"},
      {"C:\\a", "bcd", 1, "C:\\a\\b", "b"},
      {"C:\\a", "", -1, "C:\\a", "a"},
      {"C:\\a", nullptr, 5, "C:\\a", "a"},
      {"C:\\a", "\\\\b", -1, "C:\\a\\\\b", "b"},
      {"C:\\a", "Resources\\engine.txt", -1, "C:\\a\\Resources\\engine.txt", "engine.txt"},
      {"", "b", -1, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.base) + " + " + (c.text ? c.text : "(null)"));
    BCFileSpec fileSpec = SpecOf("stale\\path");
    fileSpec.SetToChild(c.text, c.length, SpecOf(c.base));
    EXPECT_EQ(PathOf(fileSpec), c.expected);
    EXPECT_EQ(NameOf(fileSpec, true), c.name);
  }
}

TEST(FileSpecPath, SetToChildOfItselfWithItsOwnText) {
  BCFileSpec fileSpec = SpecOf("C:\\ab");
  fileSpec.SetToChild(fileSpec.toString()->mText + 3, -1, fileSpec);
  EXPECT_EQ(PathOf(fileSpec), "C:\\ab\\ab");
}

TEST(FileSpecPath, CopyFromAndWidePathRoundTrip) {
  BCFileSpec wide;
  wide.SetWidePath(u"\\\\?\\C:\\Mu\u0301sica\\", -1);
  EXPECT_EQ(PathOf(wide), "C:\\Mu\xCC\x81sica");
  BCFileSpec copy;
  copy.CopyFrom(wide);
  EXPECT_EQ(PathOf(copy), PathOf(wide));
  EXPECT_EQ(NameOf(copy, true), "Mu\xCC\x81sica");

  wide.SetWidePath(u"C:\\abcdef", 4);
  EXPECT_EQ(PathOf(wide), "C:\\a");
  wide.SetWidePath(static_cast<const char16_t*>(nullptr), -1);
  EXPECT_TRUE(wide.IsEmpty());
}

TEST(FileSpecPath, WidePathPrefixRules) {
  struct Case {
    const char* path;
    int capacity;
    std::u16string expected;  // empty: result 0
  };
  const Case cases[] = {
      {"C:\\a", 1024, u"\\\\?\\C:\\a"},
      {"relative\\x", 1024, u"\\\\?\\relative\\x"},
      {"\\\\server\\share\\f", 1024, u"\\\\server\\share\\f"},
      {"http://host/x", 1024, u"http://host/x"},
      {"file.v2://x", 1024, u"file.v2://x"},
      {":/\\x", 1024, u"\\\\?\\:/\\x"},
      {"C:/x", 1024, u"\\\\?\\C:/x"},
      {"ab", 5, u"ab"},
      {"abc", 9, u"\\\\?\\abc"},
      // The prefixed path fills the buffer: it counts as not fitting.
      {"abc", 8, u""},
      {"ab", 6, u""},
      {"abcd", 5, u""},
      {"ab", 1, u""},
      {"", 10, u""},
      {"C:\\Mu\xCC\x81sica", 1024, u"\\\\?\\C:\\M\u00FAsica"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " capacity " + std::to_string(c.capacity));
    char16_t buffer[1100];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    const int written = SpecOf(c.path).GetWidePath(buffer, c.capacity);
    EXPECT_EQ(written, int(c.expected.size()));
    const std::u16string got(buffer, size_t(std::max(written, 0)));
    EXPECT_EQ(Printable(got), Printable(c.expected));
    EXPECT_EQ(buffer[std::max(written, 0)], u'\0');
    // Nothing is written past the capacity.
    EXPECT_EQ(buffer[c.capacity], u'#');
  }
  EXPECT_EQ(SpecOf("C:\\a").GetWidePath(static_cast<char16_t*>(nullptr), 10), 0);
}

}  // namespace
