// The product's visual engine library: found through the product
// information file, loaded, and its function table acquired and given back.
#pragma once

#include <cstdint>

#include "files/BCFileSpec.h"
#include "host/DynamicLibrary.h"
#include "host/VisualAPI.h"
#include "runtime/BCObject.h"

struct ProductInfo;

class EngineLibrary : public BCObject {
 public:
  EngineLibrary() = default;
  EngineLibrary(const EngineLibrary&) = delete;
  EngineLibrary& operator=(const EngineLibrary&) = delete;
  ~EngineLibrary() override;

  // Finds the installed product by its folder name (info may be null).
  virtual int32_t LoadEngineByName(const char* productName, ProductInfo* info);
  // Takes an already known product folder (info may be null).
  virtual int32_t LoadEngineFromProduct(const BCFileSpec& productFolder, ProductInfo* info);
  // 0, the code of the failed load, 55041 when an export is missing, 55034
  // when the table is missing or lacks an entry the host calls, or the
  // failure GetBCVisualAPI reported. Every failure leaves nothing loaded.
  virtual int32_t LoadEngine(const BCFileSpec& libraryFile);
  // Gives the table back (ReleaseBCVisualAPI) before the library is freed.
  virtual void UnloadEngine();

  VisualAPI* GetTable() const { return mTable; }
  const DynamicLibrary& GetLibrary() const { return mLibrary; }
  const BCFileSpec& GetProductFolder() const { return mProductFolder; }
  void Dump() const override;

 private:
  DynamicLibrary mLibrary;
  BCFileSpec mProductFolder;
  VisualAPI* mTable = nullptr;
  ReleaseVisualAPIFn mReleaseEntry = nullptr;
  GetVisualAPIFn mGetEntry = nullptr;
};
