// The batch renderer: paths by index, quads drawn in one go, and the
// untouched state of an empty path.
#include "render/batchrenderer.h"

#include <gtest/gtest.h>

#include "render/texturelibrary.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"

using testsupport::ReadPixel;
using testsupport::Rgba;

namespace {

class BatchRendererTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    testsupport::GlTest::SetUp();
    unsigned int name = 0;
    ASSERT_TRUE(
        drawingtest::WritePng(drawingtest::Picture(2, 2, {255, 255, 255}), dir.File("white.png")));
    ASSERT_TRUE(utility.LoadPNG(dir.File("white.png"), name));
    white = library.AddTexture(name);
    batch.InitMe(&library);
  }
  drawingtest::TempDir dir;
  TextureLibrary library;
  BatchRenderer batch;
  int white = 0;
};

TEST_F(BatchRendererTest, PathsCollectQuadsAndDrawThemColoured) {
  EXPECT_EQ(batch.AddPath(white), 0);
  EXPECT_EQ(batch.AddPath(white), 1);
  EXPECT_EQ(batch.NumberOfPaths(), 2);
  batch.AddQuad(0, 100, 100, 20, 10, 1, 1, 0, 0);
  batch.AddQuad(0, 200, 100, 20, 10, 1, 0, 0, 1);
  batch.AddQuad(2, 300, 100, 20, 10, 1, 1, 1, 1);   // no such path
  batch.AddQuad(-1, 300, 100, 20, 10, 1, 1, 1, 1);  // nor this
  EXPECT_EQ(batch.paths[0].quads.size(), 2u);
  EXPECT_TRUE(batch.paths[1].quads.empty());
  batch.RenderPath(0, 0);
  EXPECT_EQ(ReadPixel(100, 100), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(ReadPixel(109, 104), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(ReadPixel(112, 100), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(ReadPixel(100, 107), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(ReadPixel(200, 100), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(ReadPixel(300, 100), (Rgba{0, 0, 0, 255}));
  // Quads stay until Reset; Reset empties the paths.
  EXPECT_EQ(batch.paths[0].quads.size(), 2u);
  batch.Reset();
  EXPECT_EQ(batch.NumberOfPaths(), 0);
  batch.AddQuad(0, 100, 100, 20, 10, 1, 1, 1, 1);
  EXPECT_EQ(batch.NumberOfPaths(), 0);
}

TEST_F(BatchRendererTest, EmptyOrUnknownPathLeavesTheStateAlone) {
  batch.AddPath(white);
  glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
  GLint depthBefore = 0, depthAfter = 0, boundBefore = 0, boundAfter = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundBefore);
  batch.RenderPath(0, 45);
  batch.RenderPath(5, 45);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundAfter);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(depthBefore, depthAfter);
  EXPECT_EQ(boundBefore, boundAfter);
  EXPECT_FLOAT_EQ(colour[0], 0.25f);
  EXPECT_FLOAT_EQ(colour[1], 0.5f);
  EXPECT_FLOAT_EQ(colour[2], 0.75f);
  EXPECT_FLOAT_EQ(colour[3], 0.5f);
  GLfloat matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  EXPECT_FLOAT_EQ(matrix[0], 1.0f);
  EXPECT_FLOAT_EQ(matrix[1], 0.0f);
  EXPECT_EQ(testsupport::TakeGlError(), 0u);
}

TEST_F(BatchRendererTest, RenderPathTurnsAboutTheOrigin) {
  batch.AddPath(white);
  batch.AddQuad(0, 300, 0, 10, 10, 1, 1, 1, 1);
  batch.RenderPath(0, 90);  // (300, 0) turns clockwise to (0, 300)
  EXPECT_EQ(ReadPixel(0, 300).g, 255);
  EXPECT_EQ(ReadPixel(3, 300).g, 255);
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
}

}  // namespace
