#include "world/world.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "app/platform.h"
#include "render/glwrapper.h"
#include "render/rendersort.h"
#include "render/texturelibrary.h"

namespace {

// RectRect is a pure function; a private instance lets the level answer
// queries before (or without) InitMe.
GlWrapper rectTest;

constexpr int kLevelTextureSlot = 40;

}  // namespace

void World::InitMe(GlWrapper* utilities_, TextureLibrary* textures_, ShaderLibrary* shaders_,
                   RenderSort* sorter_) {
  utilities = utilities_;
  textures = textures_;
  shaders = shaders_;
  sorter = sorter_;
  sprite.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures, sorter);
}

void World::AddObject(float x, float y, float height, float width, int texture) {
  if (indexed_ != objects.size()) RebuildGrid();
  objects.push_back({x, y, width, height, texture});
  IndexWall(objects.back());
  indexed_ = objects.size();
}

void World::AddBackGroundObject(float x, float y, float height, float width, float rotation,
                                int texture) {
  backgroundObjects.push_back({x, y, width, height, texture, rotation});
}

void World::AddBackGroundObject2(float x, float y, float height, float width, float rotation,
                                 int texture) {
  backgroundObjects2.push_back({x, y, width, height, texture, rotation});
}

void World::BuildDefaultMap() {
  // Border walls: twenty 1024-unit segments per side, inside the corner blocks.
  for (int i = 0; i < 20; ++i) {
    float p = 128.0f + 1024.0f * i;
    AddObject(p, 0, 128, 1024, 46);
    AddObject(p, 20608, 128, 1024, 46);
    AddObject(20608, p, 1024, 128, 47);
    AddObject(0, p, 1024, 128, 47);
  }
  // Inner bars in the upper-left quarter.
  AddObject(3744, 800, 128, 1024, 46);
  AddObject(3744, 7864, 128, 1024, 46);
  AddObject(800, 3744, 1024, 128, 47);
  AddObject(7864, 3744, 1024, 128, 47);
  // Corner blocks.
  AddObject(0, 0, 128, 128, 48);
  AddObject(20608, 0, 128, 128, 48);
  AddObject(0, 20608, 128, 128, 48);
  AddObject(20608, 20608, 128, 128, 48);

  // The decoration is scattered the same way in every game: fixed seed,
  // fixed order of draws (y before x).
  GameSeed(23583);
  GlWrapper& random = utilities ? *utilities : rectTest;
  for (int i = 0; i < 80; ++i) {
    float size = random.RangedRandom(512, 1024);
    int kind = static_cast<int>(random.RangedRandom(0, 5));
    float rotation = random.RangedRandom(0, 360);
    float y = random.RangedRandom(1000, 7000);
    float x = random.RangedRandom(1000, 7000);
    AddBackGroundObject(x, y, size, size, rotation, 49 + kind);
  }
  AddBackGroundObject2(16000, 10000, 1024, 2048, 30, 55);
  AddBackGroundObject2(12000, 14000, 1024, 2048, 60, 56);
  AddBackGroundObject2(17000, 5000, 2048, 2048, 15, 57);

  // The rest of the game must not repeat from run to run.
  GameSeed(static_cast<unsigned int>(std::time(nullptr)));
}

// ---- Collision ----

int World::CellOf(float v) {
  float cell = std::floor(v / kCellSize);
  if (!(cell >= 0)) return 0;  // also NaN: RectRect rejects it anyway
  return cell >= kGridCells - 1 ? kGridCells - 1 : static_cast<int>(cell);
}

// A wall is entered into every cell its box overlaps (cells clamp at the
// grid's edge, which keeps the pruning conservative for walls and queries
// outside it).
void World::IndexWall(const Object& o) {
  int x0 = CellOf(std::min(o.x, o.x + o.width)), x1 = CellOf(std::max(o.x, o.x + o.width));
  int y0 = CellOf(std::min(o.y, o.y + o.height)), y1 = CellOf(std::max(o.y, o.y + o.height));
  for (int cy = y0; cy <= y1; ++cy)
    for (int cx = x0; cx <= x1; ++cx) grid_[cy * kGridCells + cx].push_back({o.x, o.y, o.width, o.height});
}

void World::RebuildGrid() {
  for (auto& cell : grid_) cell.clear();
  for (const Object& o : objects) IndexWall(o);
  indexed_ = objects.size();
}

bool World::CollisionObjects(float x, float y, float width, float height) {
  if (indexed_ != objects.size()) RebuildGrid();
  const float xMin = std::min(x, x + width), xMax = std::max(x, x + width);
  const float yMin = std::min(y, y + height), yMax = std::max(y, y + height);
  const int x0 = CellOf(xMin), x1 = CellOf(xMax), y0 = CellOf(yMin), y1 = CellOf(yMax);
  for (int cy = y0; cy <= y1; ++cy) {
    for (int cx = x0; cx <= x1; ++cx) {
      for (const Box& b : grid_[cy * kGridCells + cx]) {
        // Contact by RectRect implies the boxes overlap (edges included):
        // a cheap reject before the exact test.
        if (xMax < std::min(b.x, b.x + b.width) || xMin > std::max(b.x, b.x + b.width) ||
            yMax < std::min(b.y, b.y + b.height) || yMin > std::max(b.y, b.y + b.height))
          continue;
        if (rectTest.RectRect(x, y, height, width, b.x, b.y, b.height, b.width)) return true;
      }
    }
  }
  return false;
}

// ---- Drawing ----

void World::DrawAtOnce(float x, float y, float width, float height, float angle, int texture) {
  sprite.ChangeSize(width, height);
  sprite.RenderMe(x + width / 2, y + height / 2, 0, angle, 1, 1, 1, 1, texture, false, false);
}

void World::DrawSorted(float x, float y, float width, float height, float angle, int texture) {
  sprite.ChangeSize(width, height);
  sprite.RenderSorted(x + width / 2, y + height / 2, 0, angle, 1, 1, 1, 1, texture, false, false);
}

void World::RenderObjects() {
  for (const Object& o : objects) DrawSorted(o.x, o.y, o.width, o.height, 0, o.texture);
}

void World::RenderObjectsNoShaders() {
  for (const Object& o : objects) DrawAtOnce(o.x, o.y, o.width, o.height, 0, o.texture);
}

void World::RenderBackGroundObjects() {
  for (const BackGroundObject& o : backgroundObjects)
    DrawAtOnce(o.x, o.y, o.width, o.height, o.rotation, o.texture);
}

void World::RenderBackGroundObjects2() {
  for (const BackGroundObject& o : backgroundObjects2)
    DrawSorted(o.x, o.y, o.width, o.height, o.rotation, o.texture);
}

void World::RenderBackGroundObjects2NoShaders() {
  for (const BackGroundObject& o : backgroundObjects2)
    DrawAtOnce(o.x, o.y, o.width, o.height, o.rotation, o.texture);
}

// ---- Arena picture ----

namespace {

// Framebuffer-object entry points (GL 3.0 / ARB_framebuffer_object names).
struct FboApi {
  PFNGLGENFRAMEBUFFERSPROC gen = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC del = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bind = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DPROC attach = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC status = nullptr;

  bool Load() {
    gen = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(Find("glGenFramebuffers"));
    del = reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(Find("glDeleteFramebuffers"));
    bind = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(Find("glBindFramebuffer"));
    attach = reinterpret_cast<PFNGLFRAMEBUFFERTEXTURE2DPROC>(Find("glFramebufferTexture2D"));
    status = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(Find("glCheckFramebufferStatus"));
    return gen && del && bind && attach && status;
  }
  static void* Find(const char* name) { return platform::GetProcAddress(name); }
};

void RestoreFramebuffers(const FboApi& fbo, GLint draw, GLint read) {
  fbo.bind(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
  fbo.bind(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
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
void World::GetLevelTexture(int centreX, int centreY, int width, int height, int quality,
                            CapShip ship) {
  const int n = PictureSize(quality);
  if (levelTexture) glDeleteTextures(1, &levelTexture);  // a rebuilt picture replaces the old
  levelTexture = BlackPicture(n);

  FboApi fbo;
  // The frame may itself be an off-screen target (a letterboxed window):
  // both bindings are put back afterwards.
  GLint previousDraw = 0, previousRead = 0;
  GLuint framebuffer = 0;
  bool offscreen = fbo.Load();
  if (offscreen) {
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
    fbo.gen(1, &framebuffer);
    fbo.bind(GL_FRAMEBUFFER, framebuffer);
    fbo.attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, levelTexture, 0);
    if (fbo.status(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      RestoreFramebuffers(fbo, previousDraw, previousRead);
      fbo.del(1, &framebuffer);
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
  ship.RenderEight(23, 24, 25, 26, 27, 28, 29, 30);
  if (!alphaTest) glDisable(GL_ALPHA_TEST);

  if (offscreen) {
    RestoreFramebuffers(fbo, previousDraw, previousRead);
    fbo.del(1, &framebuffer);
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

  if (textures) textures->ReplaceTexture(levelTexture, kLevelTextureSlot);
}
