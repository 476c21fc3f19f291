// One frame of the player's audio as its visualization interface hands it
// over. Platform-free so the audio hand-off builds and is measured natively.
#pragma once

#include <cstddef>
#include <cstdint>

// Cells per channel in each TimedLevel row.
constexpr int SA_BUFFER_SIZE = 1024;

// TimedLevel::state; numbered differently from the player's WMPPlayState.
enum PlayerState { stop_state = 0, pause_state = 1, play_state = 2 };

// Row 0 is the left (or mono) channel, row 1 the right. Frequency cells are
// magnitudes 0-255; waveform bytes are signed samples offset by 128.
struct TimedLevel {
  unsigned char frequency[2][SA_BUFFER_SIZE];
  unsigned char waveform[2][SA_BUFFER_SIZE];
  int state;
  int64_t timeStamp;  // 100-ns units
};

static_assert(sizeof(TimedLevel) == 4112, "TimedLevel must match the player's layout");
static_assert(offsetof(TimedLevel, state) == 4096, "TimedLevel::state offset");
static_assert(offsetof(TimedLevel, timeStamp) == 4104, "TimedLevel::timeStamp offset");
