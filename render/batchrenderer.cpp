#include "render/batchrenderer.h"

#include <GL/gl.h>

#include "render/texturelibrary.h"

namespace {
enum { S, T, R, G, B, A, X, Y, Z };
// Top-left, bottom-left, bottom-right, top-right on the y-down screen.
constexpr float kCornerX[4] = {-1, -1, 1, 1};
constexpr float kCornerY[4] = {-1, 1, 1, -1};
constexpr float kCornerS[4] = {0, 0, 1, 1};
constexpr float kCornerT[4] = {1, 0, 0, 1};
}  // namespace

void BatchRenderer::InitMe(TextureLibrary* lib) { library = lib; }

void BatchRenderer::Reset() { spare_.Recycle(paths); }

int BatchRenderer::AddPath(int texture) { return spare_.Append(paths, texture); }

int BatchRenderer::NumberOfPaths() const { return static_cast<int>(paths.size()); }

void BatchRenderer::AddQuad(int path, float x, float y, float width, float height, float alpha,
                            float r, float g, float b) {
  if (path < 0 || path >= NumberOfPaths()) return;
  std::vector<quad>& quads = paths[path].quads;
  quads.emplace_back();
  quad& q = quads.back();
  for (int i = 0; i < 4; ++i) {
    float* v = q.vertices[i];
    v[S] = kCornerS[i];
    v[T] = kCornerT[i];
    v[R] = r;
    v[G] = g;
    v[B] = b;
    v[A] = alpha;
    v[X] = x + kCornerX[i] * width / 2;
    v[Y] = y + kCornerY[i] * height / 2;
    v[Z] = 0;
  }
}

void BatchRenderer::RenderPath(int path, float angle) {
  if (path < 0 || path >= NumberOfPaths() || paths[path].quads.empty()) return;
  const RenderingPath& p = paths[path];
  glColor4f(1, 1, 1, 1);
  glPushMatrix();
  glRotatef(angle, 0, 0, 1);
  if (library) library->BindTexture(p.texture);
  // The quads are already laid out as interleaved vertices: draw straight
  // from them, no copy.
  const float* data = &p.quads[0].vertices[0][0];
  const GLsizei stride = kFloatsPerVertex * sizeof(float);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, stride, data + S);
  glColorPointer(4, GL_FLOAT, stride, data + R);
  glVertexPointer(3, GL_FLOAT, stride, data + X);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(p.quads.size() * 4));
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
  glColor4f(1, 1, 1, 1);
}
