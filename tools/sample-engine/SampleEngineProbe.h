// What the sample engine publishes about itself as properties of the window
// it is attached to, so a player (the simulator, the end-to-end tests) can
// report what the engine saw without a channel of its own.
#pragma once

#include <windows.h>

#include <cstdint>

namespace sample_engine {

inline constexpr wchar_t kProbeFrames[] = L"BCSampleEngine.Frames";                  // frames drawn
inline constexpr wchar_t kProbeSampleRequests[] = L"BCSampleEngine.SampleRequests";  // 'GetS' sent
inline constexpr wchar_t kProbeInsets[] = L"BCSampleEngine.Insets";  // last 'Nset', packed by PackInsets
inline constexpr wchar_t kProbeState[] = L"BCSampleEngine.State";    // kProbeState* bits

inline constexpr uintptr_t kProbeStateTrack = 0x1;       // a track title is known
inline constexpr uintptr_t kProbeStateArt = 0x2;         // an album-art picture is shown
inline constexpr uintptr_t kProbeStateFullScreen = 0x4;  // drawing into its full-screen window
inline constexpr uintptr_t kProbeStateInsets = 0x8;      // an 'Nset' record arrived

// Four 16-bit fields: left, top, right, bottom from the lowest bits up.
constexpr uint64_t PackInsets(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return (uint64_t(uint16_t(left))) | (uint64_t(uint16_t(top)) << 16) | (uint64_t(uint16_t(right)) << 32) |
         (uint64_t(uint16_t(bottom)) << 48);
}

struct ProbedInsets {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

constexpr ProbedInsets UnpackInsets(uint64_t packed) {
  return {int32_t(uint16_t(packed)), int32_t(uint16_t(packed >> 16)), int32_t(uint16_t(packed >> 32)),
          int32_t(uint16_t(packed >> 48))};
}

inline uintptr_t ReadProbe(HWND window, const wchar_t* name) {
  return reinterpret_cast<uintptr_t>(GetPropW(window, name));
}

}  // namespace sample_engine
