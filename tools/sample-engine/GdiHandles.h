// Owning wrappers for the GDI objects the engine creates, and a guard that
// puts back what a device context held before an object was selected into it.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace sample_engine {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct MemoryDcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};

using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object) : mDc(dc), mPrevious(SelectObject(dc, object)) {}
  ~SelectionGuard() { SelectObject(mDc, mPrevious); }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  HDC mDc;
  HGDIOBJ mPrevious;
};

// The device context of a window, released on scope exit.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : mWindow(window), mDc(GetDC(window)) {}
  ~WindowDc() {
    if (mDc != nullptr) ReleaseDC(mWindow, mDc);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return mDc; }

 private:
  HWND mWindow;
  HDC mDc;
};

}  // namespace sample_engine
