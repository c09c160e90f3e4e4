// Bitmap-font text read back from the frame: glyph squares and pitch, the
// grid cell each character samples, and what text leaves behind.
#include "render/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/globals.h"
#include "render/shaderlibrary.h"
#include "render/texturelibrary.h"
#include "render/textureslots.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"
#include "tests/support/testenv.h"

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

// A scene whose colour changes along x only: dark blue, mid grey, then a
// bright wall (white, then yellow), so two lines at the same x over it have
// the same background.
void DrawScenery() {
  glBindTexture(GL_TEXTURE_2D, 0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1024, 0, 768, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const float bands[4][4] = {
      {0, 0.05f, 0.05f, 0.3f}, {256, 0.5f, 0.5f, 0.5f}, {512, 1, 1, 1}, {768, 1, 0.95f, 0.4f}};
  glBegin(GL_QUADS);
  for (const auto& band : bands) {
    glColor3f(band[1], band[2], band[3]);
    glVertex2f(band[0], 0);
    glVertex2f(band[0] + 256, 0);
    glVertex2f(band[0] + 256, 768);
    glVertex2f(band[0], 768);
  }
  glEnd();
  glColor4f(1, 1, 1, 1);
}

// Draws `text` with `draw` at frame text position (x, y), scaled by `scale`
// about that point, as the HUD and the names above ships do.
void DrawAt(const std::function<void(const char*)>& draw, float x, float y, float scale,
            const char* text) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(x, y, 0);
  glScalef(scale, scale, 1);
  drawingtest::FontLibrary().BindTexture(kFontTexture);
  draw(text);
  glLoadIdentity();
}

TEST_F(TextTest, OutlinedLineLooksLikeTheNinePassOutlineInOneDraw) {
  unsigned int font = 0;
  ASSERT_TRUE(utility.LoadPNGColorKey(testsupport::RunDir() + "/Images/Font.PNG", font));
  library.textures[kFontTexture] = font;
  SetUpText(&library, nullptr);
  testsupport::ResetGlState();
  DrawScenery();
  // Across all four backgrounds: 100 characters of 10 units.
  std::string line;
  for (int i = 0; line.size() < 100; ++i) line += "Kills 12  Hull 87% ~{Wg}@ "[i % 26];
  const struct {
    float r, g, b, scale;
    int worst;
    double mean;
  } cases[] = {
      {1, 1, 1, 1, 3, 0.5},        // HUD lines
      {1, 0.9f, 0.3f, 1, 3, 0.5},  // the scoreboard's own row
      // A name over a ship, magnified: filtering the premultiplied atlas
      // loses the thin dark fringe that filtering the font left at the
      // glyphs' edges; nothing else differs.
      {0.3f, 1, 0.4f, 2.4f, 96, 4},
  };
  float y = 20;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << " colour " << c.g);
    const int h = static_cast<int>(20 * c.scale);
    auto nine = [&](const char* t) { DrawGlyphsNinePass(t, c.r, c.g, c.b); };
    auto one = [&](const char* t) { DrawGlyphsOutlined(t, c.r, c.g, c.b); };
    const int chars = static_cast<int>(100 / c.scale);
    const std::string part = line.substr(0, static_cast<size_t>(chars));
    DrawAt(nine, 4, y + 2 * c.scale, c.scale, part.c_str());
    DrawAt(one, 4, y + h + 2 * c.scale, c.scale, part.c_str());
    ASSERT_EQ(testsupport::TakeGlError(), 0u);
    const int top = 768 - static_cast<int>(y) - 2 * h;
    const auto lower = testsupport::ReadPixels(0, top + h, 1024, h);
    const auto upper = testsupport::ReadPixels(0, top, 1024, h);
    int worst = 0;
    double total = 0;
    for (size_t i = 0; i < lower.size(); i += 4) {
      int d = 0;
      for (size_t k = 0; k < 3; ++k) d = std::max(d, std::abs(lower[i + k] - upper[i + k]));
      worst = std::max(worst, d);
      total += d;
    }
    EXPECT_LE(worst, c.worst);
    EXPECT_LE(total / static_cast<double>(lower.size() / 4), c.mean);
    // Readable on the white wall: the outline keeps dark pixels beside the
    // white glyphs.
    int darkest = 255;
    int brightest = 0;
    for (int x = 520; x < 760; ++x) {
      for (int r = 0; r < h; ++r) {
        const uint8_t* p = &upper[(static_cast<size_t>(r) * 1024 + x) * 4];
        darkest = std::min(darkest, int(p[0]));
        brightest = std::max(brightest, int(p[1]));
      }
    }
    EXPECT_LT(darkest, 60);
    EXPECT_GT(brightest, 200);
    y += 2 * h + 10;
  }
  // The font stays bound for the next line, as before.
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<unsigned int>(bound), font);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
