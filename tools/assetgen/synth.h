// Small synthesis kit for the effects and the music: oscillators, filters,
// envelopes and the finishing touches (fades, level) every sound gets.
#pragma once

#include <cmath>
#include <vector>

#include "noise.h"

namespace assetgen {

constexpr int kRate = 44100;
using Samples = std::vector<float>;

// State-variable filter (Chamberlin): low, band and high outputs at once.
struct Svf {
  float low = 0, band = 0;
  // cutoff in Hz, q about 0.5 (soft) .. 10 (ringing); returns {low, band, high}.
  struct Out {
    float low, band, high;
  };
  Out step(float in, float cutoff, float q) {
    float f = 2.f * std::sin(float(M_PI) * std::min(cutoff, kRate * 0.16f) / kRate);
    float high = in - low - band / q;
    band += f * high;
    low += f * band;
    return {low, band, high};
  }
};

struct OnePole {
  float y = 0;
  float lowpass(float x, float cutoff) {
    float a = 1.f - std::exp(-2.f * float(M_PI) * cutoff / kRate);
    y += a * (x - y);
    return y;
  }
};

inline float expDecay(float t, float seconds) { return std::exp(-t / seconds); }
inline float attack(float t, float seconds) { return t >= seconds ? 1.f : t / seconds; }

// Fade in and out, remove DC, bring the peak to the given level: no clicks
// at either end and never at full scale.
void finishSound(Samples& s, float peak, float fadeIn = 0.003f, float fadeOut = 0.03f);
float peakOf(const Samples& s);

}  // namespace assetgen
