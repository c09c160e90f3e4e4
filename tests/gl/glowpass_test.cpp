// The glow that blurs and adds only the tiles within reach of light must
// look like the glow blurred and added over the whole frame: the same scene
// of turned immediate sprites, sorted quads, a long beam and sprites cut by
// the edge of the view is drawn both ways and compared pixel by pixel; a
// second scene elsewhere shows that nothing of the first one lingers.
#include "render/glowpass.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "render/defaultsprite.h"
#include "render/rendersort.h"
#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"
#include "render/texturelibrary.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"
#include "tests/support/testenv.h"

namespace {

// Where the glowing things of a scene are, in world units.
struct Scene {
  float cameraX, cameraY;      // the view is 1600 x 1200 world units around it
  std::vector<float> sprites;  // x, y, angle triples, drawn immediately
  std::vector<float> sorted;   // x, y, angle triples, through the sorter
};

class GlowPassTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    shaders.directory = testsupport::SourceDir() + "/data/Shaders/";
    shaders.BuildMe();
    shaders.SetBlurFallOff(0.1f);
    helper.InitMe();
    ASSERT_TRUE(shaders.UsingShaders());
    ASSERT_TRUE(helper.InitPBuffers());
    drawingtest::Picture orange(8, 8, {255, 160, 40}), blue(8, 8, {60, 120, 255});
    ASSERT_TRUE(drawingtest::WritePng(orange, dir.File("orange.png")));
    ASSERT_TRUE(drawingtest::WritePng(blue, dir.File("blue.png")));
    unsigned int name = 0;
    ASSERT_TRUE(utility.LoadPNG(dir.File("orange.png"), name));
    orangeSlot = library.AddTexture(name);
    ASSERT_TRUE(utility.LoadPNG(dir.File("blue.png"), name));
    blueSlot = library.AddTexture(name);
    sorter.InitMe(&library, &shaders);
    sprite.InitMe(0, 0, 30, 90, 0.5f, 0.5f, 1, 1, &library, &sorter);
    screen.InitMe(512, 384, 1024, 768, 0.5f, 0.5f, 1, 1, &library);
  }
  void TearDown() override {
    shaders.ShadersOff();
    platform::BeginFrame();
  }

  void LoadCamera(const Scene& s) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(s.cameraX - 800, s.cameraX + 800, s.cameraY + 600, s.cameraY - 600, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  // What the high level's capture draws: immediate sprites, then sorted
  // quads (one of them a beam ten times as long) through the FireRender
  // program.
  void DrawGlowing(const Scene& s) {
    sorter.Reset();
    sorter.CameraRect(s.cameraX, s.cameraY, 1600, 1200);
    for (size_t i = 0; i + 2 < s.sprites.size(); i += 3) {
      sprite.ChangeSize(30, 90);
      sprite.RenderMe(s.sprites[i], s.sprites[i + 1], 0, s.sprites[i + 2], 1, 1, 1, 1, orangeSlot,
                      false, false);
    }
    for (size_t i = 0; i + 2 < s.sorted.size(); i += 3) {
      sprite.ChangeSize(12, i == 0 ? 400 : 40);
      sprite.RenderSortedFading(s.sorted[i], s.sorted[i + 1], 0, s.sorted[i + 2], 1, 1, 1, 1,
                                blueSlot, false, false);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    shaders.ShaderFireRender();
    sorter.RenderFast();
    shaders.ShadersOff();
    glDisable(GL_BLEND);
  }
  // The glow blurred and added over everything, as the high level drew it
  // before it knew where the light was.
  std::vector<uint8_t> WholeFrameGlow(const Scene& s) {
    testsupport::ResetGlState();
    helper.RenderOffScreenPing();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    LoadCamera(s);
    DrawGlowing(s);
    helper.RenderOffScreenPong();
    ScreenProjection();
    glClear(GL_COLOR_BUFFER_BIT);
    helper.BindScreen(1, 0);
    shaders.ShaderHorizBlur2(512);
    screen.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, -1, false, false);
    helper.RenderToScreen();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    helper.BindScreen(2, 0);
    shaders.ShaderVertBlur2(512);
    screen.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, -1, false, false);
    glDisable(GL_BLEND);
    shaders.ShadersOff();
    return testsupport::ReadPixels(0, 0, 1024, 768);
  }
  std::vector<uint8_t> TiledGlow(const Scene& s) {
    testsupport::ResetGlState();
    LoadCamera(s);
    glow.BeginCapture(helper);
    DrawGlowing(s);
    glow.EndCapture(helper, shaders);
    ScreenProjection();
    glow.Composite(helper);
    return testsupport::ReadPixels(0, 0, 1024, 768);
  }
  void ScreenProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 768, 0, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  void ExpectAlike(const Scene& s) {
    const std::vector<uint8_t> whole = WholeFrameGlow(s);
    const std::vector<uint8_t> tiled = TiledGlow(s);
    ASSERT_EQ(whole.size(), tiled.size());
    int lit = 0, off = 0, worst = 0;
    double squares = 0;
    for (size_t i = 0; i < whole.size(); i += 4) {
      lit += (whole[i] | whole[i + 1] | whole[i + 2]) != 0;
      int pixelWorst = 0;
      for (size_t c = i; c < i + 3; ++c) {
        const int d = std::abs(whole[c] - tiled[c]);
        pixelWorst = std::max(pixelWorst, d);
        squares += d * d;
      }
      worst = std::max(worst, pixelWorst);
      off += pixelWorst > 8;  // more than 3 %
    }
    const double meanSquare = squares / static_cast<double>(whole.size() / 4 * 3);
    const double psnr = 10 * std::log10(255.0 * 255.0 / std::max(1e-9, meanSquare));
    // Measured here: about 62 dB, at most 20 levels apart, about 1 % of the
    // lit pixels more than 3 % apart (the blur samples the stretched light
    // before, the stretch the blurred light now). A lost tile or a stale
    // one would be a hard edge of the full brightness.
    EXPECT_GT(lit, 10000) << "the scene must glow over a good part of the frame";
    EXPECT_GT(psnr, 50.0);
    EXPECT_LE(worst, 32);
    EXPECT_LT(off, lit / 40);
    EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
  }

  ShaderLibrary shaders;
  ShaderHelper helper;
  TextureLibrary library;
  RenderSort sorter;
  DefaultSprite sprite, screen;
  GlowPass glow;
  drawingtest::TempDir dir;
  int orangeSlot = 0, blueSlot = 0;
};

TEST_F(GlowPassTest, TiledGlowLooksLikeTheWholeFrameGlowAndLeavesNothingBehind) {
  // Turned sprites in the middle, one across the left edge and one in the
  // bottom-right corner of the view; a long turned beam and short quads.
  const Scene first{5000,
                    5000,
                    {4700, 4800, 30, 5200, 5100, 75, 4210, 5000, 10, 5790, 5590, 45},
                    {5000, 5000, 60, 4500, 5300, 0, 5400, 4600, 120}};
  ExpectAlike(first);
  // Elsewhere in the world and in other places on the screen: the tiles of
  // the first scene must not keep any of its light.
  const Scene second{9000, 3000, {9500, 2600, 200, 8300, 3400, 5}, {8800, 2800, 135}};
  ExpectAlike(second);
  EXPECT_LT(glow.Tiles().LitCount(), GlowTiles::kTiles * GlowTiles::kTiles / 10);
}

TEST_F(GlowPassTest, NothingGlowingAddsNothing) {
  const Scene empty{5000, 5000, {}, {}};
  const std::vector<uint8_t> frame = TiledGlow(empty);
  EXPECT_TRUE(glow.Tiles().Empty());
  for (size_t i = 0; i < frame.size(); i += 4) ASSERT_EQ(frame[i] | frame[i + 1] | frame[i + 2], 0);
}

}  // namespace
