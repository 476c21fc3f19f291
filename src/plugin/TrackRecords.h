// The two fixed records through which the engine learns the current track:
// 'Trck' (title, artists, album, year) and 'CArt' (the album-art file).
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/FourCC.h"
#include "text/UtilStr.h"

class FileProbe;
class MediaItem;

// Text fields are UTF-16 with a terminating zero unit.
struct TrackRecord {
  static constexpr int kFieldUnits = 256;
  static constexpr int32_t kRecordSize = 3100;
  static constexpr int32_t kHeaderValue = 224;

  int32_t mRecordSize;
  int32_t mHeaderValue;
  int32_t mReserved8;
  int32_t mYear;
  uint8_t mReserved16[12];
  char16_t mTitle[kFieldUnits];
  char16_t mArtists[kFieldUnits];
  char16_t mAlbum[kFieldUnits];
  uint8_t mReserved1564[1536];
};

static_assert(sizeof(TrackRecord) == 3100);
static_assert(offsetof(TrackRecord, mYear) == 12);
static_assert(offsetof(TrackRecord, mTitle) == 28);
static_assert(offsetof(TrackRecord, mArtists) == 540);
static_assert(offsetof(TrackRecord, mAlbum) == 1052);
static_assert(offsetof(TrackRecord, mReserved1564) == 1564);

// All zero when there is no picture.
struct CoverArtRecord {
  static constexpr uint32_t kUtf8File = FourCC("Fil8");

  uint32_t mKind;
  uint8_t mReserved4[12];
  const char* mPath;  // zero-terminated UTF-8, valid until the next update
  uint64_t mReserved24;
};

static_assert(sizeof(CoverArtRecord) == 32);
static_assert(offsetof(CoverArtRecord, mPath) == 16);

class TrackRecords {
 public:
  TrackRecords();
  TrackRecords(const TrackRecords&) = delete;
  TrackRecords& operator=(const TrackRecords&) = delete;

  // Rebuilds both records from the media, or empties them when it is null.
  void Update(MediaItem* media, FileProbe& probe);
  // Texts shorter than 5 bytes mean no picture.
  void SetAlbumArt(const UtilStr& path);

  const TrackRecord& Track() const { return mTrackRecord; }
  const CoverArtRecord& CoverArt() const { return mAlbumArtRecord; }
  const UtilStr& AlbumArtPath() const { return mAlbumArtPath; }

 private:
  void Clear();
  void FindAlbumArtBeside(MediaItem& media, FileProbe& probe);
  void FillTexts(MediaItem& media);

  TrackRecord mTrackRecord;
  UtilStr mAlbumArtPath;
  CoverArtRecord mAlbumArtRecord;
};
