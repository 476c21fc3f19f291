#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "plugin/InsetsCalculator.h"

std::ostream& operator<<(std::ostream& out, const InsetsRecord& r) {
  return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

TEST(InsetsCalculator, InsetsForOverlayGeometries) {
  struct Case {
    const char* what;
    ScreenRect window;
    std::vector<ScreenRect> overlays;
    bool mediaCenter;
    InsetsRecord expected;
  };
  const ScreenRect pane = {100, 50, 1100, 650};  // 1000 x 600
  const Case cases[] = {
      {"no overlays", pane, {}, false, {0, 0, 0, 0}},
      {"no overlays in Media Center", pane, {}, true, {0, 75, 0, 75}},
      {"1000 x 60 bar along the bottom", pane, {{100, 590, 1100, 650}}, false, {0, 0, 0, 60}},
      {"bottom bar in Media Center: no bands added", pane, {{100, 590, 1100, 650}}, true, {0, 0, 0, 60}},
      {"1000 x 250 is not thin (25 %)", pane, {{100, 400, 1100, 650}}, false, {0, 0, 0, 0}},
      {"top bar", pane, {{100, 50, 1100, 90}}, false, {0, 40, 0, 0}},
      {"left bar, three shared edges", pane, {{100, 50, 160, 650}}, false, {60, 0, 0, 0}},
      {"right bar", pane, {{1070, 50, 1100, 650}}, false, {0, 0, 30, 0}},
      {"top and bottom bars", pane, {{100, 50, 1100, 90}, {100, 590, 1100, 650}}, false, {0, 40, 0, 60}},
      {"bar reaching outside is clipped", pane, {{100, 620, 1100, 700}}, false, {0, 0, 0, 30}},
      {"bar beside the window does not intersect", pane, {{100, 700, 1100, 760}}, false, {0, 0, 0, 0}},
      {"only one shared edge", pane, {{200, 590, 1000, 650}}, false, {0, 0, 0, 0}},
      {"150 x 20 passes both size rules", {0, 0, 150, 600}, {{0, 580, 150, 600}}, false, {0, 0, 0, 20}},
      {"110 x 20 fails the 100-pixel rule", {0, 0, 110, 600}, {{0, 580, 110, 600}}, false, {0, 0, 0, 0}},
      {"all four edges shared", {0, 0, 1000, 60}, {{0, 0, 1000, 60}}, false, {0, 0, 0, 0}},
      {"bars not at an edge leave Media Center bands", pane, {{300, 300, 900, 310}}, true, {0, 75, 0, 75}},
      {"absurd coordinates",
       pane,
       {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {100, 50, INT32_MAX, 60}},
       false,
       {0, 10, 0, 0}},
  };
  for (const Case& c : cases) {
    InsetsCalculator calculator(c.window);
    for (const ScreenRect& overlay : c.overlays) calculator.ConsiderOverlay(overlay);
    EXPECT_EQ(calculator.Finish(c.mediaCenter), c.expected) << c.what;
  }
}

}  // namespace
