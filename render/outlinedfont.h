// OutlinedFont: the font picture with the dark HUD outline baked in, so an
// outlined line is one draw of premultiplied glyphs instead of nine (eight
// offset copies of the line in translucent black, then the line). On a
// software renderer every pass costs the fill of the whole line again.
//
// The atlas is baked from the font texture itself, so it always matches the
// font drawn by the plain text calls. Each atlas samples the font the way
// linear filtering does when the glyphs are drawn at its size, and
// composites the eight outline copies and the glyph exactly as the blending
// of the nine passes did. Drawn one unit to the pixel (every HUD line) the
// result equals the nine passes up to rounding; magnified names use an atlas
// of the font's full detail.
#pragma once

#include <cstdint>
#include <vector>

class OutlinedFont {
 public:
  // Atlas layout in glyph units (a glyph square is 16 units): cell n of the
  // font grid sits at the same column and row in a grid of kPitch-unit
  // cells, its glyph square kMargin units in from the cell's lower left. The
  // margin holds the outline unit and one empty unit, so filtering between
  // texels never reaches a neighbouring glyph.
  static constexpr int kPitch = 20;
  static constexpr int kMargin = 2;
  // Width of the outline in units, and its opacity.
  static constexpr float kOutline = 1.0f;
  static constexpr float kOutlineAlpha = 0.8f;

  struct Level {
    int texelsPerUnit = 1;
    int size = 0;               // square, in texels
    std::vector<uint8_t> rgba;  // premultiplied, rows bottom-up (t = 0 first)
  };

  // Atlases baked from the font picture's RGBA bytes (rows bottom-up, as GL
  // keeps them, 16 x 16 cells). The first keeps the font's own detail (up to
  // 4 texels a unit) for magnified names; each next one halves it, down to
  // one texel a unit, the size at which HUD text is drawn. Empty for an
  // empty picture.
  static std::vector<Level> Bake(const uint8_t* rgba, int width, int height);

  // Texture rectangle of the outlined square of cell n: the glyph square
  // grown by kOutline units on every side.
  static void CellCoords(int n, float& s0, float& s1, float& t0, float& t1);

  // Binds the atlas of font texture `font` made for text drawn at
  // `pixelsPerUnit`, baking them from that texture on first use. False while
  // the font texture has no image.
  bool Bind(unsigned int font, float pixelsPerUnit);
  // Forgets the atlas without deleting it: a new GL context has none.
  void Forget();

 private:
  bool BakeFrom(unsigned int font);

  unsigned int font_ = 0;
  std::vector<unsigned int> atlases_;  // GL names, most detailed first
  std::vector<int> texelsPerUnit_;
};
