// The tune the simulator plays when no file is given, so a demo needs no
// download: about 17 seconds of stereo music in A minor at 44.1 kHz, with
// kick, hi-hat, bass, pad and an arpeggio, and tags of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "AudioClip.h"

namespace player_sim {

AudioClip SynthesizeTune();

// A 256 x 256 cover picture for the tune, as RGB pixels.
std::vector<uint8_t> SynthesizeCoverPixels(int size);

}  // namespace player_sim
