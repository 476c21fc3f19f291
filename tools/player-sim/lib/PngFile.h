// PNG pictures written with stb_image_write, and files that appear whole or
// not at all: written under a temporary name and renamed when complete.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace player_sim {

// rgb holds width x height pixels, three bytes each, rows top-down.
std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& rgb, int width, int height);

// False when the file could not be written; nothing is left behind then.
bool WriteFileAtomically(const std::wstring& path, const std::vector<uint8_t>& bytes);

}  // namespace player_sim
