// A media object made of a table of attributes, and a disk made of a table of
// paths, for the track update.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "plugin/FileProbe.h"
#include "plugin/MediaItem.h"

class FakeMedia : public MediaItem {
 public:
  FakeMedia& Set(const std::u16string& name, const std::u16string& value) {
    mAttributes[name] = value;
    return *this;
  }

  bool GetItemInfo(const char16_t* name, std::u16string* value) override {
    auto found = mAttributes.find(name);
    if (found == mAttributes.end()) return false;
    *value = found->second;
    return true;
  }
  bool GetPictureUrl(std::u16string* url) override {
    if (!mHasPicture) return false;
    *url = mPictureUrl;
    return true;
  }
  bool GetSourceUrl(std::u16string* url) override {
    if (!mHasSource) return false;
    *url = mSourceUrl;
    return true;
  }

  std::map<std::u16string, std::u16string> mAttributes;
  bool mHasPicture = false;
  std::u16string mPictureUrl;
  bool mHasSource = false;
  std::u16string mSourceUrl;
};

class FakeDisk : public FileProbe {
 public:
  FileExistence Exists(const BCFileSpec& fileSpec) override {
    const std::string path = fileSpec.toString()->mText;
    mAsked.push_back(path);
    if (mFiles.count(path)) return ExistsFile;
    if (mFolders.count(path)) return ExistsFolder;
    return ExistsNone;
  }

  std::set<std::string> mFiles;
  std::set<std::string> mFolders;
  std::vector<std::string> mAsked;
};
