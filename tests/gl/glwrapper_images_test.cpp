// The image loaders: decoded pixels, colour key, wrap modes, failure
// handling and frame-sequence file names, read back from the GL textures.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "render/glwrapper.h"
#include "render/pictureloader.h"
#include "render/texturelibrary.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"

using drawingtest::Picture;
using drawingtest::Rgb;
using drawingtest::TempDir;
using drawingtest::TextureBytes;
using drawingtest::WritePng;

namespace {

class ImageLoaderTest : public testsupport::GlTest {
 protected:
  TempDir dir;

  // Texel (x, y) of `name` with y counted from the top of the picture.
  static void ExpectTexel(const std::vector<uint8_t>& bytes, int w, int h, int x, int y, Rgb c,
                          int alpha) {
    const size_t i = (size_t(h - 1 - y) * w + x) * 4;  // texture rows are bottom-up
    EXPECT_EQ(bytes[i + 0], c.r) << "red at " << x << "," << y;
    EXPECT_EQ(bytes[i + 1], c.g) << "green at " << x << "," << y;
    EXPECT_EQ(bytes[i + 2], c.b) << "blue at " << x << "," << y;
    EXPECT_EQ(bytes[i + 3], alpha) << "alpha at " << x << "," << y;
  }

  // A 5x3 picture (width not a multiple of four) with a distinct colour per
  // pixel, so any row skew or flip shows.
  static Picture Distinct() {
    Picture p(5, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) p.at(x, y) = Rgb{uint8_t(10 + 40 * x), uint8_t(20 + 70 * y), 200};
    return p;
  }
};

TEST_F(ImageLoaderTest, OpaqueAndColourKeyedPicturesKeepEveryPixelWithoutSkew) {
  const Picture picture = Distinct();
  ASSERT_TRUE(WritePng(picture, dir.File("odd.png")));
  unsigned int opaque = 0, keyed = 0;
  ASSERT_TRUE(utility.LoadPNG(dir.File("odd.png"), opaque));
  ASSERT_TRUE(utility.LoadPNGColorKey(dir.File("odd.png"), keyed));
  for (unsigned int name : {opaque, keyed}) {
    int w = 0, h = 0;
    auto bytes = TextureBytes(name, &w, &h);
    ASSERT_EQ(w, 5);
    ASSERT_EQ(h, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) ExpectTexel(bytes, w, h, x, y, Distinct().at(x, y), 255);
  }
}

TEST_F(ImageLoaderTest, OnlyExactBlackBecomesTransparent) {
  Picture p(4, 1);
  p.at(0, 0) = {0, 0, 0};
  p.at(1, 0) = {1, 0, 0};
  p.at(2, 0) = {0, 0, 1};
  p.at(3, 0) = {255, 255, 255};
  ASSERT_TRUE(WritePng(p, dir.File("key.png")));
  unsigned int name = 0;
  ASSERT_TRUE(utility.LoadPNGColorKey(dir.File("key.png"), name));
  int w = 0, h = 0;
  auto bytes = TextureBytes(name, &w, &h);
  ExpectTexel(bytes, w, h, 0, 0, {0, 0, 0}, 0);
  ExpectTexel(bytes, w, h, 1, 0, {1, 0, 0}, 255);
  ExpectTexel(bytes, w, h, 2, 0, {0, 0, 1}, 255);
  ExpectTexel(bytes, w, h, 3, 0, {255, 255, 255}, 255);
}

TEST_F(ImageLoaderTest, WrapModesAndFilters) {
  ASSERT_TRUE(WritePng(Picture(2, 2, {9, 9, 9}), dir.File("w.png")));
  unsigned int repeat = 0, clamp = 0;
  ASSERT_TRUE(utility.LoadPNGColorKey(dir.File("w.png"), repeat));
  ASSERT_TRUE(utility.LoadPNGColorKeyEdgeClamp(dir.File("w.png"), clamp));
  GLint value = 0;
  glBindTexture(GL_TEXTURE_2D, repeat);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
  EXPECT_EQ(value, GL_REPEAT);
  glBindTexture(GL_TEXTURE_2D, clamp);
  for (GLenum axis : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T}) {
    glGetTexParameteriv(GL_TEXTURE_2D, axis, &value);
    EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
  }
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
}

TEST_F(ImageLoaderTest, FailedPicturesKeepTheirSlotAndNameTheFile) {
  ASSERT_TRUE(WritePng(Picture(2, 2, {50, 60, 70}), dir.File("good.png")));
  {
    FILE* junk = std::fopen(dir.File("junk.png").c_str(), "wb");
    std::fputs("not a picture at all", junk);
    std::fclose(junk);
  }
  TextureLibrary library;
  unsigned int names[4] = {};
  testing::internal::CaptureStderr();
  EXPECT_TRUE(utility.LoadPNG(dir.File("good.png"), names[0]));
  EXPECT_FALSE(utility.LoadPNG(dir.File("missing.png"), names[1]));
  EXPECT_FALSE(utility.LoadPNGColorKey(dir.File("junk.png"), names[2]));
  EXPECT_TRUE(utility.LoadPNGColorKeyEdgeClamp(dir.File("good.png"), names[3]));
  const std::string err = testing::internal::GetCapturedStderr();
  for (unsigned int name : names) library.AddTexture(name);
  EXPECT_NE(err.find("missing.png"), std::string::npos) << err;
  EXPECT_NE(err.find("junk.png"), std::string::npos) << err;
  EXPECT_EQ(err.find("good.png"), std::string::npos) << err;
  // Every load produced a distinct name, so the fourth picture is in slot 3.
  ASSERT_EQ(library.textures.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_NE(names[i], 0u);
  EXPECT_NE(names[1], names[2]);
  int w = 0, h = 0;
  auto bytes = TextureBytes(library.textures[3], &w, &h);
  ASSERT_EQ(w, 2);
  EXPECT_EQ(bytes[0], 50);
  // A failed picture has no image: it draws untextured.
  TextureBytes(library.textures[1], &w, &h);
  EXPECT_EQ(w, 0);
}

TEST_F(ImageLoaderTest, PicturesLargerThanTheLimitAreRefusedBeforeDecoding) {
  ASSERT_TRUE(WritePng(Picture(8192, 1, {1, 2, 3}), dir.File("widest.png")));
  ASSERT_TRUE(WritePng(Picture(1, 8193, {1, 2, 3}), dir.File("taller.png")));
  // 62 bytes of one-bit BMP header claiming 16384 x 16384: decoding it would
  // take seconds and gigabytes.
  unsigned char bmp[62] = {'B', 'M', 62, 0, 0,    0, 0, 0, 0,    0, 62, 0, 0, 0, 40,
                           0,   0,   0,  0, 0x40, 0, 0, 0, 0x40, 0, 0,  1, 0, 1, 0};
  FILE* file = std::fopen(dir.File("huge.bmp").c_str(), "wb");
  std::fwrite(bmp, 1, sizeof bmp, file);
  std::fclose(file);
  unsigned int names[3] = {};
  testing::internal::CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(utility.LoadPNG(dir.File("widest.png"), names[0]));
  EXPECT_FALSE(utility.LoadPNG(dir.File("taller.png"), names[1]));
  EXPECT_FALSE(utility.LoadPNGColorKey(dir.File("huge.bmp"), names[2]));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Could not load picture \"" + dir.File("taller.png")), std::string::npos)
      << err;
  EXPECT_NE(err.find("huge.bmp"), std::string::npos) << err;
  int w = 0, h = 0;
  TextureBytes(names[1], &w, &h);
  EXPECT_EQ(w, 0);  // the slot stays empty
}

TEST_F(ImageLoaderTest, FrameSequenceFileNames) {
  WritePng(Picture(1, 1, {255, 0, 0}), dir.File("f_09.PNG"));
  WritePng(Picture(1, 1, {0, 255, 0}), dir.File("f_10.PNG"));
  WritePng(Picture(1, 1, {0, 0, 255}), dir.File("f_9.PNG"));
  auto red = [](unsigned int name) {
    int w = 0, h = 0;
    auto bytes = TextureBytes(name, &w, &h);
    return w ? int(bytes[0]) * 65536 + bytes[1] * 256 + bytes[2] : -1;
  };
  auto padded = utility.LoadAnimWithZero(dir.File("f_"), 9, 10);
  ASSERT_EQ(padded.size(), 2u);
  EXPECT_EQ(red(padded[0]), 0xFF0000);  // f_09.PNG
  EXPECT_EQ(red(padded[1]), 0x00FF00);  // f_10.PNG
  auto plain = utility.LoadAnim(dir.File("f_"), 9, 10);
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(red(plain[0]), 0x0000FF);  // f_9.PNG
  EXPECT_EQ(red(plain[1]), 0x00FF00);
  EXPECT_TRUE(utility.LoadAnim(dir.File("f_"), 3, 2).empty());
  // Missing frames still take their place in the list.
  testing::internal::CaptureStderr();
  auto gaps = utility.LoadAnimWithZero(dir.File("f_"), 8, 10);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(gaps.size(), 3u);
  EXPECT_EQ(red(gaps[0]), -1);
  EXPECT_EQ(red(gaps[1]), 0xFF0000);
}

// The same failures through the background decoder: each keeps its name
// and its message, and the good picture behind them still arrives.
TEST_F(ImageLoaderTest, BackgroundDecodingKeepsTheFailureMessages) {
  ASSERT_TRUE(WritePng(Picture(3, 2, {50, 60, 70}), dir.File("good.png")));
  ASSERT_TRUE(WritePng(Picture(1, 8193, {1, 2, 3}), dir.File("taller.png")));
  FILE* junk = std::fopen(dir.File("junk.png").c_str(), "wb");
  std::fputs("not a picture at all", junk);
  std::fclose(junk);
  testing::internal::CaptureStderr();
  unsigned int names[3];
  {
    PictureLoader loader;
    // A prefetched picture is taken over by its Queue; one never queued
    // holds nothing up.
    loader.Prefetch(dir.File("good.png"), PictureKind::kColorKeyClamp);
    loader.Prefetch(dir.File("good.png"), PictureKind::kOpaque);
    names[0] = loader.Queue(dir.File("taller.png"), PictureKind::kOpaque);
    names[1] = loader.Queue(dir.File("junk.png"), PictureKind::kColorKey);
    names[2] = loader.Queue(dir.File("good.png"), PictureKind::kColorKeyClamp);
    loader.FinishAll();
    for (unsigned int name : names) EXPECT_FALSE(loader.Waiting(name));
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Could not load picture \"" + dir.File("taller.png")), std::string::npos)
      << err;
  EXPECT_NE(err.find("Could not load picture \"" + dir.File("junk.png")), std::string::npos) << err;
  EXPECT_EQ(err.find("good.png"), std::string::npos) << err;
  int w = 0, h = 0;
  TextureBytes(names[0], &w, &h);
  EXPECT_EQ(w, 0);
  auto bytes = TextureBytes(names[2], &w, &h);
  ASSERT_EQ(w, 3);
  EXPECT_EQ(bytes[0], 50);
}

}  // namespace
