#include "PlayerWindow.h"

#include <chrono>

namespace player_sim {
namespace {

constexpr wchar_t kPaneClass[] = L"PlayerSimVisualizationPane";
constexpr BYTE kSkinBarAlpha = 200;
constexpr double kSeekSeconds = 5.0;

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

bool RegisterOnce(const wchar_t* name, WNDPROC procedure, HBRUSH background, UINT style) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(Instance(), name, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = Instance();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0;
}

template <typename Owner>
Owner* OwnerOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

double MonotonicSeconds() {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point start = Clock::now();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

PlayerWindow::~PlayerWindow() {
  mOverlay.reset();
  mPane.reset();
  mMain.reset();
}

bool PlayerWindow::Create(const PlayerWindowLayout& layout) {
  mOverlay.reset();
  mPane.reset();
  mMain.reset();
  mFailedStep = "window classes";
  if (!RegisterOnce(kPlayerMainClass, &PlayerWindow::MainProc, GetSysColorBrush(COLOR_BTNFACE), 0) ||
      !RegisterOnce(kPaneClass, &PlayerWindow::PaneProc, nullptr, CS_DBLCLKS) ||
      !RegisterOnce(kSkinHostClass, &PlayerWindow::OverlayProc, nullptr, 0)) {
    return false;
  }
  mFailedStep = "main window";
  RECT frame{0, 0, layout.paneWidth, layout.paneHeight + kStatusStripHeight};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  mMain.reset(CreateWindowExW(0, kPlayerMainClass, layout.title.c_str(), style, 40, 40,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              Instance(), this));
  if (!mMain) return false;
  mFailedStep = "visualization pane";
  mPane.reset(CreateWindowExW(0, kPaneClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                              layout.paneWidth, layout.paneHeight, mMain.get(), nullptr, Instance(), this));
  if (!mPane) return false;
  if (layout.skinOverlay) {
    mFailedStep = "skin bar";
    mOverlay.reset(CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kSkinHostClass, L"",
                                   WS_POPUP, 0, 0, layout.paneWidth, kSkinBarHeight, mMain.get(), nullptr,
                                   Instance(), this));
    if (!mOverlay) return false;
    SetLayeredWindowAttributes(mOverlay.get(), 0, kSkinBarAlpha, LWA_ALPHA);
  }
  ShowWindow(mMain.get(), SW_SHOWNORMAL);
  LayOut();
  if (mOverlay) ShowWindow(mOverlay.get(), SW_SHOWNOACTIVATE);
  UpdateWindow(mMain.get());
  SetForegroundWindow(mMain.get());
  SetFocus(mPane.get());
  mFailedStep = "";
  return true;
}

void PlayerWindow::SetStatus(const std::wstring& text) {
  if (text == mStatus || !mMain) return;
  mStatus = text;
  RECT client{};
  GetClientRect(mMain.get(), &client);
  client.top = client.bottom - kStatusStripHeight;
  InvalidateRect(mMain.get(), &client, FALSE);
}

void PlayerWindow::LayOut() {
  if (!mMain || !mPane) return;
  RECT client{};
  GetClientRect(mMain.get(), &client);
  const int paneHeight = client.bottom - kStatusStripHeight;
  MoveWindow(mPane.get(), 0, 0, client.right, paneHeight > 0 ? paneHeight : 0, TRUE);
  if (!mOverlay) return;
  // Same left, right and bottom edges as the pane: a bar the visualization
  // must keep its content above.
  RECT pane{};
  GetWindowRect(mPane.get(), &pane);
  SetWindowPos(mOverlay.get(), HWND_TOP, pane.left, pane.bottom - kSkinBarHeight, pane.right - pane.left,
               kSkinBarHeight, SWP_NOACTIVATE);
}

bool PlayerWindow::HandlePlayerKey(UINT message, WPARAM key) {
  if (message == WM_SYSKEYDOWN && key == VK_RETURN) {
    // The posted toggle from the visualization carries no Alt bit: accept both.
    mListener.OnToggleFullScreen();
    return true;
  }
  if (message != WM_KEYDOWN) return false;
  switch (key) {
    case VK_SPACE:
      mListener.OnTogglePause();
      return true;
    case VK_LEFT:
      mListener.OnSeek(-kSeekSeconds);
      return true;
    case VK_RIGHT:
      mListener.OnSeek(kSeekSeconds);
      return true;
    case 'N':
      mListener.OnNextTrack();
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK PlayerWindow::MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PlayerWindow* self = OwnerOf<PlayerWindow>(window, message, lParam);
  return self != nullptr ? self->HandleMain(window, message, wParam, lParam)
                         : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PlayerWindow::PaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PlayerWindow* self = OwnerOf<PlayerWindow>(window, message, lParam);
  return self != nullptr ? self->HandlePane(window, message, wParam, lParam)
                         : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT PlayerWindow::HandleMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
    case WM_MOVE:
      LayOut();
      return 0;
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN:
      if (HandlePlayerKey(message, wParam)) return 0;
      break;
    case WM_SYSCHAR:
      if (wParam == VK_RETURN) return 0;  // no beep for Alt+Enter
      break;
    case WM_CLOSE:
      mListener.OnCloseRequest();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client{};
      GetClientRect(window, &client);
      client.top = client.bottom - kStatusStripHeight;
      PaintStatus(dc, client);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT PlayerWindow::HandlePane(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool pacing = message == kPacingMessage && lParam == kPacingMarker;
  if (pacing) {
    ++mPacingMessages;
    mLastPacingSeconds = MonotonicSeconds();
    if (mPacingMessages == 1) mFirstPacingSeconds = mLastPacingSeconds;
  }
  LRESULT result = 0;
  if (mListener.OnPaneMessage(message, wParam, lParam, &result)) {
    if (pacing) mLastPacingAnswer = static_cast<int64_t>(result);
    return result;
  }
  switch (message) {
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN:
      if (HandlePlayerKey(message, wParam)) return 0;
      break;
    case WM_SYSCHAR:
      if (wParam == VK_RETURN) return 0;
      break;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      // Nothing took the paint: the pane shows black, as with no visualization.
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      EndPaint(window, &paint);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PlayerWindow::OverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client{};
      GetClientRect(window, &client);
      UniqueGdiObject bar(CreateSolidBrush(RGB(28, 30, 38)));
      FillRect(dc, &client, static_cast<HBRUSH>(bar.get()));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(220, 224, 235));
      const wchar_t controls[] = L"|<<     >  ||     >>|          player skin controls";
      DrawTextW(dc, controls, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void PlayerWindow::PaintStatus(HDC dc, const RECT& area) {
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  RECT text = area;
  text.left += 10;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(dc, mStatus.c_str(), static_cast<int>(mStatus.size()), &text,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace player_sim
