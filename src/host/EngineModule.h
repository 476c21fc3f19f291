// The shared handle to the engine library: loads it on the first request,
// remembers the outcome, and knows the hosts that use it.
#pragma once

#include <cstdint>

#include "host/EngineLibrary.h"
#include "host/VisualAPI.h"
#include "runtime/BCSharedObject.h"
#include "runtime/ResultCodes.h"
#include "text/BCQueue.h"
#include "text/UtilStr.h"

class EngineHost;

class EngineModule : public BCSharedObject {
 public:
  EngineModule() = default;

  // Only while a table is held: the hosts drop it, the engine is unloaded
  // and the next Acquire loads it again.
  virtual void Unload();

  // The installation folder name of the product; unloads first.
  void SetProductName(const char* text);
  // The table, loading the engine on the first call. A failed load is
  // remembered and never retried: later calls answer null at once.
  VisualAPI* Acquire();
  // 55050 not loaded yet, 0 loaded, other: the code of the failed load.
  int32_t GetState() const { return mState; }

  void AddHost(EngineHost* host);
  void RemoveHost(EngineHost* host);
  bool HasHost(EngineHost* host) const;

  const UtilStr& GetProductName() const { return mProductName; }
  const EngineLibrary& GetEngineLibrary() const { return mEngineLibrary; }
  void Dump() const override;

 protected:
  ~EngineModule() override = default;
  void OnFinalRelease(int32_t reason) override;

 private:
  EngineLibrary mEngineLibrary;
  int32_t mState = kErrNotStarted;
  UtilStr mProductName;
  BCQueue mHostList;  // not owning
};
