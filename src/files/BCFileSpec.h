// One file or folder of the local machine, kept as UTF-8 text in one
// canonical form, and the well-known folders beside it.
#pragma once

#include <cstdint>

#include "runtime/BCObject.h"
#include "text/UtilStr.h"

// What Exists finds at the path.
enum FileExistence : int32_t {
  ExistsNone = 0,
  ExistsFile = 1,
  ExistsFolder = 2,
};

// Access modes of OpenHandle and XFile::Open; the values are what callers pass.
enum FileAccessMode : int32_t {
  ReadSequential = 1,   // read, shared with readers, positioned at 0, seeks only to 0
  ReadRandom = 2,       // read, shared with readers, seeks anywhere
  WriteSequential = 3,  // write, not shared, positioned at 0, cut at the position on close
  ReadWrite = 4,        // read and write, not shared, seeks anywhere
};

// Well-known folders for GetSpecialFolder; callers pass the numbers, and any
// other number resolves the desktop.
enum FolderKind : int32_t {
  FolderProgramFiles = 1,
  FolderProgramFiles64 = 2,
  FolderProgramFilesX86 = 3,
  FolderSharedData = 4,
  FolderCommonFiles = 5,
  FolderAllUsers = 6,
  FolderDesktop = 7,
  FolderStartMenuPrograms = 8,
  FolderAppData = 9,
  FolderAppDataSecondary = 10,
  FolderLocalAppData = 11,
  FolderSystemDrive = 12,
  FolderWindows = 13,
  FolderUserProfile = 14,
  FolderExecutableFile = 15,
};

class BCFileSpec : public BCObject {
 public:
  BCFileSpec() = default;
  BCFileSpec(const BCFileSpec& other) = default;
  BCFileSpec& operator=(const BCFileSpec& other) = default;
  ~BCFileSpec() override = default;

  void SetPath(const UtilStr& text);
  // count in UTF-16 units; -1: up to the terminating zero.
  void SetWidePath(const char16_t* text, int count = -1);
  void CopyFrom(const BCFileSpec& other);

  // 55021 when the path is empty, 55011 without a destination.
  int32_t GetPath(UtilStr* destination) const;
  // Units written without the terminating zero; 0 when the path is empty or
  // does not fit. Adds the long-path prefix except for URLs and UNC paths.
  int GetWidePath(char16_t* buffer, int capacity) const;

  // The name is the last component; the extension follows its last dot.
  void GetExtension(UtilStr* destination) const;
  void GetName(UtilStr* destination, bool keepExtension) const;
  // False, and no change, when the path is empty.
  bool SetName(const UtilStr& name, bool keepExtension);
  // fileSpec may be this object; an empty path changes nothing.
  int32_t SetToParentOf(const BCFileSpec& fileSpec);
  // base + backslash + text; length -1: up to the terminating zero. base may
  // be this object; an empty base empties this path.
  void SetToChild(const char* text, int length, const BCFileSpec& base);

  // Ask the system; these are in the Win32 build only.
  FileExistence Exists() const;
  // module null: the process's executable. A failure empties the path.
  int32_t SetToModuleFile(void* module);
  int32_t SetToExecutableFolder();
  // 2 (ExistsFolder) for the current folder, else the result of
  // SetToExecutableFolder; callers treat 0 and 2 alike.
  int32_t SetToCurrentFolder();
  // Text holding a backslash is a path; a bare name goes into the current folder.
  void SetFromText(const UtilStr& text);

  // handle receives a Win32 HANDLE only on success (null first).
  int32_t OpenHandle(int32_t mode, void** handle) const;
  // limit negative: no limit. 55200 (cut to limit bytes) for a longer file.
  int32_t ReadContents(UtilStr* destination, int32_t limit) const;
  // count negative: to the end. 55202 delivers the bytes up to the end.
  int32_t ReadRange(int64_t start, int32_t count, UtilStr* destination) const;

#ifdef _WIN32
  void SetWidePath(const wchar_t* text, int count = -1) {
    SetWidePath(reinterpret_cast<const char16_t*>(text), count);
  }
  int GetWidePath(wchar_t* buffer, int capacity) const {
    return GetWidePath(reinterpret_cast<char16_t*>(buffer), capacity);
  }
#endif

  // Empty path, mNameStart 0.
  void Clear();
  bool IsEmpty() const {
    return mPathName.mLength == 0;
  }
  const UtilStr* toString() const override {
    return &mPathName;
  }
  void Dump() const override;

 private:
  void Normalize();

  uint32_t mNameStart = 0;
  UtilStr mPathName;
};

// 0 and the folder's path, or a result code (55100 for an absent
// environment variable, 55013 for an unresolved shell folder).
int32_t GetSpecialFolder(BCFileSpec& destination, FolderKind kind);
// index 0: Program Files, 1: Common Files, 2: 32-bit Program Files; each
// followed by the maker folder. 55100 when absent, 55011 for another index.
int32_t FindMakerFolder(int32_t index, BCFileSpec& destination);
// The installed product's folder, recognised by its product information
// file; a null name gives the executable's folder. 0 or 55100.
int32_t FindProductFolder(const char* productFolderName, BCFileSpec& destination);
