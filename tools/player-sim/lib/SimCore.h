// The player core handed to the visualization with SetCore: play state and
// current media through IWMPCore, and a connection point that delivers the
// player's events (IWMPEvents) to every advised sink.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <vector>

#include "SimMedia.h"
#include "plugin/ComPtr.h"
#include "plugin/WmpEffects.h"

namespace player_sim {

class SimCore final : public IWMPCore, public IConnectionPointContainer {
 public:
  static ComPtr<SimCore> Create();

  // Player actions; each raises the events the player raises for it.
  void SetPlayState(WMPPlayState state);
  void SetCurrentMedia(SimMedia* media);
  void RaisePositionChange(double oldPosition, double newPosition);

  WMPPlayState PlayState() const { return mPlayState; }
  size_t AdvisedSinkCount() const { return mSinks.size(); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;
  // IWMPCore
  HRESULT STDMETHODCALLTYPE close() override;
  HRESULT STDMETHODCALLTYPE get_URL(BSTR* url) override;
  HRESULT STDMETHODCALLTYPE put_URL(BSTR url) override;
  HRESULT STDMETHODCALLTYPE get_openState(WMPOpenState* state) override;
  HRESULT STDMETHODCALLTYPE get_playState(WMPPlayState* state) override;
  HRESULT STDMETHODCALLTYPE get_controls(IWMPControls** controls) override;
  HRESULT STDMETHODCALLTYPE get_settings(IWMPSettings** settings) override;
  HRESULT STDMETHODCALLTYPE get_currentMedia(IWMPMedia** media) override;
  HRESULT STDMETHODCALLTYPE put_currentMedia(IWMPMedia* media) override;
  HRESULT STDMETHODCALLTYPE get_mediaCollection(IWMPMediaCollection** collection) override;
  HRESULT STDMETHODCALLTYPE get_playlistCollection(IWMPPlaylistCollection** collection) override;
  HRESULT STDMETHODCALLTYPE get_versionInfo(BSTR* version) override;
  HRESULT STDMETHODCALLTYPE launchURL(BSTR url) override;
  HRESULT STDMETHODCALLTYPE get_network(IWMPNetwork** network) override;
  HRESULT STDMETHODCALLTYPE get_currentPlaylist(IWMPPlaylist** playlist) override;
  HRESULT STDMETHODCALLTYPE put_currentPlaylist(IWMPPlaylist* playlist) override;
  HRESULT STDMETHODCALLTYPE get_cdromCollection(IWMPCdromCollection** collection) override;
  HRESULT STDMETHODCALLTYPE get_closedCaption(IWMPClosedCaption** caption) override;
  HRESULT STDMETHODCALLTYPE get_isOnline(VARIANT_BOOL* online) override;
  HRESULT STDMETHODCALLTYPE get_Error(IWMPError** error) override;
  HRESULT STDMETHODCALLTYPE get_status(BSTR* status) override;
  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

 private:
  // The event connection point lives inside the core and shares its count.
  class EventConnectionPoint final : public IConnectionPoint {
   public:
    explicit EventConnectionPoint(SimCore& core) : mCore(core) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return mCore.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return mCore.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

   private:
    SimCore& mCore;
  };

  struct Sink {
    DWORD cookie;
    ComPtr<IWMPEvents> events;
  };

  SimCore();
  ~SimCore();
  // Sinks may unadvise while an event is delivered: each event goes to a copy.
  template <typename Event>
  void Raise(Event event);

  ULONG mRefCount = 1;
  WMPPlayState mPlayState = wmppsUndefined;
  ComPtr<SimMedia> mCurrentMedia;
  EventConnectionPoint mConnectionPoint{*this};
  std::vector<Sink> mSinks;
  DWORD mNextCookie = 1;
};

}  // namespace player_sim
