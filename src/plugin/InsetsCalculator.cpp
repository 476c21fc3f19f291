#include "plugin/InsetsCalculator.h"

#include <algorithm>

namespace {

// The short side must be below this percentage of the long side...
constexpr int64_t kMaxThicknessPercent = 20;
// ...and more than this many pixels shorter.
constexpr int64_t kMinLengthExcess = 100;

}  // namespace

bool InsetsCalculator::IsEdgeBar(const ScreenRect& overlay, const ScreenRect& window) {
  // 64-bit: rectangles come from other processes' windows and may be absurd.
  const int64_t width = int64_t(overlay.right) - overlay.left;
  const int64_t height = int64_t(overlay.bottom) - overlay.top;
  const int64_t longSide = width > height ? width : height;
  const int64_t shortSide = width > height ? height : width;
  if (longSide + 1 == 0) return false;
  if (!(shortSide * 100 / (longSide + 1) < kMaxThicknessPercent && shortSide < longSide - kMinLengthExcess)) {
    return false;
  }
  const int sharedEdges = (overlay.left == window.left) + (overlay.top == window.top) +
                          (overlay.right == window.right) + (overlay.bottom == window.bottom);
  return sharedEdges == 2 || sharedEdges == 3;
}

void InsetsCalculator::ConsiderOverlay(const ScreenRect& overlay) {
  if (IsEdgeBar(overlay, mWindow)) SubtractBand(overlay);
}

void InsetsCalculator::SubtractBand(const ScreenRect& band) {
  const ScreenRect before = mVisible;
  const ScreenRect cover = {std::max(before.left, band.left), std::max(before.top, band.top),
                            std::min(before.right, band.right), std::min(before.bottom, band.bottom)};
  if (cover.left >= cover.right || cover.top >= cover.bottom) return;
  if (cover.top == before.top && cover.bottom == before.bottom) {
    if (cover.left > before.left)
      mVisible.right = cover.left;
    else
      mVisible.left = cover.right;
  }
  if (cover.left == before.left && cover.right == before.right) {
    if (cover.top > before.top)
      mVisible.bottom = cover.top;
    else
      mVisible.top = cover.bottom;
  }
}

InsetsRecord InsetsCalculator::Finish(bool mediaCenter) const {
  ScreenRect visible = mVisible;
  if (mediaCenter && visible == mWindow) {
    visible.top += kMediaCenterBand;
    visible.bottom -= kMediaCenterBand;
  }
  return {visible.left - mWindow.left, visible.top - mWindow.top, mWindow.right - visible.right,
          mWindow.bottom - visible.bottom};
}
