// The items the simulator plays: decoded audio and the media object the
// visualization sees for each, with tags from the file or the command line.
#pragma once

#include <string>
#include <vector>

#include "AudioClip.h"
#include "SessionOptions.h"
#include "SimMedia.h"
#include "plugin/ComPtr.h"

namespace player_sim {

struct PlaylistItem {
  std::wstring path;  // empty for the synthesised tune
  AudioClip clip;
  ComPtr<SimMedia> media;
};

struct PlaylistResult {
  std::vector<PlaylistItem> items;
  std::wstring failedFile;  // the file that stopped the build, when one did
  std::string error;        // why; empty on success
};

// Every file is decoded before anything plays, so bad input stops the run
// before it writes anything. tuneCover is the picture given to the
// synthesised tune when no --picture is set (may be empty).
PlaylistResult BuildPlaylist(const SessionOptions& options, const std::wstring& tuneCover);

}  // namespace player_sim
