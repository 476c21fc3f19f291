// The BCFileSpec operations that ask the system: existence, the module and
// current folders, opening and reading files.
#include <windows.h>

#include "files/BCFileSpec.h"
#include "files/Win32Errors.h"
#include "files/XFile.h"
#include "runtime/ResultCodes.h"
#include "text/TextFunctions.h"

namespace {

constexpr int kExistsBufferUnits = 2048;
constexpr int kModuleBufferUnits = 2047;
constexpr int kOpenBufferUnits = 1024;

struct OpenParameters {
  DWORD access;
  DWORD share;
  DWORD creation;
};

bool ParametersForMode(int32_t mode, OpenParameters* parameters) {
  switch (mode) {
    case ReadSequential:
    case ReadRandom:
      *parameters = {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING};
      return true;
    case WriteSequential:
      *parameters = {GENERIC_WRITE, 0, OPEN_ALWAYS};
      return true;
    case ReadWrite:
      *parameters = {GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS};
      return true;
    default:
      return false;
  }
}

}  // namespace

FileExistence BCFileSpec::Exists() const {
  if (IsEmpty()) return ExistsNone;
  wchar_t wide[kExistsBufferUnits];
  if (GetWidePath(wide, kExistsBufferUnits) == 0) return ExistsNone;
  const DWORD attributes = GetFileAttributesW(wide);
  if (attributes == INVALID_FILE_ATTRIBUTES) return ExistsNone;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ExistsFolder : ExistsFile;
}

int32_t BCFileSpec::SetToModuleFile(void* module) {
  wchar_t wide[kModuleBufferUnits];
  const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), wide, kModuleBufferUnits);
  // A name that fills the buffer was cut; it counts as a failure.
  if (length == 0 || length >= DWORD(kModuleBufferUnits)) {
    const int32_t result = LastErrorAsFailure();
    Clear();
    return result;
  }
  SetWidePath(wide, int(length));
  return kOk;
}

int32_t BCFileSpec::SetToExecutableFolder() {
  const int32_t result = SetToModuleFile(nullptr);
  if (result != kOk) {
    Clear();
    return result;
  }
  return SetToParentOf(*this);
}

int32_t BCFileSpec::SetToCurrentFolder() {
  wchar_t wide[kModuleBufferUnits];
  // A longer folder reports the size it needs; it is treated as absent.
  const DWORD length = GetCurrentDirectoryW(kModuleBufferUnits, wide);
  if (length > 0 && length < DWORD(kModuleBufferUnits)) {
    SetWidePath(wide, int(length));
    if (Exists() == ExistsFolder) return ExistsFolder;
  }
  return SetToExecutableFolder();
}

void BCFileSpec::SetFromText(const UtilStr& text) {
  if (FindChar('\\', 0, true, text.mText, text.mLength) > 0) {
    SetPath(text);
    return;
  }
  const UtilStr name(text);
  BCFileSpec folder;
  folder.SetToCurrentFolder();
  SetToChild(name.mText, name.mLength, folder);
}

int32_t BCFileSpec::OpenHandle(int32_t mode, void** handle) const {
  if (!handle) return kErrBadArgument;
  *handle = nullptr;
  if (IsEmpty()) return kErrFileNotFound;
  OpenParameters parameters;
  if (!ParametersForMode(mode, &parameters)) return kErrBadArgument;

  wchar_t wide[kOpenBufferUnits];
  GetWidePath(wide, kOpenBufferUnits);
  HANDLE opened =
      CreateFileW(wide, parameters.access, parameters.share, nullptr, parameters.creation, 0, nullptr);
  DWORD error = ERROR_SUCCESS;
  if (opened == INVALID_HANDLE_VALUE || !opened) {
    error = GetLastError();
    if (error == ERROR_CALL_NOT_IMPLEMENTED) {
      opened = CreateFileA(mPathName.mText, parameters.access, parameters.share, nullptr, parameters.creation,
                           0, nullptr);
      error = (opened == INVALID_HANDLE_VALUE || !opened) ? GetLastError() : ERROR_SUCCESS;
    }
  }
  if (opened == INVALID_HANDLE_VALUE || !opened) {
    const int32_t result = MapWin32Error(error);
    return result == kOk ? kErrNoHandle : result;
  }
  *handle = opened;
  return kOk;
}

int32_t BCFileSpec::ReadRange(int64_t start, int32_t count, UtilStr* destination) const {
  if (!destination) return kErrBadArgument;
  XFile file;
  int32_t result = file.Open(*this, start == 0 ? ReadSequential : ReadRandom);
  if (result == kOk) {
    const int64_t size = file.GetSize();
    const int64_t rest = size - start;
    int64_t wanted = count;
    if (count < 0) {
      if (rest >= 0x7FFFFFFF) result = kErrFileTooLarge;
      wanted = rest;
    }
    if (result == kOk && (start < 0 || start > size)) result = kErrBadSeek;
    if (result == kOk && start + wanted > size) {
      wanted = rest;
      result = kErrFileEndedEarly;
    }
    if ((result == kOk || result == kErrFileEndedEarly) && start > 0) {
      if (const int32_t seek = file.Seek(start); seek != kOk) result = seek;
    }
    if (result == kOk || result == kErrFileEndedEarly) {
      // Emptied first, so a failed allocation shows as a length mismatch.
      destination->Clear();
      destination->Assign(nullptr, int(wanted));
      char* bytes = wanted > 0 ? destination->GetWritableText() : nullptr;
      if (destination->mLength != int(wanted) || (wanted > 0 && !bytes)) {
        result = kErrOutOfMemory;
      } else if (wanted > 0) {
        if (const int32_t read = file.Read(bytes, int32_t(wanted), nullptr); read != kOk) result = read;
      }
    }
    file.Close();
  }
  if (result != kOk && result != kErrFileEndedEarly) destination->Clear();
  return result;
}

int32_t BCFileSpec::ReadContents(UtilStr* destination, int32_t limit) const {
  // One byte past the limit tells a file of exactly limit bytes from a longer one.
  if (limit < 0 || limit == INT32_MAX) return ReadRange(0, -1, destination);
  const int32_t result = ReadRange(0, limit + 1, destination);
  if (result == kErrFileEndedEarly) return kOk;
  if (result == kOk) {
    destination->Truncate(1);
    return kErrFileCut;
  }
  return result;
}
