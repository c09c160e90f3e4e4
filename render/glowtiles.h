// GlowTiles: which 8x8-texel tiles of the 512x512 glow buffers hold light
// this frame. While the glow capture draws, every sprite reports the
// box it covers (DefaultSprite's immediate draws and RenderSort's quads call
// NoteDrawn); the blur and the composite then touch only the tiles within
// reach of that light, a few percent of the screen in a normal fight.
#pragma once

#include <bitset>
#include <vector>

class GlowTiles {
 public:
  static constexpr int kBufferSize = 512;  // texels of the glow buffers, both axes
  // Small tiles keep the margin around light close to the blur's reach: one
  // lit 16x16 square needs a 32x32 square of blur, not 48x48.
  static constexpr int kTileSize = 8;
  static constexpr int kTiles = kBufferSize / kTileSize;  // per axis
  // How far the blur kernel reads from its centre, in texels (six texels,
  // the last pair read between the fifth and the sixth). Light spreads at
  // most this far, so one tile of margin around a lit tile holds all of it.
  static constexpr int kBlurReach = 7;
  static_assert(kBlurReach <= kTileSize, "a blur wider than a tile needs a wider margin");

  // Texel rectangle, GL orientation (origin bottom-left), x1 and y1 excluded.
  struct Rect {
    int x0, y0, x1, y1;
  };

  // Starts a frame with no tile lit. `matrix` (column-major, projection
  // times model-view of the capture) maps drawing coordinates to clip space;
  // the capture's viewport is the whole 512x512 buffer.
  void Begin(const float matrix[16]);
  // Marks the tiles under the axis-aligned box in drawing coordinates
  // (clipped to the buffer; anything off it is ignored).
  void MarkBox(float minX, float minY, float maxX, float maxY);
  void MarkTile(int tileX, int tileY);
  bool Lit(int tileX, int tileY) const;
  bool Empty() const { return lit_.none(); }
  int LitCount() const { return static_cast<int>(lit_.count()); }

  // The lit tiles grown by `marginX` tiles left and right and `marginY` up
  // and down, as rectangles: runs of tiles along each tile row.
  void Runs(int marginX, int marginY, std::vector<Rect>& out) const;

  // The tile set the drawing code reports into, or null outside the capture.
  static GlowTiles* recording;
  // Called by the sprite drawing code for every quad it draws: the box is in
  // the current drawing coordinates.
  static void NoteDrawn(float minX, float minY, float maxX, float maxY) {
    if (recording != nullptr) recording->MarkBox(minX, minY, maxX, maxY);
  }

 private:
  std::bitset<kTiles * kTiles> lit_;
  float matrix_[16] = {};
};
