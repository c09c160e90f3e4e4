// Images/Font.PNG: 16 x 16 cells of 32 pixels; cell n holds character n + 32
// (Latin-1 above 160), white on black, each glyph in the lower left of its
// cell with a clear one-pixel ring so that linear filtering of one cell never
// picks up ink from its neighbours.
#include "art.h"
#include "scenery.h"

namespace assetgen {

namespace {

constexpr int kCell = 32;
constexpr int kPad = 16;  // scratch margin to see ink that would leave the cell

bool printable(unsigned code) {
  return (code >= 33 && code <= 126) || (code >= 161 && code <= 255);
}

// Renders one glyph into a scratch mask; shrinks it until it keeps clear of
// the cell's outer ring.
Mask glyphCell(Typeface& mono, unsigned code) {
  for (float shrink = 1.f; shrink > 0.5f; shrink -= 0.06f) {
    Mask scratch(kCell + 2 * kPad, kCell + 2 * kPad);
    gameGlyph(mono, scratch, code, kPad, kPad, kCell, kCell, shrink);
    bool fits = true;
    for (int y = 0; y < scratch.h && fits; ++y)
      for (int x = 0; x < scratch.w; ++x) {
        bool inside = x > kPad && x < kPad + kCell - 1 && y > kPad && y < kPad + kCell - 1;
        if (!inside && scratch.at(x, y) > 0.02f) {
          fits = false;
          break;
        }
      }
    if (fits) return scratch;
  }
  return Mask(kCell + 2 * kPad, kCell + 2 * kPad);
}

}  // namespace

void makeFont(Output& out) {
  Typeface mono(kMonoBold);
  Image img(16 * kCell, 16 * kCell);
  for (int n = 0; n < 256; ++n) {
    unsigned code = unsigned(n) + 32;
    if (!printable(code)) continue;
    Mask g = glyphCell(mono, code);
    int cx = (n % 16) * kCell, cy = (n / 16) * kCell;
    for (int y = 1; y < kCell - 1; ++y)
      for (int x = 1; x < kCell - 1; ++x) {
        float v = g.at(x + kPad, y + kPad);
        // A slight boost keeps strokes solid at the small size drawn.
        v = clamp01(v * 1.15f);
        if (v > 0) img.over(cx + x, cy + y, {1, 1, 1}, v);
      }
  }
  out.png("Images/Font.PNG", img, PicKind::KeyedLight);
}

}  // namespace assetgen
