// The input event record sent to the engine with 'Evnt'.
#pragma once

#include <cstdint>

struct EngineEvent {
  int32_t x;
  int32_t y;
  int32_t horizontalWheel;  // wheel steps
  int32_t verticalWheel;    // wheel steps, positive = turned towards the user
  uint16_t character;       // character or navigation key code
  uint16_t reserved18;
  uint32_t flags;
  uint64_t reserved24;
};
static_assert(sizeof(EngineEvent) == 32, "the engine reads a 32-byte record");

// Modifiers held.
inline constexpr uint32_t kEventShift = 0x0001;
inline constexpr uint32_t kEventAlt = 0x0002;  // also every WM_SYSCHAR
inline constexpr uint32_t kEventCtrl = 0x0004;
// Kinds.
inline constexpr uint32_t kEventLeftButton = 0x0010;
inline constexpr uint32_t kEventRightButton = 0x0020;
inline constexpr uint32_t kEventMiddleButton = 0x0040;
inline constexpr uint32_t kEventLeftDoubleClick = 0x0080;
inline constexpr uint32_t kEventRelease = 0x0200;  // button up, key up
inline constexpr uint32_t kEventWheel = 0x1000;

// Character codes of the navigation keys.
inline constexpr uint16_t kKeyUp = 0xF700;
inline constexpr uint16_t kKeyDown = 0xF701;
inline constexpr uint16_t kKeyLeft = 0xF702;
inline constexpr uint16_t kKeyRight = 0xF703;
inline constexpr uint16_t kKeyHome = 0xF729;
inline constexpr uint16_t kKeyEnd = 0xF72B;
inline constexpr uint16_t kKeyPageUp = 0xF72C;
inline constexpr uint16_t kKeyPageDown = 0xF72D;
