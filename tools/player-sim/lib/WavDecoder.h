// RIFF WAVE files: PCM 8/16/24/32-bit and 32-bit float, mono or stereo, with
// the LIST/INFO tags (INAM, IART, IPRD, ICRD, IGNR).
#pragma once

#include <cstddef>
#include <cstdint>

#include "AudioClip.h"

namespace player_sim {

bool LooksLikeWav(const uint8_t* data, size_t size);
AudioDecodeResult DecodeWav(const uint8_t* data, size_t size);

}  // namespace player_sim
