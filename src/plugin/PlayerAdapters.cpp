#include "plugin/PlayerAdapters.h"

#include <new>

#include "plugin/Bstr.h"

namespace {

class Variant {
 public:
  Variant() { VariantInit(&mValue); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&mValue); }

  VARIANT* Get() { return &mValue; }

 private:
  VARIANT mValue;
};

bool TakeText(const Bstr& text, std::u16string* value) {
  if (!text.Get()) return false;
  value->assign(reinterpret_cast<const char16_t*>(text.Get()), text.Length());
  return true;
}

}  // namespace

bool WmpMediaItem::GetItemInfo(const char16_t* name, std::u16string* value) {
  Bstr attribute(reinterpret_cast<const wchar_t*>(name));
  Bstr text;
  if (!attribute.Get() || FAILED(mMedia->getItemInfo(attribute.Get(), text.Put()))) return false;
  return TakeText(text, value);
}

bool WmpMediaItem::GetPictureUrl(std::u16string* url) {
  ComPtr<IWMPMedia3> media3;
  if (FAILED(mMedia->QueryInterface(__uuidof(IWMPMedia3), media3.PutVoid())) || !media3) return false;
  Bstr type(L"WM/Picture");
  Bstr language(L"");
  Variant picture;
  if (!type.Get() || FAILED(media3->getItemInfoByType(type.Get(), language.Get(), 0, picture.Get())))
    return false;
  if (V_VT(picture.Get()) != VT_DISPATCH || !V_DISPATCH(picture.Get())) return false;
  ComPtr<IWMPMetadataPicture> metadata;
  if (FAILED(V_DISPATCH(picture.Get())->QueryInterface(__uuidof(IWMPMetadataPicture), metadata.PutVoid())) ||
      !metadata) {
    return false;
  }
  Bstr text;
  if (FAILED(metadata->get_URL(text.Put()))) return false;
  return TakeText(text, url);
}

bool WmpMediaItem::GetSourceUrl(std::u16string* url) {
  Bstr text;
  if (FAILED(mMedia->get_sourceURL(text.Put()))) return false;
  return TakeText(text, url);
}

HRESULT WmpEventConnection::Advise(DWORD* cookie) {
  return mPoint->Advise(mSink, cookie);
}

void WmpEventConnection::Unadvise(DWORD cookie) {
  mPoint->Unadvise(cookie);
}

int32_t WmpPlayerCore::GetPlayState() {
  WMPPlayState state = wmppsUndefined;
  mCore->get_playState(&state);
  return static_cast<int32_t>(state);
}

std::unique_ptr<MediaItem> WmpPlayerCore::GetCurrentMedia() {
  ComPtr<IWMPMedia> media;
  if (FAILED(mCore->get_currentMedia(media.Put())) || !media) return nullptr;
  return std::unique_ptr<MediaItem>(new (std::nothrow) WmpMediaItem(media.Get()));
}

HRESULT WmpPlayerCore::FindEventConnection(std::unique_ptr<EventConnection>* connection) {
  ComPtr<IConnectionPointContainer> container;
  HRESULT result = mCore->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
  if (FAILED(result)) return result;
  if (!container) return E_NOINTERFACE;
  ComPtr<IConnectionPoint> point;
  result = container->FindConnectionPoint(__uuidof(IWMPEvents), point.Put());
  if (FAILED(result)) return result;
  if (!point) return E_POINTER;
  connection->reset(new (std::nothrow) WmpEventConnection(std::move(point), mSink));
  return *connection ? result : E_OUTOFMEMORY;
}
