#include "typeset.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace assetgen {

const char* const kSansBold = "DejaVuSans-Bold.ttf";
const char* const kSans = "DejaVuSans.ttf";
const char* const kMonoBold = "DejaVuSansMono-Bold.ttf";
const char* const kCondensedBold = "DejaVuSansCondensed-Bold.ttf";

static const char* fontDir() {
  const char* env = std::getenv("ASSETGEN_FONT_DIR");
  return env ? env : "/usr/share/fonts/truetype/dejavu";
}

Typeface::Typeface(const char* fileName) {
  FT_Library lib;
  FT_Face face;
  std::string path = std::string(fontDir()) + "/" + fileName;
  if (FT_Init_FreeType(&lib) != 0 || FT_New_Face(lib, path.c_str(), 0, &face) != 0) {
    // Without the font the pictures with text cannot be made at all.
    std::fprintf(stderr, "assetgen: cannot open font %s\n", path.c_str());
    std::exit(2);
  }
  library_ = lib;
  face_ = face;
}

Typeface::~Typeface() {
  FT_Done_Face(static_cast<FT_Face>(face_));
  FT_Done_FreeType(static_cast<FT_Library>(library_));
}

void Typeface::setSize(float sizePx, float scaleX, float penFraction, float shear) {
  FT_Face face = static_cast<FT_Face>(face_);
  FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(sizePx * 64)), 72, 72);
  FT_Matrix mat{FT_Fixed(std::lround(scaleX * 65536)), FT_Fixed(std::lround(shear * 65536)), 0,
                0x10000};
  FT_Vector delta{FT_Pos(std::lround(penFraction * 64)), 0};
  FT_Set_Transform(face, &mat, &delta);
}

bool Typeface::drawGlyph(Mask& m, unsigned code, float penX, float baseline, float sizePx,
                         float scaleX, float shear) {
  FT_Face face = static_cast<FT_Face>(face_);
  float fx = std::floor(penX);
  setSize(sizePx, scaleX, penX - fx, shear);
  FT_UInt index = FT_Get_Char_Index(face, code);
  if (index == 0) return false;
  if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) return false;
  FT_GlyphSlot g = face->glyph;
  int ox = int(fx) + g->bitmap_left, oy = int(std::lround(baseline)) - g->bitmap_top;
  for (unsigned r = 0; r < g->bitmap.rows; ++r)
    for (unsigned c = 0; c < g->bitmap.width; ++c) {
      int x = ox + int(c), y = oy + int(r);
      if (x < 0 || y < 0 || x >= m.w || y >= m.h) continue;
      float v = g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.f;
      float& dst = m.at(x, y);
      dst = dst + v - dst * v;
    }
  return true;
}

float Typeface::width(std::string_view text, float sizePx, float scaleX, float tracking) {
  FT_Face face = static_cast<FT_Face>(face_);
  setSize(sizePx, scaleX, 0);
  float w = 0;
  for (unsigned char ch : text) {
    if (FT_Load_Char(face, ch, FT_LOAD_NO_HINTING) == 0)
      w += face->glyph->advance.x / 64.f + tracking;
  }
  return text.empty() ? 0.f : w - tracking;
}

void Typeface::draw(Mask& m, std::string_view text, float x, float baseline, float sizePx,
                    float scaleX, float shear, float tracking) {
  FT_Face face = static_cast<FT_Face>(face_);
  float pen = x;
  for (unsigned char ch : text) {
    drawGlyph(m, ch, pen, baseline, sizePx, scaleX, shear);
    setSize(sizePx, scaleX, 0);
    if (FT_Load_Char(face, ch, FT_LOAD_NO_HINTING) == 0)
      pen += face->glyph->advance.x / 64.f + tracking;
  }
}

float Typeface::capHeight(float sizePx) {
  FT_Face face = static_cast<FT_Face>(face_);
  setSize(sizePx, 1, 0);
  if (FT_Load_Char(face, 'H', FT_LOAD_NO_HINTING) != 0) return sizePx * 0.73f;
  return face->glyph->metrics.height / 64.f;
}

}  // namespace assetgen
