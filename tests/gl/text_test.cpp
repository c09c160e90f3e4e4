// Bitmap-font text read back from the frame: glyph squares and pitch, the
// grid cell each character samples, and what text leaves behind.
#include "render/text.h"

#include <gtest/gtest.h>

#include "platform/globals.h"
#include "render/shaderlibrary.h"
#include "render/texturelibrary.h"
#include "render/textureslots.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"

using drawingtest::Picture;
using testsupport::ReadPixel;
using testsupport::ReadPixels;

namespace {

// Frame row of text height `h` (text y grows upwards from the bottom).
int Row(int h) { return 767 - h; }

class TextTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    testsupport::GlTest::SetUp();
    graphicslevel = 2;
    library.textures.assign(kFontTexture + 1, 0);
  }
  void UseFont(const Picture& font) {
    unsigned int name = 0;
    ASSERT_TRUE(drawingtest::WritePng(font, dir.File("font.png")));
    ASSERT_TRUE(utility.LoadPNGColorKey(dir.File("font.png"), name));
    library.textures[kFontTexture] = name;
    SetUpText(&library, nullptr);
    testsupport::ResetGlState();
  }
  // Number of pixels in frame row `row` from x0 on whose red is `red`.
  static int Run(int row, int x0, uint8_t red) {
    auto px = ReadPixels(x0, row, 60, 1);
    int n = 0;
    while (n < 60 && px[n * 4] == red) ++n;
    return n;
  }
  drawingtest::TempDir dir;
  // The text module keeps the library after the test: it must outlive it.
  TextureLibrary& library = drawingtest::FontLibrary();
};

TEST_F(TextTest, GlyphsAreSixteenSquareTenApart) {
  // An even grey font: additive overlap of two glyphs shows double.
  UseFont(Picture(64, 64, {100, 100, 100}));
  PrintText(100, 50, "AB");
  const int mid = Row(58);
  EXPECT_EQ(ReadPixel(99, mid).r, 0);
  EXPECT_EQ(Run(mid, 100, 100), 10);  // first glyph alone
  EXPECT_EQ(Run(mid, 110, 200), 6);   // both glyphs
  EXPECT_EQ(Run(mid, 116, 100), 10);  // second glyph alone
  EXPECT_EQ(ReadPixel(126, mid).r, 0);
  // 16 units tall, lower edge at text height 50.
  EXPECT_EQ(ReadPixel(104, Row(50)).r, 100);
  EXPECT_EQ(ReadPixel(104, Row(65)).r, 100);
  EXPECT_EQ(ReadPixel(104, Row(49)).r, 0);
  EXPECT_EQ(ReadPixel(104, Row(66)).r, 0);
}

TEST_F(TextTest, EachCodeSamplesItsGridCell) {
  // Cell (column c, row r from the top) is coloured (16c, 16r, 255).
  Picture font(256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) font.at(x, y) = {uint8_t(x / 16 * 16), uint8_t(y / 16 * 16), 255};
  UseFont(font);
  // 'A' is 65: cell 33, column 1, row 2. '~' is 126: cell 94, column 14, row 5.
  PrintText(300, 300, "A");
  PrintText(400, 300, "~");
  const auto a = ReadPixel(308, Row(308));
  EXPECT_EQ(a.r, 16);
  EXPECT_EQ(a.g, 32);
  const auto tilde = ReadPixel(408, Row(308));
  EXPECT_EQ(tilde.r, 224);
  EXPECT_EQ(tilde.g, 80);
}

TEST_F(TextTest, ControlCodesDrawNothingAndDoNotMoveThePen) {
  UseFont(Picture(64, 64, {100, 100, 100}));
  PrintText(100, 50,
            "A\x01\x1f"
            "B");
  const int mid = Row(58);
  EXPECT_EQ(Run(mid, 100, 100), 10);
  EXPECT_EQ(Run(mid, 110, 200), 6);
  EXPECT_EQ(Run(mid, 116, 100), 10);
  char modifiable[] = "\x02";
  PrintText(300, 50, modifiable);
  EXPECT_EQ(ReadPixel(305, mid).r, 0);
}

TEST_F(TextTest, PrintingLeavesMatricesBlendingAndColourAsFound) {
  UseFont(Picture(64, 64, {100, 100, 100}));
  GLint projBefore = 0, viewBefore = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projBefore);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &viewBefore);
  GLint boundBefore = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundBefore);
  PrintText(10, 10, "");  // nothing at all, not even the font binding
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, boundBefore);
  PrintText(10, 10, "Hello");
  PrintTextColor(10, 30, "Hello", 1, 0, 0);
  GLint proj = 0, view = 0, mode = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &proj);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &view);
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(proj, projBefore);
  EXPECT_EQ(view, viewBefore);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[1], 1.0f);
  // The coloured line is tinted: red only.
  const auto c = ReadPixel(14, Row(38));
  EXPECT_EQ(c.r, 100);
  EXPECT_EQ(c.g, 0);
  EXPECT_EQ(testsupport::TakeGlError(), 0u);
}

TEST_F(TextTest, StaysAdditiveUntilTheMaskingProgramExists) {
  // A medium or high level chosen in the settings, before the programs are
  // built (title screens): the font's black must still not cover the scene.
  UseFont(Picture(64, 64, {100, 100, 100}));
  static ShaderLibrary unbuilt;  // outlives the test: the text module keeps it
  SetUpText(&library, &unbuilt);
  graphicslevel = 0;
  glClearColor(0.2f, 0.2f, 0.2f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  PrintText(100, 50, "A");
  EXPECT_NEAR(ReadPixel(104, Row(58)).r, 151, 2);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  graphicslevel = 2;
}

TEST_F(TextTest, DisplayListsDrawTheSameGlyph) {
  UseFont(Picture(64, 64, {100, 100, 100}));
  ASSERT_NE(base, 0u);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  library.BindTexture(kFontTexture);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1024, 0, 768, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(100, 50, 0);
  glListBase(base - 32);
  glCallLists(2, GL_UNSIGNED_BYTE, "AB");
  glDisable(GL_BLEND);
  const int mid = Row(58);
  EXPECT_EQ(Run(mid, 100, 100), 10);
  EXPECT_EQ(Run(mid, 110, 200), 6);
  EXPECT_EQ(Run(mid, 116, 100), 10);
}

}  // namespace
