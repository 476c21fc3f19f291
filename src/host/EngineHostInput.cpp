// EngineHost: the window's messages turned into engine input, the pacing
// message, painting and window changes.
#include <cstring>

#include "host/EngineEvent.h"
#include "host/EngineHost.h"

namespace {

constexpr char kFullScreenWindowClass[] = "BCFullscreenWindowClass";
constexpr int64_t kUnhandledResult = -1;
constexpr int32_t kWheelStep = 120;

// Navigation keys, VK_PRIOR ... VK_DOWN in order.
constexpr uint16_t kNavigationCodes[] = {kKeyPageUp, kKeyPageDown, kKeyEnd,   kKeyHome,
                                         kKeyLeft,   kKeyUp,       kKeyRight, kKeyDown};
static_assert(VK_DOWN - VK_PRIOR + 1 == sizeof(kNavigationCodes) / sizeof(kNavigationCodes[0]));

bool IsHeld(int virtualKey) {
  return (GetKeyState(virtualKey) & 0xFE) != 0;
}

uint32_t HeldModifiers() {
  uint32_t flags = 0;
  if (IsHeld(VK_SHIFT)) flags |= kEventShift;
  if (IsHeld(VK_MENU)) flags |= kEventAlt;
  if (IsHeld(VK_CONTROL)) flags |= kEventCtrl;
  return flags;
}

// The kind bits of a message that becomes an event; false for the others.
bool EventKind(UINT message, uint32_t* kind) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
      *kind = 0;
      return true;
    case WM_KEYUP:
      *kind = kEventRelease;
      return true;
    case WM_SYSCHAR:
      *kind = kEventAlt;
      return true;
    case WM_LBUTTONDOWN:
      *kind = kEventLeftButton;
      return true;
    case WM_LBUTTONUP:
      *kind = kEventLeftButton | kEventRelease;
      return true;
    case WM_LBUTTONDBLCLK:
      *kind = kEventLeftDoubleClick;
      return true;
    case WM_RBUTTONDOWN:
      *kind = kEventRightButton;
      return true;
    case WM_RBUTTONUP:
      *kind = kEventRightButton | kEventRelease;
      return true;
    case WM_MBUTTONDOWN:
      *kind = kEventMiddleButton;
      return true;
    case WM_MBUTTONUP:
      *kind = kEventMiddleButton | kEventRelease;
      return true;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      *kind = kEventWheel;
      return true;
    default:
      return false;
  }
}

bool IsEngineResultUnused(int64_t result) {
  return result == kErrEventUnused || result == kErrNotHandled;
}

// A click while another program is in front takes the keyboard focus, but
// not from the engine's own full-screen window.
void TakeFocusFromOtherPrograms(HWND window) {
  const HWND foreground = GetForegroundWindow();
  if (!window || foreground == window) return;
  char className[64] = {};
  if (foreground) GetClassNameA(foreground, className, sizeof(className));
  if (std::strcmp(className, kFullScreenWindowClass) != 0) SetFocus(window);
}

}  // namespace

int64_t EngineHost::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
  if (handled) *handled = false;
  const HWND window = GetWindow();

  if (message == WM_MBUTTONDBLCLK && lParam == kPacingMessageParam) {
    Idle();
    if (handled) *handled = true;
    return GetPeriod();
  }

  switch (message) {
    case WM_PAINT:
    case WM_ERASEBKGND:
      // Validating no window would invalidate every window on the desktop.
      if (window) ValidateRect(window, nullptr);
      if (handled) *handled = true;
      return 0;
    case WM_DESTROY:
    case WM_CLOSE:
      DetachWindow();
      return kUnhandledResult;
    case WM_WINDOWPOSCHANGED: {
      const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
      const UINT unchanged = SWP_NOSIZE | SWP_NOMOVE;
      if (position && (position->flags & unchanged) != unchanged) mWindowChanged = true;
      return kUnhandledResult;
    }
    default:
      break;
  }

  uint32_t kind;
  if (!EventKind(message, &kind)) return kUnhandledResult;
  EngineEvent event{};
  event.flags = kind | HeldModifiers();

  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (wParam >= VK_PRIOR && wParam <= VK_DOWN) {
        event.character = kNavigationCodes[wParam - VK_PRIOR];
        break;
      }
      if (message == WM_KEYDOWN && (event.flags & kEventCtrl)) {
        const UINT scanCode = UINT(lParam >> 16) & 0xFF;
        const UINT virtualKey = MapVirtualKeyA(scanCode, MAPVK_VSC_TO_VK);
        mPendingControlChar = uint16_t(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_CHAR));
      } else if (message == WM_KEYUP) {
        mPendingControlChar = 0;
      }
      return kUnhandledResult;

    case WM_CHAR:
    case WM_SYSCHAR:
      event.character = uint16_t(wParam);
      if (event.flags & kEventCtrl) {
        // The raw control character first; the key's own character only
        // when the engine did not use it.
        event.flags &= ~kEventCtrl;
        if (SendToEngine(kCodeEvent, &event, sizeof(event)) != kErrEventUnused) {
          if (handled) *handled = true;
          return 0;
        }
        if (mPendingControlChar == 0) return kUnhandledResult;
        event.character = mPendingControlChar;
        event.flags |= kEventCtrl;
      }
      break;

    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
      event.x = int16_t(LOWORD(lParam));
      event.y = int16_t(HIWORD(lParam));
      int32_t delta = int16_t(HIWORD(wParam));
      if (delta > 0 && delta < kWheelStep) delta = kWheelStep;
      if (delta < 0 && delta > -kWheelStep) delta = -kWheelStep;
      const int32_t steps = delta / kWheelStep;
      if (message == WM_MOUSEWHEEL) {
        event.verticalWheel = -steps;
      } else {
        event.horizontalWheel = steps;
      }
      break;
    }

    default: {  // mouse buttons
      TakeFocusFromOtherPrograms(window);
      event.x = int16_t(LOWORD(lParam));
      event.y = int16_t(HIWORD(lParam));
      RECT client;
      if (mMouseBorder > 0 && GetClientRect(window, &client)) {
        client.left += mMouseBorder;
        client.right -= mMouseBorder;
        client.bottom -= mMouseBorder;
        const POINT point{event.x, event.y};
        if (!PtInRect(&client, point)) return kUnhandledResult;
      }
      if (message == WM_LBUTTONDBLCLK && window) {
        // The click's own follow-up mouse message would reach the engine as
        // a second event.
        MSG pending;
        PeekMessageA(&pending, window, WM_MOUSEMOVE, WM_MOUSEHWHEEL, PM_REMOVE);
      }
      break;
    }
  }

  if (IsEngineResultUnused(SendToEngine(kCodeEvent, &event, sizeof(event)))) return kUnhandledResult;
  if (handled) *handled = true;
  return 0;
}
