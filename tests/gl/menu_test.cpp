// Menu lines read back from the frame: row placement, wrapping, cutting at
// the width, and an empty menu drawing nothing.
#include "ui/menu.h"

#include <gtest/gtest.h>

#include "platform/globals.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "render/textureslots.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"

using testsupport::ReadPixels;

namespace {

class MenuDrawTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    testsupport::GlTest::SetUp();
    library.textures.assign(kFontTexture + 1, 0);
    unsigned int name = 0;
    ASSERT_TRUE(
        drawingtest::WritePng(drawingtest::Picture(32, 32, {255, 255, 255}), dir.File("font.png")));
    ASSERT_TRUE(utility.LoadPNGColorKey(dir.File("font.png"), name));
    library.textures[kFontTexture] = name;
    SetUpText(&library, nullptr);
    testsupport::ResetGlState();
    menu.InitMe(&library, static_cast<int>(base));
  }
  // Lit pixels from x = 0 along the frame row y.
  static int LitRun(int y) {
    auto px = ReadPixels(0, y, 200, 1);
    int n = 0;
    while (n < 200 && px[n * 4] == 255) ++n;
    return n;
  }
  drawingtest::TempDir dir;
  // The text module keeps the library after the test: it must outlive it.
  TextureLibrary& library = drawingtest::FontLibrary();
  Menu menu;
};

// Line r occupies frame rows y + 16r .. y + 16r + 15; a line of n
// characters lights 10(n - 1) + 16 pixels.
int LineWidth(int chars) { return chars ? 10 * (chars - 1) + 16 : 0; }

TEST_F(MenuDrawTest, FiveItemsInThirtyRowsRepeatSixTimes) {
  for (const char* item : {"a", "bb", "ccc", "dddd", "eeeee"}) menu.AddItem(item);
  menu.RenderMe(0, 96, 36, 30, 0, false);
  for (int r = 0; r < 30; ++r) {
    EXPECT_EQ(LitRun(96 + 16 * r + 8), LineWidth(r % 5 + 1)) << "row " << r;
  }
  EXPECT_EQ(LitRun(96 + 16 * 30 + 8), 0);
  EXPECT_EQ(LitRun(95), 0);
}

TEST_F(MenuDrawTest, ScrollPicksTheFirstLineAndWidthCutsLines) {
  for (const char* item : {"a", "bb", "ccccccccc"}) menu.AddItem(item);
  menu.RenderMe(0, 100, 4, 3, -2, false);
  EXPECT_EQ(LitRun(100 + 8), LineWidth(4));  // "ccccccccc" cut to 4
  EXPECT_EQ(LitRun(116 + 8), LineWidth(1));
  EXPECT_EQ(LitRun(132 + 8), LineWidth(2));
  testsupport::ResetGlState();
  menu.RenderMe(0, 300, 40, false);  // every line once
  EXPECT_EQ(LitRun(300 + 8), LineWidth(1));
  EXPECT_EQ(LitRun(332 + 8), LineWidth(9));
  EXPECT_EQ(LitRun(348 + 8), 0);
}

TEST_F(MenuDrawTest, EmptyMenuDrawsNothingAndLeavesStateAlone) {
  GLint projBefore = 0, proj = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projBefore);
  menu.RenderMe(0, 96, 36, 30, 0, false);
  menu.RenderMe(0, 96, 36, false);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &proj);
  EXPECT_EQ(proj, projBefore);
  auto px = ReadPixels(0, 96, 200, 100);
  for (size_t i = 0; i < px.size(); i += 4) ASSERT_EQ(px[i], 0);
  // A drawn menu restores the projection and leaves blending off.
  menu.AddItem("x");
  menu.RenderMe(0, 96, 36, 3, 0, false);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &proj);
  EXPECT_EQ(proj, projBefore);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace
