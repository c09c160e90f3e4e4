// The arena: wall segments that tile end to end, the corner block, the five
// first-layer decorations (gas clouds and planets, drawn turned, so they fit
// in their inscribed circle) and the three large second-layer pieces
// (station wreck, asteroid cluster, a giant asteroid with an outpost).
#include <algorithm>
#include <cmath>

#include "art.h"
#include "noise.h"
#include "raster.h"
#include "scenery.h"

namespace assetgen {

namespace {

// Horizontal wall, 512 x 64, seamless when laid end to end along x.
Image wallHorizontal() {
  const int w = 512, h = 64;
  Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float v = (y + 0.5f) / h;
      // Vertical profile of a rounded beam: lit top face, shadowed bottom.
      float profile = 0.55f + 0.45f * std::sin(v * 3.14159f) - 0.25f * v;
      float grime = fbm(x / 24.f, y / 24.f, 61, 4, 0.5f, 512 / 24 + 0, 0);
      grime = fbm(x * (16.f / w), y / 16.f, 61, 4, 0.5f, 16, 0);
      Color steel = rgb8(118, 124, 136) * (profile * (0.92f + 0.1f * grime));
      bool hazard = y < 9 || y >= h - 9;
      if (hazard) {
        bool yellow = ((x + y) / 10) % 2 == 0;
        steel = (yellow ? rgb8(210, 170, 40) : rgb8(34, 32, 28)) * (0.8f + 0.2f * profile);
      }
      img.over(x, y, steel, 1);
    }
  Mask grooves(w, h), rivets(w, h);
  for (int px = 0; px < w; px += 128) {
    grooves =
        maskUnion(grooves, strokeMask(w, h, {{float(px) + 0.5f, 10}, {float(px) + 0.5f, 54}}, 2.f));
  }
  for (float y : {9.5f, 54.5f})
    grooves = maskUnion(grooves, strokeMask(w, h, {{-4, y}, {float(w) + 4, y}}, 1.5f));
  darkenMask(img, grooves, 0.45f);
  for (int px = 16; px < w; px += 32)
    for (float y : {15.f, 49.f}) {
      addGlow(img, px + 0.5f, y - 0.6f, 2.2f, rgb8(255, 255, 255), 0.35f);
      rivets = maskUnion(rivets, discMask(w, h, px + 1.3f, y + 1.3f, 1.6f));
    }
  darkenMask(img, rivets, 0.6f);
  // Energy conduit along the middle with brighter nodes at each plate.
  Mask conduit = strokeMask(w, h, {{-4, 32}, {float(w) + 4, 32}}, 3.f);
  paintMask(img, strokeMask(w, h, {{-4, 32}, {float(w) + 4, 32}}, 7.f), rgb8(20, 26, 34));
  addMask(img, blurred(conduit, 3), rgb8(40, 180, 255), 0.7f);
  addMask(img, conduit, rgb8(170, 240, 255), 0.9f);
  for (int px = 64; px < w; px += 128) addGlow(img, float(px), 32, 10, rgb8(120, 220, 255), 0.8f);
  return img;
}

Image transposed(const Image& src) {
  Image r(src.h, src.w);
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x) std::copy(src.at(x, y), src.at(x, y) + 4, r.at(y, x));
  return r;
}

Image wallJoint() {
  const int s = 64;
  Image img(s, s);
  Mask block = fillPolygon(s, s, rectPoly(0, 0, s, s));
  Light l;
  l.bevel = 5;
  paintShaded(
      img, block,
      [](float x, float y) {
        bool yellow = int((x + y) / 9) % 2 == 0;
        bool border = x < 10 || y < 10 || x > 54 || y > 54;
        if (border) return yellow ? rgb8(210, 170, 40) : rgb8(34, 32, 28);
        return rgb8(110, 116, 128);
      },
      l);
  Mask plate = fillPolygon(s, s, rectPoly(12, 12, 52, 52));
  Light l2;
  l2.bevel = 4;
  paintShaded(
      img, plate, [](float, float) { return rgb8(96, 102, 116); }, l2);
  addGlow(img, 32, 32, 9, rgb8(80, 200, 255), 1.0f);
  addGlow(img, 32, 32, 4, rgb8(230, 250, 255), 1.0f);
  return img;
}

// A cloud of glowing gas that fades out well inside its circle.
Image gasCloud(uint32_t seed, Color deep, Color bright, float stars) {
  const int s = 512;
  Image img(s, s);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      float dx = (x + 0.5f) / s * 2 - 1, dy = (y + 0.5f) / s * 2 - 1;
      float r = std::hypot(dx, dy);
      if (r >= 0.98f) continue;
      float wx = fbm(dx * 2 + 5, dy * 2, seed, 4), wy = fbm(dx * 2, dy * 2 + 9, seed + 1, 4);
      float n = fbm(dx * 2.2f + wx * 1.2f, dy * 2.2f + wy * 1.2f, seed + 2, 6);
      float shape = std::pow(clamp01(1 - r / 0.95f), 0.9f);
      float gas = clamp01((n * 0.8f + 0.7f) * shape * 1.5f - 0.1f);
      Color c = mix(deep, bright, smoothstep(0.25f, 0.95f, gas));
      img.add(x, y, c, gas * 0.95f);
    }
  Rng rng(seed + 7);
  for (int i = 0; i < int(stars); ++i) {
    float a = rng.range(0, 6.283f), r = 200 * std::sqrt(rng.uniform());
    addGlow(img, 256 + r * std::cos(a), 256 + r * std::sin(a), rng.range(1.5f, 3.5f),
            rgb8(255, 255, 255), 0.9f);
  }
  return img;
}

Image planetDecoration(const PlanetStyle& style, float r) {
  Image img(512, 512);
  paintPlanet(img, 256, 256, r, style);
  return img;
}

Image starCluster() {
  Image img = gasCloud(91, rgb8(20, 50, 110), rgb8(90, 150, 230), 0);
  Rng rng(92);
  for (int i = 0; i < 160; ++i) {
    float r = 150 * std::fabs(rng.gauss()) * 0.7f, a = rng.range(0, 6.283f);
    if (r > 210) continue;
    float m = rng.uniform();
    Color c = m < 0.3f ? rgb8(255, 230, 200) : rgb8(210, 230, 255);
    addGlow(img, 256 + r * std::cos(a), 256 + r * std::sin(a), 1.5f + 3 * m * m, c, 1.0f);
  }
  addGlow(img, 256, 256, 60, rgb8(120, 170, 255), 0.25f);
  return img;
}

// Lumpy rock lit from the upper left: a height field of a squashed sphere
// with noise and craters, shaded through its normals.
void paintRock(Image& img, float cx, float cy, float R, uint32_t seed, Color tint) {
  int x0 = std::max(0, int(cx - R * 1.4f)), x1 = std::min(img.w - 1, int(cx + R * 1.4f));
  int y0 = std::max(0, int(cy - R * 1.4f)), y1 = std::min(img.h - 1, int(cy + R * 1.4f));
  int bw = x1 - x0 + 1, bh = y1 - y0 + 1;
  if (bw <= 2 || bh <= 2) return;
  Rng rng(seed);
  struct Crater {
    float x, y, r;
  };
  std::vector<Crater> craters;
  for (int i = 0; i < 4 + int(R / 25); ++i) {
    float a = rng.range(0, 6.283f), d = R * 0.8f * std::sqrt(rng.uniform());
    craters.push_back({cx + d * std::cos(a), cy + d * std::sin(a), R * rng.range(0.06f, 0.22f)});
  }
  std::vector<float> height(size_t(bw) * bh, -1.f), cover(size_t(bw) * bh, 0.f);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d = std::hypot(dx, dy);
      float a = std::atan2(dy, dx);
      float rr = R * (1 + 0.2f * fbm(std::cos(a) * 1.3f + 3, std::sin(a) * 1.3f, seed, 4));
      size_t i = size_t(y - y0) * bw + (x - x0);
      cover[i] = clamp01(rr - d + 0.5f);
      if (d >= rr + 1) continue;
      float q = std::min(1.f, d / rr);
      float hgt =
          std::sqrt(1 - q * q) * R * 0.6f + fbm(x / 14.f, y / 14.f, seed + 3, 5) * R * 0.06f;
      for (const Crater& c : craters) {
        float cd = std::hypot(x + 0.5f - c.x, y + 0.5f - c.y) / c.r;
        if (cd < 1)
          hgt -= (1 - cd * cd) * c.r * 0.35f;
        else if (cd < 1.35f)
          hgt += (1.35f - cd) * c.r * 0.25f;  // raised lip
      }
      height[i] = hgt;
    }
  const float lx = -0.55f, ly = -0.5f, lz = 0.67f;
  for (int y = y0 + 1; y < y1; ++y)
    for (int x = x0 + 1; x < x1; ++x) {
      size_t i = size_t(y - y0) * bw + (x - x0);
      if (cover[i] <= 0) continue;
      auto h = [&](int ox, int oy) {
        float v = height[i + oy * bw + ox];
        return v < 0 ? 0.f : v;
      };
      float gx = (h(1, 0) - h(-1, 0)) * 0.5f, gy = (h(0, 1) - h(0, -1)) * 0.5f;
      float nl = std::sqrt(gx * gx + gy * gy + 1);
      float lambert = std::max(0.f, (-gx * lx - gy * ly + lz) / nl);
      float tone = 0.85f + 0.25f * fbm(x / 40.f, y / 40.f, seed + 9, 3);
      Color c = tint * (tone * (0.12f + 1.05f * lambert));
      img.over(x, y, c, cover[i]);
    }
}

Image asteroidCluster() {
  Image img(1024, 512);
  struct {
    float x, y, r;
  } rocks[] = {{300, 250, 170}, {640, 210, 120}, {820, 320, 95}, {520, 380, 70},
               {130, 140, 60},  {930, 140, 40},  {720, 430, 36}};
  uint32_t seed = 300;
  for (auto& r : rocks) paintRock(img, r.x, r.y, r.r * 0.95f, seed++, rgb8(150, 132, 118));
  return img;
}

Image giantAsteroid() {
  Image img(1024, 1024);
  paintRock(img, 512, 512, 400, 500, rgb8(140, 128, 120));
  // A small mining outpost clinging to the lit side, with lamps.
  Mask dome = discMask(1024, 1024, 380, 360, 46);
  Light l;
  l.bevel = 16;
  l.specular = 0.9f;
  paintShaded(
      img, dome, [](float, float) { return rgb8(170, 178, 190); }, l);
  Mask pad = fillPolygon(1024, 1024, roundRectPoly(440, 300, 560, 380, 10));
  paintShaded(
      img, pad,
      [](float x, float y) {
        return (int(x / 12) + int(y / 12)) % 2 ? rgb8(90, 94, 104) : rgb8(100, 104, 116);
      },
      l);
  for (V2 p : {V2{444, 304}, V2{556, 304}, V2{444, 376}, V2{556, 376}})
    addGlow(img, p.x, p.y, 9, rgb8(255, 190, 80), 1.0f);
  addGlow(img, 380, 360, 14, rgb8(120, 230, 255), 0.7f);
  paintMask(img, strokeMask(1024, 1024, {{420, 360}, {440, 345}}, 8), rgb8(120, 124, 132));
  return img;
}

// A broken station arm: truss, habitat modules, solar wings, torn end.
Image stationWreck() {
  const int w = 1024, h = 512;
  Image img(w, h);
  Light l;
  l.bevel = 10;
  Mask truss(w, h);
  for (float y : {236.f, 276.f}) truss = maskUnion(truss, strokeMask(w, h, {{70, y}, {860, y}}, 7));
  for (float x = 80; x < 860; x += 40) {
    truss = maskUnion(truss, strokeMask(w, h, {{x, 236}, {x + 40, 276}}, 4));
    truss = maskUnion(truss, strokeMask(w, h, {{x, 236}, {x, 276}}, 4));
  }
  paintShaded(
      img, truss, [](float, float) { return rgb8(140, 140, 146); },
      Light{0.5f, 0.7f, 0.4f, 20, 3, 1});
  for (float x : {230.f, 600.f}) {
    Mask panel = fillPolygon(w, h, rectPoly(x - 70, 40, x + 70, 210));
    panel = maskUnion(panel, fillPolygon(w, h, rectPoly(x - 70, 302, x + 70, 472)));
    paintMask(img, panel, [](float px, float py) {
      bool line = int(px) % 20 < 2 || int(py) % 34 < 2;
      return line ? rgb8(120, 130, 150)
                  : mix(rgb8(30, 50, 120), rgb8(60, 110, 200),
                        fbm(px / 60, py / 60, 7, 2) * 0.5f + 0.5f);
    });
    paintMask(img, strokeMask(w, h, {{x, 206}, {x, 306}}, 8), rgb8(150, 150, 156));
  }
  struct {
    float x0, x1;
    Color c;
  } mods[] = {{110, 190, rgb8(200, 196, 186)},
              {330, 500, rgb8(190, 186, 176)},
              {680, 790, rgb8(176, 90, 60)}};
  for (auto& m : mods) {
    Mask mod = fillPolygon(w, h, roundRectPoly(m.x0, 212, m.x1, 300, 40));
    paintShaded(
        img, mod,
        [c = m.c](float x, float y) { return c * (0.9f + 0.12f * fbm(x / 30, y / 30, 3, 3)); }, l);
    for (float x = m.x0 + 24; x < m.x1 - 20; x += 22)
      addGlow(img, x, 256, 3.5f, rgb8(255, 220, 140), 0.9f);
  }
  // Torn end: jagged scorched edge with embers.
  Rng rng(77);
  Poly tear = {{860, 190}};
  for (float y = 200; y < 330; y += 14) tear.push_back({860 + rng.range(-30, 40), y});
  tear.push_back({860, 330});
  tear.push_back({1000, 330});
  tear.push_back({1000, 190});
  Mask gone = fillPolygon(w, h, tear);
  for (int i = 0; i < int(img.px.size() / 4); ++i) {
    float k = 1 - gone.v[size_t(i)];
    for (int c = 0; c < 4; ++c) img.px[size_t(i) * 4 + c] *= k;
  }
  for (int i = 0; i < 7; ++i)
    addGlow(img, 850 + rng.range(-20, 10), rng.range(215, 300), rng.range(4, 9), rgb8(255, 140, 40),
            0.9f);
  return img;
}

}  // namespace

void makeWalls(Output& out) {
  Image horz = wallHorizontal();
  out.png("Images/horz.PNG", horz, PicKind::Keyed);
  out.png("Images/vert.PNG", transposed(horz), PicKind::Keyed);
  out.png("Images/joint.PNG", wallJoint(), PicKind::Keyed);
}

void makeDecorations(Output& out) {
  out.png("Images/spot.PNG", gasCloud(11, rgb8(90, 20, 120), rgb8(240, 120, 220), 18),
          PicKind::KeyedLight);
  out.png("Images/spot3.PNG", gasCloud(12, rgb8(10, 80, 90), rgb8(90, 230, 200), 12),
          PicKind::KeyedLight);
  PlanetStyle rocky{rgb8(70, 60, 54), rgb8(170, 150, 124), rgb8(120, 160, 255), 0, 0, 13};
  out.png("Images/spot4.PNG", planetDecoration(rocky, 200), PicKind::Keyed);
  PlanetStyle giant{rgb8(150, 70, 30), rgb8(240, 190, 120), rgb8(255, 170, 90), 22, 1.62f, 14};
  out.png("Images/spot5.PNG", planetDecoration(giant, 140), PicKind::Keyed);
  out.png("Images/spot6.PNG", starCluster(), PicKind::KeyedLight);
}

void makeBlocks(Output& out) {
  out.png("Images/block01.PNG", stationWreck(), PicKind::Keyed);
  out.png("Images/block02.PNG", asteroidCluster(), PicKind::Keyed);
  out.png("Images/block03.PNG", giantAsteroid(), PicKind::Keyed);
}

}  // namespace assetgen
