// Projectiles, the lightning segments, the engine flame, the bars and the
// small icons. Light-like pictures are pure glow on black (black is their
// colour key); solid ones are painted at four times their size and reduced.
#include <cmath>

#include "art.h"
#include "noise.h"
#include "raster.h"
#include "scenery.h"

namespace assetgen {

namespace {

// Soft bolt of light: wide halo, brighter core, white-hot centre.
Image bolt(int size, Color halo, Color core) {
  Image img(size, size);
  float c = size / 2.f, r = size * 0.46f;
  addGlow(img, c, c, r, halo, 0.55f, 2.2f);
  addGlow(img, c, c, r * 0.55f, halo, 0.9f, 2.f);
  addGlow(img, c, c, r * 0.32f, core, 1.3f, 1.6f);
  addGlow(img, c, c, r * 0.16f, rgb8(255, 255, 255), 1.4f, 1.2f);
  return img;
}

struct Solid {
  int out;
  int S;
  Image img;
  explicit Solid(int size) : out(size), S(size * 4), img(S, S) {}
  void part(const Mask& m, const Paint& p, float bevel, float shine = 0.6f) {
    Light l;
    l.bevel = bevel;
    l.specular = shine;
    paintShaded(img, m, p, l);
  }
  void part(const Mask& m, Color c, float bevel, float shine = 0.6f) {
    part(
        m, [c](float, float) { return c; }, bevel, shine);
  }
  void part(const Poly& poly, Color c, float bevel, float shine = 0.6f) {
    part(fillPolygon(S, S, poly), c, bevel, shine);
  }
  Image done() { return resized(img, out, out); }
};

Image rocket() {
  Solid s(64);
  float cx = 128;
  Poly finR = {{cx + 8, 160}, {cx + 44, 204}, {cx + 44, 222}, {cx + 8, 206}};
  Poly finL;
  for (auto it = finR.rbegin(); it != finR.rend(); ++it) finL.push_back({2 * cx - it->x, it->y});
  s.part(finR, rgb8(200, 50, 40), 4);
  s.part(finL, rgb8(200, 50, 40), 4);
  Poly body =
      mirrored({{cx, 24}, {cx + 12, 50}, {cx + 18, 90}, {cx + 18, 206}, {cx + 12, 214}}, cx);
  s.part(body, rgb8(226, 228, 234), 10);
  Mask nose =
      maskIntersect(fillPolygon(s.S, s.S, rectPoly(0, 0, 256, 70)), fillPolygon(s.S, s.S, body));
  paintMask(s.img, nose, rgb8(214, 48, 36), 0.95f);
  paintMask(
      s.img,
      maskIntersect(fillPolygon(s.S, s.S, rectPoly(0, 150, 256, 162)), fillPolygon(s.S, s.S, body)),
      rgb8(40, 40, 48), 0.8f);
  addGlowEllipse(s.img, cx, 224, 22, 26, rgb8(255, 150, 40), 1.4f, 1.5f);
  addGlowEllipse(s.img, cx, 220, 10, 12, rgb8(255, 250, 220), 1.4f, 1.5f);
  return s.done();
}

Image mine() {
  Solid s(64);
  const float c = 128;
  Poly spikes;
  for (int i = 0; i < 16; ++i) {
    float a = float(M_PI) * 2 * i / 16, r = (i % 2) ? 70.f : 104.f;
    spikes.push_back({c + r * std::cos(a), c + r * std::sin(a)});
  }
  s.part(spikes, rgb8(120, 124, 132), 4);
  s.part(
      fillPolygon(s.S, s.S, ellipsePoly(c, c, 78, 78)),
      [](float x, float y) {
        return fbm(x / 20, y / 20, 77, 3) > 0.1f ? rgb8(70, 74, 82) : rgb8(86, 90, 98);
      },
      22);
  Mask ring = ringMask(s.S, s.S, c, c, 42, 56);
  paintMask(s.img, ring, [c](float x, float y) {
    float a = std::atan2(y - c, x - c);
    return std::sin(a * 8) > 0 ? rgb8(240, 190, 30) : rgb8(26, 24, 20);
  });
  s.part(fillPolygon(s.S, s.S, ellipsePoly(c, c, 30, 30)), rgb8(150, 20, 20), 10, 1.0f);
  addGlow(s.img, c, c, 30, rgb8(255, 60, 40), 0.9f);
  return s.done();
}

Image redLight() {
  Image img(64, 64);
  addGlow(img, 32, 32, 30, rgb8(255, 30, 20), 0.7f, 2.f);
  addMask(img, blurred(ringMask(64, 64, 32, 32, 18, 22), 1.5f), rgb8(255, 80, 60), 0.9f);
  addGlow(img, 32, 32, 12, rgb8(255, 200, 180), 1.2f, 1.5f);
  return img;
}

// Spinning ball of energy with spiral arms (the spin shows in the game).
Image spiralOrb(int size, Color outer, Color inner, int arms, float twist, uint32_t seed) {
  Image img(size, size);
  float c = size / 2.f, R = size * 0.47f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      float dx = (x + 0.5f - c) / R, dy = (y + 0.5f - c) / R, r = std::hypot(dx, dy);
      if (r >= 1) continue;
      float a = std::atan2(dy, dx);
      float turb = fbm(dx * 4, dy * 4, seed, 4);
      float arm = std::pow(0.5f + 0.5f * std::cos(arms * a + r * twist + turb * 2.f), 3.f);
      float fall = std::pow(1 - r, 1.6f);
      float k = std::pow(1 - r, 0.8f) * (0.15f + 1.3f * arm) +
                std::pow(std::max(0.f, 1 - r * 2.6f), 2.f) * 1.2f;
      (void)fall;
      img.add(x, y, mix(outer, inner, clamp01(1 - r * 1.6f)), k);
    }
  addGlow(img, c, c, R * 0.22f, rgb8(255, 255, 255), 1.0f, 1.5f);
  return img;
}

Image frostOrb() {
  Image img = spiralOrb(128, rgb8(40, 140, 255), rgb8(190, 240, 255), 3, 5.f, 31);
  Mask crystal(128, 128);
  for (int i = 0; i < 6; ++i) {
    float a = float(M_PI) * i / 3;
    V2 tip{64 + 52 * std::cos(a), 64 + 52 * std::sin(a)};
    crystal = maskUnion(crystal, strokeMask(128, 128, {{64, 64}, tip}, 3.f));
    for (float t : {0.45f, 0.7f})
      for (float side : {-1.f, 1.f}) {
        V2 base{64 + 52 * t * std::cos(a), 64 + 52 * t * std::sin(a)};
        float b = a + side * 0.7f;
        crystal = maskUnion(
            crystal,
            strokeMask(128, 128, {base, {base.x + 12 * std::cos(b), base.y + 12 * std::sin(b)}},
                       2.f));
      }
  }
  addMask(img, blurred(crystal, 3), rgb8(120, 220, 255), 0.6f);
  addMask(img, crystal, rgb8(235, 250, 255), 0.9f);
  return img;
}

Image planetBuster() {
  Image img(256, 256);
  float c = 128;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      float dx = (x + 0.5f - c) / 120.f, dy = (y + 0.5f - c) / 120.f, r = std::hypot(dx, dy);
      if (r >= 1) continue;
      float a = std::atan2(dy, dx);
      float plasma = fbm(dx * 3 + std::cos(a * 2 + r * 6), dy * 3 + std::sin(a * 2 + r * 6), 41, 5);
      float flare = std::pow(clamp01(0.5f + plasma), 2.f);
      float body = r < 0.55f ? 1.f : std::pow(1 - (r - 0.55f) / 0.45f, 2.2f) * (0.4f + flare);
      Color col = mix(rgb8(130, 30, 255), rgb8(255, 90, 220), flare);
      col = mix(col, rgb8(255, 230, 255), clamp01(1 - r * 2.2f));
      float k = body * (r < 0.55f ? 0.75f + 0.5f * flare : 1.f);
      img.add(x, y, col, k);
    }
  addGlow(img, c, c, 50, rgb8(255, 255, 255), 1.0f, 1.4f);
  return img;
}

Image shrapnel() {
  Solid s(32);
  Poly shard = {{44, 24}, {96, 40}, {110, 86}, {70, 104}, {30, 90}, {22, 56}};
  s.part(
      fillPolygon(128, 128, shard),
      [](float x, float y) {
        float t = clamp01((std::hypot(x - 64, y - 64)) / 50);
        return mix(rgb8(255, 240, 170), rgb8(230, 90, 20), t);
      },
      6, 0.8f);
  return s.done();
}

// A jagged bolt from the middle of the top edge to the middle of the bottom
// edge, so that segments drawn end to end join up.
Image lightning(uint32_t seed) {
  const int w = 64, h = 128;
  Rng rng(seed);
  Poly pts = {{32, 8}, {32, 120}};
  for (int level = 0; level < 5; ++level) {
    Poly next;
    float amp = 15.f / float(1 << level);
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
      next.push_back(pts[i]);
      V2 mid{(pts[i].x + pts[i + 1].x) / 2 + rng.range(-amp, amp), (pts[i].y + pts[i + 1].y) / 2};
      mid.x = std::clamp(mid.x, 16.f, 48.f);
      next.push_back(mid);
    }
    next.push_back(pts.back());
    pts = next;
  }
  Mask core = strokeMask(w, h, pts, 2.6f);
  size_t at = pts.size() / 3 + rng.below(int(pts.size() / 3));
  Poly branch = {pts[at]};
  for (int i = 0; i < 5; ++i)
    branch.push_back({std::clamp(branch.back().x + rng.range(-8, 12), 14.f, 50.f),
                      std::min(112.f, branch.back().y + rng.range(5, 10))});
  Mask twig = strokeMask(w, h, branch, 1.4f);
  Image img(w, h);
  addMask(img, blurred(maskUnion(core, twig), 5), rgb8(60, 110, 255), 1.2f);
  addMask(img, blurred(core, 2.5f), rgb8(150, 200, 255), 1.0f);
  addMask(img, maskUnion(core, twig), rgb8(245, 250, 255), 1.f);
  return img;
}

Image spark(uint32_t seed) {
  Image img(64, 64);
  Rng rng(seed);
  addGlow(img, 32, 32, 28, rgb8(60, 120, 255), 0.6f);
  for (int i = 0; i < 5; ++i) {
    float a = rng.range(0, 6.283f);
    Poly arc = {{32, 32}};
    for (int k = 1; k <= 4; ++k) {
      a += rng.range(-0.6f, 0.6f);
      arc.push_back({32 + 6.f * k * std::cos(a), 32 + 6.f * k * std::sin(a)});
    }
    addMask(img, strokeMask(64, 64, arc, 1.5f), rgb8(200, 225, 255), 0.9f);
  }
  addGlow(img, 32, 32, 10, rgb8(255, 255, 255), 1.3f, 1.5f);
  return img;
}

Image engineFlame() {
  const int w = 64, h = 256;
  Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float t = (y - 2.5f) / (h - 6.f);  // 0 at the nozzle, 1 at the tail; a black rim all round
      if (t < 0 || t > 1) continue;
      float width = 27.f * std::pow(std::sin(std::min(1.f, t * 5.f + 0.12f) * 1.5708f), 0.6f) *
                    std::pow(1 - t, 0.9f);
      float dx = std::fabs(x + 0.5f - 32.f);
      if (width <= 0.5f || dx > width) continue;
      float across = 1 - dx / width;
      float flick = 0.85f + 0.3f * fbm(x / 9.f, y / 22.f, 57, 3);
      float core = std::pow(across, 2.f) * std::pow(1 - t, 1.2f);
      // Stays bright to its tip and simply gets thinner: a dim tail would
      // show as a brown stick once the colour key makes it opaque.
      Color c = mix(rgb8(255, 150, 40), rgb8(255, 70, 20), smoothstep(0.2f, 0.9f, t));
      c = mix(c, rgb8(255, 248, 215), clamp01(core * 1.8f));
      float k = (0.55f + 0.45f * std::pow(across, 0.7f)) * (1 - t * t * t) * flick;
      img.add(x, y, c, k);
    }
  return img;
}

Image bar(Color c) {
  const int w = 128, h = 16;
  Image img(w, h);
  Mask m = fillPolygon(w, h, roundRectPoly(1, 2, w - 1, h - 2, 5));
  paintMask(img, m, [c](float x, float y) {
    float t = (y - 2) / 12.f;
    Color col = mix(c * 1.35f, c * 0.55f, t);
    if (t < 0.28f) col = col + Color{0.35f, 0.35f, 0.35f} * (1 - t / 0.28f);
    if (int(x) % 8 == 0) col = col * 0.75f;  // segment ticks
    return col;
  });
  return img;
}

Image white() {
  Image img(16, 16);
  img.fill({1, 1, 1});
  return img;
}

Image arrowIcon() {
  Solid s(64);
  Poly p = mirrored({{128, 18}, {214, 120}, {160, 120}, {160, 236}}, 128);
  s.part(p, rgb8(90, 230, 140), 12);
  return s.done();
}

Image chevron(bool up) {
  Solid s(64);
  s.part(
      fillPolygon(256, 256, roundRectPoly(20, 20, 236, 236, 40)),
      [](float, float y) { return mix(rgb8(60, 80, 120), rgb8(20, 28, 50), y / 256); }, 14, 0.4f);
  Poly v = {{128, 70}, {200, 150}, {168, 180}, {128, 136}, {88, 180}, {56, 150}};
  if (!up)
    for (V2& q : v) q.y = 256 - q.y;
  s.part(v, rgb8(120, 220, 255), 8, 0.9f);
  return s.done();
}

Image barrierIcon() {
  Image img(64, 64);
  Poly hex = ellipsePoly(32, 32, 27, 27, 6, 30);
  Mask fill = fillPolygon(64, 64, hex);
  addMask(img, fill, rgb8(30, 120, 200), 0.35f);
  for (float r : {9.f, 17.f})
    addMask(img,
            strokeMask(
                64, 64,
                [&] {
                  Poly p = ellipsePoly(32, 32, r, r, 6, 30);
                  p.push_back(p[0]);
                  return p;
                }(),
                1.5f),
            rgb8(110, 200, 255), 0.55f);
  Poly rim = hex;
  rim.push_back(rim[0]);
  addMask(img, blurred(strokeMask(64, 64, rim, 3), 2.5f), rgb8(60, 180, 255), 1.0f);
  addMask(img, strokeMask(64, 64, rim, 2.5f), rgb8(210, 245, 255), 1.0f);
  return img;
}

}  // namespace

void makeShots(Output& out) {
  out.png("Images/Laser.PNG", bolt(64, rgb8(255, 40, 30), rgb8(255, 150, 130)),
          PicKind::KeyedLight);
  out.png("Images/YellowLaser.PNG", bolt(64, rgb8(255, 200, 30), rgb8(255, 245, 170)),
          PicKind::KeyedLight);
  out.png("Images/BlueLaser.PNG", bolt(64, rgb8(40, 120, 255), rgb8(160, 220, 255)),
          PicKind::KeyedLight);
  out.png("Images/Gauss.PNG", bolt(64, rgb8(170, 90, 255), rgb8(230, 200, 255)),
          PicKind::KeyedLight);
  out.png("Images/gauss2.PNG", bolt(64, rgb8(40, 255, 120), rgb8(200, 255, 210)),
          PicKind::KeyedLight);
  out.png("Images/GaussTrail.PNG", bolt(64, rgb8(255, 110, 20), rgb8(255, 220, 120)),
          PicKind::KeyedLight);
  out.png("Images/Rocket.PNG", rocket(), PicKind::Keyed);
  out.png("Images/Mine.PNG", mine(), PicKind::Keyed);
  out.png("Images/RedBorder.PNG", redLight(), PicKind::KeyedLight);
  out.png("Images/BigBullet.PNG",
          spiralOrb(128, rgb8(255, 80, 190), rgb8(255, 220, 120), 3, 7.f, 21), PicKind::KeyedLight);
  out.png("Images/BigBullet3.PNG", frostOrb(), PicKind::KeyedLight);
  out.png("Images/PLanetDestroyer.PNG", planetBuster(), PicKind::KeyedLight);
  out.png("Images/Shrapnel.PNG", shrapnel(), PicKind::Keyed);
  out.png("Images/smoke001.PNG", lightning(101), PicKind::KeyedLight);
  out.png("Images/smoke002.PNG", lightning(202), PicKind::KeyedLight);
  out.png("Images/smoke003.PNG", lightning(303), PicKind::KeyedLight);
  out.png("Images/lit1.PNG", spark(11), PicKind::KeyedLight);
  out.png("Images/lit2.PNG", spark(22), PicKind::KeyedLight);
}

void makeIcons(Output& out) {
  out.png("Images/EngineTrail.PNG", engineFlame(), PicKind::KeyedLight);
  out.png("Images/GoodHealth.PNG", bar(rgb8(60, 200, 70)), PicKind::Keyed);
  out.png("Images/MidHealth.PNG", bar(rgb8(230, 190, 40)), PicKind::Keyed);
  out.png("Images/LowHealth.PNG", bar(rgb8(220, 50, 40)), PicKind::Keyed);
  out.png("Images/PureWhite.PNG", white(), PicKind::Opaque);
  out.png("Images/Arrow.PNG", arrowIcon(), PicKind::Keyed);
  out.png("Images/ArrowUp.PNG", chevron(true), PicKind::Keyed);
  out.png("Images/ArrowDown.PNG", chevron(false), PicKind::Keyed);
  out.png("Images/Barrier.PNG", barrierIcon(), PicKind::KeyedLight);
}

}  // namespace assetgen
