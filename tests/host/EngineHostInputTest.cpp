// Window messages turned into engine events: one table of translations, the
// Ctrl + character rule, focus, the mouse border, double-click clean-up,
// painting and the pacing message.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <ostream>

#include "HostTestSupport.h"
#include "host/EngineEvent.h"
#include "host/EngineHost.h"
#include "runtime/ResultCodes.h"

// Found by the test macros through the record's own (global) namespace.
static std::ostream& operator<<(std::ostream& out, const EngineEvent& e) {
  return out << "{x " << e.x << ", y " << e.y << ", wheel h " << e.horizontalWheel << " v " << e.verticalWheel
             << ", char 0x" << std::hex << e.character << ", flags 0x" << e.flags << std::dec << "}";
}

namespace {

using host_test::HostWindow;
using host_test::LoadedTestEngine;
using host_test::RecordingHost;
using host_test::Releaser;

constexpr uint32_t kShift = kEventShift;
constexpr uint32_t kAlt = kEventAlt;
constexpr uint32_t kCtrl = kEventCtrl;

// Holds the modifiers for GetKeyState on this thread.
void HoldModifiers(uint32_t held) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = (held & kShift) ? 0x80 : 0;
  keys[VK_MENU] = (held & kAlt) ? 0x80 : 0;
  keys[VK_CONTROL] = (held & kCtrl) ? 0x80 : 0;
  SetKeyboardState(keys);
}

LPARAM Point(int x, int y) {
  return LPARAM(uint32_t(uint16_t(int16_t(x))) | uint32_t(uint16_t(int16_t(y))) << 16);
}
WPARAM WheelDelta(int delta) {
  return WPARAM(uint32_t(uint16_t(int16_t(delta))) << 16);
}

EngineEvent Event(uint16_t character, uint32_t flags, int32_t x = 0, int32_t y = 0, int32_t horizontal = 0,
                  int32_t vertical = 0) {
  EngineEvent event{};
  event.x = x;
  event.y = y;
  event.horizontalWheel = horizontal;
  event.verticalWheel = vertical;
  event.character = character;
  event.flags = flags;
  return event;
}

class EngineHostInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mEngine.IsReady());
    ASSERT_NE(mWindow.Get(), nullptr);
    mHost.reset(new RecordingHost);
    mHost->SetEngineTable(mEngine.Table());
    mHost->StartEngine();
    mHost->AttachWindow(mWindow.Get(), 0, 0);
    mEngine.Control().ClearCalls();
    HoldModifiers(0);
  }
  void TearDown() override {
    HoldModifiers(0);
    mHost.reset();
  }

  std::vector<EngineEvent> SentEvents() {
    std::vector<EngineEvent> events;
    for (const auto& call : mEngine.Control().CallsOf(kTestEngineSend, kCodeEvent)) {
      EXPECT_EQ(call.extra, int64_t(sizeof(EngineEvent)));
      EngineEvent event{};
      if (call.payload.size() == sizeof(event)) std::memcpy(&event, call.payload.data(), sizeof(event));
      events.push_back(event);
    }
    return events;
  }

  HostWindow mWindow;
  LoadedTestEngine mEngine;
  std::unique_ptr<RecordingHost, Releaser<RecordingHost>> mHost;
};

struct TranslationCase {
  const char* name;
  UINT message;
  uint32_t held;
  WPARAM wParam;
  LPARAM lParam;
  bool isEvent;
  EngineEvent expected;
};

TEST_F(EngineHostInputTest, MessagesTranslateToEngineEvents) {
  const TranslationCase cases[] = {
      {"up", WM_KEYDOWN, 0, VK_UP, 0, true, Event(kKeyUp, 0)},
      {"down released", WM_KEYUP, 0, VK_DOWN, 0, true, Event(kKeyDown, kEventRelease)},
      {"left with shift", WM_KEYDOWN, kShift, VK_LEFT, 0, true, Event(kKeyLeft, kShift)},
      {"right", WM_KEYDOWN, 0, VK_RIGHT, 0, true, Event(kKeyRight, 0)},
      {"home", WM_KEYDOWN, 0, VK_HOME, 0, true, Event(kKeyHome, 0)},
      {"end", WM_KEYDOWN, 0, VK_END, 0, true, Event(kKeyEnd, 0)},
      {"page up", WM_KEYDOWN, 0, VK_PRIOR, 0, true, Event(kKeyPageUp, 0)},
      {"page down with ctrl", WM_KEYDOWN, kCtrl, VK_NEXT, 0, true, Event(kKeyPageDown, kCtrl)},
      {"letter key down", WM_KEYDOWN, 0, 'A', 0, false, {}},
      {"letter key up", WM_KEYUP, 0, 'A', 0, false, {}},
      {"insert key", WM_KEYDOWN, 0, VK_INSERT, 0, false, {}},
      {"character", WM_CHAR, 0, 'x', 0, true, Event('x', 0)},
      {"character with shift", WM_CHAR, kShift, 'X', 0, true, Event('X', kShift)},
      {"wide character", WM_CHAR, 0, 0x20AC, 0, true, Event(0x20AC, 0)},
      {"system character", WM_SYSCHAR, kAlt, 'f', 0, true, Event('f', kAlt)},
      {"system character, Alt not seen", WM_SYSCHAR, 0, 'f', 0, true, Event('f', kAlt)},
      {"left down", WM_LBUTTONDOWN, 0, MK_LBUTTON, Point(15, 25), true, Event(0, kEventLeftButton, 15, 25)},
      {"left up", WM_LBUTTONUP, 0, 0, Point(15, 25), true,
       Event(0, kEventLeftButton | kEventRelease, 15, 25)},
      {"left double", WM_LBUTTONDBLCLK, 0, 0, Point(3, 4), true, Event(0, kEventLeftDoubleClick, 3, 4)},
      {"right down", WM_RBUTTONDOWN, 0, 0, Point(1, 2), true, Event(0, kEventRightButton, 1, 2)},
      {"right up", WM_RBUTTONUP, 0, 0, Point(1, 2), true, Event(0, kEventRightButton | kEventRelease, 1, 2)},
      {"middle down", WM_MBUTTONDOWN, 0, 0, Point(1, 2), true, Event(0, kEventMiddleButton, 1, 2)},
      {"middle up", WM_MBUTTONUP, 0, 0, Point(1, 2), true,
       Event(0, kEventMiddleButton | kEventRelease, 1, 2)},
      {"click with ctrl", WM_LBUTTONDOWN, kCtrl, 0, Point(7, 8), true,
       Event(0, kEventLeftButton | kCtrl, 7, 8)},
      {"negative position", WM_LBUTTONDOWN, 0, 0, Point(-5, -7), true, Event(0, kEventLeftButton, -5, -7)},
      {"wheel 30", WM_MOUSEWHEEL, 0, WheelDelta(30), Point(500, 400), true,
       Event(0, kEventWheel, 500, 400, 0, -1)},
      {"wheel 240", WM_MOUSEWHEEL, 0, WheelDelta(240), Point(0, 0), true, Event(0, kEventWheel, 0, 0, 0, -2)},
      {"wheel -60", WM_MOUSEWHEEL, 0, WheelDelta(-60), Point(0, 0), true, Event(0, kEventWheel, 0, 0, 0, 1)},
      {"wheel 0", WM_MOUSEWHEEL, 0, WheelDelta(0), Point(0, 0), true, Event(0, kEventWheel)},
      {"wheel 250", WM_MOUSEWHEEL, kShift, WheelDelta(250), Point(0, 0), true,
       Event(0, kEventWheel | kShift, 0, 0, 0, -2)},
      {"sideways 30", WM_MOUSEHWHEEL, 0, WheelDelta(30), Point(-10, 20), true,
       Event(0, kEventWheel, -10, 20, 1, 0)},
      {"sideways -240", WM_MOUSEHWHEEL, 0, WheelDelta(-240), Point(0, 0), true,
       Event(0, kEventWheel, 0, 0, -2, 0)},
      {"mouse move", WM_MOUSEMOVE, 0, 0, Point(1, 1), false, {}},
      {"right double", WM_RBUTTONDBLCLK, 0, 0, Point(1, 1), false, {}},
      {"middle double, not the pacing message", WM_MBUTTONDBLCLK, 0, 0, Point(1, 1), false, {}},
      {"extra button", WM_XBUTTONDOWN, 0, 0, Point(1, 1), false, {}},
      {"timer", WM_TIMER, 0, 1, 0, false, {}},
  };
  for (const TranslationCase& c : cases) {
    SCOPED_TRACE(c.name);
    mEngine.Control().ClearCalls();
    HoldModifiers(c.held);
    bool handled = !c.isEvent;
    const int64_t result = mHost->HandleWindowMessage(c.message, c.wParam, c.lParam, &handled);
    auto events = SentEvents();
    if (!c.isEvent) {
      EXPECT_TRUE(events.empty()) << "sent " << events[0];
      EXPECT_FALSE(handled);
      EXPECT_EQ(result, -1);
      continue;
    }
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(std::memcmp(&events[0], &c.expected, sizeof(EngineEvent)), 0)
        << "sent " << events[0] << ", expected " << c.expected;
    EXPECT_TRUE(handled);
    EXPECT_EQ(result, 0);
  }
}

TEST_F(EngineHostInputTest, EngineAnswerDecidesWhetherTheMessageIsHandled) {
  struct Case {
    int64_t answer;
    bool handled;
  };
  for (const Case& c : {Case{kErrEventUnused, false}, Case{kErrNotHandled, false}, Case{0, true},
                        Case{1, true}, Case{-1, true}, Case{0x7FFFFFFF00000000, true}}) {
    SCOPED_TRACE(c.answer);
    mEngine.Control().SetSendAnswer(kCodeEvent, c.answer);
    bool handled = !c.handled;
    const int64_t result = mHost->HandleWindowMessage(WM_LBUTTONDOWN, 0, Point(5, 5), &handled);
    EXPECT_EQ(handled, c.handled);
    EXPECT_EQ(result, c.handled ? 0 : -1);
  }
}

TEST_F(EngineHostInputTest, CtrlLetterSendsTheControlCharacterThenTheLetterWhenUnused) {
  const LPARAM scanCodeA = LPARAM(MapVirtualKeyA('A', MAPVK_VK_TO_VSC)) << 16;
  ASSERT_NE(scanCodeA, 0);
  HoldModifiers(kCtrl);
  bool handled = true;
  EXPECT_EQ(mHost->HandleWindowMessage(WM_KEYDOWN, 'A', scanCodeA | 1, &handled), -1);
  EXPECT_FALSE(handled);
  EXPECT_TRUE(SentEvents().empty());

  mEngine.Control().QueueSendAnswer(kCodeEvent, kErrEventUnused);
  EXPECT_EQ(mHost->HandleWindowMessage(WM_CHAR, 1, scanCodeA | 1, &handled), 0);
  EXPECT_TRUE(handled);
  auto events = SentEvents();
  ASSERT_EQ(events.size(), 2u);
  const EngineEvent raw = Event(1, 0);
  const EngineEvent letter = Event('A', kCtrl);
  EXPECT_EQ(std::memcmp(&events[0], &raw, sizeof(EngineEvent)), 0) << events[0];
  EXPECT_EQ(std::memcmp(&events[1], &letter, sizeof(EngineEvent)), 0) << events[1];

  // Used at once: the letter is not sent.
  mEngine.Control().ClearCalls();
  EXPECT_EQ(mHost->HandleWindowMessage(WM_CHAR, 1, scanCodeA | 1, &handled), 0);
  EXPECT_EQ(SentEvents().size(), 1u);

  // After the key-up nothing is pending: unused means no event.
  mHost->HandleWindowMessage(WM_KEYUP, 'A', scanCodeA, nullptr);
  mEngine.Control().ClearCalls();
  mEngine.Control().QueueSendAnswer(kCodeEvent, kErrEventUnused);
  EXPECT_EQ(mHost->HandleWindowMessage(WM_CHAR, 1, scanCodeA | 1, &handled), -1);
  EXPECT_FALSE(handled);
  EXPECT_EQ(SentEvents().size(), 1u);
}

TEST_F(EngineHostInputTest, MouseBorderKeepsClicksNearTheSidesAndBottomFromTheEngine) {
  mHost->SetMouseBorder(10);
  RECT client;
  GetClientRect(mWindow.Get(), &client);
  struct Case {
    const char* name;
    int x;
    int y;
    bool sent;
  };
  const Case cases[] = {
      {"inside", 50, 50, true},
      {"top edge is free", 50, 2, true},
      {"left margin", 5, 50, false},
      {"right margin", int(client.right) - 5, 50, false},
      {"bottom margin", 50, int(client.bottom) - 5, false},
      {"first pixel inside", 10, 50, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mEngine.Control().ClearCalls();
    bool handled = false;
    mHost->HandleWindowMessage(WM_LBUTTONDOWN, 0, Point(c.x, c.y), &handled);
    EXPECT_EQ(SentEvents().size(), c.sent ? 1u : 0u);
    EXPECT_EQ(handled, c.sent);
  }
  mEngine.Control().ClearCalls();
  mHost->HandleWindowMessage(WM_MOUSEWHEEL, WheelDelta(120), Point(5, 5), nullptr);
  EXPECT_EQ(SentEvents().size(), 1u) << "the wheel is not bound by the border";
}

TEST_F(EngineHostInputTest, DoubleClickRemovesOnePendingMouseMessage) {
  MSG message;
  while (PeekMessageA(&message, mWindow.Get(), 0, 0, PM_REMOVE)) {
  }
  PostMessageA(mWindow.Get(), WM_MOUSEMOVE, 0, Point(1, 1));
  PostMessageA(mWindow.Get(), WM_LBUTTONUP, 0, Point(1, 1));
  PostMessageA(mWindow.Get(), WM_KEYDOWN, 'Q', 0);
  mHost->HandleWindowMessage(WM_LBUTTONDBLCLK, 0, Point(1, 1), nullptr);

  std::vector<UINT> left;
  while (PeekMessageA(&message, mWindow.Get(), 0, 0, PM_REMOVE)) {
    if (message.message == WM_MOUSEMOVE || message.message == WM_LBUTTONUP || message.message == WM_KEYDOWN) {
      left.push_back(message.message);
    }
  }
  EXPECT_EQ(left, (std::vector<UINT>{WM_LBUTTONUP, WM_KEYDOWN}));
}

TEST_F(EngineHostInputTest, ClickTakesFocusFromOtherWindowsButNotFromTheFullScreenWindow) {
  HostWindow other("BCHostTestOther", true);
  HostWindow fullScreen("BCFullscreenWindowClass", true);
  ShowWindow(mWindow.Get(), SW_SHOW);
  auto bringToFront = [](HWND window) {
    SetForegroundWindow(window);
    host_test::PumpMessages(50);
    return GetForegroundWindow() == window && GetFocus() == window;
  };

  if (!bringToFront(other.Get())) GTEST_SKIP() << "no foreground control on this display";
  mHost->HandleWindowMessage(WM_LBUTTONDOWN, 0, Point(5, 5), nullptr);
  EXPECT_EQ(GetFocus(), mWindow.Get());

  ASSERT_TRUE(bringToFront(fullScreen.Get()));
  mHost->HandleWindowMessage(WM_RBUTTONDOWN, 0, Point(5, 5), nullptr);
  EXPECT_EQ(GetFocus(), fullScreen.Get());
}

TEST_F(EngineHostInputTest, PaintIsAlwaysHandledAndValidatesTheWindow) {
  InvalidateRect(mWindow.Get(), nullptr, TRUE);
  bool handled = false;
  EXPECT_EQ(mHost->HandleWindowMessage(WM_PAINT, 0, 0, &handled), 0);
  EXPECT_TRUE(handled);
  EXPECT_FALSE(GetUpdateRect(mWindow.Get(), nullptr, FALSE));

  mHost->StopEngine();
  handled = false;
  EXPECT_EQ(mHost->HandleWindowMessage(WM_ERASEBKGND, 0, 0, &handled), 0);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(mEngine.Control().CallsOf(kTestEngineSend).empty());
}

TEST_F(EngineHostInputTest, DestroyAndCloseDetachWithoutHandling) {
  for (UINT message : {UINT(WM_CLOSE), UINT(WM_DESTROY)}) {
    mHost->AttachWindow(mWindow.Get(), 0, 0);
    mEngine.Control().ClearCalls();
    bool handled = true;
    EXPECT_EQ(mHost->HandleWindowMessage(message, 0, 0, &handled), -1);
    EXPECT_FALSE(handled);
    EXPECT_EQ(mHost->GetWindow(), nullptr);
    auto targets = mEngine.Control().CallsOf(kTestEngineSetTarget);
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].pointer, nullptr);
  }
}

TEST_F(EngineHostInputTest, PacingMessageRunsOneStepAndAnswersThePeriod) {
  for (int32_t period : {10, -5, 0}) {
    SCOPED_TRACE(period);
    mEngine.Control().ClearCalls();
    mEngine.Control().SetStepPeriod(period);
    bool handled = false;
    EXPECT_EQ(mHost->HandleWindowMessage(WM_MBUTTONDBLCLK, 0, EngineHost::kPacingMessageParam, &handled),
              period);
    EXPECT_TRUE(handled);
    EXPECT_EQ(mEngine.Control().CallsOf(kTestEngineStep).size(), 1u);
    EXPECT_TRUE(SentEvents().empty());
  }
}

TEST_F(EngineHostInputTest, WithoutAnEngineTableEveryEventIsHandled) {
  std::unique_ptr<RecordingHost, Releaser<RecordingHost>> bare(new RecordingHost);
  for (UINT message : {UINT(WM_CHAR), UINT(WM_LBUTTONDOWN), UINT(WM_MOUSEWHEEL)}) {
    bool handled = false;
    EXPECT_EQ(bare->HandleWindowMessage(message, 'a', 0, &handled), 0);
    EXPECT_TRUE(handled) << message;
  }
  EXPECT_EQ(bare->HandleWindowMessage(WM_MBUTTONDBLCLK, 0, EngineHost::kPacingMessageParam, nullptr), 0);
}

}  // namespace
