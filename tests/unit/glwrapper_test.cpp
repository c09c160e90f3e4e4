// The numeric utilities every hit test and identity relies on.
#include "render/glwrapper.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class RectRectTest : public ::testing::Test {
 protected:
  // Argument order: x, y, extent along y, extent along x.
  bool Overlap(float x1, float y1, float w1, float h1, float x2, float y2, float w2, float h2) {
    return utility.RectRect(x1, y1, h1, w1, x2, y2, h2, w2);
  }
  GlWrapper utility;
};

TEST_F(RectRectTest, CrossingLikeAPlusSignIsNoOverlap) {
  // A wide bar and a tall bar through each other: no corner of either lies
  // inside the other, which this corner test reports as apart.
  EXPECT_FALSE(Overlap(0, 40, 100, 20, 40, 0, 20, 100));
  EXPECT_FALSE(Overlap(40, 0, 20, 100, 0, 40, 100, 20));
}

TEST_F(RectRectTest, TouchingEdgesAndCornersOverlap) {
  EXPECT_TRUE(Overlap(0, 0, 10, 10, 10, 0, 10, 10));  // shared vertical edge
  EXPECT_TRUE(Overlap(0, 0, 10, 10, 0, 10, 10, 10));  // shared horizontal edge
  EXPECT_TRUE(Overlap(0, 0, 10, 10, 10, 10, 5, 5));   // corner to corner
  EXPECT_FALSE(Overlap(0, 0, 10, 10, 10.01f, 0, 10, 10));
  EXPECT_FALSE(Overlap(0, 0, 10, 10, 0, 10.01f, 10, 10));
}

TEST_F(RectRectTest, ContainmentEitherWay) {
  EXPECT_TRUE(Overlap(0, 0, 100, 100, 40, 40, 10, 10));
  EXPECT_TRUE(Overlap(40, 40, 10, 10, 0, 0, 100, 100));
}

TEST_F(RectRectTest, HeightAndWidthArgumentsAreNotSwapped) {
  // A 100 wide, 10 high rectangle reaches x = 90 but not y = 90.
  EXPECT_TRUE(Overlap(0, 0, 100, 10, 90, 5, 5, 5));
  EXPECT_FALSE(Overlap(0, 0, 100, 10, 5, 90, 5, 5));
}

TEST(RangedRandomTest, EqualBoundsGiveThatValue) {
  GlWrapper utility;
  for (int i = 0; i < 100; ++i) EXPECT_EQ(utility.RangedRandom(5, 5), 5.0f);
}

TEST(RangedRandomTest, StaysWithinBoundsInEitherOrderAndSpreads) {
  GlWrapper utility;
  GameSeed(1234);
  float lo = 1e9f, hi = -1e9f;
  for (int i = 0; i < 5000; ++i) {
    float a = utility.RangedRandom(-3, 7);
    float b = utility.RangedRandom(7, -3);
    ASSERT_GE(a, -3.0f);
    ASSERT_LE(a, 7.0f);
    ASSERT_GE(b, -3.0f);
    ASSERT_LE(b, 7.0f);
    lo = std::min(lo, a);
    hi = std::max(hi, a);
  }
  EXPECT_LT(lo, -2.5f);
  EXPECT_GT(hi, 6.5f);
}

TEST(GameRandTest, SameSeedSameSequenceWithinFifteenBits) {
  GameSeed(99);
  std::vector<int> first;
  for (int i = 0; i < 50; ++i) first.push_back(GameRand());
  GameSeed(99);
  for (int i = 0; i < 50; ++i) {
    int r = GameRand();
    EXPECT_EQ(r, first[i]);
    EXPECT_GE(r, 0);
    EXPECT_LE(r, kGameRandMax);
  }
}

TEST(GenerateGuidTest, RangeAndPracticalUniqueness) {
  GlWrapper utility;
  GameSeed(7);
  std::set<float> seen;
  for (int i = 0; i < 2000; ++i) {
    float g = utility.GenerateGUID();
    ASSERT_GE(g, 0.0f);
    // 12500 times the mean of ten draws: at most 12500 * 32767.
    ASSERT_LE(g, 12500.0f * 32767.0f);
    seen.insert(g);
  }
  EXPECT_GT(seen.size(), 1990u);
}

}  // namespace
