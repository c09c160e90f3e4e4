#include "sim/projectile.h"

#include <gtest/gtest.h>

#include "render/glwrapper.h"
#include "sim/explosionmanager.h"
#include "world/world.h"

namespace {

class ProjectileTest : public ::testing::Test {
 protected:
  void SetUp() override { world.InitMe(&utility); }

  // A 16-unit projectile at (x, y) flying at `direction` with some drift.
  static Projectile At(float x, float y, float direction) {
    Projectile p;
    p.active = true;
    p.x = x;
    p.y = y;
    p.width = p.height = 16;
    p.speed = 10;
    p.driftX = 4;
    p.driftY = 2;
    p.direction = direction;
    p.bounces = true;
    p.bouncesLeft = 2;
    return p;
  }

  GlWrapper utility;
  World world;
};

TEST_F(ProjectileTest, BounceReflectsOffTheSideTheProbesFindAndCountsContacts) {
  world.AddObject(1000, 0, 20000, 128, 46);  // a wall to the right of x 1000
  world.AddObject(0, 3000, 128, 20000, 46);  // a floor below y 3000
  Projectile side = At(980, 500, 30);
  side.Bounce(world);
  EXPECT_FLOAT_EQ(side.direction, 150);
  EXPECT_FLOAT_EQ(side.driftX, -2);
  EXPECT_FLOAT_EQ(side.driftY, 2);

  Projectile floor = At(5000, 2980, 30);
  floor.Bounce(world);
  EXPECT_FLOAT_EQ(floor.direction, 330);
  EXPECT_FLOAT_EQ(floor.driftX, 4);
  EXPECT_FLOAT_EQ(floor.driftY, -1);

  // Probes that find nothing (a wall corner) send it back on both axes.
  Projectile corner = At(10000, 10000, 30);
  corner.Bounce(world);
  EXPECT_FLOAT_EQ(corner.direction, 210);
  EXPECT_FLOAT_EQ(corner.driftX, -2);
  EXPECT_FLOAT_EQ(corner.driftY, -1);
  EXPECT_TRUE(corner.active) << "one contact of two used";
  corner.Bounce(world);
  EXPECT_FALSE(corner.active) << "the last contact ends it";

  Projectile laser = At(10000, 10000, 30);
  laser.bounces = false;
  laser.Bounce(world);
  EXPECT_FALSE(laser.active) << "a projectile that does not bounce ends at the first wall";
}

TEST_F(ProjectileTest, HomingTurnsSixteenDegreesAndNotAlwaysTheShorterWay) {
  Projectile p = At(0, 0, 80);
  p.TurnTowards(0, -1000);  // straight up: bearing 90
  EXPECT_FLOAT_EQ(p.direction, 96);

  // Heading 350 with the target just above the +x axis: the short way is up
  // through 360, but the turn compares plain degrees and goes down.
  p.direction = 350;
  p.TurnTowards(1000, -10);
  EXPECT_FLOAT_EQ(p.direction, 334);

  p.TurnTowards(0, 0);
  EXPECT_FLOAT_EQ(p.direction, 334) << "a target on the spot leaves the course";
}

TEST_F(ProjectileTest, LaunchPlacesAtTheMountAndChargeScalesSizeAndDamage) {
  Weapon::Shot t;
  t.width = t.height = 20;
  t.mountAngle = 90;
  t.mountDistance = 30;
  t.inherit = 0.5f;
  t.damageMin = 4;
  t.damageMax = 6;
  t.energyDamageMin = 40;
  t.energyDamageMax = 60;
  Projectile p;
  p.Launch(t, 500, 500, 0, 10, 20);
  EXPECT_TRUE(p.active);
  EXPECT_NEAR(p.x, 500, 1e-3);
  EXPECT_NEAR(p.y, 470, 1e-3) << "90 degrees to the left of a ship heading right is up";
  EXPECT_FLOAT_EQ(p.driftX, 5);
  EXPECT_FLOAT_EQ(p.driftY, -10) << "drift counts y upwards";
  EXPECT_EQ(p.accelFrames, 30);

  p.GrowWithCharge(10);
  EXPECT_FLOAT_EQ(p.width, 40);
  EXPECT_FLOAT_EQ(p.height, 40);
  EXPECT_FLOAT_EQ(p.damageMax, 60);
  EXPECT_FLOAT_EQ(p.energyDamageMin, 400);
}

TEST_F(ProjectileTest, DamageDrawsHullFirstAndOnlyBlastKindsExplode) {
  Projectile p = At(100, 100, 0);
  p.damageMin = 0;
  p.damageMax = 100;
  p.energyDamageMin = 1000;
  p.energyDamageMax = 2000;
  GameSeed(99);
  const float hull = utility.RangedRandom(0, 100);
  const float energy = utility.RangedRandom(1000, 2000);
  GameSeed(99);
  const Projectile::Damage d = p.RollDamage(utility);
  EXPECT_FLOAT_EQ(d.hull, hull) << "replays depend on the order of the draws";
  EXPECT_FLOAT_EQ(d.energy, energy);

  ExplosionManager explosions;
  explosions.InitMe(nullptr);
  for (int kind : {0, 6}) {
    p.blast = kind;
    EXPECT_EQ(p.Explode(&explosions), nullptr) << "kind " << kind;
  }
  EXPECT_TRUE(explosions.list.empty());
  p.blast = 3;
  const Projectile::Blast* k = p.Explode(&explosions);
  ASSERT_NE(k, nullptr);
  ASSERT_EQ(explosions.list.size(), 1u);
  EXPECT_FLOAT_EQ(explosions.list[0].width, 1024);
  EXPECT_EQ(p.Explode(nullptr), k) << "without explosions the kind is still told";
}

}  // namespace
