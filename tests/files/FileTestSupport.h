// Fixtures of the Win32 file tests: a temporary folder with real files, an
// environment variable changed for one test, and the process's handle count.
#pragma once

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "files/BCFileSpec.h"

namespace files_test {

inline std::string PathOf(const BCFileSpec& fileSpec) {
  const UtilStr* path = fileSpec.toString();
  return std::string(path->mText, size_t(path->mLength));
}

inline BCFileSpec SpecOf(const std::filesystem::path& path) {
  BCFileSpec fileSpec;
  fileSpec.SetWidePath(path.wstring().c_str());
  return fileSpec;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder below the system's temporary folder, removed with all its
// contents at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    mPath = std::filesystem::temp_directory_path() /
            ("bcfiles-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(mPath);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }

  const std::filesystem::path& Path() const { return mPath; }
  BCFileSpec FileSpec() const { return SpecOf(mPath); }

 private:
  std::filesystem::path mPath;
};

// Sets (or, with no value, removes) a variable for the test's duration.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::optional<std::wstring>& value) : mName(name) {
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed > 0) {
      std::wstring saved(needed, L'\0');
      const DWORD length = GetEnvironmentVariableW(name, saved.data(), needed);
      saved.resize(length);
      mSaved = saved;
    }
    SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() { SetEnvironmentVariableW(mName.c_str(), mSaved ? mSaved->c_str() : nullptr); }

 private:
  std::wstring mName;
  std::optional<std::wstring> mSaved;
};

// The process's open handles. Wine answers GetProcessHandleCount with 0, so
// there the system handle table is counted for this process instead.
inline DWORD ProcessHandleCount() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;

  struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
  };
  struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
  };
  using QueryFunction = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  constexpr int kSystemExtendedHandleInformation = 64;
  constexpr LONG kInfoLengthMismatch = LONG(0xC0000004);
  const auto query = reinterpret_cast<QueryFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<unsigned char> buffer(1 << 16);
  ULONG needed = 0;
  LONG status;
  while ((status = query(kSystemExtendedHandleInformation, buffer.data(), ULONG(buffer.size()), &needed)) ==
         kInfoLengthMismatch)
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
  if (status < 0) return 0;
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  const ULONG_PTR self = GetCurrentProcessId();
  for (ULONG_PTR i = 0; i < table->count; ++i) {
    if (table->entries[i].processId == self) ++count;
  }
  return count;
}

}  // namespace files_test
