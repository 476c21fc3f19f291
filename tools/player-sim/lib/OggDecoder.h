// Ogg Vorbis files through stb_vorbis, with their Vorbis comments as tags.
#pragma once

#include <cstddef>
#include <cstdint>

#include "AudioClip.h"

namespace player_sim {

bool LooksLikeOgg(const uint8_t* data, size_t size);
AudioDecodeResult DecodeOggVorbis(const uint8_t* data, size_t size);

}  // namespace player_sim
