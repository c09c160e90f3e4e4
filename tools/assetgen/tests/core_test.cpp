// Building blocks of the asset generator: shape coverage, blur, noise tiling,
// the colour-key conversion and the sound finishing.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>

#include "noise.h"
#include "output.h"
#include "pixels.h"
#include "raster.h"
#include "scenery.h"
#include "synth.h"
#include "typeset.h"

using namespace assetgen;

namespace {

double total(const Mask& m) { return std::accumulate(m.v.begin(), m.v.end(), 0.0); }

bool inUnitRange(const Mask& m) {
  for (float v : m.v)
    if (v < 0.f || v > 1.0001f) return false;
  return true;
}

}  // namespace

TEST(Raster, PolygonCoverageMatchesItsArea) {
  // Fractional edges: the coverage must add up to the exact area.
  Mask rect = fillPolygon(64, 64, rectPoly(10.25f, 5.5f, 40.75f, 30.1f));
  EXPECT_NEAR(total(rect), 30.5 * 24.6, 30.5 * 24.6 * 0.005);
  Mask tri = fillPolygon(64, 64, {{2, 2}, {60, 2}, {2, 50}});
  EXPECT_NEAR(total(tri), 0.5 * 58 * 48, 0.5 * 58 * 48 * 0.01);
  EXPECT_TRUE(inUnitRange(rect));
  EXPECT_TRUE(inUnitRange(tri));
}

TEST(Raster, InnerContourCutsAHoleAndShapesClipAtTheEdges) {
  Mask ring = fillPolygons(64, 64, {rectPoly(4, 4, 60, 60), rectPoly(20, 20, 44, 44)});
  EXPECT_NEAR(total(ring), 56.0 * 56 - 24.0 * 24, 10);
  EXPECT_FLOAT_EQ(ring.at(32, 32), 0.f);
  // Half outside the picture: only the inside part counts, nothing breaks.
  Mask clipped = fillPolygon(32, 32, rectPoly(-16, -16, 16, 16));
  EXPECT_NEAR(total(clipped), 16.0 * 16, 1);
}

TEST(Raster, DiscsAndStrokesHaveTheirGeometricArea) {
  Mask disc = discMask(100, 100, 50, 50, 30);
  EXPECT_NEAR(total(disc), M_PI * 900, M_PI * 900 * 0.01);
  // A round-capped line: rectangle plus two half discs.
  Mask line = strokeMask(100, 100, {{20, 50}, {80, 50}}, 10);
  EXPECT_NEAR(total(line), 60 * 10 + M_PI * 25, 8);
  EXPECT_TRUE(inUnitRange(line));
}

TEST(Pixels, BlurKeepsMassAndRange) {
  Mask m = discMask(80, 80, 40, 40, 15);
  Mask b = blurred(m, 6);
  EXPECT_NEAR(total(b), total(m), total(m) * 0.01);
  EXPECT_TRUE(inUnitRange(b));
  EXPECT_LT(b.at(40, 40), 1.0001f);
  EXPECT_GT(b.at(40 + 17, 40), 0.f);  // spreads past the edge
}

TEST(Pixels, ShrinkingAveragesAndKeepsFlatColour) {
  Image img(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) img.over(x, y, ((x + y) % 2) ? Color{1, 1, 1} : Color{0, 0, 0}, 1);
  Image small = resized(img, 1, 1);
  EXPECT_NEAR(small.at(0, 0)[0], 0.5f, 1e-5f);
  EXPECT_NEAR(small.at(0, 0)[3], 1.f, 1e-5f);
}

TEST(Noise, SameInputsSameNumbersAndPeriodicNoiseTiles) {
  Rng a("name"), b("name"), c("other");
  for (int i = 0; i < 100; ++i) {
    uint64_t va = a.next();
    EXPECT_EQ(va, b.next());
    EXPECT_NE(va, c.next());
  }
  Rng r(7);
  for (int i = 0; i < 1000; ++i) {
    float u = r.uniform();
    ASSERT_GE(u, 0.f);
    ASSERT_LT(u, 1.f);
  }
  for (float y : {0.3f, 2.7f})
    for (float x : {0.1f, 5.5f}) {
      EXPECT_NEAR(valueNoise(x, y, 9, 8, 4), valueNoise(x + 8, y + 4, 9, 8, 4), 1e-5f);
      EXPECT_NEAR(fbm(x, y, 9, 4, 0.5f, 8, 0), fbm(x + 8, y, 9, 4, 0.5f, 8, 0), 1e-5f);
    }
}

TEST(ColourKey, OnlyBackgroundBecomesExactBlack) {
  Image img(3, 1);
  img.over(0, 0, {0, 0, 0}, 1.f);            // drawn black content
  img.over(1, 0, {0.5f, 0.2f, 0.1f}, 0.3f);  // faint edge: background
  img.over(2, 0, {0.8f, 0.4f, 0.2f}, 0.8f);  // solid: full colour kept
  std::vector<uint8_t> keyed = toRgb8(img, PicKind::Keyed);
  EXPECT_GT(keyed[0] + keyed[1] + keyed[2], 0);
  EXPECT_EQ(keyed[3] + keyed[4] + keyed[5], 0);
  EXPECT_NEAR(keyed[6], 204, 1);  // un-premultiplied: 0.8 * 255

  Image light(2, 1);
  light.add(0, 0, {1, 1, 1}, 0.02f);
  light.add(1, 0, {1, 0.5f, 0}, 0.5f);
  std::vector<uint8_t> glow = toRgb8(light, PicKind::KeyedLight);
  EXPECT_EQ(glow[0] + glow[1] + glow[2], 0);
  EXPECT_GT(glow[3], 100);
  std::vector<uint8_t> opaque = toRgb8(img, PicKind::Opaque);
  EXPECT_EQ(opaque[0] + opaque[1] + opaque[2], 0);  // opaque pictures may be black
}

TEST(Synth, FinishedSoundsStartAndEndSilentAtTheChosenPeak) {
  Samples s(kRate / 2);
  for (size_t i = 0; i < s.size(); ++i) s[i] = 0.3f + std::sin(float(i) * 0.05f);  // with DC
  finishSound(s, 0.8f);
  EXPECT_NEAR(peakOf(s), 0.8f, 1e-5f);
  EXPECT_NEAR(s.front(), 0.f, 1e-6f);
  EXPECT_NEAR(s.back(), 0.f, 1e-6f);
  double mean = std::accumulate(s.begin() + s.size() / 2, s.end(), 0.0) / double(s.size() / 2);
  EXPECT_LT(std::fabs(mean), 0.05);
}

namespace {

struct TempDir {
  std::string path;
  TempDir() {
    char tmpl[] = "/tmp/assetgen-test-XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
};

}  // namespace

TEST(Output, PicturesKeepOrientationAndChannelOrder) {
  // A red top-left and a blue bottom-right pixel must come back where they
  // were: FreeImage stores rows bottom-up and bytes as blue-green-red.
  Image img(3, 2);
  img.fill({0.5f, 0.5f, 0.5f});
  img.over(0, 0, {1, 0, 0}, 1);
  img.over(2, 1, {0, 0, 1}, 1);
  TempDir dir;
  Output out(dir.path);
  out.png("Images/t.PNG", img, PicKind::Opaque);
  ASSERT_FALSE(out.failed());
  FIBITMAP* dib = FreeImage_Load(FIF_PNG, (dir.path + "/Images/t.PNG").c_str(), 0);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(FreeImage_GetBPP(dib), 24u);
  RGBQUAD c;
  FreeImage_GetPixelColor(dib, 0, 1, &c);  // FreeImage y = 1 is the top row
  EXPECT_EQ(c.rgbRed, 255);
  EXPECT_EQ(c.rgbBlue, 0);
  FreeImage_GetPixelColor(dib, 2, 0, &c);
  EXPECT_EQ(c.rgbBlue, 255);
  EXPECT_EQ(c.rgbRed, 0);
  FreeImage_Unload(dib);
  EXPECT_EQ(out.filesWritten(), 1);
}

TEST(Output, ReviewRunsWriteNothing) {
  Output out("");
  out.png("Images/x.PNG", Image(4, 4), PicKind::Keyed);
  out.review("whole", Image(4, 4), PicKind::Keyed);
  EXPECT_EQ(out.filesWritten(), 0);
  EXPECT_EQ(out.takeThumbs().size(), 2u);
}

TEST(Output, SoundsRoundTripWithoutReachingFullScale) {
  TempDir dir;
  Output out(dir.path);
  Samples s = {0.f, 0.5f, -0.5f, 1.5f, -1.5f, 0.f};
  out.wav("Sounds/t.wav", s, kRate);
  SF_INFO info{};
  SNDFILE* f = sf_open((dir.path + "/Sounds/t.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  std::vector<short> back(6);
  EXPECT_EQ(sf_read_short(f, back.data(), 6), 6);
  sf_close(f);
  EXPECT_EQ(info.samplerate, kRate);
  EXPECT_NEAR(back[1], 16384, 2);
  EXPECT_LT(back[3], 32767);  // overdriven input is clipped below full scale
  EXPECT_GT(back[4], -32768);
}

TEST(Output, VorbisEncodingIsRepeatableAndDecodes) {
  // libsndfile's own Vorbis writer picks a random stream serial; ours must
  // give the same bytes every time.
  Samples stereo(2 * kRate / 2);
  for (size_t i = 0; i < stereo.size(); ++i) stereo[i] = 0.3f * std::sin(float(i / 2) * 0.03f);
  TempDir dir;
  Output out(dir.path);
  out.ogg("a.ogg", stereo, kRate);
  out.ogg("b.ogg", stereo, kRate);
  std::ifstream a(dir.path + "/a.ogg", std::ios::binary), b(dir.path + "/b.ogg", std::ios::binary);
  std::string da((std::istreambuf_iterator<char>(a)), {}),
      db((std::istreambuf_iterator<char>(b)), {});
  EXPECT_FALSE(da.empty());
  EXPECT_EQ(da, db);
  SF_INFO info{};
  SNDFILE* f = sf_open((dir.path + "/a.ogg").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  sf_close(f);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.frames, sf_count_t(stereo.size() / 2));
}

TEST(Scenery, RotationTurnsClockwiseOnScreen) {
  // A mark at the top of a picture turned by 90 degrees ends up on the right.
  Image src(9, 9);
  src.over(4, 0, {1, 1, 1}, 1);
  Image dst(9, 9);
  drawRotated(dst, src, 4.5f, 4.5f, 1.f, 90.f);
  EXPECT_GT(dst.alpha(8, 4), 0.5f);
  EXPECT_LT(dst.alpha(0, 4), 0.1f);
}

TEST(Typeface, GlyphsLandOnTheBaselineAndUnknownOnesDrawNothing) {
  Typeface face(kMonoBold);
  Mask m(64, 64);
  ASSERT_TRUE(face.drawGlyph(m, 'H', 10, 40, 24, 1.f));
  int top = 64, bottom = -1;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if (m.at(x, y) > 0.5f) top = std::min(top, y), bottom = std::max(bottom, y);
  EXPECT_NEAR(bottom, 39, 1);                   // sits on the baseline
  EXPECT_NEAR(bottom - top + 1, 24 * 0.73, 2);  // cap height of the face
  Mask empty(16, 16);
  EXPECT_FALSE(face.drawGlyph(empty, 0x10FFFF, 0, 12, 12, 1.f));
  EXPECT_GT(face.width("Play", 17), face.width("LAN", 17));
}
