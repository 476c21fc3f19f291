// Where the scene puts things inside the visible part of its window: track
// text on top, the oscilloscope in the middle band, spectrum bars below.
// Tests that look at the engine's pictures use the same arithmetic.
#pragma once

#include <algorithm>

namespace sample_engine {

struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct SceneLayout {
  Box visible;
  Box text;
  Box scope;
  Box bars;
};

// The client area is width x height; the insets are the covered edges.
inline SceneLayout ComputeSceneLayout(int width, int height, int insetLeft, int insetTop, int insetRight,
                                      int insetBottom) {
  SceneLayout layout;
  layout.visible = {insetLeft, insetTop, width - insetRight, height - insetBottom};
  if (layout.visible.Width() < 16 || layout.visible.Height() < 16) layout.visible = {0, 0, width, height};
  const Box& v = layout.visible;
  const int h = v.Height();
  const int margin = std::max(6, h / 30);
  layout.text = {v.left + margin, v.top + margin, v.right - margin, v.top + h * 30 / 100};
  layout.scope = {v.left + margin, v.top + h * 34 / 100, v.right - margin, v.top + h * 66 / 100};
  layout.bars = {v.left + margin, v.top + h * 70 / 100, v.right - margin, v.bottom - margin};
  return layout;
}

}  // namespace sample_engine
