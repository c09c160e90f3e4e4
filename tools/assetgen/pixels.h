// Float pictures and coverage masks, the working material of every generator.
// Colours are linear 0..1 floats; Image keeps premultiplied RGBA so that
// layering with "over" and additive light both stay simple.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace assetgen {

struct Color {
  float r = 0, g = 0, b = 0;
};

Color operator*(Color c, float k);
Color operator+(Color a, Color b);
Color mix(Color a, Color b, float t);
Color rgb8(int r, int g, int b);

float clamp01(float v);
float smoothstep(float e0, float e1, float x);
float lerp(float a, float b, float t);

// Coverage (0..1) per pixel.
struct Mask {
  int w = 0, h = 0;
  std::vector<float> v;
  Mask() = default;
  Mask(int width, int height) : w(width), h(height), v(size_t(width) * height, 0.f) {}
  float& at(int x, int y) { return v[size_t(y) * w + x]; }
  float at(int x, int y) const { return v[size_t(y) * w + x]; }
  // Bilinear sample in pixel coordinates (pixel centres at +0.5); 0 outside.
  float sample(float x, float y) const;
};

Mask maskUnion(const Mask& a, const Mask& b);
Mask maskSubtract(const Mask& a, const Mask& b);
Mask maskIntersect(const Mask& a, const Mask& b);
Mask maskScaled(const Mask& a, float k);
// Separable approximate Gaussian (three box passes); radius in pixels.
Mask blurred(const Mask& m, float radius);
// Shift by whole pixels (dx right, dy down), zero fill.
Mask shifted(const Mask& m, int dx, int dy);

struct Image {
  int w = 0, h = 0;
  std::vector<float> px;  // premultiplied r, g, b, a
  Image() = default;
  Image(int width, int height) : w(width), h(height), px(size_t(width) * height * 4, 0.f) {}
  float* at(int x, int y) { return &px[(size_t(y) * w + x) * 4]; }
  const float* at(int x, int y) const { return &px[(size_t(y) * w + x) * 4]; }

  void fill(Color c, float a = 1.f);
  void over(int x, int y, Color c, float a);
  void add(int x, int y, Color c, float k);
  Color rgb(int x, int y) const;
  float alpha(int x, int y) const { return at(x, y)[3]; }
};

using Paint = std::function<Color(float x, float y)>;

// Lays colour over the picture wherever the mask covers it.
void paintMask(Image& img, const Mask& m, const Paint& paint, float opacity = 1.f);
void paintMask(Image& img, const Mask& m, Color c, float opacity = 1.f);
// Adds light (no alpha change below the existing one beyond coverage).
void addMask(Image& img, const Mask& m, Color c, float k = 1.f);
// Radial light: colour * k * falloff(d / radius), falloff = (1 - d^2)^power.
void addGlow(Image& img, float cx, float cy, float radius, Color c, float k, float power = 2.f);
// Elliptic variant with axis radii rx, ry.
void addGlowEllipse(Image& img, float cx, float cy, float rx, float ry, Color c, float k,
                    float power = 2.f);
// Multiplies colour (not alpha) where the mask covers.
void darkenMask(Image& img, const Mask& m, float k);
// Composites src over dst at offset.
void drawImage(Image& dst, const Image& src, int ox, int oy);
// Bilinear resample to a new size.
Image resized(const Image& src, int w, int h);
// Crop [x, x+w) x [y, y+h).
Image cropped(const Image& src, int x, int y, int w, int h);
Mask alphaOf(const Image& img);

// Bevel lighting: height comes from the blurred mask, the light from the
// upper left (as the whole game's art is lit). Returns a factor image used to
// shade a base paint: ambient + diffuse * n.l, plus specular added.
struct Light {
  float ambient = 0.45f;
  float diffuse = 0.75f;
  float specular = 0.55f;
  float shininess = 24.f;
  float bevel = 6.f;   // radius of the rounded edge in pixels
  float depth = 1.0f;  // how strongly the edge bends the normal
};
void paintShaded(Image& img, const Mask& m, const Paint& base, const Light& light);

}  // namespace assetgen
