// Owns one automation string.
#pragma once

#include <ole2.h>

#include <utility>

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const wchar_t* text) : mText(SysAllocString(text)) {}
  Bstr(Bstr&& other) noexcept : mText(std::exchange(other.mText, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.mText, nullptr));
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { Reset(); }

  BSTR* Put() {
    Reset();
    return &mText;
  }
  void Reset(BSTR text = nullptr) {
    BSTR old = std::exchange(mText, text);
    if (old) SysFreeString(old);
  }
  BSTR Detach() { return std::exchange(mText, nullptr); }
  BSTR Get() const { return mText; }
  UINT Length() const { return SysStringLen(mText); }

 private:
  BSTR mText = nullptr;
};
