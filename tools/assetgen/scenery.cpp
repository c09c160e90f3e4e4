#include "scenery.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

namespace assetgen {

void paintStars(Image& img, uint32_t seed, int count, float brightness) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    float x = rng.range(0, float(img.w)), y = rng.range(0, float(img.h));
    float m = rng.uniform();
    float mag = m * m * m;  // many faint, few bright
    float t = rng.uniform();
    Color c =
        t < 0.2f ? rgb8(255, 214, 170) : (t < 0.55f ? rgb8(200, 220, 255) : rgb8(255, 255, 255));
    float k = (0.25f + 0.75f * mag) * brightness;
    addGlow(img, x, y, 1.2f + 2.2f * mag, c, k * 1.2f, 2.5f);
    if (mag > 0.55f) {  // the brightest get a soft halo and a faint cross
      addGlow(img, x, y, 9.f * mag, c, 0.18f * k, 2.f);
      addGlowEllipse(img, x, y, 18.f * mag, 1.2f, c, 0.35f * k, 1.5f);
      addGlowEllipse(img, x, y, 1.2f, 18.f * mag, c, 0.35f * k, 1.5f);
    }
  }
}

void paintSpace(Image& img, uint32_t seed, const NebulaStyle& s, int stars) {
  float inv = s.scale / float(std::max(img.w, img.h));
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      float u = x * inv, v = y * inv;
      // Domain warping gives the gas its folded, wispy look.
      float wx = fbm(u + 3.1f, v + 1.7f, seed + 11, 4);
      float wy = fbm(u - 2.3f, v + 5.2f, seed + 12, 4);
      float n = fbm(u + 1.6f * wx, v + 1.6f * wy, seed + 13, 6);
      float dust = fbm(u * 2.2f + 7.f, v * 2.2f, seed + 14, 5);
      float gas = smoothstep(-0.15f, 0.65f, n) * s.amount;
      Color base = mix(rgb8(3, 3, 10), rgb8(8, 6, 20), float(y) / img.h);
      Color c = base + mix(s.deep, s.mid, smoothstep(0.f, 0.6f, gas)) * gas;
      c = c + s.bright * (std::pow(smoothstep(0.35f, 0.9f, gas), 2.f) * 0.8f);
      float lane = smoothstep(0.1f, 0.5f, dust);  // dark dust lanes cut the glow
      c = c * (1.f - 0.55f * lane * gas);
      img.over(x, y, c, 1);
    }
  paintStars(img, seed + 99, stars);
}

void paintPlanet(Image& img, float cx, float cy, float r, const PlanetStyle& s) {
  const float lx = -0.62f, ly = -0.48f, lz = 0.62f;
  int x0 = std::max(0, int(cx - r * (s.ring > 0 ? s.ring : 1.1f) - 2));
  int x1 = std::min(img.w - 1, int(cx + r * (s.ring > 0 ? s.ring : 1.1f) + 2));
  int y0 = std::max(0, int(cy - r * 1.2f)), y1 = std::min(img.h - 1, int(cy + r * 1.2f));
  auto ringAt = [&](float px, float py, bool front) -> float {
    if (s.ring <= 0) return 0;
    // A tilted ring: ellipse flattened 0.28, turned a little.
    float dx = px - cx, dy = py - cy;
    float c = std::cos(-0.25f), sn = std::sin(-0.25f);
    float rx = dx * c - dy * sn, ry = (dx * sn + dy * c) / 0.28f;
    if (front != (ry > 0)) return 0;
    float d = std::hypot(rx, ry) / r;
    if (d < 1.35f || d > s.ring) return 0;
    float bands = 0.55f + 0.45f * std::sin(d * 38.f) * std::sin(d * 11.f + 1.f);
    return bands * smoothstep(1.35f, 1.45f, d) * (1 - smoothstep(s.ring - 0.1f, s.ring, d));
  };
  Color ringColor = mix(s.light, rgb8(230, 220, 200), 0.5f);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      float back = ringAt(px, py, false);
      if (back > 0) img.over(x, y, ringColor * 0.8f, back * 0.85f);
      float dx = (px - cx) / r, dy = (py - cy) / r, d2 = dx * dx + dy * dy;
      float d = std::sqrt(d2);
      if (d < 1.f) {
        float nz = std::sqrt(1 - d2);
        float lambert = std::max(0.f, dx * lx + dy * ly + nz * lz);
        float t;
        if (s.bands > 0) {
          float warp = fbm(dx * 3 + 4, dy * 3, s.seed, 4) * 0.12f;
          t = 0.5f + 0.5f * std::sin((dy + warp) * s.bands + fbm(dx, dy * 8, s.seed + 3, 3) * 2.f);
        } else {
          // Continents on a sphere: sample noise on the projected surface.
          float u = dx / (nz + 0.6f), v = dy / (nz + 0.6f);
          t = smoothstep(-0.05f, 0.2f, fbm(u * 2.2f + 9, v * 2.2f, s.seed, 6));
        }
        Color surf = mix(s.dark, s.light, t);
        float light = 0.05f + 1.05f * std::pow(lambert, 0.9f);
        Color c = surf * light;
        float rim = std::pow(1 - nz, 3.f) * (0.35f + lambert);
        c = c + s.atmosphere * (rim * 1.2f);
        float edge = clamp01((1 - d) * r + 0.5f);
        img.over(x, y, c, edge);
      }
      // Atmosphere haze just outside the limb, on the lit side.
      if (d >= 0.97f && d < 1.12f) {
        float facing = std::max(0.f, (dx * lx + dy * ly) / std::max(d, 1e-3f));
        float k = std::pow(1 - (d - 0.97f) / 0.15f, 2.f) * (0.25f + 0.75f * facing);
        img.add(x, y, s.atmosphere, k * 0.6f);
      }
      float front = ringAt(px, py, true);
      if (front > 0) {
        float shade = 0.55f + 0.45f * clamp01(0.5f - (px - cx) / (2 * r) + 0.3f);
        img.over(x, y, ringColor * shade, front * 0.85f);
      }
    }
}

void darkenBottom(Image& img, int fromY, float floor) {
  for (int y = std::max(0, fromY); y < img.h; ++y) {
    float k = 1 - (1 - floor) * smoothstep(float(fromY), float(img.h), float(y));
    for (int x = 0; x < img.w; ++x) {
      float* p = img.at(x, y);
      p[0] *= k, p[1] *= k, p[2] *= k;
    }
  }
}

void paintText(Image& img, Typeface& face, std::string_view text, float x, float baseline,
               float size, Color c, float scaleX, float glow, Color glowColor, float tracking) {
  Mask m(img.w, img.h);
  face.draw(m, text, x, baseline, size, scaleX, 0.f, tracking);
  if (glow > 0) addMask(img, blurred(m, size * 0.35f), glowColor, glow);
  paintMask(img, m, c);
}

void paintTextCentred(Image& img, Typeface& face, std::string_view text, float cx, float baseline,
                      float size, Color c, float glow, Color glowColor, float tracking) {
  float w = face.width(text, size, 1.f, tracking);
  paintText(img, face, text, cx - w / 2, baseline, size, c, 1.f, glow, glowColor, tracking);
}

Poly roundRectPoly(float x0, float y0, float x1, float y1, float r) {
  Poly p;
  const int n = 8;
  struct Corner {
    float cx, cy, a0;
  } corners[4] = {
      {x1 - r, y0 + r, -90}, {x1 - r, y1 - r, 0}, {x0 + r, y1 - r, 90}, {x0 + r, y0 + r, 180}};
  for (const Corner& c : corners)
    for (int i = 0; i <= n; ++i) {
      float a = (c.a0 + 90.f * i / n) * float(M_PI) / 180.f;
      p.push_back({c.cx + r * std::cos(a), c.cy + r * std::sin(a)});
    }
  return p;
}

void paintPanel(Image& img, float x0, float y0, float x1, float y1, Color rim, float opacity) {
  Mask body = fillPolygon(img.w, img.h, roundRectPoly(x0, y0, x1, y1, 10));
  paintMask(
      img, body,
      [&](float, float y) { return mix(rgb8(14, 20, 38), rgb8(6, 8, 18), (y - y0) / (y1 - y0)); },
      opacity);
  Poly edge = roundRectPoly(x0 + 0.5f, y0 + 0.5f, x1 - 0.5f, y1 - 0.5f, 10);
  edge.push_back(edge.front());
  Mask line = strokeMask(img.w, img.h, edge, 1.5f);
  addMask(img, blurred(line, 4), rim, 0.25f);
  paintMask(img, line, rim * 0.8f, 0.9f);
}

void paintButton(Image& img, Typeface& face, float cx, float cy, float w, float h,
                 std::string_view label, Color accent) {
  float x0 = cx - w / 2, y0 = cy - h / 2, x1 = cx + w / 2, y1 = cy + h / 2;
  Mask body = fillPolygon(img.w, img.h, roundRectPoly(x0, y0, x1, y1, 7));
  Mask glow = blurred(body, 7);
  addMask(img, maskSubtract(glow, body), accent, 0.35f);
  paintMask(img, body, [&](float, float y) {
    float t = (y - y0) / h;
    Color top = mix(rgb8(46, 62, 96), accent, 0.18f), bottom = rgb8(10, 14, 30);
    return mix(top, bottom, std::pow(t, 0.7f));
  });
  // Glassy highlight on the upper half.
  Mask shine = fillPolygon(img.w, img.h, roundRectPoly(x0 + 3, y0 + 2.5f, x1 - 3, cy - 1, 5));
  addMask(img, shine, rgb8(255, 255, 255), 0.10f);
  Poly edge = roundRectPoly(x0 + 0.75f, y0 + 0.75f, x1 - 0.75f, y1 - 0.75f, 7);
  edge.push_back(edge.front());
  paintMask(img, strokeMask(img.w, img.h, edge, 1.6f), accent);
  float size = 17.f;
  while (face.width(label, size) > w - 14 && size > 9) size -= 0.5f;
  float baseline = cy + face.capHeight(size) / 2;
  paintTextCentred(img, face, label, cx, baseline + 1.5f, size, rgb8(0, 0, 0) + rgb8(2, 4, 10),
                   0.f);
  paintTextCentred(img, face, label, cx, baseline, size, rgb8(236, 246, 255), 0.5f, accent);
}

void gameGlyph(Typeface& mono, Mask& m, unsigned code, float cellX, float cellY, float cellW,
               float cellH, float shrink) {
  // In a 32 x 32 cell: em 25, pen 1.5 in, baseline 24 down; stretched 20%
  // wider so that the glyphs fill most of the game's 10-of-16 pitch.
  float em = cellH * 0.78f * shrink;
  float scaleX = 1.2f * (cellW / cellH);
  mono.drawGlyph(m, code, cellX + cellW * 1.5f / 32.f, cellY + cellH * 24.f / 32.f, em, scaleX);
}

void paintGameText(Image& img, Typeface& mono, std::string_view text, float x, float cellTop,
                   float cellW, float cellH, Color c) {
  Mask m(img.w, img.h);
  float pen = x;
  for (unsigned char ch : text) {
    gameGlyph(mono, m, ch, pen, cellTop, cellW, cellH);
    pen += cellW * 10.f / 16.f;
  }
  paintMask(img, m, c);
}

void drawRotated(Image& dst, const Image& src, float cx, float cy, float scale, float deg) {
  float a = deg * float(M_PI) / 180.f, c = std::cos(a), s = std::sin(a);
  float half = 0.5f * scale * std::hypot(float(src.w), float(src.h));
  int x0 = std::max(0, int(cx - half)), x1 = std::min(dst.w - 1, int(cx + half));
  int y0 = std::max(0, int(cy - half)), y1 = std::min(dst.h - 1, int(cy + half));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      // Inverse rotation into source pixel space.
      float sx = (dx * c + dy * s) / scale + src.w * 0.5f - 0.5f;
      float sy = (-dx * s + dy * c) / scale + src.h * 0.5f - 0.5f;
      int ix = int(std::floor(sx)), iy = int(std::floor(sy));
      if (ix < -1 || iy < -1 || ix >= src.w || iy >= src.h) continue;
      float fx = sx - ix, fy = sy - iy, acc[4] = {0, 0, 0, 0};
      for (int k = 0; k < 4; ++k) {
        int xx = ix + (k & 1), yy = iy + (k >> 1);
        if (xx < 0 || yy < 0 || xx >= src.w || yy >= src.h) continue;
        float wgt = ((k & 1) ? fx : 1 - fx) * ((k >> 1) ? fy : 1 - fy);
        const float* p = src.at(xx, yy);
        for (int i = 0; i < 4; ++i) acc[i] += p[i] * wgt;
      }
      if (acc[3] <= 0) continue;
      float* d = dst.at(x, y);
      float kk = 1 - std::min(1.f, acc[3]);
      for (int i = 0; i < 4; ++i) d[i] = d[i] * kk + acc[i];
    }
}

}  // namespace assetgen
