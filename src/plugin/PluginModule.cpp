#include "plugin/PluginModule.h"

#include <atomic>
#include <new>

#include "plugin/BC_WMP.h"
#include "plugin/ClassFactory.h"
#include "plugin/PluginIds.h"

namespace {

struct ClassEntry {
  const CLSID* clsid;
  InstanceCreator createInstance;
  ClassFactory* factory;  // created on first request, kept until detach
};

ClassEntry gClasses[] = {
    {&kClsidBC_WMP, &BC_WMP::CreateInstance, nullptr},
};

HMODULE gModule = nullptr;
std::atomic<LONG> gLockCount{0};
SRWLOCK gFactoryLock = SRWLOCK_INIT;

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : mLock(lock) { AcquireSRWLockExclusive(&mLock); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&mLock); }

 private:
  SRWLOCK& mLock;
};

ClassEntry* FindClass(REFCLSID clsid) {
  for (ClassEntry& entry : gClasses) {
    if (IsEqualCLSID(clsid, *entry.clsid)) return &entry;
  }
  return nullptr;
}

}  // namespace

void PluginModule::Attach(HMODULE module) {
  gModule = module;
}

void PluginModule::Detach() {
  for (ClassEntry& entry : gClasses) {
    if (entry.factory) entry.factory->Release();
    entry.factory = nullptr;
  }
  gModule = nullptr;
}

HMODULE PluginModule::Handle() {
  return gModule;
}

std::wstring PluginModule::Path() {
  if (!gModule) return std::wstring();
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(gModule, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void PluginModule::Lock() {
  gLockCount.fetch_add(1);
}

void PluginModule::Unlock() {
  LONG count = gLockCount.load();
  while (count > 0 && !gLockCount.compare_exchange_weak(count, count - 1)) {
  }
}

LONG PluginModule::LockCount() {
  return gLockCount.load();
}

HRESULT PluginModule::CanUnloadNow() {
  return LockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT PluginModule::GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  ClassEntry* entry = FindClass(clsid);
  if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
  ClassFactory* factory;
  {
    ExclusiveLock lock(gFactoryLock);
    if (!entry->factory) entry->factory = new (std::nothrow) ClassFactory(entry->createInstance);
    factory = entry->factory;
  }
  if (!factory) return E_OUTOFMEMORY;
  return factory->QueryInterface(iid, object);
}
