#include "render/rendersort.h"

#include <cmath>

#include "base/angle.h"
#include "render/glowtiles.h"
#include "render/glwrapper.h"
#include "render/shaderlibrary.h"
#include "render/texturelibrary.h"

namespace {
// Vertex layout of RenderSort::quad.
enum { S, T, R, G, B, A, X, Y, Z, ROT_X, ROT_Y, ROT_Z, POS_X, POS_Y, POS_Z };
// Corner signs and texture coordinates: top-left, bottom-left,
// bottom-right, top-right on the y-down screen; the top of the picture
// (t = 1) at the top.
constexpr float kCornerX[4] = {-1, -1, 1, 1};
constexpr float kCornerY[4] = {-1, 1, 1, -1};
constexpr float kCornerS[4] = {0, 0, 1, 1};
constexpr float kCornerT[4] = {1, 0, 0, 1};
// RenderSlow's draw array per corner: s, t, x, y (colour is per quad).
constexpr int kDrawFloats = 4;
}  // namespace

void RenderSort::InitMe(TextureLibrary* lib, ShaderLibrary* shaderLibrary) {
  library = lib;
  shaders = shaderLibrary;
  vertexAttribPointer = shaders ? shaders->FireRenderStream() : nullptr;
}

void RenderSort::Reset() {
  spare_.Recycle(paths);
  lastPath_ = -1;
  draws = 0;
}

void RenderSort::CameraRect(float x, float y, float width, float height) {
  cameraX = x;
  cameraY = y;
  cameraWidth = width;
  cameraHeight = height;
}

void RenderSort::CameraOf(const RenderSort* other) {
  if (other)
    CameraRect(other->cameraX, other->cameraY, other->cameraWidth, other->cameraHeight);
  else
    CameraRect(0, 0, kEverywhere, kEverywhere);
}

int RenderSort::FindOrAddPath(int texture, int frame) {
  if (lastPath_ >= 0 && lastPath_ < static_cast<int>(paths.size()) &&
      paths[lastPath_].texture == texture && paths[lastPath_].frame == frame) {
    return lastPath_;
  }
  for (int i = static_cast<int>(paths.size()) - 1; i >= 0; --i) {
    if (paths[i].texture == texture && paths[i].frame == frame) return lastPath_ = i;
  }
  lastPath_ = spare_.Append(paths, texture);
  paths[lastPath_].frame = frame;
  return lastPath_;
}

void RenderSort::Bind(const RenderingPath& path) {
  if (library == nullptr) return;
  if (path.frame >= 0)
    library->BindLoopedTexture(path.texture, path.frame);
  else
    library->BindTexture(path.texture);
}

void RenderSort::AddQuad(int texture, int, int, float x, float y, float hw, float hh, float r,
                         float g, float b, float a, float angle, bool fading) {
  Add(texture, -1, x, y, hw, hh, r, g, b, a, angle * kDegToRad, fading);
}

void RenderSort::AddLoopQuad(int loop, int frame, float x, float y, float hw, float hh) {
  Add(loop, frame, x, y, hw, hh, 1, 1, 1, 1, 0, false);
}

void RenderSort::Add(int texture, int frame, float x, float y, float hw, float hh, float r, float g,
                     float b, float a, float radians, bool fading) {
  // The cull tests the overlap of the camera with the extent of the turned
  // quad, rather than RectRect's corner containment, which would drop a
  // sprite longer than the view that crosses it (a beam, a capital ship).
  // The unturned extent would do for squares but drops a beam flying
  // sideways, or a turned capital-ship part or decoration, while a good
  // part of it is still on screen: it would pop in and out at the edges.
  const float c = std::fabs(std::cos(radians)), s = std::fabs(std::sin(radians));
  const float extentX = hw * c + hh * s, extentY = hw * s + hh * c;
  const float left = cameraX - cameraWidth / 2, top = cameraY - cameraHeight / 2;
  if (x + extentX < left || x - extentX > left + cameraWidth || y + extentY < top ||
      y - extentY > top + cameraHeight) {
    return;
  }
  GlowTiles::NoteDrawn(x - extentX, y - extentY, x + extentX, y + extentY);
  RenderingPath& path = paths[FindOrAddPath(texture, frame)];
  path.quads.emplace_back();
  quad& q = path.quads.back();
  for (int i = 0; i < 4; ++i) {
    float* v = q.vertices[i];
    v[S] = kCornerS[i];
    v[T] = kCornerT[i];
    v[R] = r;
    v[G] = g;
    v[B] = b;
    // A fading quad is transparent along its bottom (+y) edge.
    v[A] = (fading && kCornerY[i] > 0) ? 0.0f : a;
    v[X] = x + kCornerX[i] * hw;
    v[Y] = y + kCornerY[i] * hh;
    v[Z] = 0;
    v[ROT_X] = 0;
    v[ROT_Y] = 0;
    v[ROT_Z] = radians;
    v[POS_X] = x;
    v[POS_Y] = y;
    v[POS_Z] = 0;
  }
}

// Each quad is turned about its centre here on the CPU instead of by a
// matrix push, translate and rotate per quad: the same picture, but one
// array draw per path, which keeps thousands of sprites cheap on software GL.
// As with a per-quad glColor, each quad takes the colour of its vertex 0.
void RenderSort::RenderSlow() {
  if (paths.empty()) return;
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  for (const RenderingPath& path : paths) {
    if (path.quads.empty()) continue;
    const size_t corners = path.quads.size() * 4;
    // Per corner: s, t, x, y, then r, g, b, a in a second block.
    drawArray_.resize(corners * (kDrawFloats + 4));
    float* coords = drawArray_.data();
    float* colours = coords + corners * kDrawFloats;
    for (const quad& q : path.quads) {
      const float radians = q.vertices[0][ROT_Z];
      const float c = std::cos(radians), s = std::sin(radians);
      const float* colour = q.vertices[0] + R;
      for (const auto& v : q.vertices) {
        const float dx = v[X] - v[POS_X], dy = v[Y] - v[POS_Y];
        *coords++ = v[S];
        *coords++ = v[T];
        *coords++ = v[POS_X] + dx * c - dy * s;
        *coords++ = v[POS_Y] + dx * s + dy * c;
        for (int k = 0; k < 4; ++k) *colours++ = colour[k];
      }
    }
    glColor4f(1, 1, 1, 1);
    Bind(path);
    const float* base = drawArray_.data();
    glTexCoordPointer(2, GL_FLOAT, kDrawFloats * sizeof(float), base);
    glVertexPointer(2, GL_FLOAT, kDrawFloats * sizeof(float), base + 2);
    glColorPointer(4, GL_FLOAT, 0, base + corners * kDrawFloats);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(corners));
    ++draws;
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glColor4f(1, 1, 1, 1);
}

// Each path goes out in one array draw straight from the quads' own
// interleaved memory; the FireRender program (switched on by the caller)
// turns every corner about its quad's centre. Only the corner positions
// relative to that centre are built here. Colours are per corner, so a
// fading quad keeps its fade. Without the program the picture comes from
// RenderSlow instead.
void RenderSort::RenderFast() {
  if (shaders == nullptr || !shaders->UsingShaders() || vertexAttribPointer == nullptr) {
    RenderSlow();
    return;
  }
  if (paths.empty()) return;
  const GLuint rotation = static_cast<GLuint>(shaders->rotationAttrib);
  const GLuint position = static_cast<GLuint>(shaders->newposAttrib);
  constexpr GLsizei kStride = kFloatsPerVertex * sizeof(float);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  shaders->UnlockFireRender();
  for (const RenderingPath& path : paths) {
    if (path.quads.empty()) continue;
    const size_t corners = path.quads.size() * 4;
    drawArray_.resize(corners * 3);
    float* relative = drawArray_.data();
    for (const quad& q : path.quads) {
      for (const auto& v : q.vertices) {
        *relative++ = v[X] - v[POS_X];
        *relative++ = v[Y] - v[POS_Y];
        *relative++ = v[Z] - v[POS_Z];
      }
    }
    const float* base = path.quads.front().vertices[0];
    glColor4f(1, 1, 1, 1);
    Bind(path);
    glVertexPointer(3, GL_FLOAT, 0, drawArray_.data());
    glColorPointer(4, GL_FLOAT, kStride, base + R);
    glTexCoordPointer(2, GL_FLOAT, kStride, base + S);
    vertexAttribPointer(rotation, 3, GL_FLOAT, GL_FALSE, kStride, base + ROT_X);
    vertexAttribPointer(position, 3, GL_FLOAT, GL_FALSE, kStride, base + POS_X);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(corners));
    ++draws;
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  shaders->LockFireRender();
  glColor4f(1, 1, 1, 1);
}

bool RenderSort::RectRect(float x1, float y1, float h1, float w1, float x2, float y2, float h2,
                          float w2) {
  return GlWrapper().RectRect(x1, y1, h1, w1, x2, y2, h2, w2);
}
