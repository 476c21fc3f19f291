// A Win32 file handle with an access mode (FileAccessMode) that decides what
// may be done with it. Owns the handle: the destructor closes it.
#pragma once

#include <cstdint>

#include "runtime/BCObject.h"

class BCFileSpec;
class UtilStr;

class XFile : public BCObject {
 public:
  XFile() = default;
  XFile(const XFile&) = delete;
  XFile& operator=(const XFile&) = delete;
  ~XFile() override;

  // The path is built with BCFileSpec::SetFromText.
  virtual int32_t OpenText(const UtilStr& pathText, int32_t mode);
  // Closes a file already open first.
  virtual int32_t Open(const BCFileSpec& fileSpec, int32_t mode);
  // 55021 when already closed.
  virtual int32_t Close();
  // Bytes; 0 when closed.
  virtual int64_t GetSize() const;
  // -1 when closed or on failure.
  virtual int64_t GetPosition() const;
  // Only in modes 2 and 4.
  virtual int32_t SeekToEnd();
  // Modes 1 and 3 seek only to 0.
  virtual int32_t Seek(int64_t position);
  // buffer null: skips count bytes. 55107 when fewer bytes were read.
  virtual int32_t Read(void* buffer, int32_t count, int32_t* countRead);
  // buffer null: skips count bytes. 55107 when fewer bytes were written.
  virtual int32_t Write(const void* buffer, int32_t count, int32_t* countWritten);

  bool IsOpen() const { return mHandle != nullptr; }

 private:
  // Moves the position forward by count bytes.
  int32_t Skip(int32_t count);

  void* mHandle = nullptr;
  int32_t mMode = 0;
};
