// Shared painting helpers for the full-screen pictures and the arena art:
// starry space, nebulae, planets, console buttons and text.
#pragma once

#include <string_view>

#include "pixels.h"
#include "raster.h"
#include "typeset.h"

namespace assetgen {

struct NebulaStyle {
  Color deep, mid, bright;  // colour ramp of the gas
  float scale = 2.5f;       // noise features across the picture
  float amount = 1.f;       // overall brightness
};

// Dark gradient, nebula gas and stars filling the whole picture.
void paintSpace(Image& img, uint32_t seed, const NebulaStyle& style, int stars);
void paintStars(Image& img, uint32_t seed, int count, float brightness = 1.f);

struct PlanetStyle {
  Color dark, light;  // surface ramp
  Color atmosphere;   // rim glow
  float bands = 0;    // > 0: gas giant bands, otherwise continents
  float ring = 0;     // ring outer radius in planet radii (0: no ring)
  uint32_t seed = 1;
};
void paintPlanet(Image& img, float cx, float cy, float r, const PlanetStyle& s);

// Darkens the picture towards its bottom rows (room for text over it).
void darkenBottom(Image& img, int fromY, float floor);

// Text filled with one colour, optionally with a soft glow of another.
void paintText(Image& img, Typeface& face, std::string_view text, float x, float baseline,
               float size, Color c, float scaleX = 1.f, float glow = 0.f, Color glowColor = {},
               float tracking = 0.f);
// Centred horizontally on cx.
void paintTextCentred(Image& img, Typeface& face, std::string_view text, float cx, float baseline,
                      float size, Color c, float glow = 0.f, Color glowColor = {},
                      float tracking = 0.f);

// A console button whose centre and size are the invisible hot rectangle of
// the screen, with its label centred inside.
void paintButton(Image& img, Typeface& face, float cx, float cy, float w, float h,
                 std::string_view label, Color accent);
// A translucent console panel with a thin rim.
void paintPanel(Image& img, float x0, float y0, float x1, float y1, Color rim,
                float opacity = 0.78f);

// Text in the look of the game's own bitmap font (same face and layout as
// Images/Font.PNG): cells cellW x cellH starting at (x, cellTop), pitch 10/16
// of the cell width.
void paintGameText(Image& img, Typeface& mono, std::string_view text, float x, float cellTop,
                   float cellW, float cellH, Color c);
// Layout of one glyph of the game font inside its cell.
void gameGlyph(Typeface& mono, Mask& m, unsigned code, float cellX, float cellY, float cellW,
               float cellH, float shrink = 1.f);

// Draws src centred at (cx, cy), scaled and turned clockwise by deg.
void drawRotated(Image& dst, const Image& src, float cx, float cy, float scale, float deg);

Poly roundRectPoly(float x0, float y0, float x1, float y1, float r);

}  // namespace assetgen
