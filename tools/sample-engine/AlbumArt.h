// The current album-art picture, decoded from a JPEG or PNG file into a
// 32-bit DIB that the scene can stretch onto its back buffer.
#pragma once

#include <windows.h>

#include <string>

#include "GdiHandles.h"

namespace sample_engine {

class AlbumArt {
 public:
  // Replaces the picture; a path that cannot be decoded leaves no picture.
  bool Load(const std::string& utf8Path);
  void Clear();

  bool IsLoaded() const { return mBitmap != nullptr; }
  HBITMAP Bitmap() const { return mBitmap.get(); }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

 private:
  UniqueBitmap mBitmap;
  int mWidth = 0;
  int mHeight = 0;
};

}  // namespace sample_engine
