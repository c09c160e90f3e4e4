// The fixed GL state every drawing part relies on, checked by drawing into
// the real frame and reading it back.
#include <GL/gl.h>

#include "platform/platform.h"
#include "tests/support/glcontext.h"

namespace {
using testsupport::GlTest;
using testsupport::ReadPixel;
using testsupport::Rgba;

const Rgba kBlack{0, 0, 0, 255};
const Rgba kRed{255, 0, 0, 255};

// A quad in the corner order every sprite uses: top-left, bottom-left,
// bottom-right, top-right in screen terms. After the y-flipping projection GL
// sees it counter-clockwise, so it is a front face.
void Quad(float x, float y, float w, float h) {
  glBegin(GL_QUADS);
  glVertex2f(x, y);
  glVertex2f(x, y + h);
  glVertex2f(x + w, y + h);
  glVertex2f(x + w, y);
  glEnd();
}

void ReversedQuad(float x, float y, float w, float h) {
  glBegin(GL_QUADS);
  glVertex2f(x, y);
  glVertex2f(x + w, y);
  glVertex2f(x + w, y + h);
  glVertex2f(x, y + h);
  glEnd();
}

class GlWrapperSetupTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 0, 0);
  }
};

TEST_F(GlWrapperSetupTest, OneUnitIsOnePixelWithYDown) {
  Quad(10, 20, 5, 3);
  EXPECT_EQ(ReadPixel(10, 20), kRed);
  EXPECT_EQ(ReadPixel(14, 22), kRed);
  EXPECT_EQ(ReadPixel(15, 22), kBlack);
  EXPECT_EQ(ReadPixel(14, 23), kBlack);
  EXPECT_EQ(ReadPixel(9, 20), kBlack);
  EXPECT_EQ(ReadPixel(10, 19), kBlack);
  Quad(1019, 763, 5, 5);
  EXPECT_EQ(ReadPixel(1023, 767), kRed);
}

TEST_F(GlWrapperSetupTest, QuadsInTheWrongCornerOrderAreCulled) {
  Quad(100, 100, 50, 50);
  ReversedQuad(300, 100, 50, 50);
  EXPECT_EQ(ReadPixel(125, 125), kRed);
  EXPECT_EQ(ReadPixel(325, 125), kBlack);
}

TEST_F(GlWrapperSetupTest, FixedStateFlags) {
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  GLint func = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_LEQUAL);
  GLint shade = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  EXPECT_EQ(shade, GL_SMOOTH);
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[3], 1.0f);
  EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(GlWrapperSetupTest, DepthTestCanBeSwitchedOnWithoutFurtherSetup) {
  glEnable(GL_DEPTH_TEST);
  glColor3f(1, 0, 0);
  Quad(0, 0, 20, 20);  // depth 0 passes against the 1.0 clear value
  glDisable(GL_DEPTH_TEST);
  EXPECT_EQ(ReadPixel(5, 5), kRed);
}

}  // namespace
