// The GLSL programs on the real driver: they build, masking cuts the keyed
// black, the FireRender program draws the sorted sprites exactly as the
// fixed-function path does, and a broken source leaves fixed-function
// drawing in place without a trace of the failed build.
#include "render/shaderlibrary.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/glextensions.h"
#include "render/defaultsprite.h"
#include "render/rendersort.h"
#include "render/texturelibrary.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"
#include "tests/support/testenv.h"

using drawingtest::Picture;
using testsupport::ReadPixel;
using testsupport::Rgba;

namespace {

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

std::string ShaderSources() { return testsupport::SourceDir() + "/data/Shaders/"; }

GLint CurrentProgram() {
  GLint program = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  return program;
}

class ShaderLibraryTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    testsupport::GlTest::SetUp();
    shaders.directory = ShaderSources();
  }
  void TearDown() override {
    // Later tests in this program expect fixed-function drawing.
    if (Gl().shaderObjects) Gl().glUseProgramObjectARB(0);
  }
  int AddPicture(const std::string& file, const Picture& p, bool keyed) {
    unsigned int name = 0;
    EXPECT_TRUE(drawingtest::WritePng(p, dir.File(file)));
    if (keyed)
      EXPECT_TRUE(utility.LoadPNGColorKey(dir.File(file), name));
    else
      EXPECT_TRUE(utility.LoadPNG(dir.File(file), name));
    return library.AddTexture(name);
  }
  ShaderLibrary shaders;
  TextureLibrary library;
  drawingtest::TempDir dir;
};

TEST_F(ShaderLibraryTest, AllSixProgramsBuildWithTheirInputsFound) {
  shaders.BuildMe();
  ASSERT_TRUE(shaders.UsingShaders());
  for (GLhandleARB program :
       {shaders.maskingProgram, shaders.blendProgram, shaders.motionBlurProgram,
        shaders.horizBlurProgram, shaders.vertBlurProgram, shaders.fireRenderProgram}) {
    EXPECT_NE(program, 0u);
  }
  for (GLint sampler : shaders.motionBlurDecalTex) EXPECT_GE(sampler, 0);
  for (GLint location : {shaders.horizDecalTex, shaders.horizFalloff, shaders.horizTextureStep,
                         shaders.vertDecalTex, shaders.vertFalloff, shaders.vertTextureStep}) {
    EXPECT_GE(location, 0);
  }
  EXPECT_GE(shaders.rotationAttrib, 0);
  EXPECT_GE(shaders.newposAttrib, 0);
  // The switches reach the programs they name.
  shaders.ShaderMasking();
  EXPECT_EQ(CurrentProgram(), static_cast<GLint>(shaders.maskingProgram));
  shaders.ShaderHorizBlur2(512);
  EXPECT_EQ(CurrentProgram(), static_cast<GLint>(shaders.horizBlurProgram));
  shaders.ShaderFireRender();
  EXPECT_EQ(CurrentProgram(), static_cast<GLint>(shaders.fireRenderProgram));
  shaders.ShadersOff();
  EXPECT_EQ(CurrentProgram(), 0);
  EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

// A keyed picture over a green backdrop, without blending or alpha test (the
// state of the medium and high levels): through the masking program only
// the picture's non-black half covers the backdrop.
TEST_F(ShaderLibraryTest, MaskingLeavesOutTheKeyedBlack) {
  shaders.BuildMe();
  ASSERT_TRUE(shaders.UsingShaders());
  const int backdrop = AddPicture("green.png", Picture(4, 4, {0, 255, 0}), false);
  Picture half(8, 8, {0, 0, 0});
  for (int y = 0; y < 8; ++y)
    for (int x = 4; x < 8; ++x) half.at(x, y) = {255, 0, 0};
  const int keyed = AddPicture("half.png", half, true);
  DefaultSprite sprite;
  sprite.InitMe(0, 0, 200, 200, 0.5f, 0.5f, 1, 1, &library);

  auto draw = [&] {
    glClear(GL_COLOR_BUFFER_BIT);
    sprite.RenderMe(512, 384, 0, 0, 1, 1, 1, 1, backdrop, false, false);
    sprite.RenderMe(512, 384, 0, 0, 1, 1, 1, 1, keyed, false, false);
  };
  shaders.ShaderMasking();
  draw();
  EXPECT_EQ(ReadPixel(512 - 50, 384), kGreen);  // keyed black: left out
  EXPECT_EQ(ReadPixel(512 + 50, 384), kRed);    // the picture itself
  EXPECT_EQ(ReadPixel(300, 384), kBlack);       // outside both quads
  // Plain fixed-function drawing in the same state lets the black cover it:
  // the difference is the program's doing.
  shaders.ShadersOff();
  draw();
  EXPECT_EQ(ReadPixel(512 - 50, 384), kBlack);
  EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

class FireRenderTest : public ShaderLibraryTest {
 protected:
  void SetUp() override {
    ShaderLibraryTest::SetUp();
    shaders.BuildMe();
    ASSERT_TRUE(shaders.UsingShaders());
    // Pictures that show their orientation: a red top half or a green left
    // column, on a keyed black background.
    Picture top(16, 16, {0, 0, 255});
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) top.at(x, y) = {255, 0, 0};
    topRed = AddPicture("top.png", top, true);
    Picture column(16, 16, {0, 0, 0});
    for (int y = 2; y < 14; ++y)
      for (int x = 0; x < 5; ++x) column.at(x, y) = {0, 255, 0};
    leftGreen = AddPicture("column.png", column, true);
    sorter.InitMe(&library, &shaders);
  }
  // One frame's set of turned, tinted, overlapping sprites of two textures,
  // some partly off the frame.
  void AddScene() {
    sorter.Reset();
    sorter.CameraRect(512, 384, 1024, 768);
    const float angles[] = {0, 30, 90, 135, 200, 271, -45, 359.5f};
    for (int i = 0; i < 8; ++i) {
      const float x = 80.0f + 120.0f * i, y = 200.0f + 40.0f * (i % 3);
      sorter.AddQuad(topRed, 0, 0, x, y, 40, 25, 1, 1, 1, 1, angles[i], false);
      sorter.AddQuad(leftGreen, 0, 0, x + 30, y + 300, 30, 60, 1, 0.5f, 1, 0.8f, -angles[i], false);
    }
    sorter.AddQuad(topRed, 0, 0, 1010, 760, 50, 50, 1, 1, 1, 1, 10, false);
  }
  std::vector<uint8_t> DrawScene(bool fast) {
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    AddScene();
    if (fast) {
      shaders.ShaderFireRender();
      sorter.RenderFast();
      shaders.ShadersOff();
    } else {
      // The low level's state: the alpha test stands in for masking.
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GREATER, 0.05f);
      sorter.RenderSlow();
      glDisable(GL_ALPHA_TEST);
    }
    glDisable(GL_BLEND);
    return testsupport::ReadPixels(0, 0, 1024, 768);
  }
  RenderSort sorter;
  int topRed = 0, leftGreen = 0;
};

TEST_F(FireRenderTest, RenderFastDrawsTheSamePictureAsRenderSlow) {
  const std::vector<uint8_t> slow = DrawScene(false);
  const std::vector<uint8_t> fast = DrawScene(true);
  ASSERT_EQ(slow.size(), fast.size());
  // Rasterisation may differ along sprite edges; anything more is a fault.
  int differing = 0, lit = 0;
  for (size_t i = 0; i < slow.size(); i += 4) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(slow[i + c] - fast[i + c]));
    if (worst > 40) ++differing;
    if (slow[i] + slow[i + 1] + slow[i + 2] > 0) ++lit;
  }
  EXPECT_GT(lit, 40000);  // the scene really covers the frame
  EXPECT_LT(differing, lit / 200) << differing << " of " << lit << " lit pixels differ";
  // The matrix stack and colour are left as they were.
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
  EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(FireRenderTest, OnlyTheProgramShowsTheFadeOfAFadingQuad) {
  Picture white(4, 4, {255, 255, 255});
  const int plain = AddPicture("white.png", white, false);
  auto draw = [&](bool fast) {
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    sorter.Reset();
    sorter.CameraRect(512, 384, 1024, 768);
    sorter.AddQuad(plain, 0, 0, 512, 384, 100, 100, 1, 1, 1, 1, 0, true);
    shaders.ShaderFireRender();
    if (fast)
      sorter.RenderFast();
    else
      sorter.RenderSlow();
    shaders.ShadersOff();
    glDisable(GL_BLEND);
  };
  draw(true);
  const Rgba top = ReadPixel(512, 290), bottom = ReadPixel(512, 470);
  EXPECT_GT(top.r, 230);
  EXPECT_LT(bottom.r, 30);  // faded out towards the bottom edge
  draw(false);
  EXPECT_GT(ReadPixel(512, 470).r, 230);  // one colour for the whole quad
}

// Without built programs RenderFast still draws, through the fixed-function
// path, instead of unturned corners about the origin.
TEST_F(FireRenderTest, RenderFastWithoutProgramsDrawsLikeRenderSlow) {
  ShaderLibrary unbuilt;
  sorter.InitMe(&library, &unbuilt);
  sorter.Reset();
  sorter.CameraRect(512, 384, 1024, 768);
  sorter.AddQuad(topRed, 0, 0, 512, 384, 50, 50, 1, 1, 1, 1, 180, false);
  sorter.RenderFast();
  EXPECT_EQ(ReadPixel(512, 384 + 25), kRed);  // turned upside down
  EXPECT_EQ(ReadPixel(512, 384 - 25).b, 255);
}

class BrokenShaderTest : public ShaderLibraryTest {
 protected:
  void SetUp() override {
    ShaderLibraryTest::SetUp();
    for (const auto& entry : std::filesystem::directory_iterator(ShaderSources()))
      std::filesystem::copy_file(entry.path(), dir.File(entry.path().filename().string()));
    shaders.directory = dir.File("");
  }
  // Builds with one file replaced (or removed when `text` is null) and
  // returns what BuildMe printed.
  std::string BuildWith(const char* file, const char* text) {
    std::filesystem::remove(dir.File(file));
    if (text != nullptr) testsupport::WriteFile(dir.File(file), text);
    testing::internal::CaptureStderr();
    shaders.BuildMe();
    return testing::internal::GetCapturedStderr();
  }
  void ExpectFixedFunction() {
    EXPECT_FALSE(shaders.UsingShaders());
    EXPECT_EQ(shaders.fireRenderProgram, 0u);
    EXPECT_EQ(shaders.maskingProgram, 0u);
    shaders.ShaderMasking();
    shaders.ShaderFireRender();
    shaders.UnlockFireRender();
    EXPECT_EQ(CurrentProgram(), 0);
    EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
  }
};

TEST_F(BrokenShaderTest, ACompileErrorIsLoggedAndLeavesFixedFunctionDrawing) {
  const std::string log =
      BuildWith("FireRender.vert", "#version 110\nvoid main() { gl_Position = nonsense; }\n");
  ExpectFixedFunction();
  EXPECT_NE(log.find("FireRender.vert"), std::string::npos) << log;
  EXPECT_NE(log.find("nonsense"), std::string::npos) << log;  // the driver's own log
}

TEST_F(BrokenShaderTest, AMissingSourceOrLinkErrorLeavesFixedFunctionDrawing) {
  EXPECT_NE(BuildWith("VertBlur.frag", nullptr).find("VertBlur.frag"), std::string::npos);
  ExpectFixedFunction();
  // Compiles, but calls a function nobody defines: only the link fails.
  const std::string log = BuildWith(
      "VertBlur.frag", "#version 110\nvec4 Glow();\nvoid main() { gl_FragColor = Glow(); }\n");
  ExpectFixedFunction();
  EXPECT_NE(log.find("link of vertical blur"), std::string::npos) << log;
}

TEST_F(BrokenShaderTest, AFireRenderProgramWithoutItsAttributesIsRefused) {
  BuildWith("FireRender.vert",
            "#version 110\nvoid main() { gl_Position = ftransform(); "
            "gl_FrontColor = gl_Color; }\n");
  ExpectFixedFunction();
}

TEST_F(BrokenShaderTest, ARepairedSourceBuildsOnTheSameLibrary) {
  BuildWith("Blur.vert", "not GLSL at all");
  ASSERT_FALSE(shaders.UsingShaders());
  std::filesystem::copy_file(ShaderSources() + "Blur.vert", dir.File("Blur.vert"),
                             std::filesystem::copy_options::overwrite_existing);
  shaders.BuildMe();
  EXPECT_TRUE(shaders.UsingShaders());
}

TEST(TextFileReadTest, WholeFileWithATerminatingZeroOrNull) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("a.txt"), std::string("ab\0c", 4));
  const auto text = textFileRead(dir.File("a.txt"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text.get(), 5), std::string("ab\0c\0", 5));
  EXPECT_EQ(textFileRead(dir.File("missing.txt")), nullptr);
}

}  // namespace
