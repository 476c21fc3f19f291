#include "ColourSchemes.h"

namespace sample_engine {
namespace {

constexpr ColourScheme kSchemes[] = {
    {L"Aurora", 0x0B1026, 0x1E0B33, 0x1FB5A6, 0xB46CFF, 0x7CFFE4, 0x145C57, 0xF2F4FF, 0x9AA3C7},
    {L"Ember", 0x1A0805, 0x2E0F05, 0xD9480F, 0xFFD43B, 0xFFE8A3, 0x6B2A0A, 0xFFF4E6, 0xC9A58F},
    {L"Glacier", 0x061A2B, 0x0B2F4A, 0x3A86FF, 0xBDE0FE, 0xE8F6FF, 0x1F4E79, 0xFFFFFF, 0xA8C5DD},
    {L"Meadow", 0x08170B, 0x15301A, 0x2B9348, 0xEEEF20, 0xD4FF8A, 0x2D5A1B, 0xF3FFEC, 0xA9C4A0},
};

constexpr int kSchemeCount = sizeof(kSchemes) / sizeof(kSchemes[0]);

}  // namespace

int ColourSchemeCount() {
  return kSchemeCount;
}

const ColourScheme& ColourSchemeAt(int index) {
  const int wrapped = ((index % kSchemeCount) + kSchemeCount) % kSchemeCount;
  return kSchemes[wrapped];
}

}  // namespace sample_engine
