// How much of each edge of the engine's window the player covers: its layered
// control bars lying along the edges, or Media Center's fixed bands. Fed one
// overlay at a time so the caller's window walk needs no list.
#pragma once

#include <cstdint>

// Screen coordinates.
struct ScreenRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;

  bool operator==(const ScreenRect&) const = default;
};

// The 'Nset' record: covered pixels at each edge.
struct InsetsRecord {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;

  bool operator==(const InsetsRecord&) const = default;
};

static_assert(sizeof(InsetsRecord) == 16);

class InsetsCalculator {
 public:
  // Media Center treats this much of the top and bottom as covered when no
  // overlay was found.
  static constexpr int32_t kMediaCenterBand = 75;

  explicit InsetsCalculator(const ScreenRect& window) : mWindow(window), mVisible(window) {}

  // Takes an overlay that already passed the caller's class and style tests.
  void ConsiderOverlay(const ScreenRect& overlay);
  InsetsRecord Finish(bool mediaCenter) const;

 private:
  // Only long thin bars sharing two or three edges with the window count.
  static bool IsEdgeBar(const ScreenRect& overlay, const ScreenRect& window);
  void SubtractBand(const ScreenRect& band);

  ScreenRect mWindow;
  ScreenRect mVisible;
};
