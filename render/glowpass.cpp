#include "render/glowpass.h"

#include <GL/gl.h>

#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"

namespace {

// Column-major product a * b of two 4x4 matrices.
void Multiply(const float a[16], const float b[16], float out[16]) {
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      out[column * 4 + row] = sum;
    }
}

}  // namespace

void GlowPass::BeginCapture(ShaderHelper& helper) {
  helper.RenderOffScreenPing();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  float projection[16], modelView[16], both[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  Multiply(projection, modelView, both);
  tiles_.Begin(both);
  GlowTiles::recording = &tiles_;
}

void GlowPass::EndCapture(ShaderHelper& helper, ShaderLibrary& shaders) {
  GlowTiles::recording = nullptr;
  blurRows_.clear();
  reach_.clear();
  if (!tiles_.Empty()) {
    tiles_.Runs(1, 0, blurRows_);
    tiles_.Runs(1, 1, reach_);
    // Along x into pong. The vertical blur reads pong up and down beyond
    // the rows written here, where the glow is black: pong is cleared whole.
    helper.RenderOffScreenPong();
    glClear(GL_COLOR_BUFFER_BIT);
    helper.BindScreen(ShaderHelper::kPingScreen, 0);
    shaders.ShaderHorizBlur2(GlowTiles::kBufferSize);
    DrawRects(blurRows_);
    // Along y back into ping: the capture is no longer needed, and outside
    // these tiles it is black already, which is what the glow is there.
    helper.RenderOffScreenPing();
    helper.BindScreen(ShaderHelper::kPongScreen, 0);
    shaders.ShaderVertBlur2(GlowTiles::kBufferSize);
    DrawRects(reach_);
    shaders.ShadersOff();
  }
  helper.RenderToScreen();
}

void GlowPass::Composite(ShaderHelper& helper) {
  if (reach_.empty()) return;
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  helper.BindScreen(ShaderHelper::kPingScreen, 0);
  DrawRects(reach_);
  glDisable(GL_BLEND);
}

void GlowPass::DrawRects(const std::vector<GlowTiles::Rect>& rects) {
  constexpr float kTexel = 1.0f / GlowTiles::kBufferSize;
  vertices_.clear();
  for (const GlowTiles::Rect& r : rects) {
    // Counter-clockwise on screen, so face culling keeps it.
    const float corners[4][2] = {{float(r.x0), float(r.y0)},
                                 {float(r.x1), float(r.y0)},
                                 {float(r.x1), float(r.y1)},
                                 {float(r.x0), float(r.y1)}};
    for (const auto& c : corners) {
      vertices_.insert(vertices_.end(), {c[0] * kTexel, c[1] * kTexel, c[0], c[1]});
    }
  }
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, GlowTiles::kBufferSize, 0, GlowTiles::kBufferSize, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glColor4f(1, 1, 1, 1);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), vertices_.data());
  glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), vertices_.data() + 2);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices_.size() / 4));
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
