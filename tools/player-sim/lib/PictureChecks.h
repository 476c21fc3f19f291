// Measures for telling a drawn picture from a blank one, used by the tests
// that look at what the visualization drew.
#pragma once

#include "WindowCapture.h"

namespace player_sim {

// A rectangle of the picture: left and top inside, right and bottom outside.
struct Region {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Rows of the region whose pixels are not all of one colour. A background
// made of horizontal bands counts 0; a flat line only the rows it covers.
int CountNonUniformRows(const Picture& picture, const Region& region);

// Variance of the luminance (0-255) over the region.
double LuminanceVariance(const Picture& picture, const Region& region);

}  // namespace player_sim
