#include "plugin/TrackRecords.h"

#include <cstring>
#include <iterator>
#include <string>

#include "files/BCFileSpec.h"
#include "plugin/FileProbe.h"
#include "plugin/MediaItem.h"
#include "text/TextFunctions.h"

namespace {

// Tried in this order in the track's folder; "%s" is the collection id.
constexpr const char* kArtCandidates[] = {
    "AlbumArt_%s_Large.jpg", "AlbumArt_%s.jpg", "AlbumArt_%s_Small.jpg", "Folder.jpg", "Folder.png",
};
constexpr int kFirstFolderCandidate = 3;
// Collection ids this short cannot name an album-art file.
constexpr int kShortestCollectionId = 3;
constexpr int kShortestArtPath = 5;

constexpr const char16_t* kArtistAttributes[] = {u"Artist", u"WM/AlbumArtist", u"Author",
                                                 u"WM/OriginalArtist"};
constexpr char kArtistSeparator[] = " / ";

UtilStr AttributeText(MediaItem& media, const char16_t* name) {
  UtilStr text;
  std::u16string value;
  if (media.GetItemInfo(name, &value)) text.AppendWide(value.c_str());
  return text;
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// Copies up to the first zero unit or the field's last unit; a pair cut in
// half at the limit loses its lone high half. True when anything was copied.
bool CopyAttributeToField(MediaItem& media, const char16_t* name,
                          char16_t (&field)[TrackRecord::kFieldUnits]) {
  field[0] = 0;
  std::u16string value;
  if (!media.GetItemInfo(name, &value)) return false;
  const int limit = TrackRecord::kFieldUnits - 1;
  int count = 0;
  while (count < limit && count < static_cast<int>(value.size()) && value[count] != 0) {
    field[count] = value[count];
    ++count;
  }
  if (count == limit && count < static_cast<int>(value.size()) && IsHighSurrogate(field[count - 1])) --count;
  field[count] = 0;
  return count > 0;
}

}  // namespace

TrackRecords::TrackRecords() {
  Clear();
}

void TrackRecords::Clear() {
  std::memset(&mTrackRecord, 0, sizeof(mTrackRecord));
  mTrackRecord.mRecordSize = TrackRecord::kRecordSize;
  mTrackRecord.mHeaderValue = TrackRecord::kHeaderValue;
  mAlbumArtPath.Clear();
  std::memset(&mAlbumArtRecord, 0, sizeof(mAlbumArtRecord));
}

void TrackRecords::SetAlbumArt(const UtilStr& path) {
  if (path.mLength < kShortestArtPath) {
    mAlbumArtPath.Clear();
    std::memset(&mAlbumArtRecord, 0, sizeof(mAlbumArtRecord));
    return;
  }
  mAlbumArtPath.Assign(path.mText, path.mLength);
  mAlbumArtRecord.mKind = CoverArtRecord::kUtf8File;
  mAlbumArtRecord.mPath = mAlbumArtPath.mText;
}

void TrackRecords::Update(MediaItem* media, FileProbe& probe) {
  Clear();
  if (media == nullptr) return;

  std::u16string pictureUrl;
  if (media->GetPictureUrl(&pictureUrl)) {
    UtilStr url;
    url.AppendWide(pictureUrl.c_str());
    SetAlbumArt(url);
  }
  if (mAlbumArtPath.mLength == 0) FindAlbumArtBeside(*media, probe);
  FillTexts(*media);
}

void TrackRecords::FindAlbumArtBeside(MediaItem& media, FileProbe& probe) {
  const UtilStr collectionId = AttributeText(media, u"WM/WMCollectionID");
  std::u16string sourceUrl;
  if (!media.GetSourceUrl(&sourceUrl)) return;

  BCFileSpec candidate;
  candidate.SetWidePath(sourceUrl.c_str());
  const int first = collectionId.mLength >= kShortestCollectionId ? 0 : kFirstFolderCandidate;
  for (int i = first; i < static_cast<int>(std::size(kArtCandidates)); ++i) {
    UtilStr name;
    if (i < kFirstFolderCandidate)
      name.AppendFormat(kArtCandidates[i], collectionId.mText);
    else
      name.Assign(kArtCandidates[i]);
    if (!candidate.SetName(name, false)) return;
    if (probe.Exists(candidate) == ExistsFile) {
      UtilStr path;
      if (candidate.GetPath(&path) == 0) SetAlbumArt(path);
      return;
    }
  }
}

void TrackRecords::FillTexts(MediaItem& media) {
  CopyAttributeToField(media, u"Title", mTrackRecord.mTitle);

  UtilStr year = AttributeText(media, u"WM/Year");
  mTrackRecord.mYear = ParseInt32(year.mText, year.mLength);
  if (mTrackRecord.mYear == 0) {
    year = AttributeText(media, u"WM/OriginalReleaseYear");
    mTrackRecord.mYear = ParseInt32(year.mText, year.mLength);
  }

  UtilStr artists[std::size(kArtistAttributes)];
  int collected = 0;
  UtilStr joined;
  for (const char16_t* attribute : kArtistAttributes) {
    UtilStr artist = AttributeText(media, attribute);
    if (artist.mLength == 0) continue;
    bool seen = false;
    for (int i = 0; i < collected && !seen; ++i) {
      seen = CompareText(artists[i].mText, artists[i].mLength, artist.mText, artist.mLength, false) == 0;
    }
    if (seen) continue;
    if (collected > 0) joined.Append(kArtistSeparator);
    joined.Append(artist.mText, artist.mLength);
    artists[collected++] = artist;
  }
  joined.CopyOutWide(mTrackRecord.mArtists, sizeof(mTrackRecord.mArtists));

  if (!CopyAttributeToField(media, u"WM/AlbumTitle", mTrackRecord.mAlbum)) {
    CopyAttributeToField(media, u"WM/OriginalAlbumTitle", mTrackRecord.mAlbum);
  }
}
