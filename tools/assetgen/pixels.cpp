#include "pixels.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

Color operator*(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }
Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Color mix(Color a, Color b, float t) {
  return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)};
}
Color rgb8(int r, int g, int b) { return {r / 255.f, g / 255.f, b / 255.f}; }

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float lerp(float a, float b, float t) { return a + (b - a) * t; }
float smoothstep(float e0, float e1, float x) {
  float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

float Mask::sample(float x, float y) const {
  x -= 0.5f;
  y -= 0.5f;
  int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  float fx = x - x0, fy = y - y0;
  auto get = [&](int xi, int yi) {
    return (xi < 0 || yi < 0 || xi >= w || yi >= h) ? 0.f : at(xi, yi);
  };
  float a = lerp(get(x0, y0), get(x0 + 1, y0), fx);
  float b = lerp(get(x0, y0 + 1), get(x0 + 1, y0 + 1), fx);
  return lerp(a, b, fy);
}

template <class F>
static Mask combine(const Mask& a, const Mask& b, F f) {
  Mask r(a.w, a.h);
  for (size_t i = 0; i < r.v.size(); ++i) r.v[i] = f(a.v[i], b.v[i]);
  return r;
}

Mask maskUnion(const Mask& a, const Mask& b) {
  return combine(a, b, [](float x, float y) { return std::max(x, y); });
}
Mask maskSubtract(const Mask& a, const Mask& b) {
  return combine(a, b, [](float x, float y) { return x * (1 - y); });
}
Mask maskIntersect(const Mask& a, const Mask& b) {
  return combine(a, b, [](float x, float y) { return std::min(x, y); });
}
Mask maskScaled(const Mask& a, float k) {
  Mask r = a;
  for (float& f : r.v) f *= k;
  return r;
}

// One running-sum box pass along rows (step 1) or columns (step w).
static void boxPass(const float* src, float* dst, int n, int stride, int r) {
  float acc = 0;
  const float inv = 1.f / float(2 * r + 1);
  for (int i = -r; i <= r; ++i)
    if (i >= 0 && i < n) acc += src[size_t(i) * stride];
  for (int i = 0; i < n; ++i) {
    dst[size_t(i) * stride] = std::max(0.f, acc * inv);  // running sums drift below 0 by rounding
    int out = i - r, in = i + r + 1;
    if (out >= 0) acc -= src[size_t(out) * stride];
    if (in < n) acc += src[size_t(in) * stride];
  }
}

Mask blurred(const Mask& m, float radius) {
  if (radius < 0.5f) return m;
  // Three box passes of radius r approximate a Gaussian of sigma ~ r.
  int r = std::max(1, int(std::lround(radius * 0.58f)));
  Mask a = m, b(m.w, m.h);
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < m.h; ++y) boxPass(&a.v[size_t(y) * m.w], &b.v[size_t(y) * m.w], m.w, 1, r);
    for (int x = 0; x < m.w; ++x) boxPass(&b.v[x], &a.v[x], m.h, m.w, r);
  }
  return a;
}

Mask shifted(const Mask& m, int dx, int dy) {
  Mask r(m.w, m.h);
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x) {
      int sx = x - dx, sy = y - dy;
      if (sx >= 0 && sy >= 0 && sx < m.w && sy < m.h) r.at(x, y) = m.at(sx, sy);
    }
  return r;
}

void Image::fill(Color c, float a) {
  for (size_t i = 0; i < px.size(); i += 4) {
    px[i] = c.r * a;
    px[i + 1] = c.g * a;
    px[i + 2] = c.b * a;
    px[i + 3] = a;
  }
}

void Image::over(int x, int y, Color c, float a) {
  if (x < 0 || y < 0 || x >= w || y >= h || a <= 0) return;
  float* p = at(x, y);
  float k = 1 - a;
  p[0] = p[0] * k + c.r * a;
  p[1] = p[1] * k + c.g * a;
  p[2] = p[2] * k + c.b * a;
  p[3] = p[3] * k + a;
}

void Image::add(int x, int y, Color c, float k) {
  if (x < 0 || y < 0 || x >= w || y >= h || k <= 0) return;
  float* p = at(x, y);
  p[0] += c.r * k;
  p[1] += c.g * k;
  p[2] += c.b * k;
  // Light counts as content as far as it is visible.
  p[3] = std::min(1.f, p[3] + std::max(c.r, std::max(c.g, c.b)) * k);
}

Color Image::rgb(int x, int y) const {
  const float* p = at(x, y);
  return {p[0], p[1], p[2]};
}

void paintMask(Image& img, const Mask& m, const Paint& paint, float opacity) {
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      float a = m.at(x, y) * opacity;
      if (a > 0.f) img.over(x, y, paint(x + 0.5f, y + 0.5f), std::min(a, 1.f));
    }
}

void paintMask(Image& img, const Mask& m, Color c, float opacity) {
  paintMask(
      img, m, [c](float, float) { return c; }, opacity);
}

void addMask(Image& img, const Mask& m, Color c, float k) {
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) img.add(x, y, c, m.at(x, y) * k);
}

void addGlowEllipse(Image& img, float cx, float cy, float rx, float ry, Color c, float k,
                    float power) {
  int x0 = std::max(0, int(cx - rx)), x1 = std::min(img.w - 1, int(cx + rx) + 1);
  int y0 = std::max(0, int(cy - ry)), y1 = std::min(img.h - 1, int(cy + ry) + 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
      float d2 = dx * dx + dy * dy;
      if (d2 >= 1) continue;
      img.add(x, y, c, k * std::pow(1 - d2, power));
    }
}

void addGlow(Image& img, float cx, float cy, float radius, Color c, float k, float power) {
  addGlowEllipse(img, cx, cy, radius, radius, c, k, power);
}

void darkenMask(Image& img, const Mask& m, float k) {
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      float f = 1 - m.at(x, y) * (1 - k);
      float* p = img.at(x, y);
      p[0] *= f;
      p[1] *= f;
      p[2] *= f;
    }
}

void drawImage(Image& dst, const Image& src, int ox, int oy) {
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x) {
      int dx = x + ox, dy = y + oy;
      if (dx < 0 || dy < 0 || dx >= dst.w || dy >= dst.h) continue;
      const float* s = src.at(x, y);
      float* d = dst.at(dx, dy);
      float k = 1 - s[3];
      for (int i = 0; i < 4; ++i) d[i] = d[i] * k + s[i];
    }
}

Image resized(const Image& src, int w, int h) {
  Image r(w, h);
  // Box-average when shrinking, bilinear when growing: thumbnails and
  // downsampled art must not alias.
  float sx = float(src.w) / w, sy = float(src.h) / h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float acc[4] = {0, 0, 0, 0};
      if (sx >= 1 && sy >= 1) {
        int xa = int(x * sx), xb = std::max(xa + 1, int((x + 1) * sx));
        int ya = int(y * sy), yb = std::max(ya + 1, int((y + 1) * sy));
        int n = 0;
        for (int yy = ya; yy < yb && yy < src.h; ++yy)
          for (int xx = xa; xx < xb && xx < src.w; ++xx, ++n)
            for (int i = 0; i < 4; ++i) acc[i] += src.at(xx, yy)[i];
        for (int i = 0; i < 4; ++i) acc[i] /= float(std::max(n, 1));
      } else {
        float fx = (x + 0.5f) * sx - 0.5f, fy = (y + 0.5f) * sy - 0.5f;
        int x0 = std::clamp(int(std::floor(fx)), 0, src.w - 1),
            y0 = std::clamp(int(std::floor(fy)), 0, src.h - 1);
        int x1 = std::min(x0 + 1, src.w - 1), y1 = std::min(y0 + 1, src.h - 1);
        float tx = clamp01(fx - x0), ty = clamp01(fy - y0);
        for (int i = 0; i < 4; ++i) {
          float a = lerp(src.at(x0, y0)[i], src.at(x1, y0)[i], tx);
          float b = lerp(src.at(x0, y1)[i], src.at(x1, y1)[i], tx);
          acc[i] = lerp(a, b, ty);
        }
      }
      std::copy(acc, acc + 4, r.at(x, y));
    }
  return r;
}

Image cropped(const Image& src, int x0, int y0, int w, int h) {
  Image r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      std::copy(src.at(x0 + x, y0 + y), src.at(x0 + x, y0 + y) + 4, r.at(x, y));
  return r;
}

Mask alphaOf(const Image& img) {
  Mask m(img.w, img.h);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) m.at(x, y) = img.alpha(x, y);
  return m;
}

namespace {

struct Box {
  int x0, y0, x1, y1;  // inclusive; empty when x1 < x0
};

Box coverBox(const Mask& m, int margin) {
  Box b{m.w, m.h, -1, -1};
  for (int y = 0; y < m.h; ++y) {
    const float* row = &m.v[size_t(y) * m.w];
    for (int x = 0; x < m.w; ++x)
      if (row[x] > 0) {
        b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
      }
  }
  if (b.x1 < 0) return b;
  b.x0 = std::max(0, b.x0 - margin), b.y0 = std::max(0, b.y0 - margin);
  b.x1 = std::min(m.w - 1, b.x1 + margin), b.y1 = std::min(m.h - 1, b.y1 + margin);
  return b;
}

}  // namespace

void paintShaded(Image& img, const Mask& m, const Paint& base, const Light& light) {
  // Work only in the box around the shape: big pictures have many small parts.
  Box b = coverBox(m, int(light.bevel * 3) + 2);
  if (b.x1 < b.x0) return;
  int bw = b.x1 - b.x0 + 1, bh = b.y1 - b.y0 + 1;
  Mask local(bw, bh);
  for (int y = 0; y < bh; ++y)
    for (int x = 0; x < bw; ++x) local.at(x, y) = m.at(x + b.x0, y + b.y0);
  Mask hgt = blurred(local, light.bevel);
  const float lx = -0.48f, ly = -0.58f, lz = 0.66f;  // from the upper left, above
  float hx = lx, hy = ly, hz = lz + 1;               // half vector with the viewer
  float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  hx /= hl, hy /= hl, hz /= hl;
  float k = light.bevel * 2.f * light.depth;
  for (int y = 0; y < bh; ++y)
    for (int x = 0; x < bw; ++x) {
      float a = local.at(x, y);
      if (a <= 0) continue;
      float gx = (x + 1 < bw ? hgt.at(x + 1, y) : 0) - (x > 0 ? hgt.at(x - 1, y) : 0);
      float gy = (y + 1 < bh ? hgt.at(x, y + 1) : 0) - (y > 0 ? hgt.at(x, y - 1) : 0);
      float nx = -gx * 0.5f * k, ny = -gy * 0.5f * k, nz = 1;
      float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
      nx /= nl, ny /= nl, nz /= nl;
      float diff = std::max(0.f, nx * lx + ny * ly + nz * lz);
      float shine = std::pow(std::max(0.f, nx * hx + ny * hy + nz * hz), light.shininess);
      int ix = x + b.x0, iy = y + b.y0;
      Color c = base(ix + 0.5f, iy + 0.5f);
      float f = light.ambient + light.diffuse * diff;
      Color out = c * f + Color{1, 1, 1} * (light.specular * shine);
      img.over(ix, iy, out, std::min(a, 1.f));
    }
}

}  // namespace assetgen
