// The five frame sequences. They are loaded opaque and drawn additively, so
// black is "no light"; every frame keeps its light inside the inscribed
// circle, because the square quad must never show its edges.
#include <cmath>
#include <cstdio>

#include "art.h"
#include "noise.h"
#include "raster.h"
#include "scenery.h"

namespace assetgen {

namespace {

// Black body-ish ramp: 0 dark red .. 1 white.
Color heat(float t) {
  t = clamp01(t);
  if (t < 0.33f) return mix(rgb8(60, 6, 2), rgb8(220, 50, 10), t / 0.33f);
  if (t < 0.66f) return mix(rgb8(220, 50, 10), rgb8(255, 170, 40), (t - 0.33f) / 0.33f);
  return mix(rgb8(255, 170, 40), rgb8(255, 250, 225), (t - 0.66f) / 0.34f);
}

// Fades everything out towards the inscribed circle.
void circleFade(Image& img) {
  float c = img.w / 2.f;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      float r = std::hypot(x + 0.5f - c, y + 0.5f - c) / c;
      float k = 1 - smoothstep(0.86f, 0.985f, r);
      float* p = img.at(x, y);
      p[0] *= k, p[1] *= k, p[2] *= k;
    }
}

struct Debris {
  float angle, speed, size;
};

std::vector<Debris> debris(uint32_t seed, int n) {
  Rng rng(seed);
  std::vector<Debris> d;
  for (int i = 0; i < n; ++i)
    d.push_back({rng.range(0, 6.283f), rng.range(0.45f, 1.f), rng.range(0.6f, 1.4f)});
  return d;
}

// One frame of a blast: flash, turbulent fireball, shock ring, sparks, smoke.
Image blastFrame(float t, uint32_t seed, Color ringColor, bool plasma) {
  const int s = 256;
  const float c = s / 2.f, R = s * 0.47f;
  Image img(s, s);
  float fireR = R * 0.78f * (1 - std::exp(-t * 7.f)) + R * 0.08f;
  float fireI = std::exp(-t * 3.4f);
  float smokeR = R * (0.35f + 0.6f * std::sqrt(t));
  float smokeI = smoothstep(0.1f, 0.35f, t) * (1 - smoothstep(0.55f, 1.f, t));
  float ringR = R * (0.2f + 0.78f * std::pow(t, 0.4f)), ringW = R * (0.025f + 0.05f * t);
  float ringI = std::pow(1 - t, 2.2f) * smoothstep(0.f, 0.06f, t);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      float dx = x + 0.5f - c, dy = y + 0.5f - c, d = std::hypot(dx, dy);
      float u = dx / R, v = dy / R;
      // The gas pattern grows with the fireball and churns over time.
      float zoom = 1.4f / (0.4f + t);
      float wx = fbm(u * 2 * zoom + 3, v * 2 * zoom + t * 2, seed, 3);
      float wy = fbm(u * 2 * zoom - t * 2, v * 2 * zoom + 7, seed + 1, 3);
      float n = fbm(u * 3 * zoom + wx, v * 3 * zoom + wy, seed + 2, 4) * 0.5f + 0.5f;
      float ang = std::atan2(dy, dx);
      float lobes =
          fbm(std::cos(ang) * 1.8f + 5, std::sin(ang) * 1.8f + t, seed + 3, 3) * 0.5f + 0.5f;
      float body = clamp01(1 - d / (fireR * (0.45f + 0.5f * lobes + 0.4f * n)));
      // Billows: hot and cooler cells of gas, hottest in the middle.
      float h = body * fireI * (0.25f + 1.5f * n * n) * 1.9f;
      Color fire = plasma ? mix(rgb8(60, 20, 160), rgb8(200, 240, 255), clamp01(h)) : heat(h);
      img.add(x, y, fire, clamp01(body * 1.4f) * std::min(1.f, fireI * 2.2f + 0.15f));
      if (smokeI > 0) {
        float sm = clamp01(1 - d / (smokeR * (0.7f + 0.6f * n))) * smokeI * (0.4f + 0.6f * n);
        img.add(x, y, plasma ? rgb8(50, 40, 90) : rgb8(90, 70, 60), sm * 0.55f);
      }
      if (ringI > 0) {
        float rd = std::fabs(d - ringR) / ringW;
        if (rd < 1) {
          // Broken up along its length so it reads as a shock front, not a bubble.
          float along =
              fbm(std::cos(ang) * 3.f + 20, std::sin(ang) * 3.f + t * 2, seed + 4, 3) * 0.5f + 0.5f;
          float k = (1 - rd * rd) * ringI * (0.1f + 0.9f * along * along) * (0.4f + 0.6f * n);
          img.add(x, y, ringColor, k * 0.8f);
        }
      }
    }
  // A white flash in the first frames.
  if (t < 0.2f)
    addGlow(img, c, c, R * (0.3f + t * 2.5f), rgb8(255, 255, 255), 1.4f * (1 - t / 0.2f), 1.5f);
  // Sparks: short hot streaks flying outwards.
  for (const Debris& p : debris(seed + 5, 26)) {
    float dist = R * 0.9f * p.speed * (1 - std::exp(-t * 5.f));
    float life = 1 - smoothstep(0.3f * p.speed, 0.9f * p.speed, t);
    if (life <= 0) continue;
    float ca = std::cos(p.angle), sa = std::sin(p.angle), len = 4 + 14 * p.speed * (1 - t);
    Color spark = plasma ? rgb8(170, 220, 255) : rgb8(255, 200, 110);
    // A hot head with a fading tail.
    for (int k = 0; k < 6; ++k) {
      float back = len * k / 6.f;
      addGlow(img, c + ca * (dist - back), c + sa * (dist - back), 2.2f * p.size * (1 - k / 8.f),
              spark, life * (1 - k / 6.f), 1.5f);
    }
  }
  circleFade(img);
  return img;
}

Image smokeFrame(float t) {
  const int s = 128;
  const float c = s / 2.f;
  Image img(s, s);
  float R = s * (0.26f + 0.2f * std::sqrt(t));
  float I = smoothstep(0.f, 0.05f, t + 0.02f) * std::pow(1 - t, 1.3f);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      float dx = x + 0.5f - c, dy = y + 0.5f - c, d = std::hypot(dx, dy);
      float n = fbm(dx / 22.f + t * 1.5f, dy / 22.f - t, 601, 4) * 0.5f + 0.5f;
      float k = clamp01(1 - d / (R * (0.75f + 0.5f * n)));
      k = k * k * (3 - 2 * k);
      img.add(x, y, mix(rgb8(130, 125, 120), rgb8(225, 220, 214), n), k * I * (0.75f + 0.6f * n));
    }
  circleFade(img);
  return img;
}

Image flameFrame(int i, int count) {
  const int s = 128;
  const float c = s / 2.f;
  float t = float(i) / (count - 1);
  float I = smoothstep(0.f, 0.12f, t + 0.06f) * (1 - smoothstep(0.6f, 1.f, t));
  Image img(s, s);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      float dx = (x + 0.5f - c) / c, dy = (y + 0.5f - c) / c, d = std::hypot(dx, dy);
      float a = std::atan2(dy, dx);
      // Tongues of flame: noise along the angle, flowing outwards.
      float tongue =
          fbm(std::cos(a) * 2.5f + 11, std::sin(a) * 2.5f + d * 3 - t * 6, 701, 4) * 0.5f + 0.5f;
      float reach = 0.35f + 0.55f * tongue;
      float k = clamp01(1 - d / reach);
      float h = k * (0.7f + 0.6f * tongue) * I * 1.5f;
      img.add(x, y, heat(h), clamp01(k * 1.5f) * I);
    }
  addGlow(img, c, c, 20, rgb8(255, 240, 200), 0.8f * I);
  circleFade(img);
  return img;
}

// Blue electric crackle over an icy disc: frames look alike so the overlay
// can cycle through them.
Image shockFrame(int i) {
  const int s = 256;
  const float c = s / 2.f;
  Image img(s, s);
  Rng rng(900 + uint64_t(i));
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      float d = std::hypot(x + 0.5f - c, y + 0.5f - c) / (c * 0.92f);
      if (d >= 1) continue;
      float frost = fbm(x / 26.f, y / 26.f, 910 + uint32_t(i), 4) * 0.5f + 0.5f;
      img.add(x, y, mix(rgb8(30, 70, 120), rgb8(90, 170, 230), frost), 0.5f * (0.5f + 0.5f * d));
    }
  addMask(img, blurred(ringMask(s, s, c, c, c * 0.84f, c * 0.9f), 3), rgb8(140, 210, 255), 0.8f);
  Mask arcs(s, s);
  for (int k = 0; k < 7; ++k) {
    float a = rng.range(0, 6.283f), r = rng.range(10, 40);
    Poly p = {{c + r * std::cos(a), c + r * std::sin(a)}};
    for (int j = 0; j < 8; ++j) {
      a += rng.range(-0.5f, 0.5f);
      r = std::min(c * 0.86f, r + rng.range(8, 16));
      p.push_back({c + r * std::cos(a), c + r * std::sin(a)});
    }
    arcs = maskUnion(arcs, strokeMask(s, s, p, rng.range(1.5f, 3.f)));
  }
  addMask(img, blurred(arcs, 6), rgb8(60, 140, 255), 1.2f);
  addMask(img, arcs, rgb8(225, 245, 255), 1.f);
  circleFade(img);
  return img;
}

std::string number2(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

}  // namespace

void makeSpaceExplosion(Output& out) {
  for (int i = 0; i < 30; ++i)
    out.png("LoopedTextures/SpaceExplosion/SpaceExplosion128_00" + number2(i) + ".PNG",
            blastFrame(i / 29.f, 1200, rgb8(150, 200, 255), false), PicKind::Opaque, i % 4 == 1);
}

void makeExplosion1(Output& out) {
  for (int i = 1; i <= 30; ++i)
    out.png("LoopedTextures/Explosion1/" + std::to_string(i) + ".PNG",
            blastFrame((i - 1) / 29.f, 1300, rgb8(200, 150, 255), true), PicKind::Opaque,
            i % 6 == 2);
}

void makeSmallEffects(Output& out) {
  for (int i = 0; i < 40; ++i)
    out.png("LoopedTextures/Smoke/Smoke_00" + number2(i) + ".PNG", smokeFrame(i / 39.f),
            PicKind::Opaque, i % 8 == 1);
  for (int i = 0; i < 20; ++i)
    out.png("LoopedTextures/Flame/TorchFlameBase_00" + number2(i) + ".PNG", flameFrame(i, 20),
            PicKind::Opaque, i % 5 == 1);
  for (int i = 0; i < 20; ++i)
    out.png("LoopedTextures/BlueCrap/ShockRifle_00" + number2(i) + ".PNG", shockFrame(i),
            PicKind::Opaque, i % 7 == 1);
}

}  // namespace assetgen
