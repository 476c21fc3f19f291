// Draws one frame of the visualization with GDI: background, spectrum bars,
// oscilloscope, track text and album art, composed on a back buffer and
// copied to the window in one blit. Content stays inside the visible part of
// the window (the client area less the host's insets).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AlbumArt.h"
#include "ColourSchemes.h"
#include "EngineRecords.h"
#include "GdiHandles.h"
#include "SceneLayout.h"

namespace sample_engine {

struct SceneContent {
  const float* waveform = nullptr;  // samples around -0.7 ... 0.7
  int waveformCount = 0;
  const float* bars = nullptr;  // levels 0 ... 1
  const float* peaks = nullptr;
  int barCount = 0;
  float scopeGain = 1.0f;
  const TrackInfo* track = nullptr;
  const AlbumArt* art = nullptr;
  Insets insets;
  const ColourScheme* scheme = nullptr;
  uint64_t trackVersion = 0;  // changes whenever the track, its picture or the scheme changes
  std::wstring status;
};

class SceneRenderer {
 public:
  SceneRenderer() = default;
  ~SceneRenderer();
  SceneRenderer(const SceneRenderer&) = delete;
  SceneRenderer& operator=(const SceneRenderer&) = delete;

  // False when the window has no area to draw into.
  bool Draw(HWND window, const SceneContent& content);

 private:
  bool EnsureBackBuffer(int width, int height);
  void EnsureFonts(int visibleHeight);
  void FillBackground(const RECT& visible, const ColourScheme& scheme);
  void FillBars(const RECT& band, const SceneContent& content);
  void DrawScope(const RECT& band, const SceneContent& content);
  void DrawTrackCached(const Box& band, const SceneContent& content);
  void DrawTrack(const RECT& band, const SceneContent& content);
  void DrawStatus(const RECT& band, const SceneContent& content);
  void DrawTextLine(const std::wstring& text, HFONT font, RECT box, uint32_t colour, UINT format);

  UniqueMemoryDc mDc;
  UniqueBitmap mBitmap;
  HGDIOBJ mDefaultBitmap = nullptr;
  uint32_t* mPixels = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  struct TrackLayerKey {
    uint64_t version = ~0ULL;
    int width = 0;
    int height = 0;
    int top = 0;
    int bottom = 0;
    const ColourScheme* scheme = nullptr;
    bool operator==(const TrackLayerKey&) const = default;
  };
  TrackLayerKey mTrackLayerKey;
  struct BackgroundKey {
    const ColourScheme* scheme = nullptr;
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const BackgroundKey&) const = default;
  };
  BackgroundKey mBackgroundKey;
  std::vector<uint32_t> mBackground;
  std::vector<uint32_t> mTrackLayer;
  UniqueFont mTitleFont;
  UniqueFont mBodyFont;
  UniqueFont mSmallFont;
  int mFontHeight = 0;
};

}  // namespace sample_engine
