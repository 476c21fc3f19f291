#include "SimMedia.h"

#include <atomic>
#include <cwchar>

namespace player_sim {
namespace {

std::atomic<long> gLiveObjects{0};

HRESULT CopyString(const std::wstring& text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

bool SameName(const std::wstring& a, const wchar_t* b) {
  return _wcsicmp(a.c_str(), b) == 0;
}

}  // namespace

long LiveSimObjects() {
  return gLiveObjects.load();
}

// ---- SimPicture

SimPicture::SimPicture(std::wstring url, std::wstring mimeType)
    : mUrl(std::move(url)), mMimeType(std::move(mimeType)) {
  ++gLiveObjects;
}

SimPicture::~SimPicture() {
  --gLiveObjects;
}

HRESULT SimPicture::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWMPMetadataPicture)) {
    *object = static_cast<IWMPMetadataPicture*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG SimPicture::AddRef() {
  return ++mRefCount;
}

ULONG SimPicture::Release() {
  const ULONG left = --mRefCount;
  if (left == 0) delete this;
  return left;
}

HRESULT SimPicture::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT SimPicture::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT SimPicture::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
HRESULT SimPicture::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}
HRESULT SimPicture::get_mimeType(BSTR* mimeType) {
  return CopyString(mMimeType, mimeType);
}
HRESULT SimPicture::get_pictureType(BSTR* pictureType) {
  return CopyString(L"Cover (front)", pictureType);
}
HRESULT SimPicture::get_description(BSTR* description) {
  return CopyString(L"", description);
}
HRESULT SimPicture::get_URL(BSTR* url) {
  return CopyString(mUrl, url);
}

// ---- SimMedia

ComPtr<SimMedia> SimMedia::Create(MediaDescription description) {
  ComPtr<SimMedia> media;
  media.Reset(new SimMedia(std::move(description)));
  return media;
}

SimMedia::SimMedia(MediaDescription description) : mDescription(std::move(description)) {
  ++gLiveObjects;
}

SimMedia::~SimMedia() {
  --gLiveObjects;
}

HRESULT SimMedia::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWMPMedia) ||
      iid == __uuidof(IWMPMedia2) || iid == __uuidof(IWMPMedia3)) {
    *object = static_cast<IWMPMedia3*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG SimMedia::AddRef() {
  return ++mRefCount;
}

ULONG SimMedia::Release() {
  const ULONG left = --mRefCount;
  if (left == 0) delete this;
  return left;
}

HRESULT SimMedia::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT SimMedia::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT SimMedia::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
HRESULT SimMedia::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT SimMedia::get_isIdentical(IWMPMedia* other, VARIANT_BOOL* identical) {
  if (identical == nullptr) return E_POINTER;
  *identical = other == static_cast<IWMPMedia*>(this) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
HRESULT SimMedia::get_sourceURL(BSTR* url) {
  return CopyString(mDescription.sourceUrl, url);
}
HRESULT SimMedia::get_name(BSTR* name) {
  return CopyString(mDescription.name, name);
}
HRESULT SimMedia::put_name(BSTR name) {
  mDescription.name = name != nullptr ? name : L"";
  return S_OK;
}
HRESULT SimMedia::get_imageSourceWidth(LONG* width) {
  if (width == nullptr) return E_POINTER;
  *width = 0;
  return S_OK;
}
HRESULT SimMedia::get_imageSourceHeight(LONG* height) {
  if (height == nullptr) return E_POINTER;
  *height = 0;
  return S_OK;
}
HRESULT SimMedia::get_markerCount(LONG* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT SimMedia::getMarkerTime(LONG, double* time) {
  if (time != nullptr) *time = 0.0;
  return E_INVALIDARG;
}
HRESULT SimMedia::getMarkerName(LONG, BSTR* name) {
  if (name != nullptr) *name = nullptr;
  return E_INVALIDARG;
}
HRESULT SimMedia::get_duration(double* duration) {
  if (duration == nullptr) return E_POINTER;
  *duration = mDescription.durationSeconds;
  return S_OK;
}
HRESULT SimMedia::get_durationString(BSTR* duration) {
  const int total = static_cast<int>(mDescription.durationSeconds + 0.5);
  wchar_t text[32];
  swprintf(text, 32, L"%02d:%02d", total / 60, total % 60);
  return CopyString(text, duration);
}
HRESULT SimMedia::get_attributeCount(LONG* count) {
  if (count == nullptr) return E_POINTER;
  *count = static_cast<LONG>(mDescription.attributes.size());
  return S_OK;
}
HRESULT SimMedia::getAttributeName(LONG index, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  if (index < 0 || static_cast<size_t>(index) >= mDescription.attributes.size()) return E_INVALIDARG;
  return CopyString(mDescription.attributes[static_cast<size_t>(index)].first, name);
}

const std::wstring* SimMedia::FindAttribute(const wchar_t* name) const {
  if (name == nullptr) return nullptr;
  for (const auto& [key, value] : mDescription.attributes) {
    if (SameName(key, name)) return &value;
  }
  // The player documents "Artist" as an alias of "Author".
  if (_wcsicmp(name, L"Artist") == 0) return FindAttribute(L"Author");
  return nullptr;
}

HRESULT SimMedia::getItemInfo(BSTR name, BSTR* value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  if (name == nullptr) return E_INVALIDARG;
  if (SameName(L"SourceURL", name)) return CopyString(mDescription.sourceUrl, value);
  if (SameName(L"Duration", name)) return CopyString(std::to_wstring(mDescription.durationSeconds), value);
  const std::wstring* found = FindAttribute(name);
  // An attribute the media lacks reads as an empty string, as in the player.
  return CopyString(found != nullptr ? *found : std::wstring(), value);
}

HRESULT SimMedia::setItemInfo(BSTR name, BSTR value) {
  if (name == nullptr) return E_INVALIDARG;
  for (auto& [key, existing] : mDescription.attributes) {
    if (SameName(key, name)) {
      existing = value != nullptr ? value : L"";
      return S_OK;
    }
  }
  mDescription.attributes.emplace_back(name, value != nullptr ? value : L"");
  return S_OK;
}

HRESULT SimMedia::getItemInfoByAtom(LONG, BSTR* value) {
  if (value != nullptr) *value = nullptr;
  return E_NOTIMPL;
}
HRESULT SimMedia::isMemberOf(IWMPPlaylist*, VARIANT_BOOL* member) {
  if (member == nullptr) return E_POINTER;
  *member = VARIANT_FALSE;
  return S_OK;
}
HRESULT SimMedia::isReadOnlyItem(BSTR, VARIANT_BOOL* readOnly) {
  if (readOnly == nullptr) return E_POINTER;
  *readOnly = VARIANT_TRUE;
  return S_OK;
}
HRESULT SimMedia::get_error(IWMPErrorItem** error) {
  if (error == nullptr) return E_POINTER;
  *error = nullptr;
  return S_FALSE;
}

HRESULT SimMedia::getAttributeCountByType(BSTR type, BSTR, LONG* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  if (type == nullptr) return E_INVALIDARG;
  if (SameName(L"WM/Picture", type)) {
    *count = mDescription.pictureUrl.empty() ? 0 : 1;
  } else {
    *count = FindAttribute(type) != nullptr ? 1 : 0;
  }
  return S_OK;
}

HRESULT SimMedia::getItemInfoByType(BSTR type, BSTR, LONG index, VARIANT* value) {
  if (value == nullptr) return E_POINTER;
  VariantInit(value);
  if (type == nullptr) return E_INVALIDARG;
  if (index != 0) return E_INVALIDARG;
  if (SameName(L"WM/Picture", type)) {
    if (mDescription.pictureUrl.empty()) return E_INVALIDARG;
    value->vt = VT_DISPATCH;
    value->pdispVal = new SimPicture(mDescription.pictureUrl, mDescription.pictureMimeType);
    return S_OK;
  }
  const std::wstring* found = FindAttribute(type);
  if (found == nullptr) return E_INVALIDARG;
  value->vt = VT_BSTR;
  value->bstrVal = SysAllocStringLen(found->data(), static_cast<UINT>(found->size()));
  return value->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace player_sim
