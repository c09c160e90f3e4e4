#include "render/defaultsprite.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/glowtiles.h"
#include "render/glwrapper.h"
#include "render/rendersort.h"
#include "render/texturelibrary.h"

namespace {
// Corner signs in drawing order: top-left, bottom-left, bottom-right,
// top-right on the y-down screen.
constexpr float kCornerX[4] = {-1, -1, 1, 1};
constexpr float kCornerY[4] = {-1, 1, 1, -1};
enum { S, T, R, G, B, X, Y, Z };
}  // namespace

void DefaultSprite::InitMe(float cx, float cy, float width, float height, float u, float v,
                           float texWidth, float texHeight, TextureLibrary* lib) {
  centerX = cx;
  centerY = cy;
  halfWidth = width / 2;
  halfHeight = height / 2;
  texCenterU = u;
  texCenterV = v;
  texHalfWidth = texWidth / 2;
  texHalfHeight = texHeight / 2;
  library = lib;
  for (auto& vertex : vertices) vertex[R] = vertex[G] = vertex[B] = 1.0f;
  BuildVertices();
}

void DefaultSprite::InitMe(float cx, float cy, float width, float height, float u, float v,
                           float texWidth, float texHeight, TextureLibrary* lib, RenderSort* sort) {
  InitMe(cx, cy, width, height, u, v, texWidth, texHeight, lib);
  sorter = sort;
}

void DefaultSprite::BuildVertices() {
  for (int i = 0; i < 4; ++i) {
    vertices[i][S] = texCenterU + kCornerX[i] * texHalfWidth;
    // Screen y down is texture t down: the top corners take the high t.
    vertices[i][T] = texCenterV - kCornerY[i] * texHalfHeight;
    vertices[i][X] = centerX + kCornerX[i] * halfWidth;
    vertices[i][Y] = centerY + kCornerY[i] * halfHeight;
    vertices[i][Z] = 0;
  }
}

void DefaultSprite::ChangeCenter(float x, float y) {
  centerX = x;
  centerY = y;
  BuildVertices();
}

void DefaultSprite::ChangeSize(float width, float height) {
  halfWidth = width / 2;
  halfHeight = height / 2;
  BuildVertices();
}

// Reports the box the quad covers at (x, y) turned by `angle` degrees (as
// glRotatef turns it) while the glow capture records what it draws.
void DefaultSprite::NoteGlow(float x, float y, float angle) const {
  if (GlowTiles::recording == nullptr) return;
  const float radians = angle * 0.017453292f, c = std::cos(radians), s = std::sin(radians);
  float minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  for (const auto& vertex : vertices) {
    const float vx = x + vertex[X] * c - vertex[Y] * s, vy = y + vertex[X] * s + vertex[Y] * c;
    minX = std::min(minX, vx);
    maxX = std::max(maxX, vx);
    minY = std::min(minY, vy);
    maxY = std::max(maxY, vy);
  }
  GlowTiles::NoteDrawn(minX, minY, maxX, maxY);
}

// Draws the interleaved vertices at (x, y, z) turned by `angle` degrees;
// the caller has bound the texture.
void DefaultSprite::Draw(float x, float y, float z, float angle, float r, float g, float b) {
  NoteGlow(x, y, angle);
  for (auto& vertex : vertices) {
    vertex[R] = r;
    vertex[G] = g;
    vertex[B] = b;
  }
  glPushMatrix();
  glTranslatef(x, y, z);
  glRotatef(angle, 0, 0, 1);
  glInterleavedArrays(GL_T2F_C3F_V3F, 0, vertices);
  glDrawArrays(GL_QUADS, 0, 4);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
}

void DefaultSprite::RenderMe(float x, float y, float z, float angle, float alpha, float r, float g,
                             float b, int texture, bool looped, bool cycle) {
  // The colour array replaces the current colour, so alpha stays 1 here.
  glColor4f(1, 1, 1, alpha);
  if (texture != -1 && library) {
    if (looped) {
      if (cycle) library->CycleLoopedTexture(texture);
      library->BindLoopedTexture(texture);
    } else {
      library->BindTexture(texture);
    }
  }
  Draw(x, y, z, angle, r, g, b);
  // A colour array leaves the current colour undefined; restore it.
  glColor4f(1, 1, 1, alpha);
}

void DefaultSprite::RenderMe(float x, float y, float z, float angle, float alpha, float r, float g,
                             float b, int loop, int frame) {
  glColor4f(1, 1, 1, alpha);
  if (library) library->BindLoopedTexture(loop, frame);
  Draw(x, y, z, angle, r, g, b);
  glColor4f(1, 1, 1, alpha);
}

void DefaultSprite::DrawImmediate(float x, float y, float z, float angle, float alpha, float r,
                                  float g, float b) {
  NoteGlow(x, y, angle);
  glPushMatrix();
  glTranslatef(x, y, z);
  glRotatef(angle, 0, 0, 1);
  glColor4f(r, g, b, alpha);
  glBegin(GL_QUADS);
  for (const auto& vertex : vertices) {
    glTexCoord2f(vertex[S], vertex[T]);
    glVertex3f(vertex[X], vertex[Y], vertex[Z]);
  }
  glEnd();
  glPopMatrix();
}

void DefaultSprite::RenderMeQuads(float x, float y, float z, float angle, float alpha, float r,
                                  float g, float b, int loop, int frame) {
  if (library) library->BindLoopedTexture(loop, frame);
  DrawImmediate(x, y, z, angle, alpha, r, g, b);
}

void DefaultSprite::RenderMeQuads(float x, float y, float z, float angle, float alpha, float r,
                                  float g, float b, int texture) {
  if (library) library->BindTexture(texture);
  DrawImmediate(x, y, z, angle, alpha, r, g, b);
  glColor4f(1, 1, 1, 1);
}

void DefaultSprite::RenderSorted(float x, float y, float, float angle, float alpha, float r,
                                 float g, float b, int texture, bool, bool) {
  if (sorter) {
    sorter->AddQuad(texture, 0, 0, x, y, halfWidth, halfHeight, r, g, b, alpha, angle, false);
  }
}

void DefaultSprite::RenderSortedFading(float x, float y, float, float angle, float alpha, float r,
                                       float g, float b, int texture, bool, bool) {
  if (sorter) {
    sorter->AddQuad(texture, 0, 0, x, y, halfWidth, halfHeight, r, g, b, alpha, angle, true);
  }
}

void DefaultSprite::RenderSorted(float, float, float, float, float, float, float, float, int, int) {
}

bool DefaultSprite::RectRect(float x1, float y1, float h1, float w1, float x2, float y2, float h2,
                             float w2) {
  return GlWrapper().RectRect(x1, y1, h1, w1, x2, y2, h2, w2);
}
