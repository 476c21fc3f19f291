#include "SimCore.h"

#include <olectl.h>

#include <algorithm>

namespace player_sim {
namespace {

template <typename T>
HRESULT NotAvailable(T** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

HRESULT CopyString(const wchar_t* text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = SysAllocString(text);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

ComPtr<SimCore> SimCore::Create() {
  ComPtr<SimCore> core;
  core.Reset(new SimCore());
  return core;
}

SimCore::SimCore() = default;
SimCore::~SimCore() = default;

template <typename Event>
void SimCore::Raise(Event event) {
  std::vector<ComPtr<IWMPEvents>> sinks;
  for (const Sink& sink : mSinks) sinks.push_back(ComPtr<IWMPEvents>::Retain(sink.events.Get()));
  for (const ComPtr<IWMPEvents>& sink : sinks) event(sink.Get());
}

void SimCore::SetPlayState(WMPPlayState state) {
  mPlayState = state;
  Raise([state](IWMPEvents* events) { events->PlayStateChange(state); });
}

void SimCore::SetCurrentMedia(SimMedia* media) {
  mCurrentMedia = ComPtr<SimMedia>::Retain(media);
  if (media == nullptr) return;
  ComPtr<IDispatch> item;
  media->QueryInterface(IID_IDispatch, item.PutVoid());
  Raise([&item](IWMPEvents* events) { events->MediaChange(item.Get()); });
  Raise([&item](IWMPEvents* events) { events->CurrentItemChange(item.Get()); });
}

void SimCore::RaisePositionChange(double oldPosition, double newPosition) {
  Raise([=](IWMPEvents* events) { events->PositionChange(oldPosition, newPosition); });
}

HRESULT SimCore::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWMPCore)) {
    *object = static_cast<IWMPCore*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG SimCore::AddRef() {
  return ++mRefCount;
}

ULONG SimCore::Release() {
  const ULONG left = --mRefCount;
  if (left == 0) delete this;
  return left;
}

HRESULT SimCore::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT SimCore::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  return NotAvailable(info);
}
HRESULT SimCore::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
HRESULT SimCore::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT SimCore::close() {
  SetPlayState(wmppsStopped);
  mCurrentMedia.Reset();
  return S_OK;
}
HRESULT SimCore::get_URL(BSTR* url) {
  if (url == nullptr) return E_POINTER;
  if (!mCurrentMedia) return CopyString(L"", url);
  return mCurrentMedia->get_sourceURL(url);
}
HRESULT SimCore::put_URL(BSTR) {
  return E_NOTIMPL;
}
HRESULT SimCore::get_openState(WMPOpenState* state) {
  if (state == nullptr) return E_POINTER;
  *state = mCurrentMedia ? wmposMediaOpen : wmposUndefined;
  return S_OK;
}
HRESULT SimCore::get_playState(WMPPlayState* state) {
  if (state == nullptr) return E_POINTER;
  *state = mPlayState;
  return S_OK;
}
HRESULT SimCore::get_controls(IWMPControls** controls) {
  return NotAvailable(controls);
}
HRESULT SimCore::get_settings(IWMPSettings** settings) {
  return NotAvailable(settings);
}
HRESULT SimCore::get_currentMedia(IWMPMedia** media) {
  if (media == nullptr) return E_POINTER;
  *media = nullptr;
  if (!mCurrentMedia) return S_FALSE;
  *media = static_cast<IWMPMedia3*>(mCurrentMedia.Get());
  (*media)->AddRef();
  return S_OK;
}
HRESULT SimCore::put_currentMedia(IWMPMedia*) {
  return E_NOTIMPL;
}
HRESULT SimCore::get_mediaCollection(IWMPMediaCollection** collection) {
  return NotAvailable(collection);
}
HRESULT SimCore::get_playlistCollection(IWMPPlaylistCollection** collection) {
  return NotAvailable(collection);
}
HRESULT SimCore::get_versionInfo(BSTR* version) {
  return CopyString(L"12.0.0.0 (player simulator)", version);
}
HRESULT SimCore::launchURL(BSTR) {
  return E_NOTIMPL;
}
HRESULT SimCore::get_network(IWMPNetwork** network) {
  return NotAvailable(network);
}
HRESULT SimCore::get_currentPlaylist(IWMPPlaylist** playlist) {
  return NotAvailable(playlist);
}
HRESULT SimCore::put_currentPlaylist(IWMPPlaylist*) {
  return E_NOTIMPL;
}
HRESULT SimCore::get_cdromCollection(IWMPCdromCollection** collection) {
  return NotAvailable(collection);
}
HRESULT SimCore::get_closedCaption(IWMPClosedCaption** caption) {
  return NotAvailable(caption);
}
HRESULT SimCore::get_isOnline(VARIANT_BOOL* online) {
  if (online == nullptr) return E_POINTER;
  *online = VARIANT_FALSE;
  return S_OK;
}
HRESULT SimCore::get_Error(IWMPError** error) {
  return NotAvailable(error);
}
HRESULT SimCore::get_status(BSTR* status) {
  switch (mPlayState) {
    case wmppsPlaying:
      return CopyString(L"Playing", status);
    case wmppsPaused:
      return CopyString(L"Paused", status);
    default:
      return CopyString(L"Stopped", status);
  }
}

HRESULT SimCore::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return NotAvailable(points);
}

HRESULT SimCore::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (iid != __uuidof(IWMPEvents)) return CONNECT_E_NOCONNECTION;
  *point = &mConnectionPoint;
  AddRef();
  return S_OK;
}

// ---- EventConnectionPoint

HRESULT SimCore::EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

HRESULT SimCore::EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = __uuidof(IWMPEvents);
  return S_OK;
}

HRESULT SimCore::EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = &mCore;
  mCore.AddRef();
  return S_OK;
}

HRESULT SimCore::EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  ComPtr<IWMPEvents> events;
  if (FAILED(sink->QueryInterface(__uuidof(IWMPEvents), events.PutVoid()))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = mCore.mNextCookie++;
  mCore.mSinks.push_back({*cookie, std::move(events)});
  return S_OK;
}

HRESULT SimCore::EventConnectionPoint::Unadvise(DWORD cookie) {
  auto& sinks = mCore.mSinks;
  const auto it =
      std::find_if(sinks.begin(), sinks.end(), [cookie](const Sink& s) { return s.cookie == cookie; });
  if (it == sinks.end()) return CONNECT_E_NOCONNECTION;
  sinks.erase(it);
  return S_OK;
}

HRESULT SimCore::EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
  return NotAvailable(connections);
}

}  // namespace player_sim
