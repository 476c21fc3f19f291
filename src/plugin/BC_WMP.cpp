#include "plugin/BC_WMP.h"

#include <new>
#include <string>

#include "plugin/Bstr.h"
#include "plugin/PlayerAdapters.h"
#include "plugin/PluginIds.h"
#include "plugin/PluginModule.h"
#include "text/WideText.h"

namespace {

// Preset titles are converted into this many UTF-16 units, the zero included.
constexpr int kPresetTitleUnits = 63;

}  // namespace

BC_WMP::BC_WMP(IUnknown* outer)
    : mInner(this), mControllingUnknown(outer ? outer : &mInner), mAggregated(outer != nullptr) {
  PluginModule::Lock();
}

BC_WMP::~BC_WMP() {
  PluginModule::Unlock();
}

HRESULT BC_WMP::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  BC_WMP* plugin = new (std::nothrow) BC_WMP(outer);
  if (!plugin) return E_OUTOFMEMORY;
  const HRESULT result = plugin->mInner.QueryInterface(iid, object);
  if (FAILED(result)) delete plugin;
  return result;
}

IUnknown* BC_WMP::Identity() {
  if (mAggregated) return &mInner;
  return static_cast<IBC_WMP*>(this);
}

HRESULT STDMETHODCALLTYPE BC_WMP::InnerUnknown::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, kIidIBC_WMP) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IBC_WMP*>(mOwner);
  } else if (IsEqualIID(iid, __uuidof(IWMPEvents))) {
    *object = static_cast<IWMPEvents*>(mOwner);
  } else if (IsEqualIID(iid, __uuidof(IWMPEffects)) || IsEqualIID(iid, __uuidof(IWMPEffects2))) {
    *object = static_cast<IWMPEffects2*>(mOwner);
  } else if (IsEqualIID(iid, IID_IUnknown)) {
    *object = mOwner->Identity();
  } else {
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*object)->AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE BC_WMP::InnerUnknown::AddRef() {
  return ++mOwner->mRefCount;
}

ULONG STDMETHODCALLTYPE BC_WMP::InnerUnknown::Release() {
  const LONG count = --mOwner->mRefCount;
  if (count == 0) delete mOwner;
  return count;
}

HRESULT STDMETHODCALLTYPE BC_WMP::QueryInterface(REFIID iid, void** object) {
  return mControllingUnknown->QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE BC_WMP::AddRef() {
  return mControllingUnknown->AddRef();
}

ULONG STDMETHODCALLTYPE BC_WMP::Release() {
  return mControllingUnknown->Release();
}

HRESULT BC_WMP::LoadTypeInfo() {
  if (mTypeInfo) return S_OK;
  const std::wstring path = PluginModule::Path();
  if (path.empty() || !PluginModule::Handle()) return TYPE_E_CANTLOADLIBRARY;
  ComPtr<ITypeLib> library;
  HRESULT result = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
  if (SUCCEEDED(result)) result = library->GetTypeInfoOfGuid(kIidIBC_WMP, mTypeInfo.Put());
  return result;
}

HRESULT STDMETHODCALLTYPE BC_WMP::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE BC_WMP::GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) {
  if (!typeInfo) return E_POINTER;
  *typeInfo = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  const HRESULT result = LoadTypeInfo();
  if (FAILED(result)) return result;
  *typeInfo = ComPtr<ITypeInfo>::Retain(mTypeInfo.Get()).Detach();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE BC_WMP::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  const HRESULT result = LoadTypeInfo();
  if (FAILED(result)) return result;
  return DispGetIDsOfNames(mTypeInfo.Get(), names, count, ids);
}

HRESULT STDMETHODCALLTYPE BC_WMP::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                         VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!parameters) return E_POINTER;
  const HRESULT loaded = LoadTypeInfo();
  if (FAILED(loaded)) return loaded;
  return DispInvoke(static_cast<IBC_WMP*>(this), mTypeInfo.Get(), id, flags, parameters, result, exception,
                    argumentError);
}

HRESULT STDMETHODCALLTYPE BC_WMP::Render(TimedLevel*, HDC, RECT*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BC_WMP::MediaInfo(LONG, LONG, BSTR) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE BC_WMP::GetCapabilities(DWORD* capabilities) {
  if (!capabilities) return E_POINTER;
  *capabilities = EFFECT_CANGOFULLSCREEN;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE BC_WMP::GetTitle(BSTR* title) {
  if (!title) return E_POINTER;
  *title = nullptr;
  const char* name = PluginObject::ProductName();
  const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, nullptr, 0);
  if (units <= 0) return E_FAIL;
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, wide.data(), units);
  *title = SysAllocString(wide.c_str());
  return *title ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE BC_WMP::GetPresetTitle(LONG preset, BSTR* title) {
  if (title) *title = nullptr;
  if (preset != 0) return E_INVALIDARG;
  const char* name = PluginObject::ProductName();
  char16_t units[kPresetTitleUnits] = {};
  const int count = Utf8ToUtf16(name, -1, units, kPresetTitleUnits - 1, false);
  if (count <= 0) return E_INVALIDARG;
  units[count] = 0;
  if (!title) return S_OK;
  *title = SysAllocString(reinterpret_cast<const wchar_t*>(units));
  return *title ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE BC_WMP::GetPresetCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = PluginObject::kPresetCount;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE BC_WMP::SetCurrentPreset(LONG preset) {
  return mPlugin.SetCurrentPreset(preset);
}

HRESULT STDMETHODCALLTYPE BC_WMP::GetCurrentPreset(LONG* preset) {
  if (!preset) return E_POINTER;
  *preset = mPlugin.GetCurrentPreset();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE BC_WMP::DisplayPropertyPage(HWND) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BC_WMP::GoFullscreen(BOOL fullScreen) {
  return mPlugin.GoFullscreen(fullScreen != FALSE);
}

HRESULT STDMETHODCALLTYPE BC_WMP::RenderFullScreen(TimedLevel* levels) {
  return RenderWindowed(levels, FALSE);
}

HRESULT STDMETHODCALLTYPE BC_WMP::SetCore(IWMPCore* core) {
  if (!core) return mPlugin.SetCore(nullptr);
  std::unique_ptr<PlayerCore> adapter(new (std::nothrow) WmpPlayerCore(core, Identity()));
  if (!adapter) {
    mPlugin.SetCore(nullptr);
    return E_OUTOFMEMORY;
  }
  return mPlugin.SetCore(std::move(adapter));
}

HRESULT STDMETHODCALLTYPE BC_WMP::Create(HWND parent) {
  return mPlugin.Create(parent);
}

HRESULT STDMETHODCALLTYPE BC_WMP::Destroy() {
  return mPlugin.Destroy();
}

HRESULT STDMETHODCALLTYPE BC_WMP::NotifyNewMedia(IWMPMedia* media) {
  if (!media) return mPlugin.NotifyNewMedia(nullptr);
  WmpMediaItem item(media);
  return mPlugin.NotifyNewMedia(&item);
}

HRESULT STDMETHODCALLTYPE BC_WMP::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                  LRESULT* result) {
  return mPlugin.OnWindowMessage(message, wParam, lParam, result);
}

HRESULT STDMETHODCALLTYPE BC_WMP::RenderWindowed(TimedLevel* levels, BOOL) {
  return mPlugin.RenderWindowed(levels);
}

void STDMETHODCALLTYPE BC_WMP::PlayStateChange(LONG state) {
  mPlugin.OnPlayStateChange(state);
}

void STDMETHODCALLTYPE BC_WMP::PositionChange(double, double) {
  mPlugin.OnPositionChange();
}

void STDMETHODCALLTYPE BC_WMP::MediaChange(IDispatch* item) {
  mPlugin.OnMediaChange(item != nullptr);
}
