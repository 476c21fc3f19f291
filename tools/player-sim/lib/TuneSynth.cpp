#include "TuneSynth.h"

#include <algorithm>
#include <cmath>

namespace player_sim {
namespace {

constexpr int kSampleRate = 44100;
constexpr double kBeatsPerMinute = 112.0;
constexpr int kBars = 8;
constexpr int kBeatsPerBar = 4;
constexpr double kPi = 3.14159265358979323846;

// Chord roots (MIDI) and whether the chord is minor: Am F C G Am F C E.
struct Chord {
  int root;
  bool minor;
};
constexpr Chord kProgression[kBars] = {{57, true}, {53, false}, {48, false}, {55, false},
                                       {57, true}, {53, false}, {48, false}, {52, false}};

double NoteFrequency(int midi) {
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

class Noise {
 public:
  double Next() {
    mState = mState * 1664525u + 1013904223u;
    return static_cast<double>(mState >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
  }

 private:
  uint32_t mState = 0x1234567u;
};

struct StereoBuffer {
  std::vector<double> left;
  std::vector<double> right;

  void Add(size_t frame, double value, double pan) {
    if (frame >= left.size()) return;
    left[frame] += value * (1.0 - pan);
    right[frame] += value * (1.0 + pan);
  }
};

void AddKick(StereoBuffer& out, size_t start) {
  double phase = 0.0;
  const size_t length = kSampleRate * 35 / 100;
  for (size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    phase += 2.0 * kPi * (45.0 + 90.0 * std::exp(-t / 0.03)) / kSampleRate;
    out.Add(start + i, 0.55 * std::sin(phase) * std::exp(-t / 0.16), 0.0);
  }
}

void AddHat(StereoBuffer& out, size_t start, Noise& noise, double pan) {
  double previous = 0.0;
  const size_t length = kSampleRate / 12;
  for (size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double white = noise.Next();
    out.Add(start + i, 0.12 * (white - previous) * std::exp(-t / 0.025), pan);
    previous = white;
  }
}

// A band-limited sawtooth from its first harmonics, with a decaying envelope.
void AddBass(StereoBuffer& out, size_t start, size_t length, double frequency) {
  for (size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double value = 0.0;
    for (int h = 1; h <= 6; ++h) value += std::sin(2.0 * kPi * frequency * h * t) / h;
    const double attack = std::min(1.0, t / 0.01);
    out.Add(start + i, 0.22 * value * attack * std::exp(-t / 0.45), 0.0);
  }
}

void AddPad(StereoBuffer& out, size_t start, size_t length, const Chord& chord) {
  const int third = chord.minor ? 3 : 4;
  const int notes[] = {chord.root + 12, chord.root + 12 + third, chord.root + 19};
  for (size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double envelope =
        std::min(1.0, t / 0.4) * std::min(1.0, (static_cast<double>(length - i)) / 4000.0);
    for (int n = 0; n < 3; ++n) {
      const double f = NoteFrequency(notes[n]);
      const double value = std::sin(2.0 * kPi * f * t) + 0.3 * std::sin(2.0 * kPi * 2.0 * f * t + 0.7);
      out.Add(start + i, 0.045 * value * envelope, n == 0 ? -0.5 : (n == 1 ? 0.5 : 0.0));
    }
  }
}

// Odd harmonics only: a soft square-ish pluck.
void AddPluck(StereoBuffer& out, size_t start, double frequency, double pan) {
  const size_t length = kSampleRate * 3 / 10;
  for (size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double value = 0.0;
    for (int h = 1; h <= 7; h += 2) value += std::sin(2.0 * kPi * frequency * h * t) / (h * h);
    out.Add(start + i, 0.16 * value * std::min(1.0, t / 0.004) * std::exp(-t / 0.12), pan);
  }
}

}  // namespace

AudioClip SynthesizeTune() {
  const double beatSeconds = 60.0 / kBeatsPerMinute;
  const auto beatFrames = static_cast<size_t>(beatSeconds * kSampleRate);
  const size_t barFrames = beatFrames * kBeatsPerBar;
  const size_t totalFrames = barFrames * kBars + kSampleRate / 2;

  StereoBuffer mix{std::vector<double>(totalFrames), std::vector<double>(totalFrames)};
  Noise noise;
  for (int bar = 0; bar < kBars; ++bar) {
    const Chord& chord = kProgression[bar];
    const size_t barStart = barFrames * static_cast<size_t>(bar);
    AddPad(mix, barStart, barFrames, chord);
    const int third = chord.minor ? 3 : 4;
    const int arpeggio[] = {chord.root + 12, chord.root + 12 + third, chord.root + 19, chord.root + 24};
    for (int beat = 0; beat < kBeatsPerBar; ++beat) {
      const size_t beatStart = barStart + beatFrames * static_cast<size_t>(beat);
      AddKick(mix, beatStart);
      AddHat(mix, beatStart + beatFrames / 2, noise, beat % 2 == 0 ? 0.4 : -0.4);
      AddBass(mix, beatStart, beatFrames, NoteFrequency(chord.root - 12 + (beat == 3 ? 7 : 0)));
      for (int eighth = 0; eighth < 2; ++eighth) {
        const int step = (beat * 2 + eighth) % 4;
        const int note = arpeggio[(bar % 2 == 0) ? step : 3 - step] + 12;
        AddPluck(mix, beatStart + eighth * beatFrames / 2, NoteFrequency(note), step % 2 == 0 ? -0.35 : 0.35);
      }
    }
  }

  double peak = 1e-9;
  for (size_t i = 0; i < totalFrames; ++i)
    peak = std::max({peak, std::abs(mix.left[i]), std::abs(mix.right[i])});
  const double gain = 0.85 / peak;
  const size_t fadeFrames = kSampleRate;

  AudioClip clip;
  clip.sampleRate = kSampleRate;
  clip.channels = 2;
  clip.samples.resize(totalFrames * 2);
  for (size_t i = 0; i < totalFrames; ++i) {
    const double fade =
        i + fadeFrames > totalFrames ? static_cast<double>(totalFrames - i) / fadeFrames : 1.0;
    clip.samples[2 * i] = static_cast<float>(mix.left[i] * gain * fade);
    clip.samples[2 * i + 1] = static_cast<float>(mix.right[i] * gain * fade);
  }
  clip.tags.title = "Tidal Lights";
  clip.tags.artist = "The Simulated Players";
  clip.tags.albumArtist = "The Simulated Players";
  clip.tags.album = "Music for Visualizations";
  clip.tags.year = "2024";
  clip.tags.genre = "Electronic";
  return clip;
}

std::vector<uint8_t> SynthesizeCoverPixels(int size) {
  std::vector<uint8_t> pixels(static_cast<size_t>(size) * static_cast<size_t>(size) * 3);
  const double scale = 1.0 / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double u = x * scale;
      const double v = y * scale;
      // Moonlit water: a dusk gradient, a moon, and waves below the horizon.
      double r = 20 + 60 * v;
      double g = 24 + 30 * v;
      double b = 70 + 90 * (1 - v);
      const double moon = std::hypot(u - 0.68, v - 0.3);
      if (moon < 0.12) {
        r = 250;
        g = 240;
        b = 205;
      } else if (moon < 0.2) {
        const double glow = (0.2 - moon) / 0.08;
        r += 120 * glow;
        g += 110 * glow;
        b += 80 * glow;
      }
      if (v > 0.58) {
        const double wave = std::sin(u * 40 + std::sin(v * 30) * 3 + v * 60);
        const double depth = (v - 0.58) / 0.42;
        r = 10 + 20 * depth;
        g = 60 + 80 * depth + 40 * wave;
        b = 110 + 70 * depth + 50 * wave;
        if (std::abs(u - 0.68) < 0.05 + 0.2 * depth && wave > 0.6) {
          r = 230;
          g = 225;
          b = 190;
        }
      }
      uint8_t* p = &pixels[(static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)) * 3];
      p[0] = static_cast<uint8_t>(std::clamp(r, 0.0, 255.0));
      p[1] = static_cast<uint8_t>(std::clamp(g, 0.0, 255.0));
      p[2] = static_cast<uint8_t>(std::clamp(b, 0.0, 255.0));
    }
  }
  return pixels;
}

}  // namespace player_sim
