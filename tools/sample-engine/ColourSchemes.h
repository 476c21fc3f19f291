// The engine's colour schemes; the user cycles through them with keys or clicks.
#pragma once

#include <cstdint>

namespace sample_engine {

struct ColourScheme {
  const wchar_t* name;
  uint32_t backgroundTop;  // 0xRRGGBB
  uint32_t backgroundBottom;
  uint32_t barLow;
  uint32_t barHigh;
  uint32_t scope;
  uint32_t scopeGlow;
  uint32_t text;
  uint32_t textDim;
};

int ColourSchemeCount();
// Any index is taken modulo the count, negative ones too.
const ColourScheme& ColourSchemeAt(int index);

}  // namespace sample_engine
