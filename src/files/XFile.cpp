#include "files/XFile.h"

#include <windows.h>

#include "files/BCFileSpec.h"
#include "files/Win32Errors.h"
#include "runtime/ResultCodes.h"

namespace {

bool CanRead(int32_t mode) {
  return mode == ReadSequential || mode == ReadRandom || mode == ReadWrite;
}
bool CanWrite(int32_t mode) {
  return mode == WriteSequential || mode == ReadWrite;
}
bool SeeksOnlyToStart(int32_t mode) {
  return mode == ReadSequential || mode == WriteSequential;
}

}  // namespace

XFile::~XFile() {
  if (mHandle) Close();
}

int32_t XFile::OpenText(const UtilStr& pathText, int32_t mode) {
  BCFileSpec fileSpec;
  fileSpec.SetFromText(pathText);
  return Open(fileSpec, mode);
}

int32_t XFile::Open(const BCFileSpec& fileSpec, int32_t mode) {
  Close();
  void* handle = nullptr;
  const int32_t result = fileSpec.OpenHandle(mode, &handle);
  if (result != kOk) return result;
  if (!handle) return kErrNoHandle;
  mHandle = handle;
  mMode = mode;
  return SeeksOnlyToStart(mode) ? Seek(0) : kOk;
}

int32_t XFile::Close() {
  if (!mHandle) return kErrNoInstance;
  if (mMode == WriteSequential) SetEndOfFile(mHandle);
  const BOOL closed = CloseHandle(mHandle);
  mHandle = nullptr;
  mMode = 0;
  return closed ? kOk : LastErrorAsFailure();
}

int64_t XFile::GetSize() const {
  if (!mHandle) return 0;
  DWORD high = 0;
  SetLastError(ERROR_SUCCESS);
  const DWORD low = GetFileSize(mHandle, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) return 0;
  return int64_t(uint64_t(high) << 32 | low);
}

int64_t XFile::GetPosition() const {
  if (!mHandle) return -1;
  LONG high = 0;
  SetLastError(ERROR_SUCCESS);
  const DWORD low = SetFilePointer(mHandle, 0, &high, FILE_CURRENT);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return -1;
  return int64_t(uint64_t(uint32_t(high)) << 32 | low);
}

int32_t XFile::SeekToEnd() {
  if (!mHandle || (mMode != ReadRandom && mMode != ReadWrite)) return kErrNoInstance;
  // With a high part the end of a file beyond 4 GiB is reachable too.
  LONG high = 0;
  SetLastError(ERROR_SUCCESS);
  if (SetFilePointer(mHandle, 0, &high, FILE_END) == INVALID_SET_FILE_POINTER)
    return MapWin32Error(GetLastError());
  return kOk;
}

int32_t XFile::Seek(int64_t position) {
  if (position < 0) return kErrBadSeek;
  if (!mHandle) return kErrNoInstance;
  if (position != 0 && SeeksOnlyToStart(mMode)) return kErrBadSeek;
  LONG high = LONG(position >> 32);
  SetLastError(ERROR_SUCCESS);
  if (SetFilePointer(mHandle, LONG(uint32_t(position)), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return MapWin32Error(GetLastError());
  return kOk;
}

int32_t XFile::Skip(int32_t count) {
  const int64_t position = GetPosition();
  if (position < 0) return kErrSystem;
  return Seek(position + count);
}

int32_t XFile::Read(void* buffer, int32_t count, int32_t* countRead) {
  if (countRead) *countRead = 0;
  if (count < 0) return kErrBadArgument;
  if (!mHandle || !CanRead(mMode)) return kErrNoInstance;
  DWORD done = DWORD(count);
  if (buffer) {
    done = 0;
    const BOOL ok = ReadFile(mHandle, buffer, DWORD(count), &done, nullptr);
    if (countRead) *countRead = int32_t(done);
    if (!ok) return LastErrorAsFailure();
  } else if (const int32_t result = Skip(count); result != kOk) {
    return result;
  }
  if (countRead) *countRead = int32_t(done);
  return done < DWORD(count) ? kErrShortTransfer : kOk;
}

int32_t XFile::Write(const void* buffer, int32_t count, int32_t* countWritten) {
  if (countWritten) *countWritten = 0;
  if (count < 0) return kErrBadArgument;
  if (!mHandle || !CanWrite(mMode)) return kErrNoInstance;
  DWORD done = DWORD(count);
  if (buffer) {
    done = 0;
    const BOOL ok = WriteFile(mHandle, buffer, DWORD(count), &done, nullptr);
    if (countWritten) *countWritten = int32_t(done);
    if (!ok) return LastErrorAsFailure();
  } else if (const int32_t result = Skip(count); result != kOk) {
    return result;
  }
  if (countWritten) *countWritten = int32_t(done);
  return done < DWORD(count) ? kErrShortTransfer : kOk;
}
