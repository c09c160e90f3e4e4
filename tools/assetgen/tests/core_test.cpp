// Building blocks of the asset generator: shape coverage, blur, noise tiling,
// the colour-key conversion and the sound finishing.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "noise.h"
#include "output.h"
#include "pixels.h"
#include "raster.h"
#include "synth.h"

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
    img.over(0, 0, {0, 0, 0}, 1.f);       // drawn black content
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
