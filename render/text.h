// Bitmap-font text: a 16x16 grid of glyphs in the font picture (texture slot
// 18), character code n + 32 in cell n. Each glyph is a 16x16 square with its
// lower-left corner at the pen; the pen advances 10 units. Text coordinates
// have their origin at the bottom left of the 1024x768 frame, y up.
#pragma once

class TextureLibrary;
class ShaderLibrary;

constexpr float kGlyphSize = 16.0f;
constexpr float kGlyphAdvance = 10.0f;

// First of 256 display lists, list base + n drawing cell n and moving the pen.
extern unsigned int base;

// Compiles the glyph display lists (once per context, after the font picture
// is loaded) and remembers the libraries used by the print calls.
void SetUpText(TextureLibrary* textures, ShaderLibrary* shaders);

// White text: additive blending on the low graphics level, the masking
// program otherwise. Codes below 32 draw nothing and do not move the pen.
void PrintText(float x, float y, const char* text);
void PrintText(float x, float y, char* text);
// Coloured text, always additive.
void PrintTextColor(float x, float y, const char* text, float r, float g, float b);
// HUD text readable over any background at every graphics level: a dark
// one-pixel outline, then the text in (r, g, b), both blended by the font's
// alpha (additive white washes out over bright walls).
void PrintTextOutlined(float x, float y, const char* text, float r = 1, float g = 1, float b = 1);

// Draws at most `maxChars` characters of `text` with the pen starting at the
// current model-view origin, the font texture already bound. All glyphs go
// out in one array draw (the same squares the display lists draw, far
// cheaper than one list call per character on a software renderer).
void DrawGlyphs(const char* text, int maxChars);
// The same at the current model-view origin with the font bound: the glyphs
// in (r, g, b) with a dark one-unit outline, in one draw from the outlined
// atlas baked from the bound font (render/outlinedfont.h); alpha blending,
// off again afterwards, the font bound again. No shader program may be in
// use.
void DrawGlyphsOutlined(const char* text, float r, float g, float b);
// The outline drawn as eight offset copies of the line, then the line: what
// the atlas is baked to equal, and the way drawn while the bound font has no
// image yet.
void DrawGlyphsNinePass(const char* text, float r, float g, float b);
