#include "render/glowtiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

GlowTiles* GlowTiles::recording = nullptr;

void GlowTiles::Begin(const float matrix[16]) {
  std::memcpy(matrix_, matrix, sizeof matrix_);
  lit_.reset();
}

void GlowTiles::MarkBox(float minX, float minY, float maxX, float maxY) {
  const float xs[4] = {minX, maxX, maxX, minX}, ys[4] = {minY, minY, maxY, maxY};
  float lowX = INFINITY, lowY = INFINITY, highX = -INFINITY, highY = -INFINITY;
  for (int i = 0; i < 4; ++i) {
    const float* m = matrix_;
    const float w = m[3] * xs[i] + m[7] * ys[i] + m[15];
    if (!(w > 0)) return;  // behind the eye: never in a 2D capture
    const float x = (m[0] * xs[i] + m[4] * ys[i] + m[12]) / w;
    const float y = (m[1] * xs[i] + m[5] * ys[i] + m[13]) / w;
    lowX = std::min(lowX, x);
    highX = std::max(highX, x);
    lowY = std::min(lowY, y);
    highY = std::max(highY, y);
  }
  // A non-finite box (a corrupt position) lights nothing rather than
  // everything; clip space outside -1..1 is off the buffer.
  if (!(lowX <= 1 && highX >= -1 && lowY <= 1 && highY >= -1)) return;
  constexpr float kTilesPerClipUnit = kTiles / 2.0f;
  auto tile = [](float clip) {
    const int t =
        static_cast<int>(std::floor((std::clamp(clip, -1.0f, 1.0f) + 1) * kTilesPerClipUnit));
    return std::min(t, kTiles - 1);
  };
  const int x0 = tile(lowX), x1 = tile(highX), y0 = tile(lowY), y1 = tile(highY);
  for (int ty = y0; ty <= y1; ++ty)
    for (int tx = x0; tx <= x1; ++tx) MarkTile(tx, ty);
}

void GlowTiles::MarkTile(int tileX, int tileY) {
  if (tileX < 0 || tileY < 0 || tileX >= kTiles || tileY >= kTiles) return;
  lit_.set(static_cast<size_t>(tileY * kTiles + tileX));
}

bool GlowTiles::Lit(int tileX, int tileY) const {
  if (tileX < 0 || tileY < 0 || tileX >= kTiles || tileY >= kTiles) return false;
  return lit_.test(static_cast<size_t>(tileY * kTiles + tileX));
}

void GlowTiles::Runs(int marginX, int marginY, std::vector<Rect>& out) const {
  out.clear();
  if (Empty()) return;
  // Rectangles that reach the bottom of the current row, by their first
  // tile: a run of the same span in the next row extends them.
  int open[kTiles];
  int openBefore[kTiles];
  std::fill(std::begin(open), std::end(open), -1);
  for (int ty = 0; ty < kTiles; ++ty) {
    // A tile of this row is taken when a lit tile lies within the margins.
    bool taken[kTiles] = {};
    bool any = false;
    for (int y = std::max(0, ty - marginY); y <= std::min(kTiles - 1, ty + marginY); ++y) {
      for (int tx = 0; tx < kTiles; ++tx) {
        if (!lit_.test(static_cast<size_t>(y * kTiles + tx))) continue;
        for (int k = std::max(0, tx - marginX); k <= std::min(kTiles - 1, tx + marginX); ++k)
          taken[k] = any = true;
      }
    }
    std::copy(std::begin(open), std::end(open), std::begin(openBefore));
    std::fill(std::begin(open), std::end(open), -1);
    if (!any) continue;
    for (int tx = 0; tx < kTiles;) {
      if (!taken[tx]) {
        ++tx;
        continue;
      }
      const int start = tx;
      while (tx < kTiles && taken[tx]) ++tx;
      const int x0 = start * kTileSize, x1 = tx * kTileSize, y0 = ty * kTileSize;
      const int above = openBefore[start];
      if (above >= 0 && out[above].x1 == x1) {
        out[above].y1 = y0 + kTileSize;
        open[start] = above;
      } else {
        open[start] = static_cast<int>(out.size());
        out.push_back(Rect{x0, y0, x1, y0 + kTileSize});
      }
    }
  }
}
