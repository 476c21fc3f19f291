#include "host/EngineModule.h"

#include "host/EngineHost.h"
#include "runtime/Trace.h"

void EngineModule::OnFinalRelease(int32_t) {
  Unload();
}

void EngineModule::Unload() {
  if (!mEngineLibrary.GetTable()) return;
  // A host still holding the table would call into a freed library.
  for (int32_t i = 0; i < mHostList.Count(); ++i) {
    auto* host = static_cast<EngineHost*>(mHostList.Get(i));
    if (host && host->GetEngineTable() == mEngineLibrary.GetTable()) host->SetEngineTable(nullptr);
  }
  mEngineLibrary.UnloadEngine();
  mState = kErrNotStarted;
}

void EngineModule::SetProductName(const char* text) {
  Unload();
  mProductName.Assign(text ? text : "");
}

VisualAPI* EngineModule::Acquire() {
  if (mState == kOk) return mEngineLibrary.GetTable();
  if (mState != kErrNotStarted) return nullptr;
  mState = mEngineLibrary.LoadEngineByName(mProductName.mText, nullptr);
  if (mState == kOk) return mEngineLibrary.GetTable();
  mEngineLibrary.UnloadEngine();
  return nullptr;
}

void EngineModule::AddHost(EngineHost* host) {
  mHostList.Append(host);
}

void EngineModule::RemoveHost(EngineHost* host) {
  mHostList.RemoveItem(host);
}

bool EngineModule::HasHost(EngineHost* host) const {
  return mHostList.IndexOf(host, 0) >= 0;
}

void EngineModule::Dump() const {
  TracePrintf(kTraceNewline | 1, "EngineModule (0x%X): state = %d, product name = '%s', hosts = %d",
              unsigned(uintptr_t(this)), mState, mProductName.mText, mHostList.Count());
  mEngineLibrary.Dump();
}
