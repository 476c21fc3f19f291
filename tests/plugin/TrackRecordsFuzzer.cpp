// Media attributes of any length and content, lone surrogates included, into
// the track records: the fields stay inside the record, zero-terminated.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FakeMedia.h"
#include "plugin/TrackRecords.h"

namespace {

constexpr const char16_t* kAttributes[] = {u"Title",
                                           u"WM/Year",
                                           u"WM/OriginalReleaseYear",
                                           u"Artist",
                                           u"WM/AlbumArtist",
                                           u"Author",
                                           u"WM/OriginalArtist",
                                           u"WM/AlbumTitle",
                                           u"WM/OriginalAlbumTitle",
                                           u"WM/WMCollectionID"};

bool FieldEnds(const char16_t (&field)[TrackRecord::kFieldUnits]) {
  for (char16_t unit : field) {
    if (unit == 0) return true;
  }
  return false;
}

}  // namespace

// Input: UTF-16 units; unit 0xFFFF ends one attribute value and starts the
// next, in the order above, then the picture URL and the source URL.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FakeMedia media;
  std::u16string value;
  size_t next = 0;
  auto finish = [&] {
    if (next < std::size(kAttributes)) {
      media.Set(kAttributes[next], value);
    } else if (next == std::size(kAttributes)) {
      media.mHasPicture = true;
      media.mPictureUrl = value;
    } else if (next == std::size(kAttributes) + 1) {
      media.mHasSource = true;
      media.mSourceUrl = value;
    }
    ++next;
    value.clear();
  };
  for (size_t i = 0; i + 1 < size; i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit == 0xFFFF)
      finish();
    else
      value += unit;
  }
  finish();

  FakeDisk disk;
  TrackRecords records;
  records.Update(&media, disk);
  const TrackRecord& track = records.Track();
  if (track.mRecordSize != 3100 || track.mHeaderValue != 224) std::abort();
  if (!FieldEnds(track.mTitle) || !FieldEnds(track.mArtists) || !FieldEnds(track.mAlbum)) std::abort();
  const CoverArtRecord& art = records.CoverArt();
  if ((art.mPath == nullptr) != (art.mKind == 0)) std::abort();
  return 0;
}
