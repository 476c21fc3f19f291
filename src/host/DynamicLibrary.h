// One library file loaded into the process, and the symbols it exports.
#pragma once

#include <cstdint>

#include "files/BCFileSpec.h"
#include "runtime/BCObject.h"

class DynamicLibrary : public BCObject {
 public:
  DynamicLibrary() = default;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  ~DynamicLibrary() override;

  // 0, 55011 for an empty path, or 55040 when neither the file nor its
  // ".x64.dll" sibling loads. The current folder is the library's folder
  // while it loads, so the library finds its own dependencies there.
  virtual int32_t Load(const BCFileSpec& fileSpec);
  virtual void Unload();
  virtual bool IsLoaded() const { return mModule != nullptr; }

  // Null when the name is null or nothing is loaded.
  void* GetSymbol(const char* name) const;
  // The file actually loaded; empty when nothing is.
  const BCFileSpec& GetLibraryFile() const { return mLibraryFile; }
  // The Win32 module handle (HMODULE), or null.
  void* GetModule() const { return mModule; }
  void Dump() const override;

 private:
  BCFileSpec mLibraryFile;
  void* mModule = nullptr;
};
