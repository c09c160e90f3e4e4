// The starfield drawn through the batch renderer in its camera projection.
#include "render/starfield.h"

#include <gtest/gtest.h>

#include "render/batchrenderer.h"
#include "render/texturelibrary.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"

using testsupport::ReadPixel;

namespace {

class StarfieldDrawTest : public testsupport::GlTest {};

TEST_F(StarfieldDrawTest, StarsFillTheCameraSizedView) {
  drawingtest::TempDir dir;
  TextureLibrary library;
  unsigned int name = 0;
  ASSERT_TRUE(
      drawingtest::WritePng(drawingtest::Picture(2, 2, {255, 255, 255}), dir.File("white.png")));
  ASSERT_TRUE(utility.LoadPNG(dir.File("white.png"), name));
  library.AddTexture(0);
  library.AddTexture(name);  // slot 1: the white picture
  BatchRenderer batch;
  batch.InitMe(&library);
  float width = 2048, height = 1536;  // zoomed out: everything at half size
  Starfield field;
  field.InitMe(2, width, height, 6, 3, &utility, &library, &batch);
  field.stars[0] = {0.25f, 0.5f, 3.0f, 6.0f};
  field.stars[1] = {0.75f, 0.25f, 2.0f, 4.0f};
  glEnable(GL_BLEND);
  batch.Reset();
  batch.AddPath(1);
  field.RenderMeLight();
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  ASSERT_EQ(batch.paths[0].quads.size(), 2u);
  field.StarCamera();
  batch.RenderPath(0, 0);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  // Star 0: centre (512, 1536 / 2) of the camera is frame (256, 384), 3 px.
  EXPECT_EQ(ReadPixel(256, 384).r, 255);
  EXPECT_EQ(ReadPixel(255, 383).r, 255);
  EXPECT_EQ(ReadPixel(259, 384).r, 0);
  EXPECT_EQ(ReadPixel(768, 192).r, 255);
  EXPECT_EQ(ReadPixel(770, 192).r, 0);
}

}  // namespace
