#include "host/DynamicLibrary.h"

#include <windows.h>

#include <string>

#include "runtime/ResultCodes.h"
#include "runtime/Trace.h"

namespace {

constexpr int kWidePathCapacity = 1024;
constexpr char kRetrySuffix[] = ".x64.dll";

// Switches the process's current folder and puts the old one back when it
// goes out of scope, however long the old one was.
class CurrentFolderSwitch {
 public:
  explicit CurrentFolderSwitch(const wchar_t* folder) {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    while (size > 0) {
      mSaved.resize(size);
      const DWORD length = GetCurrentDirectoryW(size, mSaved.data());
      if (length < size) {
        mSaved.resize(length);
        break;
      }
      size = length;  // the folder grew in between: ask again
    }
    if (size == 0) mSaved.clear();
    if (folder[0] != 0) SetCurrentDirectoryW(folder);
  }
  CurrentFolderSwitch(const CurrentFolderSwitch&) = delete;
  CurrentFolderSwitch& operator=(const CurrentFolderSwitch&) = delete;
  ~CurrentFolderSwitch() {
    if (!mSaved.empty()) SetCurrentDirectoryW(mSaved.c_str());
  }

 private:
  std::wstring mSaved;
};

HMODULE LoadWide(const BCFileSpec& file, DWORD* error) {
  wchar_t path[kWidePathCapacity];
  if (file.GetWidePath(path, kWidePathCapacity) == 0) {
    *error = ERROR_FILENAME_EXCED_RANGE;
    return nullptr;
  }
  HMODULE module = LoadLibraryW(path);
  *error = module ? ERROR_SUCCESS : GetLastError();
  return module;
}

}  // namespace

DynamicLibrary::~DynamicLibrary() {
  Unload();
}

int32_t DynamicLibrary::Load(const BCFileSpec& fileSpec) {
  Unload();
  if (fileSpec.IsEmpty()) return kErrBadArgument;
  mLibraryFile.CopyFrom(fileSpec);

  HMODULE module;
  {
    BCFileSpec folder;
    folder.SetToParentOf(mLibraryFile);
    wchar_t wideFolder[kWidePathCapacity];
    folder.GetWidePath(wideFolder, kWidePathCapacity);
    CurrentFolderSwitch folderSwitch(wideFolder);

    DWORD error;
    module = LoadWide(mLibraryFile, &error);
    if (!module && (error == ERROR_BAD_EXE_FORMAT || error == ERROR_MOD_NOT_FOUND)) {
      UtilStr name;
      mLibraryFile.GetName(&name, false);
      name.Append(kRetrySuffix);
      mLibraryFile.SetName(name, false);
      module = LoadWide(mLibraryFile, &error);
    }
  }

  if (!module) {
    mLibraryFile = BCFileSpec();
    return kErrEngineUnavailable;
  }
  mModule = module;
  return kOk;
}

void DynamicLibrary::Unload() {
  if (!mModule) return;
  FreeLibrary(static_cast<HMODULE>(mModule));
  mModule = nullptr;
  mLibraryFile = BCFileSpec();
}

void* DynamicLibrary::GetSymbol(const char* name) const {
  if (!name || !mModule) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(mModule), name));
}

void DynamicLibrary::Dump() const {
  TracePrintf(kTraceNewline | 1, "DynamicLibrary (0x%X): module = 0x%X, file = '%s'",
              unsigned(uintptr_t(this)), unsigned(uintptr_t(mModule)), mLibraryFile.toString()->mText);
}
