// Immediate sprite drawing read back from the frame: culling survival,
// picture orientation, rotation direction and texture binding.
#include "render/defaultsprite.h"

#include <gtest/gtest.h>

#include "render/texturelibrary.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"

using drawingtest::Picture;
using testsupport::ReadPixel;
using testsupport::Rgba;

namespace {

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

class DefaultSpriteTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    testsupport::GlTest::SetUp();
    // Top half red, bottom half blue, as drawn in an image editor.
    Picture p(8, 8, {0, 0, 255});
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) p.at(x, y) = {255, 0, 0};
    ASSERT_TRUE(drawingtest::WritePng(p, dir.File("updown.png")));
    unsigned int name = 0;
    ASSERT_TRUE(utility.LoadPNG(dir.File("updown.png"), name));
    slot = library.AddTexture(name);
    sprite.InitMe(0, 0, 100, 100, 0.5f, 0.5f, 1, 1, &library);
  }
  drawingtest::TempDir dir;
  TextureLibrary library;
  DefaultSprite sprite;
  int slot = 0;
};

TEST_F(DefaultSpriteTest, SurvivesCullingWithTheTopOfThePictureAtTheTop) {
  ASSERT_TRUE(glIsEnabled(GL_CULL_FACE));
  sprite.RenderMe(200, 200, 0, 0, 1, 1, 1, 1, slot, false, false);
  EXPECT_EQ(ReadPixel(200, 165), kRed);
  EXPECT_EQ(ReadPixel(200, 235), kBlue);
  EXPECT_EQ(ReadPixel(200, 260), kBlack);  // 100 units tall, no more
  sprite.RenderMeQuads(500, 200, 0, 0, 1, 1, 1, 1, slot);
  EXPECT_EQ(ReadPixel(500, 165), kRed);
  EXPECT_EQ(ReadPixel(500, 235), kBlue);
}

TEST_F(DefaultSpriteTest, PositiveAnglesTurnClockwiseOnScreen) {
  // 90 degrees clockwise: the picture's top now points right.
  sprite.RenderMe(200, 200, 0, 90, 1, 1, 1, 1, slot, false, false);
  EXPECT_EQ(ReadPixel(235, 200), kRed);
  EXPECT_EQ(ReadPixel(165, 200), kBlue);
  sprite.RenderMeQuads(500, 200, 0, 90, 1, 1, 1, 1, slot);
  EXPECT_EQ(ReadPixel(535, 200), kRed);
  EXPECT_EQ(ReadPixel(465, 200), kBlue);
}

TEST_F(DefaultSpriteTest, CentreOffsetSizeAndTextureRegion) {
  // Only the top half of the texture, on a quad 40 wide and 20 tall whose
  // centre lies 100 units right of the drawing position.
  sprite.InitMe(100, 0, 40, 20, 0.5f, 0.75f, 1, 0.5f, &library);
  sprite.RenderMe(200, 200, 0, 0, 1, 1, 1, 1, slot, false, false);
  EXPECT_EQ(ReadPixel(300, 192), kRed);
  EXPECT_EQ(ReadPixel(300, 196), kRed);
  EXPECT_EQ(ReadPixel(200, 200), kBlack);
  EXPECT_EQ(ReadPixel(322, 200), kBlack);
  sprite.ChangeSize(80, 20);
  sprite.ChangeCenter(0, 0);
  sprite.RenderMe(600, 200, 0, 0, 1, 1, 1, 1, slot, false, false);
  EXPECT_EQ(ReadPixel(637, 200), kRed);
}

TEST_F(DefaultSpriteTest, SlotMinusOneKeepsTheBoundTextureAndColourTints) {
  library.BindTexture(slot);
  sprite.RenderMe(200, 200, 0, 0, 1, 1, 1, 1, -1, false, false);
  EXPECT_EQ(ReadPixel(200, 165), kRed);
  // The colour multiplies the texture: green tint on red gives black, on
  // blue gives black too, a half-red tint halves the red.
  sprite.RenderMe(500, 200, 0, 0, 1, 0.5f, 1, 1, slot, false, false);
  const Rgba tinted = ReadPixel(500, 165);
  EXPECT_NEAR(tinted.r, 128, 2);
  EXPECT_EQ(ReadPixel(500, 235), kBlue);
}

TEST_F(DefaultSpriteTest, LoopedDrawingAdvancesOnlyWhenAsked) {
  unsigned int red = library.textures[slot];
  unsigned int none = 0;
  testing::internal::CaptureStderr();
  utility.LoadPNG(dir.File("absent.png"), none);  // an empty texture: draws white
  testing::internal::GetCapturedStderr();
  const int loop = library.AddLoopTexture({red, none});
  sprite.RenderMe(200, 200, 0, 0, 1, 1, 1, 1, loop, true, false);
  EXPECT_EQ(ReadPixel(200, 165), kRed);
  EXPECT_EQ(library.loopTextures[loop].current, 0);
  sprite.RenderMe(400, 200, 0, 0, 1, 1, 1, 1, loop, true, true);
  EXPECT_EQ(library.loopTextures[loop].current, 1);
  EXPECT_EQ(ReadPixel(400, 235), (Rgba{255, 255, 255, 255}));
  // The frame form binds the named frame and leaves the cursor alone.
  sprite.RenderMe(600, 200, 0, 0, 1, 1, 1, 1, loop, 0);
  EXPECT_EQ(ReadPixel(600, 235), kBlue);
  EXPECT_EQ(library.loopTextures[loop].current, 1);
}

}  // namespace
