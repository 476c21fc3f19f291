#include "plugin/ClassFactory.h"

#include "plugin/PluginModule.h"

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
  *object = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() {
  const LONG count = mRefCount.fetch_add(1) + 1;
  if (count == 2) PluginModule::Lock();
  return count;
}

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
  const LONG count = mRefCount.fetch_sub(1) - 1;
  if (count == 1) PluginModule::Unlock();
  if (count == 0) delete this;
  return count;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  return mCreator(outer, iid, object);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
  if (lock)
    PluginModule::Lock();
  else
    PluginModule::Unlock();
  return S_OK;
}
