// Star motion and recycling (no drawing).
#include "render/starfield.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/glwrapper.h"

namespace {

class StarfieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameSeed(1234);
    field.InitMe(400, width, height, 6, 3, &utility, nullptr, nullptr);
  }
  void ExpectInvariant() {
    for (const auto& s : field.stars) {
      ASSERT_GE(s.x, 0.0f);
      ASSERT_LE(s.x, 1.0f);
      ASSERT_GE(s.y, 0.0f);
      ASSERT_LE(s.y, 1.0f);
      ASSERT_GE(s.size, 0.2f);
      ASSERT_LE(s.size, 6.0f);
      ASSERT_FLOAT_EQ(s.speed, s.size / 6 * 3);
    }
  }
  float width = 1024, height = 768;
  GlWrapper utility;
  Starfield field;
};

TEST_F(StarfieldTest, CreatedStarsAreInsideWithTheirSpeed) {
  ASSERT_EQ(field.stars.size(), 400u);
  ExpectInvariant();
  for (const auto& s : field.stars) EXPECT_GE(s.size, 0.4f);
}

TEST_F(StarfieldTest, NoMotionAtZeroVelocity) {
  const auto before = field.stars;
  field.UpdateMe(0, 0);
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(field.stars[i].x, before[i].x);
    EXPECT_EQ(field.stars[i].y, before[i].y);
    EXPECT_EQ(field.stars[i].size, before[i].size);
  }
}

TEST_F(StarfieldTest, StarsDriftAgainstTheShipInCameraUnits) {
  auto& s = field.stars[0];
  s = {0.5f, 0.5f, 3.0f, 6.0f};
  field.UpdateMe(100, -50);
  EXPECT_FLOAT_EQ(s.x, 0.5f - 100.0f / 1024 * 3 * 0.08f);
  EXPECT_FLOAT_EQ(s.y, 0.5f + 50.0f / 768 * 3 * 0.08f);
  // A wider camera (zoomed out) moves the same star less.
  s = {0.5f, 0.5f, 3.0f, 6.0f};
  width = 2048;
  field.UpdateMe(100, 0);
  EXPECT_FLOAT_EQ(s.x, 0.5f - 100.0f / 2048 * 3 * 0.08f);
}

TEST_F(StarfieldTest, StarsLeavingOneEdgeReenterAtTheOpposite) {
  auto& s = field.stars[0];
  s = {0.99f, 0.5f, 3.0f, 6.0f};
  field.UpdateMe(-1024, 0);  // ship moves left: stars move right
  EXPECT_EQ(s.x, 0.0f);
  EXPECT_GE(s.size, 0.2f);
  EXPECT_LE(s.size, 6.0f);
  EXPECT_FLOAT_EQ(s.speed, s.size / 2);
  s = {0.01f, 0.5f, 3.0f, 6.0f};
  field.UpdateMe(1024, 0);
  EXPECT_EQ(s.x, 1.0f);
  s = {0.5f, 0.99f, 3.0f, 6.0f};
  field.UpdateMe(0, -768);
  EXPECT_EQ(s.y, 0.0f);
  s = {0.5f, 0.01f, 3.0f, 6.0f};
  field.UpdateMe(0, 768);
  EXPECT_EQ(s.y, 1.0f);
  ExpectInvariant();
}

TEST_F(StarfieldTest, InvariantHoldsUnderRandomAndHostileVelocities) {
  for (int frame = 0; frame < 2000; ++frame) {
    field.UpdateMe(utility.RangedRandom(-400, 400), utility.RangedRandom(-400, 400));
  }
  ExpectInvariant();
  field.UpdateMe(std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity());
  ExpectInvariant();
  width = 0;  // a degenerate camera must not poison the stars either
  field.UpdateMe(5, 5);
  width = 1024;
  ExpectInvariant();
}

}  // namespace
