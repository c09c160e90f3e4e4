// The level's drawing: its walls and decorations through the sorted
// renderer, and the arena picture the mini-map shows.
#include "draw/world_draw.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "base/gameutilities.h"
#include "platform/glextensions.h"
#include "render/rendersort.h"
#include "render/texturelibrary.h"
#include "render/textureslots.h"
#include "world/capship.h"
#include "world/world.h"

void WorldView::InitMe(const World* world, TextureLibrary* textures, RenderSort* sorter) {
  world_ = world;
  textures_ = textures;
  sorter_ = sorter;
  drawingReady_ = false;
}

// At the first draw after InitMe.
void WorldView::PrepareDrawing() {
  if (drawingReady_) return;
  sprite_.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures_, sorter_);
  shipSprite_.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures_);
  drawingReady_ = true;
}

void WorldView::DrawAtOnce(float x, float y, float width, float height, float angle, int texture) {
  PrepareDrawing();
  sprite_.ChangeSize(width, height);
  sprite_.RenderMe(x + width / 2, y + height / 2, 0, angle, 1, 1, 1, 1, texture, false, false);
}

void WorldView::DrawSorted(float x, float y, float width, float height, float angle, int texture) {
  PrepareDrawing();
  sprite_.ChangeSize(width, height);
  sprite_.RenderSorted(x + width / 2, y + height / 2, 0, angle, 1, 1, 1, 1, texture, false, false);
}

void WorldView::RenderObjects() {
  for (const World::Object& o : world_->objects)
    DrawSorted(o.x, o.y, o.width, o.height, 0, o.texture);
}

void WorldView::RenderObjectsNoShaders() {
  for (const World::Object& o : world_->objects)
    DrawAtOnce(o.x, o.y, o.width, o.height, 0, o.texture);
}

void WorldView::RenderBackGroundObjects() {
  for (const World::BackGroundObject& o : world_->backgroundObjects)
    DrawAtOnce(o.x, o.y, o.width, o.height, o.rotation, o.texture);
}

void WorldView::RenderBackGroundObjects2() {
  for (const World::BackGroundObject& o : world_->backgroundObjects2)
    DrawSorted(o.x, o.y, o.width, o.height, o.rotation, o.texture);
}

void WorldView::RenderBackGroundObjects2NoShaders() {
  for (const World::BackGroundObject& o : world_->backgroundObjects2)
    DrawAtOnce(o.x, o.y, o.width, o.height, o.rotation, o.texture);
}

void WorldView::RenderCapShip(const CapShip& ship, int t1, int t2, int t3, int t4, int t5, int t6,
                              int t7, int t8) {
  PrepareDrawing();
  const float w = static_cast<float>(ship.width), h = static_cast<float>(ship.height);
  const int slots[8] = {t1, t2, t3, t4, t5, t6, t7, t8};
  // Two columns, four rows; every tile turns about the ship's centre, so
  // the eight pieces stay one picture at any rotation.
  const float column[2] = {-w / 4, w / 4};
  const float row[4] = {-3 * h / 8, -h / 8, h / 8, 3 * h / 8};
  shipSprite_.ChangeSize(w / 2, h / 4);
  for (int tile = 0; tile < 8; ++tile) {
    shipSprite_.ChangeCenter(column[tile % 2], row[tile / 2]);
    shipSprite_.RenderMe(ship.x, ship.y, 0, 90 - ship.rotation, 1, 1, 1, 1, slots[tile], false,
                         false);
  }
}

// ---- Arena picture ----

namespace {

void RestoreFramebuffers(GLint draw, GLint read) {
  Gl().glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
  Gl().glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
}

int PictureSize(int quality) {
  switch (quality) {
    case 0: return 128;
    case 1: return 256;
    case 2: return 512;
    default: return 256;
  }
}

// An n x n RGB texture, black, linear and clamped.
GLuint BlackPicture(int n) {
  std::vector<unsigned char> zeroes(static_cast<size_t>(n) * n * 3, 0);
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, n, n, 0, GL_RGB, GL_UNSIGNED_BYTE, zeroes.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return name;
}

}  // namespace

// The picture is drawn straight into the texture through a framebuffer
// object, so it can never pick up what is on the window (a letterbox, the
// loading screen). Without framebuffer objects it falls back to drawing in
// the corner of the current frame and copying that.
void WorldView::GetLevelTexture(int centreX, int centreY, int width, int height, int quality,
                                const CapShip& ship) {
  const int n = PictureSize(quality);
  if (levelTexture) glDeleteTextures(1, &levelTexture);  // a rebuilt picture replaces the old
  levelTexture = BlackPicture(n);

  const GlExtensions& gl = Gl();
  // The frame may itself be an off-screen target (a letterboxed window):
  // both bindings are put back afterwards.
  GLint previousDraw = 0, previousRead = 0;
  GLuint framebuffer = 0;
  bool offscreen = gl.framebuffers;
  if (offscreen) {
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
    gl.glGenFramebuffers(1, &framebuffer);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, levelTexture, 0);
    if (gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      RestoreFramebuffers(previousDraw, previousRead);
      gl.glDeleteFramebuffers(1, &framebuffer);
      offscreen = false;
    }
  }

  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glViewport(0, 0, n, n);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  const double halfW = width / 2.0, halfH = height / 2.0;
  // y grows downwards in the world: the bottom edge is centreY + height/2.
  glOrtho(centreX - halfW, centreX + halfW, centreY + halfH, centreY - halfH, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

  // Colour-keyed pictures lose their black here as they do in play, so the
  // minimap shows what the player sees.
  GLboolean alphaTest = glIsEnabled(GL_ALPHA_TEST);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.05f);
  RenderObjectsNoShaders();
  RenderBackGroundObjects();
  RenderBackGroundObjects2NoShaders();
  RenderCapShip(ship, kCarrierTile1, kCarrierTile2, kCarrierTile3, kCarrierTile4, kCarrierTile5,
                kCarrierTile6, kCarrierTile7, kCarrierTile8);
  if (!alphaTest) glDisable(GL_ALPHA_TEST);

  if (offscreen) {
    RestoreFramebuffers(previousDraw, previousRead);
    gl.glDeleteFramebuffers(1, &framebuffer);
  } else {
    glBindTexture(GL_TEXTURE_2D, levelTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, n, n);
  }
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
  if (!offscreen) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();

  if (textures_) textures_->ReplaceTexture(levelTexture, kArenaPictureTexture);
}
