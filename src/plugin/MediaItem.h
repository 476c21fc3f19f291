// The player's media object as the track update reads it. The product wraps
// the player's COM object; tests give tables of attributes.
#pragma once

#include <string>

class MediaItem {
 public:
  virtual ~MediaItem() = default;

  // The named attribute's UTF-16 units; false when the player fails or gives
  // no string, which callers treat as an empty value.
  virtual bool GetItemInfo(const char16_t* name, std::u16string* value) = 0;
  // The URL of the embedded picture; false when there is none.
  virtual bool GetPictureUrl(std::u16string* url) = 0;
  // Where the track lives; a path for files on disk.
  virtual bool GetSourceUrl(std::u16string* url) = 0;
};
