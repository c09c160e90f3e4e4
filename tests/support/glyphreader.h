// Reads back text the game drew unscaled with its own font: every glyph of
// the font picture is brought to the 16-pixel square the game draws it in
// (linear filtering of the 32-pixel cells averages 2 x 2 texels) and each
// 10-pixel cell of a screenshot line takes the glyph it correlates best with.
// Brightness only, so white, coloured, additive and outlined text all read.
#pragma once

#include <string>
#include <vector>

#include "tests/support/gameprocess.h"

namespace testsupport {

class GlyphReader {
 public:
  // The font picture of the build's run directory.
  GlyphReader();
  explicit GlyphReader(const std::string& fontPath);
  bool Loaded() const { return !glyphs_.empty(); }

  // `count` characters of a line whose first glyph square has its top-left
  // corner at frame pixel (x, top): ' ' for a cell without contrast, '?' for
  // one that looks like no glyph. Cells off the picture read as ' '.
  std::string Read(const Picture& shot, int x, int top, int count) const;
  // The same with trailing blanks removed.
  std::string ReadTrimmed(const Picture& shot, int x, int top, int count) const;

  // Frame top of text printed at text-space height y (origin bottom left).
  static int TopOf(float textY) { return 768 - static_cast<int>(textY) - 16; }

 private:
  struct Glyph {
    char code;
    std::vector<float> ink;  // kCellWidth x 16 brightness, rows from the top
  };
  std::vector<Glyph> glyphs_;
};

}  // namespace testsupport
