// Reads an audio file whole and decodes it by its signature (WAV or Ogg
// Vorbis); every failure comes back as a reason fit to show the user.
#pragma once

#include <string>

#include "AudioClip.h"

namespace player_sim {

AudioDecodeResult LoadAudioFile(const std::wstring& path);

}  // namespace player_sim
