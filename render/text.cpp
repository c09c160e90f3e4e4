#include "render/text.h"

#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <vector>

#include "platform/globals.h"
#include "platform/platform.h"
#include "render/outlinedfont.h"
#include "render/shaderlibrary.h"
#include "render/texturelibrary.h"
#include "render/textureslots.h"

unsigned int base = 0;

namespace {

TextureLibrary* gTextures = nullptr;
ShaderLibrary* gShaders = nullptr;
std::vector<float> gGlyphArray;  // reused: s, t, x, y per corner
OutlinedFont gOutlined;

constexpr int kGlyphCells = 256;
constexpr int kFirstCode = 32;
constexpr float kCell = 1.0f / 16.0f;

// Texture rectangle of grid cell n (column n mod 16, row n div 16 from the
// top of the picture, whose top is t = 1).
void CellCoords(int n, float& s0, float& s1, float& t0, float& t1) {
  s0 = static_cast<float>(n % 16) * kCell;
  s1 = s0 + kCell;
  t1 = 1.0f - static_cast<float>(n / 16) * kCell;
  t0 = t1 - kCell;
}

void PushTextProjection(float x, float y) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, platform::kFrameWidth, 0, platform::kFrameHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(x, y, 0);
}

void PopTextProjection() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void BindFont() {
  if (gTextures) gTextures->BindTexture(kFontTexture);
}

}  // namespace

void SetUpText(TextureLibrary* textures, ShaderLibrary* shaders) {
  gTextures = textures;
  gShaders = shaders;
  gOutlined.Forget();
  base = glGenLists(kGlyphCells);
  BindFont();
  for (int n = 0; n < kGlyphCells; ++n) {
    float s0, s1, t0, t1;
    CellCoords(n, s0, s1, t0, t1);
    glNewList(base + n, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(0, 0);
    glTexCoord2f(s1, t0);
    glVertex2f(kGlyphSize, 0);
    glTexCoord2f(s1, t1);
    glVertex2f(kGlyphSize, kGlyphSize);
    glTexCoord2f(s0, t1);
    glVertex2f(0, kGlyphSize);
    glEnd();
    glTranslatef(kGlyphAdvance, 0, 0);
    glEndList();
  }
}

namespace {

// Fills gGlyphArray with the squares of at most `maxChars` characters: the
// font's glyph squares, or the outlined squares of the baked atlas (grown by
// the outline on every side).
void LayOutGlyphs(const char* text, int maxChars, bool outlined) {
  gGlyphArray.clear();
  const float grow = outlined ? OutlinedFont::kOutline : 0.0f;
  const float lo = -grow;
  const float hi = kGlyphSize + grow;
  float pen = 0;
  for (int i = 0; i < maxChars && text[i] != '\0'; ++i) {
    const int code = static_cast<unsigned char>(text[i]);
    // Control codes have no glyph and do not move the pen.
    if (code < kFirstCode) continue;
    float s0, s1, t0, t1;
    if (outlined) {
      OutlinedFont::CellCoords(code - kFirstCode, s0, s1, t0, t1);
    } else {
      CellCoords(code - kFirstCode, s0, s1, t0, t1);
    }
    const float corners[16] = {s0, t0, pen + lo, lo, s1, t0, pen + hi, lo,
                               s1, t1, pen + hi, hi, s0, t1, pen + lo, hi};
    gGlyphArray.insert(gGlyphArray.end(), corners, corners + 16);
    pen += kGlyphAdvance;
  }
}

// Frame pixels one text unit covers under the current matrices (the names
// above ships are magnified).
float PixelsPerUnit() {
  GLfloat model[16], projection[16];
  GLint viewport[4];
  glGetFloatv(GL_MODELVIEW_MATRIX, model);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  // The unit x step in clip space, then in pixels (orthographic: w is 1).
  const float cx = projection[0] * model[0] + projection[4] * model[1];
  const float cy = projection[1] * model[0] + projection[5] * model[1];
  return std::hypot(cx * viewport[2] * 0.5f, cy * viewport[3] * 0.5f);
}

void DrawGlyphArray() {
  if (gGlyphArray.empty()) return;
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), gGlyphArray.data());
  glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), gGlyphArray.data() + 2);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(gGlyphArray.size() / 4));
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace

void DrawGlyphs(const char* text, int maxChars) {
  if (!text) return;
  LayOutGlyphs(text, maxChars, false);
  DrawGlyphArray();
}

void PrintText(float x, float y, const char* text) {
  if (!text || text[0] == '\0') return;
  // Without the masking program (the low level, or before the programs are
  // built, as on the title screens) additive blending makes the font's black
  // disappear against the scene instead.
  const bool additive = graphicslevel == 2 || !gShaders || !gShaders->UsingShaders();
  if (additive) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
  } else {
    gShaders->ShaderMasking();
  }
  BindFont();
  PushTextProjection(x, y);
  DrawGlyphs(text, INT_MAX);
  PopTextProjection();
  if (additive) {
    glDisable(GL_BLEND);
  } else {
    gShaders->ShadersOff();
  }
}

void PrintText(float x, float y, char* text) { PrintText(x, y, static_cast<const char*>(text)); }

void PrintTextColor(float x, float y, const char* text, float r, float g, float b) {
  if (!text || text[0] == '\0') return;
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  BindFont();
  PushTextProjection(x, y);
  glColor4f(r, g, b, 1);
  DrawGlyphs(text, INT_MAX);
  glColor4f(1, 1, 1, 1);
  PopTextProjection();
  glDisable(GL_BLEND);
}

void DrawGlyphsNinePass(const char* text, float r, float g, float b) {
  if (!text || text[0] == '\0') return;
  static const float kAround[8][2] = {{-1, 0},  {1, 0},  {0, -1}, {0, 1},
                                      {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  const float outline = OutlinedFont::kOutline;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, OutlinedFont::kOutlineAlpha);
  for (const auto& d : kAround) {
    glTranslatef(d[0] * outline, d[1] * outline, 0);
    DrawGlyphs(text, INT_MAX);
    glTranslatef(-d[0] * outline, -d[1] * outline, 0);
  }
  glColor4f(r, g, b, 1);
  DrawGlyphs(text, INT_MAX);
  glColor4f(1, 1, 1, 1);
  glDisable(GL_BLEND);
}

void DrawGlyphsOutlined(const char* text, float r, float g, float b) {
  if (!text || text[0] == '\0') return;
  GLint font = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &font);
  if (!gOutlined.Bind(static_cast<unsigned int>(font), PixelsPerUnit())) {
    DrawGlyphsNinePass(text, r, g, b);
    return;
  }
  // The atlas is premultiplied: the tint scales the glyphs' colour and
  // leaves the outline black.
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(r, g, b, 1);
  LayOutGlyphs(text, INT_MAX, true);
  DrawGlyphArray();
  glColor4f(1, 1, 1, 1);
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(font));
}

void PrintTextOutlined(float x, float y, const char* text, float r, float g, float b) {
  if (!text || text[0] == '\0') return;
  if (gShaders && gShaders->UsingShaders()) gShaders->ShadersOff();
  BindFont();
  PushTextProjection(x, y);
  DrawGlyphsOutlined(text, r, g, b);
  PopTextProjection();
}
