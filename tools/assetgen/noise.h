// The generator's own random numbers and noise, so that every file comes out
// with the same bytes on every run and machine (no std:: distributions, whose
// results differ between library versions).
#pragma once

#include <cstdint>
#include <string_view>

namespace assetgen {

uint64_t hashString(std::string_view s);

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  explicit Rng(std::string_view name) : state_(hashString(name)) {}
  uint64_t next();
  float uniform();                  // [0, 1)
  float range(float lo, float hi);  // [lo, hi)
  int below(int n);                 // 0 .. n-1
  float gauss();                    // mean 0, deviation 1

 private:
  uint64_t state_;
};

// Smooth value noise in about [-1, 1]; periodX/periodY > 0 make it tile.
float valueNoise(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);
// Fractal sum of octaves, result in about [-1, 1].
float fbm(float x, float y, uint32_t seed, int octaves, float gain = 0.5f, int periodX = 0,
          int periodY = 0);
// Ridged variant (sharp crests), result in [0, 1].
float ridged(float x, float y, uint32_t seed, int octaves);
// Hash of integer coordinates to [0, 1).
float hash01(int x, int y, uint32_t seed);

}  // namespace assetgen
