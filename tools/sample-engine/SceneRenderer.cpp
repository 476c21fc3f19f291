#include "SceneRenderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "SceneLayout.h"

namespace sample_engine {
namespace {

COLORREF ToColorRef(uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

uint32_t Blend(uint32_t from, uint32_t to, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const float a = static_cast<float>((from >> shift) & 0xFF);
    const float b = static_cast<float>((to >> shift) & 0xFF);
    result |= static_cast<uint32_t>(std::lround(a + (b - a) * t)) << shift;
  }
  return result;
}

uint32_t Dim(uint32_t rgb) {
  return (rgb >> 1) & 0x7F7F7F;
}

RECT ToRect(const Box& box) {
  return RECT{box.left, box.top, box.right, box.bottom};
}

int Width(const RECT& r) {
  return r.right - r.left;
}
int Height(const RECT& r) {
  return r.bottom - r.top;
}

}  // namespace

SceneRenderer::~SceneRenderer() {
  if (mDc && mDefaultBitmap != nullptr) SelectObject(mDc.get(), mDefaultBitmap);
}

bool SceneRenderer::EnsureBackBuffer(int width, int height) {
  if (mBitmap && width == mWidth && height == mHeight) return true;
  if (!mDc) {
    mDc.reset(CreateCompatibleDC(nullptr));
    if (!mDc) return false;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(mDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return false;
  HGDIOBJ previous = SelectObject(mDc.get(), bitmap.get());
  if (mDefaultBitmap == nullptr) mDefaultBitmap = previous;
  mBitmap = std::move(bitmap);
  mPixels = static_cast<uint32_t*>(bits);
  mWidth = width;
  mHeight = height;
  return true;
}

void SceneRenderer::EnsureFonts(int visibleHeight) {
  const int titleHeight = std::clamp(visibleHeight / 13, 14, 72);
  if (titleHeight == mFontHeight && mTitleFont) return;
  auto makeFont = [](int height, int weight) {
    return UniqueFont(CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
  };
  mTitleFont = makeFont(titleHeight, FW_BOLD);
  mBodyFont = makeFont(std::max(11, titleHeight * 2 / 3), FW_NORMAL);
  mSmallFont = makeFont(std::max(10, titleHeight / 2), FW_NORMAL);
  mFontHeight = titleHeight;
}

bool SceneRenderer::Draw(HWND window, const SceneContent& content) {
  RECT client{};
  if (window == nullptr || content.scheme == nullptr || !GetClientRect(window, &client)) return false;
  const int width = Width(client);
  const int height = Height(client);
  if (width <= 0 || height <= 0 || !EnsureBackBuffer(width, height)) return false;

  const SceneLayout layout = ComputeSceneLayout(width, height, content.insets.left, content.insets.top,
                                                content.insets.right, content.insets.bottom);
  const RECT visible = ToRect(layout.visible);
  const RECT barBand = ToRect(layout.bars);
  EnsureFonts(layout.visible.Height());
  FillBackground(visible, *content.scheme);
  DrawTrackCached(layout.text, content);
  FillBars(barBand, content);
  DrawScope(ToRect(layout.scope), content);
  DrawStatus(barBand, content);
  GdiFlush();

  WindowDc target(window);
  if (target.get() == nullptr) return false;
  return BitBlt(target.get(), 0, 0, width, height, mDc.get(), 0, 0, SRCCOPY) != FALSE;
}

void SceneRenderer::FillBackground(const RECT& visible, const ColourScheme& scheme) {
  const BackgroundKey key{&scheme, mWidth, mHeight, visible.left, visible.top, visible.right, visible.bottom};
  if (!(key == mBackgroundKey) ||
      mBackground.size() != static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight)) {
    mBackground.resize(static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight));
    for (int y = 0; y < mHeight; ++y) {
      const float t = static_cast<float>(y) / static_cast<float>(std::max(1, mHeight - 1));
      const uint32_t colour = Blend(scheme.backgroundTop, scheme.backgroundBottom, t);
      uint32_t* row = mBackground.data() + static_cast<size_t>(y) * static_cast<size_t>(mWidth);
      // The covered edges are dimmed, so the visible part stands out.
      std::fill(row, row + mWidth, Dim(colour));
      if (y >= visible.top && y < visible.bottom) {
        std::fill(row + std::clamp<int>(visible.left, 0, mWidth),
                  row + std::clamp<int>(visible.right, 0, mWidth), colour);
      }
    }
    mBackgroundKey = key;
  }
  std::copy(mBackground.begin(), mBackground.end(), mPixels);
}

void SceneRenderer::FillBars(const RECT& band, const SceneContent& content) {
  if (content.barCount <= 0 || Width(band) <= 0 || Height(band) <= 0) return;
  const ColourScheme& scheme = *content.scheme;
  const float slot = static_cast<float>(Width(band)) / static_cast<float>(content.barCount);
  const int gap = slot >= 6.0f ? std::max(1, static_cast<int>(slot / 5.0f)) : 0;
  const int bandHeight = Height(band);
  for (int i = 0; i < content.barCount; ++i) {
    const int left = band.left + static_cast<int>(std::lround(slot * static_cast<float>(i)));
    const int right = band.left + static_cast<int>(std::lround(slot * static_cast<float>(i + 1))) - gap;
    if (right <= left) continue;
    const int barHeight =
        static_cast<int>(std::clamp(content.bars[i], 0.0f, 1.0f) * static_cast<float>(bandHeight));
    for (int y = band.bottom - barHeight; y < band.bottom; ++y) {
      const float t = static_cast<float>(band.bottom - y) / static_cast<float>(bandHeight);
      const uint32_t colour = Blend(scheme.barLow, scheme.barHigh, t);
      uint32_t* row = mPixels + static_cast<size_t>(y) * static_cast<size_t>(mWidth);
      std::fill(row + left, row + right, colour);
    }
    const float peak = content.peaks != nullptr ? std::clamp(content.peaks[i], 0.0f, 1.0f) : 0.0f;
    if (peak > 0.01f) {
      const int peakY = std::clamp(
          static_cast<int>(band.bottom) - static_cast<int>(peak * static_cast<float>(bandHeight)) - 3,
          static_cast<int>(band.top), static_cast<int>(band.bottom) - 2);
      for (int y = peakY; y < peakY + 2; ++y) {
        uint32_t* row = mPixels + static_cast<size_t>(y) * static_cast<size_t>(mWidth);
        std::fill(row + left, row + right, scheme.scope);
      }
    }
  }
}

void SceneRenderer::DrawScope(const RECT& band, const SceneContent& content) {
  const int width = Width(band);
  if (width < 2 || Height(band) < 4) return;
  const float centre = static_cast<float>(band.top + band.bottom) / 2.0f;
  const float halfHeight = static_cast<float>(Height(band)) / 2.0f;
  std::vector<int> ys(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x) {
    float sample = 0.0f;
    if (content.waveformCount > 0 && content.waveform != nullptr) {
      sample = content.waveform[x * content.waveformCount / width] / 0.7f * content.scopeGain;
    }
    ys[static_cast<size_t>(x)] =
        static_cast<int>(std::lround(centre - std::clamp(sample, -1.0f, 1.0f) * (halfHeight - 4.0f)));
  }
  // Wide GDI pens are slow to rasterise, so the trace is drawn as vertical
  // spans joining each column to the next: a wide glow, then the line.
  const ColourScheme& scheme = *content.scheme;
  auto trace = [&](int halfThickness, uint32_t colour) {
    for (int x = 0; x < width; ++x) {
      const int y = ys[static_cast<size_t>(x)];
      const int next = ys[static_cast<size_t>(std::min(x + 1, width - 1))];
      const int top = std::clamp(std::min(y, next) - halfThickness, 0, mHeight - 1);
      const int bottom = std::clamp(std::max(y, next) + halfThickness, 0, mHeight - 1);
      for (int row = top; row <= bottom; ++row) {
        mPixels[static_cast<size_t>(row) * static_cast<size_t>(mWidth) + static_cast<size_t>(band.left + x)] =
            colour;
      }
    }
  };
  trace(3, scheme.scopeGlow);
  trace(1, scheme.scope);
}

void SceneRenderer::DrawTrackCached(const Box& band, const SceneContent& content) {
  const int top = std::clamp(band.top, 0, mHeight);
  const int bottom = std::clamp(band.bottom, top, mHeight);
  const size_t first = static_cast<size_t>(top) * static_cast<size_t>(mWidth);
  const size_t count = static_cast<size_t>(bottom - top) * static_cast<size_t>(mWidth);
  const TrackLayerKey key{content.trackVersion, mWidth, mHeight, band.top, band.bottom, content.scheme};
  if (key == mTrackLayerKey && mTrackLayer.size() == count) {
    std::copy(mTrackLayer.begin(), mTrackLayer.end(), mPixels + first);
    return;
  }
  // Text and picture change only with the track: drawn once, then copied.
  DrawTrack(RECT{band.left, band.top, band.right, band.bottom}, content);
  GdiFlush();
  mTrackLayer.assign(mPixels + first, mPixels + first + count);
  mTrackLayerKey = key;
}

void SceneRenderer::DrawTrack(const RECT& band, const SceneContent& content) {
  int textLeft = band.left;
  const int bandHeight = Height(band);
  if (content.art != nullptr && content.art->IsLoaded() && bandHeight > 8) {
    const int side = std::min(bandHeight, Width(band) / 3);
    UniqueMemoryDc artDc(CreateCompatibleDC(mDc.get()));
    if (artDc && side > 0) {
      SelectionGuard selected(artDc.get(), content.art->Bitmap());
      SetStretchBltMode(mDc.get(), HALFTONE);
      SetBrushOrgEx(mDc.get(), 0, 0, nullptr);
      StretchBlt(mDc.get(), band.left, band.top, side, side, artDc.get(), 0, 0, content.art->Width(),
                 content.art->Height(), SRCCOPY);
      textLeft = band.left + side + std::max(8, side / 10);
    }
  }

  const ColourScheme& scheme = *content.scheme;
  const TrackInfo empty;
  const TrackInfo& track = content.track != nullptr ? *content.track : empty;
  std::wstring title(track.title.begin(), track.title.end());
  std::wstring artists(track.artists.begin(), track.artists.end());
  std::wstring album(track.album.begin(), track.album.end());
  if (track.year > 0) album += (album.empty() ? L"" : L"  \u00B7  ") + std::to_wstring(track.year);
  if (title.empty()) {
    title = L"Lumatide";
    if (artists.empty() && album.empty()) artists = L"No track information";
  }

  const UINT format = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  const int lineTitle = mFontHeight * 5 / 4;
  const int lineBody = mFontHeight * 11 / 12;
  RECT box{textLeft, band.top, band.right, band.top + lineTitle};
  DrawTextLine(title, mTitleFont.get(), box, scheme.text, format);
  box.top = box.bottom + mFontHeight / 6;
  box.bottom = box.top + lineBody;
  DrawTextLine(artists, mBodyFont.get(), box, scheme.text, format);
  box.top = box.bottom;
  box.bottom = box.top + lineBody;
  DrawTextLine(album, mBodyFont.get(), box, scheme.textDim, format);
}

void SceneRenderer::DrawStatus(const RECT& band, const SceneContent& content) {
  if (content.status.empty()) return;
  RECT box{band.left, band.top, band.right, band.top + mFontHeight * 3 / 4};
  DrawTextLine(content.status, mSmallFont.get(), box, content.scheme->textDim,
               DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void SceneRenderer::DrawTextLine(const std::wstring& text, HFONT font, RECT box, uint32_t colour,
                                 UINT format) {
  if (text.empty() || font == nullptr || box.right <= box.left) return;
  SelectionGuard selected(mDc.get(), font);
  SetBkMode(mDc.get(), TRANSPARENT);
  RECT shadow{box.left + 2, box.top + 2, box.right + 2, box.bottom + 2};
  SetTextColor(mDc.get(), RGB(0, 0, 0));
  DrawTextW(mDc.get(), text.c_str(), static_cast<int>(text.size()), &shadow, format);
  SetTextColor(mDc.get(), ToColorRef(colour));
  DrawTextW(mDc.get(), text.c_str(), static_cast<int>(text.size()), &box, format);
}

}  // namespace sample_engine
