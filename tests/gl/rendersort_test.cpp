// The sorted renderer: culling against the camera, grouping by texture in
// first-seen order, the picture it draws, and reuse of its memory.
#include "render/rendersort.h"

#include <gtest/gtest.h>

#include "render/defaultsprite.h"
#include "render/texturelibrary.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"

using drawingtest::Picture;
using testsupport::ReadPixel;
using testsupport::Rgba;

namespace {

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

class RenderSortTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    testsupport::GlTest::SetUp();
    red = AddPicture("red.png", Picture(4, 4, {255, 0, 0}));
    green = AddPicture("green.png", Picture(4, 4, {0, 255, 0}));
    Picture updown(8, 8, {0, 0, 255});
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) updown.at(x, y) = {255, 0, 0};
    topRed = AddPicture("updown.png", updown);
    sorter.InitMe(&library, nullptr);
    sorter.Reset();
    sorter.CameraRect(512, 384, 1024, 768);
  }
  int AddPicture(const std::string& file, const Picture& p) {
    unsigned int name = 0;
    EXPECT_TRUE(drawingtest::WritePng(p, dir.File(file)));
    EXPECT_TRUE(utility.LoadPNG(dir.File(file), name));
    return library.AddTexture(name);
  }
  void Add(int texture, float x, float y, float half, float angle = 0) {
    sorter.AddQuad(texture, 0, 0, x, y, half, half, 1, 1, 1, 1, angle, false);
  }
  drawingtest::TempDir dir;
  TextureLibrary library;
  RenderSort sorter;
  int red = 0, green = 0, topRed = 0;
};

TEST_F(RenderSortTest, QuadsOutsideTheCameraAreDropped) {
  sorter.CameraRect(500, 400, 200, 100);  // x 400..600, y 350..450
  Add(red, 380, 340, 10);                 // 370..390: wholly outside
  Add(red, 395, 345, 10);                 // 385..405: overlaps by a corner
  Add(red, 700, 400, 50);                 // right of the camera
  ASSERT_EQ(sorter.paths.size(), 1u);
  ASSERT_EQ(sorter.paths[0].quads.size(), 1u);
  EXPECT_FLOAT_EQ(sorter.paths[0].quads[0].vertices[0][12], 395);  // position attribute x
  sorter.RenderSlow();
  EXPECT_EQ(ReadPixel(400, 350), kRed);
  EXPECT_EQ(ReadPixel(380, 340), kBlack);
}

TEST_F(RenderSortTest, LongQuadsCrossingTheCameraAreKept) {
  // A beam far longer than the view crosses it with no corner inside the
  // view and no view corner inside it: it is still visible.
  sorter.CameraRect(500, 400, 200, 100);
  sorter.AddQuad(red, 0, 0, 500, 400, 2000, 5, 1, 1, 1, 1, 0, false);
  sorter.AddQuad(red, 0, 0, 500, 400, 5, 2000, 1, 1, 1, 1, 0, false);
  ASSERT_EQ(sorter.paths.size(), 1u);
  EXPECT_EQ(sorter.paths[0].quads.size(), 2u);
}

TEST_F(RenderSortTest, TurnedQuadsAreCulledByWhatTheyCoverOnScreen) {
  sorter.CameraRect(500, 400, 200, 100);  // x 400..600, y 350..450
  // A beam 10 wide and 200 long, turned to lie across the screen, whose
  // centre is 80 right of the view: its left half is on screen.
  sorter.AddQuad(red, 0, 0, 680, 400, 5, 100, 1, 1, 1, 1, 90, false);
  ASSERT_EQ(sorter.paths.size(), 1u);
  ASSERT_EQ(sorter.paths[0].quads.size(), 1u) << "a beam half on screen vanished";
  sorter.RenderSlow();
  EXPECT_EQ(ReadPixel(595, 400), kRed);
  // The same beam upright covers nothing of the view.
  sorter.Reset();
  sorter.AddQuad(red, 0, 0, 680, 400, 5, 100, 1, 1, 1, 1, 0, false);
  EXPECT_TRUE(sorter.paths.empty());
  // A square turned by 45 degrees reaches further by its corners.
  sorter.AddQuad(red, 0, 0, 625, 400, 20, 20, 1, 1, 1, 1, 45, false);
  EXPECT_EQ(sorter.paths.size(), 1u);
}

TEST_F(RenderSortTest, OneTexturePathPerTextureInFirstSeenOrder) {
  Add(red, 100, 100, 20);
  Add(green, 200, 200, 20);
  Add(red, 200, 200, 20);  // same spot as the green one, added later
  Add(topRed, 300, 300, 20);
  Add(green, 400, 400, 20);
  ASSERT_EQ(sorter.paths.size(), 3u);
  EXPECT_EQ(sorter.paths[0].texture, red);
  EXPECT_EQ(sorter.paths[1].texture, green);
  EXPECT_EQ(sorter.paths[2].texture, topRed);
  EXPECT_EQ(sorter.paths[0].quads.size(), 2u);
  EXPECT_EQ(sorter.paths[1].quads.size(), 2u);
  // Paths are drawn in order: the green path covers the later red quad.
  sorter.RenderSlow();
  EXPECT_EQ(ReadPixel(200, 200), kGreen);
  EXPECT_EQ(ReadPixel(100, 100), kRed);
}

TEST_F(RenderSortTest, DrawsLikeTheImmediateSprite) {
  // Orientation and rotation as DefaultSprite::RenderMe: top at the top,
  // positive angles clockwise.
  DefaultSprite sprite;
  sprite.InitMe(0, 0, 100, 100, 0.5f, 0.5f, 1, 1, &library, &sorter);
  sprite.RenderSorted(200, 200, 0, 0, 1, 1, 1, 1, topRed, false, false);
  sprite.RenderSorted(500, 200, 0, 90, 1, 1, 1, 1, topRed, false, false);
  sprite.RenderSorted(800, 200, 0, 0, 1, 1, 1, 1, topRed, 0);  // looped form: nothing
  sorter.RenderSlow();
  EXPECT_EQ(ReadPixel(200, 165), kRed);
  EXPECT_EQ(ReadPixel(200, 235), kBlue);
  EXPECT_EQ(ReadPixel(535, 200), kRed);
  EXPECT_EQ(ReadPixel(465, 200), kBlue);
  EXPECT_EQ(ReadPixel(800, 200), kBlack);
  // RenderFast gives the same picture while the FireRender program is absent.
  testsupport::ResetGlState();
  sorter.RenderFast();
  EXPECT_EQ(ReadPixel(535, 200), kRed);
}

TEST_F(RenderSortTest, ColourAndFadeAttributes) {
  sorter.AddQuad(red, 0, 0, 200, 200, 20, 20, 0.5f, 1, 1, 0.25f, 0, true);
  const auto& q = sorter.paths[0].quads[0];
  EXPECT_FLOAT_EQ(q.vertices[0][5], 0.25f);  // top edge keeps alpha
  EXPECT_FLOAT_EQ(q.vertices[3][5], 0.25f);
  EXPECT_FLOAT_EQ(q.vertices[1][5], 0.0f);  // bottom edge faded
  EXPECT_FLOAT_EQ(q.vertices[2][5], 0.0f);
  // The fixed-function path draws the whole quad in vertex 0's colour and
  // leaves the model-view matrix and the colour as they were.
  GLint depthBefore = 0, depthAfter = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
  sorter.RenderSlow();
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
  EXPECT_EQ(depthBefore, depthAfter);
  EXPECT_NEAR(ReadPixel(200, 215).r, 128, 2);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(colour[3], 1.0f);
}

TEST_F(RenderSortTest, ResetKeepsMemoryForTheNextFrame) {
  for (int frame = 0; frame < 3; ++frame) {
    sorter.Reset();
    EXPECT_TRUE(sorter.paths.empty());
    for (int i = 0; i < 50; ++i) Add(i % 2 ? red : green, 100 + i, 100, 5);
    sorter.RenderSlow();
  }
  const void* quadsBefore[2] = {sorter.paths[0].quads.data(), sorter.paths[1].quads.data()};
  sorter.Reset();
  for (int i = 0; i < 50; ++i) Add(i % 2 ? red : green, 100 + i, 100, 5);
  ASSERT_EQ(sorter.paths.size(), 2u);
  // The same buffers serve again (in either order), nothing was reallocated.
  const void* after[2] = {sorter.paths[0].quads.data(), sorter.paths[1].quads.data()};
  EXPECT_TRUE((after[0] == quadsBefore[0] && after[1] == quadsBefore[1]) ||
              (after[0] == quadsBefore[1] && after[1] == quadsBefore[0]));
}

}  // namespace
