// The player's media object for one playlist item: its attributes (the
// file's tags, WM/WMCollectionID, ...), its source path, and an embedded
// picture when one was given, offered through IWMPMedia3 as the player does.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "plugin/ComPtr.h"
#include "plugin/WmpEffects.h"

namespace player_sim {

struct MediaDescription {
  std::wstring sourceUrl;
  std::wstring name;
  double durationSeconds = 0.0;
  // Name and value, looked up without regard to case; "Author" also
  // answers "Artist".
  std::vector<std::pair<std::wstring, std::wstring>> attributes;
  std::wstring pictureUrl;  // empty: no embedded picture
  std::wstring pictureMimeType;
};

// Count of simulator COM objects alive in the process, for leak checks.
long LiveSimObjects();

class SimPicture final : public IWMPMetadataPicture {
 public:
  SimPicture(std::wstring url, std::wstring mimeType);
  ~SimPicture();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;
  HRESULT STDMETHODCALLTYPE get_mimeType(BSTR* mimeType) override;
  HRESULT STDMETHODCALLTYPE get_pictureType(BSTR* pictureType) override;
  HRESULT STDMETHODCALLTYPE get_description(BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_URL(BSTR* url) override;

 private:
  ULONG mRefCount = 1;
  std::wstring mUrl;
  std::wstring mMimeType;
};

class SimMedia final : public IWMPMedia3 {
 public:
  static ComPtr<SimMedia> Create(MediaDescription description);

  const MediaDescription& Description() const { return mDescription; }

  // IUnknown, IDispatch
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;
  // IWMPMedia
  HRESULT STDMETHODCALLTYPE get_isIdentical(IWMPMedia* other, VARIANT_BOOL* identical) override;
  HRESULT STDMETHODCALLTYPE get_sourceURL(BSTR* url) override;
  HRESULT STDMETHODCALLTYPE get_name(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE put_name(BSTR name) override;
  HRESULT STDMETHODCALLTYPE get_imageSourceWidth(LONG* width) override;
  HRESULT STDMETHODCALLTYPE get_imageSourceHeight(LONG* height) override;
  HRESULT STDMETHODCALLTYPE get_markerCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE getMarkerTime(LONG, double* time) override;
  HRESULT STDMETHODCALLTYPE getMarkerName(LONG, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_duration(double* duration) override;
  HRESULT STDMETHODCALLTYPE get_durationString(BSTR* duration) override;
  HRESULT STDMETHODCALLTYPE get_attributeCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE getAttributeName(LONG index, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE getItemInfo(BSTR name, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE setItemInfo(BSTR name, BSTR value) override;
  HRESULT STDMETHODCALLTYPE getItemInfoByAtom(LONG atom, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE isMemberOf(IWMPPlaylist* playlist, VARIANT_BOOL* member) override;
  HRESULT STDMETHODCALLTYPE isReadOnlyItem(BSTR name, VARIANT_BOOL* readOnly) override;
  // IWMPMedia2
  HRESULT STDMETHODCALLTYPE get_error(IWMPErrorItem** error) override;
  // IWMPMedia3
  HRESULT STDMETHODCALLTYPE getAttributeCountByType(BSTR type, BSTR language, LONG* count) override;
  HRESULT STDMETHODCALLTYPE getItemInfoByType(BSTR type, BSTR language, LONG index, VARIANT* value) override;

 private:
  explicit SimMedia(MediaDescription description);
  ~SimMedia();
  const std::wstring* FindAttribute(const wchar_t* name) const;

  ULONG mRefCount = 1;
  MediaDescription mDescription;
};

}  // namespace player_sim
