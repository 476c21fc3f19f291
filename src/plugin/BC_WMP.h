// The COM class the player creates: the dual interface IBC_WMP, the effect
// interfaces IWMPEffects2/IWMPEffects and the event sink IWMPEvents, over the
// plug-in object's logic. Apartment-threaded, so the count is not atomic.
// Aggregatable: with an outer object, every interface but the inner
// IUnknown delegates to it.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include "plugin/ComPtr.h"
#include "plugin/PluginObject.h"
#include "plugin/WmpEffects.h"

// No methods beyond IDispatch; its id is kIidIBC_WMP.
struct IBC_WMP : public IDispatch {};

class BC_WMP final : public IBC_WMP, public IWMPEffects2, public IWMPEvents {
 public:
  // outer is null or the aggregating object, which may only ask for IUnknown.
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object);

  BC_WMP(const BC_WMP&) = delete;
  BC_WMP& operator=(const BC_WMP&) = delete;

  // IUnknown, delegating to the controlling unknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch, from the module's type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // IWMPEffects
  HRESULT STDMETHODCALLTYPE Render(TimedLevel* levels, HDC hdc, RECT* rect) override;
  HRESULT STDMETHODCALLTYPE MediaInfo(LONG channelCount, LONG sampleRate, BSTR title) override;
  HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* capabilities) override;
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
  HRESULT STDMETHODCALLTYPE GetPresetTitle(LONG preset, BSTR* title) override;
  HRESULT STDMETHODCALLTYPE GetPresetCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE SetCurrentPreset(LONG preset) override;
  HRESULT STDMETHODCALLTYPE GetCurrentPreset(LONG* preset) override;
  HRESULT STDMETHODCALLTYPE DisplayPropertyPage(HWND owner) override;
  HRESULT STDMETHODCALLTYPE GoFullscreen(BOOL fullScreen) override;
  HRESULT STDMETHODCALLTYPE RenderFullScreen(TimedLevel* levels) override;

  // IWMPEffects2
  HRESULT STDMETHODCALLTYPE SetCore(IWMPCore* core) override;
  HRESULT STDMETHODCALLTYPE Create(HWND parent) override;
  HRESULT STDMETHODCALLTYPE Destroy() override;
  HRESULT STDMETHODCALLTYPE NotifyNewMedia(IWMPMedia* media) override;
  HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                            LRESULT* result) override;
  HRESULT STDMETHODCALLTYPE RenderWindowed(TimedLevel* levels, BOOL requiredRender) override;

  // IWMPEvents: three are used, the rest are accepted and ignored.
  void STDMETHODCALLTYPE OpenStateChange(LONG) override {}
  void STDMETHODCALLTYPE PlayStateChange(LONG state) override;
  void STDMETHODCALLTYPE AudioLanguageChange(LONG) override {}
  void STDMETHODCALLTYPE StatusChange() override {}
  void STDMETHODCALLTYPE ScriptCommand(BSTR, BSTR) override {}
  void STDMETHODCALLTYPE NewStream() override {}
  void STDMETHODCALLTYPE Disconnect(LONG) override {}
  void STDMETHODCALLTYPE Buffering(VARIANT_BOOL) override {}
  void STDMETHODCALLTYPE Error() override {}
  void STDMETHODCALLTYPE Warning(LONG, LONG, BSTR) override {}
  void STDMETHODCALLTYPE EndOfStream(LONG) override {}
  void STDMETHODCALLTYPE PositionChange(double oldPosition, double newPosition) override;
  void STDMETHODCALLTYPE MarkerHit(LONG) override {}
  void STDMETHODCALLTYPE DurationUnitChange(LONG) override {}
  void STDMETHODCALLTYPE CdromMediaChange(LONG) override {}
  void STDMETHODCALLTYPE PlaylistChange(IDispatch*, WMPPlaylistChangeEventType) override {}
  void STDMETHODCALLTYPE CurrentPlaylistChange(WMPPlaylistChangeEventType) override {}
  void STDMETHODCALLTYPE CurrentPlaylistItemAvailable(BSTR) override {}
  void STDMETHODCALLTYPE MediaChange(IDispatch* item) override;
  void STDMETHODCALLTYPE CurrentMediaItemAvailable(BSTR) override {}
  void STDMETHODCALLTYPE CurrentItemChange(IDispatch*) override {}
  void STDMETHODCALLTYPE MediaCollectionChange() override {}
  void STDMETHODCALLTYPE MediaCollectionAttributeStringAdded(BSTR, BSTR) override {}
  void STDMETHODCALLTYPE MediaCollectionAttributeStringRemoved(BSTR, BSTR) override {}
  void STDMETHODCALLTYPE MediaCollectionAttributeStringChanged(BSTR, BSTR, BSTR) override {}
  void STDMETHODCALLTYPE PlaylistCollectionChange() override {}
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistAdded(BSTR) override {}
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistRemoved(BSTR) override {}
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistSetAsDeleted(BSTR, VARIANT_BOOL) override {}
  void STDMETHODCALLTYPE ModeChange(BSTR, VARIANT_BOOL) override {}
  void STDMETHODCALLTYPE MediaError(IDispatch*) override {}
  void STDMETHODCALLTYPE OpenPlaylistSwitch(IDispatch*) override {}
  void STDMETHODCALLTYPE DomainChange(BSTR) override {}
  void STDMETHODCALLTYPE SwitchedToPlayerApplication() override {}
  void STDMETHODCALLTYPE SwitchedToControl() override {}
  void STDMETHODCALLTYPE PlayerDockedStateChange() override {}
  void STDMETHODCALLTYPE PlayerReconnect() override {}
  void STDMETHODCALLTYPE Click(short, short, LONG, LONG) override {}
  void STDMETHODCALLTYPE DoubleClick(short, short, LONG, LONG) override {}
  void STDMETHODCALLTYPE KeyDown(short, short) override {}
  void STDMETHODCALLTYPE KeyPress(short) override {}
  void STDMETHODCALLTYPE KeyUp(short, short) override {}
  void STDMETHODCALLTYPE MouseDown(short, short, LONG, LONG) override {}
  void STDMETHODCALLTYPE MouseMove(short, short, LONG, LONG) override {}
  void STDMETHODCALLTYPE MouseUp(short, short, LONG, LONG) override {}

  PluginObject& Plugin() { return mPlugin; }

 private:
  // The object's own IUnknown: never delegates.
  class InnerUnknown : public IUnknown {
   public:
    explicit InnerUnknown(BC_WMP* owner) : mOwner(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

   private:
    BC_WMP* mOwner;
  };

  explicit BC_WMP(IUnknown* outer);
  ~BC_WMP();

  // What QueryInterface answers for IUnknown; advised on the player's events.
  IUnknown* Identity();
  HRESULT LoadTypeInfo();

  LONG mRefCount = 0;
  InnerUnknown mInner;
  IUnknown* mControllingUnknown;
  bool mAggregated;
  PluginObject mPlugin;
  ComPtr<ITypeInfo> mTypeInfo;
};
