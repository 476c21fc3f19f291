#include "PictureChecks.h"

#include <algorithm>
#include <cstring>

namespace player_sim {
namespace {

Region Clip(const Picture& picture, const Region& region) {
  return {std::max(0, region.left), std::max(0, region.top), std::min(picture.width, region.right),
          std::min(picture.height, region.bottom)};
}

}  // namespace

int CountNonUniformRows(const Picture& picture, const Region& wanted) {
  const Region region = Clip(picture, wanted);
  int rows = 0;
  for (int y = region.top; y < region.bottom; ++y) {
    const uint8_t* first = picture.At(region.left, y);
    for (int x = region.left + 1; x < region.right; ++x) {
      if (std::memcmp(first, picture.At(x, y), 3) != 0) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

double LuminanceVariance(const Picture& picture, const Region& wanted) {
  const Region region = Clip(picture, wanted);
  double sum = 0.0;
  double squares = 0.0;
  double count = 0.0;
  for (int y = region.top; y < region.bottom; ++y) {
    for (int x = region.left; x < region.right; ++x) {
      const uint8_t* p = picture.At(x, y);
      const double luminance = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
      sum += luminance;
      squares += luminance * luminance;
      count += 1.0;
    }
  }
  if (count == 0.0) return 0.0;
  const double mean = sum / count;
  return squares / count - mean * mean;
}

}  // namespace player_sim
