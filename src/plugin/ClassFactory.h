// The class object of a creatable class. The module keeps one reference for
// as long as it is loaded; every further reference, a client's, holds one
// module lock, so the module stays while a client holds the factory.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <atomic>

// Creates an instance and queries it for iid; outer is null or the
// aggregating object (which may only ask for IUnknown).
using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

class ClassFactory : public IClassFactory {
 public:
  explicit ClassFactory(InstanceCreator creator) : mCreator(creator) {}
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  virtual ~ClassFactory() = default;

  std::atomic<LONG> mRefCount{1};
  InstanceCreator mCreator;
};
