#include "host/EngineLibrary.h"

#include "files/ProductInfo.h"
#include "runtime/ResultCodes.h"
#include "runtime/Trace.h"

EngineLibrary::~EngineLibrary() {
  UnloadEngine();
}

int32_t EngineLibrary::LoadEngineByName(const char* productName, ProductInfo* info) {
  BCFileSpec libraryFile;
  const int32_t result = FindProduct(productName, info, libraryFile, &mProductFolder);
  if (result != kOk) return result;
  return LoadEngine(libraryFile);
}

int32_t EngineLibrary::LoadEngineFromProduct(const BCFileSpec& productFolder, ProductInfo* info) {
  BCFileSpec libraryFile;
  const int32_t result = ReadProductInfoWithLibrary(productFolder, info, &libraryFile);
  if (result != kOk) return result;
  mProductFolder.CopyFrom(productFolder);
  return LoadEngine(libraryFile);
}

int32_t EngineLibrary::LoadEngine(const BCFileSpec& libraryFile) {
  // A second engine must not replace the first without giving its table back.
  if (mLibrary.IsLoaded()) {
    const BCFileSpec productFolder = mProductFolder;
    UnloadEngine();
    mProductFolder = productFolder;
  }
  int32_t result = mLibrary.Load(libraryFile);
  if (result == kOk) {
    mGetEntry = reinterpret_cast<GetVisualAPIFn>(mLibrary.GetSymbol(kGetVisualAPIExport));
    mReleaseEntry = reinterpret_cast<ReleaseVisualAPIFn>(mLibrary.GetSymbol(kReleaseVisualAPIExport));
    if (!mGetEntry || !mReleaseEntry) result = kErrExportsMissing;
  }
  if (result == kOk) {
    result = mGetEntry(kVisualAPIVersion, &mTable, 0);
    if (result == kOk && !IsUsableTable(mTable)) {
      // A table handed out is given back even when it is of no use.
      if (mTable) mReleaseEntry(mTable);
      result = kErrNoTable;
    }
  }
  if (result != kOk) {
    mGetEntry = nullptr;
    mReleaseEntry = nullptr;
    mTable = nullptr;
    mLibrary.Unload();
  }
  return result;
}

void EngineLibrary::UnloadEngine() {
  if (!mLibrary.IsLoaded()) return;
  if (mReleaseEntry) mReleaseEntry(mTable);
  mGetEntry = nullptr;
  mReleaseEntry = nullptr;
  mTable = nullptr;
  mProductFolder = BCFileSpec();
  mLibrary.Unload();
}

void EngineLibrary::Dump() const {
  TracePrintf(kTraceNewline | 1, "EngineLibrary (0x%X): table = 0x%X, product folder = '%s'",
              unsigned(uintptr_t(this)), unsigned(uintptr_t(mTable)), mProductFolder.toString()->mText);
  mLibrary.Dump();
}
