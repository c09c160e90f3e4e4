#include "synth.h"

#include <algorithm>

namespace assetgen {

float peakOf(const Samples& s) {
  float p = 0;
  for (float v : s) p = std::max(p, std::fabs(v));
  return p;
}

void finishSound(Samples& s, float peak, float fadeIn, float fadeOut) {
  if (s.empty()) return;
  // Gentle DC blocker.
  float prevIn = 0, prevOut = 0;
  for (float& v : s) {
    float out = v - prevIn + 0.9995f * prevOut;
    prevIn = v;
    prevOut = out;
    v = out;
  }
  size_t in = size_t(fadeIn * kRate), out = size_t(fadeOut * kRate);
  for (size_t i = 0; i < in && i < s.size(); ++i) s[i] *= float(i) / float(in);
  for (size_t i = 0; i < out && i < s.size(); ++i) {
    float k = float(i) / float(out);
    s[s.size() - 1 - i] *= k * k;
  }
  float p = peakOf(s);
  if (p > 0)
    for (float& v : s) v *= peak / p;
}

}  // namespace assetgen
