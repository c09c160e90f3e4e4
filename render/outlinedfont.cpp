#include "render/outlinedfont.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr int kGridCells = 16;
constexpr float kGlyphUnits = 16.0f;
constexpr int kAtlasUnits = kGridCells * OutlinedFont::kPitch;
constexpr float kFontUnits = kGridCells * kGlyphUnits;
// More detail than this only costs memory: names are drawn at most a few
// pixels to the unit.
constexpr int kMostTexelsPerUnit = 4;

struct Sample {
  float r = 0, g = 0, b = 0, a = 0;
};

// Repeat wrapping of a texel index at most one picture off (no division:
// it runs for every sample).
int Wrap(int i, int n) {
  if (i < 0) return i + n;
  return i >= n ? i - n : i;
}

// What linear filtering with repeat wrapping reads at texel position (x, y)
// of the picture (texel centres at + 0.5), each channel in 0..1.
Sample Bilinear(const uint8_t* rgba, int width, int height, float x, float y) {
  const float fx = x - 0.5f;
  const float fy = y - 0.5f;
  const float x0 = std::floor(fx);
  const float y0 = std::floor(fy);
  const float wx = fx - x0;
  const float wy = fy - y0;
  const int xs[2] = {Wrap(static_cast<int>(x0), width), Wrap(static_cast<int>(x0) + 1, width)};
  const int ys[2] = {Wrap(static_cast<int>(y0), height), Wrap(static_cast<int>(y0) + 1, height)};
  Sample s;
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 2; ++i) {
      const float w = (i ? wx : 1 - wx) * (j ? wy : 1 - wy) / 255.0f;
      if (w == 0) continue;  // texel-aligned samples read one texel
      const uint8_t* p = rgba + (static_cast<size_t>(ys[j]) * width + xs[i]) * 4;
      s.r += w * p[0];
      s.g += w * p[1];
      s.b += w * p[2];
      s.a += w * p[3];
    }
  }
  return s;
}

// Whether cell (col, row from the bottom) of the font has any ink at all:
// most of the 256 cells are empty and need no baking.
bool CellHasInk(const uint8_t* rgba, int width, int height, int col, int row) {
  const int x0 = col * width / kGridCells, x1 = (col + 1) * width / kGridCells;
  const int y0 = row * height / kGridCells, y1 = (row + 1) * height / kGridCells;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (rgba[(static_cast<size_t>(y) * width + x) * 4 + 3] != 0) return true;
    }
  }
  return false;
}

// One cell's tile of the atlas at `k` texels a unit: each texel takes the
// sample the glyph square's own quad would read there, nothing outside it.
std::vector<Sample> SampleGlyph(const uint8_t* rgba, int width, int height, int col, int row,
                                int k) {
  const int n = OutlinedFont::kPitch * k;
  std::vector<Sample> tile(static_cast<size_t>(n) * n);
  const float unitX = width / kFontUnits;
  const float unitY = height / kFontUnits;
  for (int j = 0; j < n; ++j) {
    const float v = (j + 0.5f) / k - OutlinedFont::kMargin;
    if (v < 0 || v >= kGlyphUnits) continue;
    for (int i = 0; i < n; ++i) {
      const float u = (i + 0.5f) / k - OutlinedFont::kMargin;
      if (u < 0 || u >= kGlyphUnits) continue;
      tile[static_cast<size_t>(j) * n + i] = Bilinear(
          rgba, width, height, (col * kGlyphUnits + u) * unitX, (row * kGlyphUnits + v) * unitY);
    }
  }
  return tile;
}

uint8_t Byte(float x) { return static_cast<uint8_t>((x < 1 ? x : 1) * 255.0f + 0.5f); }

// Product of each value of an n x n tile with its neighbours `step` before
// and after it along one axis (`stride` apart in memory); outside counts as 1.
std::vector<float> Neighbourhood(const std::vector<float>& in, int n, int step, int stride) {
  std::vector<float> out(in.size());
  const int across = stride == 1 ? n : 1;  // the other axis' stride
  for (int line = 0; line < n; ++line) {
    for (int i = 0; i < n; ++i) {
      const size_t at = static_cast<size_t>(line) * across + static_cast<size_t>(i) * stride;
      float p = in[at];
      if (i >= step) p *= in[at - static_cast<size_t>(step) * stride];
      if (i + step < n) p *= in[at + static_cast<size_t>(step) * stride];
      out[at] = p;
    }
  }
  return out;
}

// Composites into the atlas what the nine passes blended over one cell:
// eight copies of the glyph one unit off in translucent black, then the
// glyph over them.
void BakeCell(const uint8_t* rgba, int width, int height, int col, int row,
              OutlinedFont::Level& level) {
  const int k = level.texelsPerUnit;
  const int n = OutlinedFont::kPitch * k;
  const std::vector<Sample> glyph = SampleGlyph(rgba, width, height, col, row, k);
  // What one outline copy lets through of the scene, then what the 3 x 3
  // block of copies around each texel does (separably); dividing out the
  // middle leaves the eight offset copies.
  std::vector<float> through(glyph.size());
  for (size_t i = 0; i < glyph.size(); ++i) {
    through[i] = 1 - OutlinedFont::kOutlineAlpha * glyph[i].a;
  }
  const int step = static_cast<int>(OutlinedFont::kOutline) * k;
  const std::vector<float> block = Neighbourhood(Neighbourhood(through, n, step, 1), n, step, n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      const size_t at = static_cast<size_t>(j) * n + i;
      const Sample& g = glyph[at];
      const float clear = block[at] / through[at];  // through is at least 0.2
      uint8_t* out =
          &level.rgba[((static_cast<size_t>(row) * n + j) * level.size + col * n + i) * 4];
      out[0] = Byte(g.r * g.a);
      out[1] = Byte(g.g * g.a);
      out[2] = Byte(g.b * g.a);
      out[3] = Byte(1 - (1 - g.a) * clear);
    }
  }
}

OutlinedFont::Level BakeLevel(const uint8_t* rgba, int width, int height, int k) {
  OutlinedFont::Level level;
  level.texelsPerUnit = k;
  level.size = kAtlasUnits * k;
  level.rgba.assign(static_cast<size_t>(level.size) * level.size * 4, 0);
  for (int row = 0; row < kGridCells; ++row) {
    for (int col = 0; col < kGridCells; ++col) {
      if (CellHasInk(rgba, width, height, col, row)) BakeCell(rgba, width, height, col, row, level);
    }
  }
  return level;
}

}  // namespace

std::vector<OutlinedFont::Level> OutlinedFont::Bake(const uint8_t* rgba, int width, int height) {
  std::vector<Level> levels;
  if (!rgba || width <= 0 || height <= 0) return levels;
  const int detail = std::min(width, height) / static_cast<int>(kFontUnits);
  int k = 1;
  while (k * 2 <= detail && k * 2 <= kMostTexelsPerUnit) k *= 2;
  for (; k >= 1; k /= 2) levels.push_back(BakeLevel(rgba, width, height, k));
  return levels;
}

void OutlinedFont::CellCoords(int n, float& s0, float& s1, float& t0, float& t1) {
  const int col = n % kGridCells;
  const int rowFromBottom = kGridCells - 1 - n / kGridCells;
  const float side = (kGlyphUnits + 2 * kOutline) / kAtlasUnits;
  s0 = (col * kPitch + kMargin - kOutline) / kAtlasUnits;
  s1 = s0 + side;
  t0 = (rowFromBottom * kPitch + kMargin - kOutline) / kAtlasUnits;
  t1 = t0 + side;
}

bool OutlinedFont::Bind(unsigned int font, float pixelsPerUnit) {
  if (font == 0) return false;
  if (font != font_ || atlases_.empty()) {
    if (!BakeFrom(font)) return false;
  }
  // The most detailed atlas not far finer than the screen: finer ones would
  // be minified without mipmaps and shimmer. (Mipmaps would choose the same,
  // but a software renderer picked the coarser level for magnified names.)
  size_t pick = atlases_.size() - 1;
  for (size_t i = 0; i < atlases_.size(); ++i) {
    if (static_cast<float>(texelsPerUnit_[i]) <= pixelsPerUnit * 1.415f) {
      pick = i;
      break;
    }
  }
  glBindTexture(GL_TEXTURE_2D, atlases_[pick]);
  return true;
}

bool OutlinedFont::BakeFrom(unsigned int font) {
  glBindTexture(GL_TEXTURE_2D, font);
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  if (width <= 0 || height <= 0) return false;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  GLint packAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  const std::vector<Level> levels = Bake(pixels.data(), width, height);
  if (levels.empty()) return false;

  while (atlases_.size() < levels.size()) {
    unsigned int name = 0;
    glGenTextures(1, &name);
    atlases_.push_back(name);
  }
  texelsPerUnit_.clear();
  for (size_t i = 0; i < levels.size(); ++i) {
    glBindTexture(GL_TEXTURE_2D, atlases_[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, levels[i].size, levels[i].size, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, levels[i].rgba.data());
    texelsPerUnit_.push_back(levels[i].texelsPerUnit);
  }
  atlases_.resize(levels.size());
  font_ = font;
  return true;
}

void OutlinedFont::Forget() {
  font_ = 0;
  atlases_.clear();
  texelsPerUnit_.clear();
}
