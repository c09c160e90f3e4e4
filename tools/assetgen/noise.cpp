#include "noise.h"

#include <cmath>

namespace assetgen {

uint64_t hashString(std::string_view s) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

uint64_t Rng::next() {
  // splitmix64: tiny, fast and well distributed.
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

float Rng::uniform() { return float(next() >> 40) / float(1ull << 24); }
float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
int Rng::below(int n) { return n <= 0 ? 0 : int(next() % uint64_t(n)); }
float Rng::gauss() {
  float u = uniform() + 1e-7f, v = uniform();
  return std::sqrt(-2.f * std::log(u)) * std::cos(2.f * float(M_PI) * v);
}

static uint32_t mixBits(uint32_t h) {
  h ^= h >> 16;
  h *= 0x7feb352dU;
  h ^= h >> 15;
  h *= 0x846ca68bU;
  h ^= h >> 16;
  return h;
}

float hash01(int x, int y, uint32_t seed) {
  uint32_t h = mixBits(uint32_t(x) * 0x8da6b343U ^ mixBits(uint32_t(y) * 0xd8163841U ^ seed));
  return float(h >> 8) / float(1u << 24);
}

static int wrap(int v, int period) {
  if (period <= 0) return v;
  v %= period;
  return v < 0 ? v + period : v;
}

float valueNoise(float x, float y, uint32_t seed, int px, int py) {
  float fx = std::floor(x), fy = std::floor(y);
  int ix = int(fx), iy = int(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
  ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
  int x0 = wrap(ix, px), x1 = wrap(ix + 1, px), y0 = wrap(iy, py), y1 = wrap(iy + 1, py);
  float a = hash01(x0, y0, seed), b = hash01(x1, y0, seed);
  float c = hash01(x0, y1, seed), d = hash01(x1, y1, seed);
  float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return (top + (bottom - top) * ty) * 2.f - 1.f;
}

float fbm(float x, float y, uint32_t seed, int octaves, float gain, int px, int py) {
  float sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * valueNoise(x, y, seed + uint32_t(o) * 1013u, px, py);
    norm += amp;
    amp *= gain;
    x *= 2, y *= 2;
    px *= 2, py *= 2;
  }
  return sum / norm;
}

float ridged(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    float n = 1.f - std::fabs(valueNoise(x, y, seed + uint32_t(o) * 7919u));
    sum += amp * n * n;
    norm += amp;
    amp *= 0.5f;
    x *= 2.03f, y *= 2.03f;
  }
  return sum / norm;
}

}  // namespace assetgen
