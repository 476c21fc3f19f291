#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FakeMedia.h"
#include "plugin/TrackRecords.h"

namespace {

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) out += unit < 128 ? static_cast<char>(unit) : '?';
  return out;
}

std::u16string Repeated(char16_t unit, size_t count) {
  return std::u16string(count, unit);
}

// The record as the engine sees it, built byte by byte from the layout.
std::vector<uint8_t> ExpectedTrackBytes(int32_t year, const std::u16string& title,
                                        const std::u16string& artists, const std::u16string& album) {
  std::vector<uint8_t> bytes(3100, 0);
  auto put32 = [&](size_t offset, int32_t value) { std::memcpy(&bytes[offset], &value, 4); };
  auto putText = [&](size_t offset, const std::u16string& text) {
    std::memcpy(&bytes[offset], text.data(), text.size() * 2);
  };
  put32(0, 3100);
  put32(4, 224);
  put32(12, year);
  putText(28, title);
  putText(540, artists);
  putText(1052, album);
  return bytes;
}

std::u16string FieldText(const char16_t* field) {
  return std::u16string(field);
}

TEST(TrackRecords, TrackRecordBytesForMetadataCases) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::u16string, std::u16string>> attributes;
    int32_t year;
    std::u16string title, artists, album;
  };
  const std::u16string longTitle = Repeated(u'T', 300);
  const std::u16string huge = Repeated(u'x', 10000);
  const std::u16string cutPair = Repeated(u'a', 254) + u"\xD83C\xDFB5" + u"tail";
  const Case cases[] = {
      {"all fields, artists folded by ASCII case",
       {{u"Title", u"Song"},
        {u"Artist", u"The Band"},
        {u"WM/AlbumArtist", u"the BAND"},
        {u"Author", u"Guest"},
        {u"WM/Year", u"2004-03-01"},
        {u"WM/AlbumTitle", u"Album"}},
       2004,
       u"Song",
       u"The Band / Guest",
       u"Album"},
      {"year falls back to the original release year",
       {{u"WM/Year", u"unknown"}, {u"WM/OriginalReleaseYear", u"1987"}},
       1987,
       u"",
       u"",
       u""},
      {"hexadecimal and signed years", {{u"WM/Year", u"  0x7D4"}}, 2004, u"", u"", u""},
      {"only the album artist", {{u"WM/AlbumArtist", u"Solo"}}, 0, u"", u"Solo", u""},
      {"all four artists, duplicates and empties skipped",
       {{u"Artist", u"A"}, {u"WM/AlbumArtist", u""}, {u"Author", u"a"}, {u"WM/OriginalArtist", u"B"}},
       0,
       u"",
       u"A / B",
       u""},
      {"album falls back to the original album title",
       {{u"WM/AlbumTitle", u""}, {u"WM/OriginalAlbumTitle", u"First Press"}},
       0,
       u"",
       u"",
       u"First Press"},
      {"title of 300 characters is cut to 255 units",
       {{u"Title", longTitle}},
       0,
       longTitle.substr(0, 255),
       u"",
       u""},
      {"title stops at a zero unit", {{u"Title", std::u16string(u"ab\0cd", 5)}}, 0, u"ab", u"", u""},
      {"10,000-character attributes",
       {{u"Title", huge}, {u"Artist", huge}, {u"WM/AlbumTitle", huge}, {u"WM/Year", huge}},
       0,
       huge.substr(0, 255),
       huge.substr(0, 255),
       huge.substr(0, 255)},
      {"a pair cut at the limit loses its high half",
       {{u"Title", cutPair}},
       0,
       Repeated(u'a', 254),
       u"",
       u""},
      {"lone surrogates are copied unchanged into fixed fields",
       {{u"Title", u"x\xDC00y"}, {u"WM/AlbumTitle", u"\xD800"}},
       0,
       u"x\xDC00y",
       u"",
       u"\xD800"},
      {"no attributes at all", {}, 0, u"", u"", u""},
  };
  for (const Case& c : cases) {
    FakeMedia media;
    for (const auto& [name, value] : c.attributes) media.Set(name, value);
    FakeDisk disk;
    TrackRecords records;
    records.Update(&media, disk);
    const TrackRecord& track = records.Track();
    EXPECT_EQ(track.mYear, c.year) << c.what;
    EXPECT_EQ(Narrow(FieldText(track.mTitle)), Narrow(c.title)) << c.what;
    EXPECT_EQ(Narrow(FieldText(track.mArtists)), Narrow(c.artists)) << c.what;
    EXPECT_EQ(Narrow(FieldText(track.mAlbum)), Narrow(c.album)) << c.what;
    const std::vector<uint8_t> expected = ExpectedTrackBytes(c.year, c.title, c.artists, c.album);
    EXPECT_EQ(0, std::memcmp(&track, expected.data(), expected.size())) << c.what;
  }
}

TEST(TrackRecords, LoneSurrogatesInJoinedArtistsStayInsideTheField) {
  FakeMedia media;
  media.Set(u"Artist", Repeated(u'\xD800', 10000)).Set(u"Author", u"\xDFFF" + Repeated(u'b', 400));
  FakeDisk disk;
  TrackRecords records;
  records.Update(&media, disk);
  const std::u16string artists = FieldText(records.Track().mArtists);
  EXPECT_LE(artists.size(), 255u);
  EXPECT_EQ(records.Track().mArtists[255], 0);
  EXPECT_EQ(0, std::memcmp(records.Track().mReserved1564, std::vector<uint8_t>(1536, 0).data(), 1536));
}

struct ArtCase {
  const char* what;
  std::u16string collectionId;
  bool hasPicture;
  std::u16string pictureUrl;
  bool hasSource;
  std::vector<std::string> files;
  std::vector<std::string> folders;
  std::vector<std::string> expectedAsked;
  std::string expectedPath;
};

TEST(TrackRecords, AlbumArtSearchOrder) {
  const std::u16string id = u"{0A1B2C3D-0000-1111-2222-333344445555}";
  const std::string folder = "C:\\Music\\Album\\";
  const std::string large = folder + "AlbumArt_{0A1B2C3D-0000-1111-2222-333344445555}_Large.jpg";
  const std::string medium = folder + "AlbumArt_{0A1B2C3D-0000-1111-2222-333344445555}.jpg";
  const std::string small = folder + "AlbumArt_{0A1B2C3D-0000-1111-2222-333344445555}_Small.jpg";
  const std::string folderJpg = folder + "Folder.jpg";
  const std::string folderPng = folder + "Folder.png";
  const std::string embedded = "vnd.ms.wmhtml://localhost/WMP{0A1B2C3D-0000-1111-2222-333344445555}.jpg";
  const ArtCase cases[] = {
      {"third candidate before Folder.jpg",
       id,
       false,
       u"",
       true,
       {small, folderJpg},
       {},
       {large, medium, small},
       small},
      {"first candidate wins", id, false, u"", true, {large, medium}, {}, {large}, large},
      {"two-character id tries only the folder names",
       u"ab",
       false,
       u"",
       true,
       {small, folderPng},
       {},
       {folderJpg, folderPng},
       folderPng},
      {"no id", u"", false, u"", true, {}, {}, {folderJpg, folderPng}, ""},
      {"a folder of the name does not count",
       u"",
       false,
       u"",
       true,
       {folderPng},
       {folderJpg},
       {folderJpg, folderPng},
       folderPng},
      {"embedded picture first",
       id,
       true,
       std::u16string(embedded.begin(), embedded.end()),
       true,
       {large},
       {},
       {},
       embedded},
      {"a 4-character picture URL is no picture",
       id,
       true,
       u"a.jp",
       true,
       {medium},
       {},
       {large, medium},
       medium},
      {"no source URL, no search", id, false, u"", false, {large}, {}, {}, ""},
  };
  for (const ArtCase& c : cases) {
    FakeMedia media;
    if (!c.collectionId.empty()) media.Set(u"WM/WMCollectionID", c.collectionId);
    media.mHasPicture = c.hasPicture;
    media.mPictureUrl = c.pictureUrl;
    media.mHasSource = c.hasSource;
    media.mSourceUrl = u"C:\\Music\\Album\\01 Song.wma";
    FakeDisk disk;
    disk.mFiles.insert(c.files.begin(), c.files.end());
    disk.mFolders.insert(c.folders.begin(), c.folders.end());
    TrackRecords records;
    records.Update(&media, disk);
    EXPECT_EQ(disk.mAsked, c.expectedAsked) << c.what;
    EXPECT_EQ(std::string(records.AlbumArtPath().mText), c.expectedPath) << c.what;
    const CoverArtRecord& art = records.CoverArt();
    if (c.expectedPath.empty()) {
      EXPECT_EQ(art.mKind, 0u) << c.what;
      EXPECT_EQ(art.mPath, nullptr) << c.what;
    } else {
      EXPECT_EQ(art.mKind, 0x46696C38u) << c.what;
      ASSERT_NE(art.mPath, nullptr) << c.what;
      EXPECT_STREQ(art.mPath, c.expectedPath.c_str()) << c.what;
    }
    EXPECT_EQ(art.mReserved24, 0u) << c.what;
  }
}

TEST(TrackRecords, UpdateWithoutMediaForgetsTheTrack) {
  FakeMedia media;
  media.Set(u"Title", u"Song").Set(u"WM/Year", u"1999");
  media.mHasPicture = true;
  media.mPictureUrl = u"C:\\art\\cover.jpg";
  FakeDisk disk;
  TrackRecords records;
  records.Update(&media, disk);
  ASSERT_EQ(records.CoverArt().mKind, 0x46696C38u);
  records.Update(nullptr, disk);
  const std::vector<uint8_t> empty = ExpectedTrackBytes(0, u"", u"", u"");
  EXPECT_EQ(0, std::memcmp(&records.Track(), empty.data(), empty.size()));
  const CoverArtRecord zero{};
  EXPECT_EQ(0, std::memcmp(&records.CoverArt(), &zero, sizeof(zero)));
  EXPECT_EQ(records.AlbumArtPath().mLength, 0);
}

}  // namespace
