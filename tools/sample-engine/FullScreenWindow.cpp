#include "FullScreenWindow.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace sample_engine {
namespace {

HINSTANCE ModuleInstance() {
  return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

bool gClassRegistered = false;

bool RegisterWindowClass(WNDPROC procedure) {
  if (gClassRegistered) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kFullScreenWindowClass;
  gClassRegistered = RegisterClassExW(&windowClass) != 0;
  return gClassRegistered;
}

}  // namespace

void FullScreenWindow::UnregisterWindowClass() {
  if (gClassRegistered) UnregisterClassW(kFullScreenWindowClass, ModuleInstance());
  gClassRegistered = false;
}

bool FullScreenWindow::Open(HWND target) {
  if (!RegisterWindowClass(&FullScreenWindow::WindowProc)) return false;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(target, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
  const RECT& area = monitor.rcMonitor;
  if (mWindow == nullptr) {
    mWindow = CreateWindowExW(WS_EX_TOPMOST, kFullScreenWindowClass, L"Lumatide", WS_POPUP, area.left,
                              area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                              ModuleInstance(), this);
    if (mWindow == nullptr) return false;
  }
  SetWindowPos(mWindow, HWND_TOPMOST, area.left, area.top, area.right - area.left, area.bottom - area.top,
               SWP_SHOWWINDOW);
  SetForegroundWindow(mWindow);
  SetFocus(mWindow);
  return true;
}

void FullScreenWindow::Close() {
  if (mWindow == nullptr) return;
  HWND window = mWindow;
  mWindow = nullptr;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

LRESULT CALLBACK FullScreenWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<FullScreenWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_KEYDOWN:
      if (self != nullptr) self->mListener.OnFullScreenKey(static_cast<UINT>(wParam));
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_CLOSE:
      if (self != nullptr) self->mListener.OnFullScreenCloseRequest();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // every frame paints the whole window
    case WM_PAINT:
      ValidateRect(window, nullptr);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace sample_engine
