// The level and the capital ship drawn into a real GL frame and read back,
// and the arena picture the minimap shows.
#include "world/world.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "draw/world_draw.h"
#include "platform/platform.h"
#include "render/rendersort.h"
#include "render/texturelibrary.h"
#include "tests/support/glcontext.h"
#include "world/capship.h"

namespace {
using testsupport::GlTest;
using testsupport::ReadPixel;
using testsupport::Rgba;

const Rgba kBlack{0, 0, 0, 255};

unsigned int SolidTexture(uint8_t r, uint8_t g, uint8_t b) {
  unsigned int name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  const uint8_t texel[4 * 4] = {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return name;
}

// Slot n holds a solid picture whose colour names the slot.
Rgba SlotColour(int slot) {
  return Rgba{static_cast<uint8_t>(slot * 4), static_cast<uint8_t>(255 - slot * 3), 200, 255};
}

class WorldGlTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    for (int slot = 0; slot < 60; ++slot) {
      Rgba c = SlotColour(slot);
      library.AddTexture(SolidTexture(c.r, c.g, c.b));
    }
    sorter.InitMe(&library, nullptr);
    level.InitMe(&utility);
    view.InitMe(&level, &library, &sorter);
  }
  void TearDown() override {
    for (unsigned int name : library.textures) glDeleteTextures(1, &name);
  }
  // The arena picture of slot 40 as RGB rows, bottom row first (GL order).
  std::vector<uint8_t> LevelPicture(int* size) {
    glBindTexture(GL_TEXTURE_2D, library.textures[40]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, size);
    std::vector<uint8_t> rgb(static_cast<size_t>(*size) * *size * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
  }
  TextureLibrary library;
  RenderSort sorter;
  World level;
  WorldView view;
};

Rgba At(const std::vector<uint8_t>& rgb, int size, int column, int rowFromTop) {
  const uint8_t* p = &rgb[(static_cast<size_t>(size - 1 - rowFromTop) * size + column) * 3];
  return Rgba{p[0], p[1], p[2], 255};
}

TEST_F(WorldGlTest, WallsAndDecorationsAreDrawnWhereTheyLie) {
  level.AddObject(100, 100, 50, 200, 46);                 // x 100..300, y 100..150
  level.AddBackGroundObject(500, 100, 100, 200, 90, 49);  // turned upright: x 550..650, y 50..250
  level.AddBackGroundObject2(100, 400, 100, 100, 0, 55);
  view.RenderObjectsNoShaders();
  view.RenderBackGroundObjects();
  view.RenderBackGroundObjects2NoShaders();
  EXPECT_EQ(ReadPixel(200, 125), SlotColour(46));
  EXPECT_EQ(ReadPixel(200, 160), kBlack);
  EXPECT_EQ(ReadPixel(600, 60), SlotColour(49));
  EXPECT_EQ(ReadPixel(520, 150), kBlack);  // inside the unturned box, outside the turned one
  EXPECT_EQ(ReadPixel(150, 450), SlotColour(55));

  // The sorted variants hand the same quads to the sorter.
  testsupport::ResetGlState();
  sorter.Reset();
  sorter.CameraRect(512, 384, 1024, 768);
  view.RenderObjects();
  view.RenderBackGroundObjects2();
  sorter.RenderSlow();
  EXPECT_EQ(ReadPixel(200, 125), SlotColour(46));
  EXPECT_EQ(ReadPixel(150, 450), SlotColour(55));
  EXPECT_EQ(ReadPixel(600, 60), kBlack);  // the first layer is never sorted
}

TEST_F(WorldGlTest, CapitalShipTilesTurnAsOnePicture) {
  CapShip ship;
  ship.InitMe(400, 640, 512, 384, 90);
  view.RenderCapShip(ship, 23, 24, 25, 26, 27, 28, 29, 30);
  // Upright: two columns 100 units either side, rows at -240, -80, 80, 240.
  EXPECT_EQ(ReadPixel(412, 144), SlotColour(23));
  EXPECT_EQ(ReadPixel(612, 144), SlotColour(24));
  EXPECT_EQ(ReadPixel(412, 304), SlotColour(25));
  EXPECT_EQ(ReadPixel(612, 464), SlotColour(28));
  EXPECT_EQ(ReadPixel(412, 624), SlotColour(29));
  EXPECT_EQ(ReadPixel(612, 624), SlotColour(30));
  EXPECT_EQ(ReadPixel(250, 384), kBlack);

  // Rotation 0 draws at angle 90: a quarter turn clockwise about the centre,
  // so the top-left tile ends up right of centre and above it.
  testsupport::ResetGlState();
  ship.rotation = 0;
  view.RenderCapShip(ship, 23, 24, 25, 26, 27, 28, 29, 30);
  EXPECT_EQ(ReadPixel(512 + 240, 384 - 100), SlotColour(23));
  EXPECT_EQ(ReadPixel(512 - 240, 384 + 100), SlotColour(30));
  EXPECT_EQ(ReadPixel(512, 384 - 250), kBlack);
}

TEST_F(WorldGlTest, ArenaPictureShowsTheArenaAndNotTheWindow) {
  level.BuildDefaultMap();
  CapShip carrier;
  carrier.InitMe(4096, 8192, 10000, 10000, 30);
  // Something on the window that must not leak into the picture.
  glClearColor(1, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 1);
  GLint viewportBefore[4];
  glGetIntegerv(GL_VIEWPORT, viewportBefore);
  GLfloat projectionBefore[16], projectionAfter[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);

  view.GetLevelTexture(10384, 10384, 20768, 20768, 3, carrier);

  int size = 0;
  std::vector<uint8_t> picture = LevelPicture(&size);
  ASSERT_EQ(size, 256);
  EXPECT_EQ(testsupport::TakeGlError(), 0u);
  EXPECT_NE(view.levelTexture, 0u);
  EXPECT_EQ(library.textures[40], view.levelTexture);
  // One texel is 81.125 world units. Top-left corner block, a top wall
  // segment, a left one; the open lower right is black (not the window's
  // magenta); the carrier sits on (10000, 10000); the large decoration
  // (17000, 5000) 2048 square shows at its centre.
  EXPECT_EQ(At(picture, size, 0, 0), SlotColour(48));
  EXPECT_EQ(At(picture, size, 128, 0), SlotColour(46));
  EXPECT_EQ(At(picture, size, 0, 128), SlotColour(47));
  EXPECT_EQ(At(picture, size, 255, 255), SlotColour(48));
  EXPECT_EQ(At(picture, size, 200, 230), kBlack);
  EXPECT_EQ(At(picture, size, 123, 123).b, 200);
  EXPECT_NE(At(picture, size, 123, 123), kBlack);
  EXPECT_EQ(At(picture, size, 222, 74), SlotColour(57));

  // Drawn off-screen: the window still shows what it showed, even in the
  // corner a copy from the window would have used.
  EXPECT_EQ(ReadPixel(10, 760), (Rgba{255, 0, 255, 255}));

  GLint viewportAfter[4];
  glGetIntegerv(GL_VIEWPORT, viewportAfter);
  glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
  EXPECT_TRUE(std::equal(viewportBefore, viewportBefore + 4, viewportAfter));
  EXPECT_TRUE(std::equal(projectionBefore, projectionBefore + 16, projectionAfter));
}

// When the frame is itself an off-screen target (the window is not
// 1024x768), the picture must come out the same and the frame stay bound.
TEST_F(WorldGlTest, ArenaPictureLeavesAnOffscreenFrameAsItWas) {
  auto gen =
      reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(platform::GetProcAddress("glGenFramebuffers"));
  auto bind =
      reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(platform::GetProcAddress("glBindFramebuffer"));
  auto attach = reinterpret_cast<PFNGLFRAMEBUFFERTEXTURE2DPROC>(
      platform::GetProcAddress("glFramebufferTexture2D"));
  auto del = reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(
      platform::GetProcAddress("glDeleteFramebuffers"));
  ASSERT_TRUE(gen && bind && attach && del);
  GLint windowFrame = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &windowFrame);
  GLuint frameTexture = 0, frame = 0;
  glGenTextures(1, &frameTexture);
  glBindTexture(GL_TEXTURE_2D, frameTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1024, 768, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  gen(1, &frame);
  bind(GL_FRAMEBUFFER, frame);
  attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frameTexture, 0);
  glClearColor(1, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 1);

  level.BuildDefaultMap();
  CapShip carrier;
  carrier.InitMe(4096, 8192, 10000, 10000, 30);
  view.GetLevelTexture(10384, 10384, 20768, 20768, 3, carrier);

  GLint draw = 0, read = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
  EXPECT_EQ(draw, static_cast<GLint>(frame));
  EXPECT_EQ(read, static_cast<GLint>(frame));
  uint8_t corner[4] = {};
  glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
  EXPECT_EQ((Rgba{corner[0], corner[1], corner[2], corner[3]}), (Rgba{255, 0, 255, 255}));

  bind(GL_FRAMEBUFFER, static_cast<GLuint>(windowFrame));
  del(1, &frame);
  glDeleteTextures(1, &frameTexture);
  int size = 0;
  std::vector<uint8_t> picture = LevelPicture(&size);
  EXPECT_EQ(At(picture, size, 0, 0), SlotColour(48));
  EXPECT_EQ(At(picture, size, 200, 230), kBlack);
}

TEST_F(WorldGlTest, PictureSizeFollowsQuality) {
  CapShip carrier;
  carrier.InitMe(4096, 8192, 10000, 10000, 30);
  const int expected[][2] = {{0, 128}, {1, 256}, {2, 512}, {7, 256}, {-1, 256}};
  for (const auto& [quality, want] : expected) {
    view.GetLevelTexture(10384, 10384, 20768, 20768, quality, carrier);
    int size = 0;
    LevelPicture(&size);
    EXPECT_EQ(size, want) << "quality " << quality;
  }
  EXPECT_EQ(library.textures.size(), 60u);  // slot 40 replaced, nothing appended
}

}  // namespace
