// Text through FreeType with the DejaVu faces of the system's font package.
// One Typeface per job: FreeType faces must not be shared between threads.
#pragma once

#include <string>
#include <string_view>

#include "pixels.h"

namespace assetgen {

extern const char* const kSansBold;
extern const char* const kSans;
extern const char* const kMonoBold;
extern const char* const kCondensedBold;

class Typeface {
 public:
  explicit Typeface(const char* fileName);
  ~Typeface();
  Typeface(const Typeface&) = delete;
  Typeface& operator=(const Typeface&) = delete;

  // Draws Latin-1 text with its pen starting at x on the baseline y.
  void draw(Mask& m, std::string_view text, float x, float baseline, float sizePx,
            float scaleX = 1.f, float shear = 0.f, float tracking = 0.f);
  // Advance width of the text in pixels.
  float width(std::string_view text, float sizePx, float scaleX = 1.f, float tracking = 0.f);
  // Ink of one character placed with its pen at (penX, baseline); false when
  // the face has no glyph for it.
  bool drawGlyph(Mask& m, unsigned code, float penX, float baseline, float sizePx, float scaleX,
                 float shear = 0.f);
  // Ascender height of capitals (for vertical centring).
  float capHeight(float sizePx);

 private:
  void setSize(float sizePx, float scaleX, float penFraction, float shear = 0.f);
  void* library_ = nullptr;
  void* face_ = nullptr;
};

}  // namespace assetgen
