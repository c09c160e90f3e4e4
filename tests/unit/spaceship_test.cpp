#include "sim/spaceship.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/support/combat_rig.h"

namespace {

constexpr int kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kShift = 16, kZ = 90;

class SpaceShipTest : public ::testing::Test {
 protected:
  CombatRig rig;
  SpaceShip& ship = rig.ship;

  void SetUp() override { rig.Spawn(10000, 10000); }

  float Speed() const { return std::fabs(ship.vx) + std::fabs(ship.vy); }

  void Hold(int key, int frames) {
    rig.keys[key] = true;
    for (int i = 0; i < frames; ++i) rig.ShipFrame();
    rig.keys[key] = false;
  }

  void AddWall(float x, float y, float w, float h) { rig.world.AddObject(x, y, h, w, 46); }
};

// ---- Motion ----

TEST_F(SpaceShipTest, AtRestStaysAndDriftKeepsItsSpeedBelowTheLimit) {
  rig.ShipFrame();
  EXPECT_EQ(ship.x, 10000);
  EXPECT_EQ(ship.y, 10000);
  ship.vx = 3;
  ship.vy = -4;
  for (int i = 0; i < 10; ++i) rig.ShipFrame();
  EXPECT_EQ(ship.vx, 3);
  EXPECT_EQ(ship.vy, -4);
  EXPECT_FLOAT_EQ(ship.x, 10030);
  EXPECT_FLOAT_EQ(rig.outVy, -4);
}

// Thrust 0.5 then a fortieth of drag above the limit settle at 39 x 0.5 x
// (|cos a| + |sin a|): about 20 along an axis and 28 on a diagonal, whatever
// the hull's lower limit; a higher limit holds instead.
TEST_F(SpaceShipTest, ThrustSettlesAtTheDragEquilibriumOrTheLimit) {
  struct Case {
    float angle, maxSpeed, expected;
  } cases[] = {{0, 5, 19.5f}, {90, 5, 19.5f}, {45, 5, 19.5f * std::sqrt(2.0f)}, {0, 25, 25}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    ship.vx = ship.vy = 0;
    ship.angle = c.angle;
    ship.maxSpeed = c.maxSpeed;
    Hold(kUp, 600);
    EXPECT_NEAR(Speed(), c.expected, 0.6f);
  }
}

TEST_F(SpaceShipTest, AfterburnersDoubleThrustAndRaiseTheLimit) {
  ship.utility.SetShift(3);
  ship.maxEnergy = ship.energy = 100000;
  ship.recharge = 100;  // outpaces the afterburners' 25 a frame
  ship.maxSpeed = 5;
  rig.keys[kShift] = true;
  Hold(kUp, 600);
  EXPECT_NEAR(Speed(), 39, 0.8f);

  ship.vx = ship.vy = 0;
  ship.maxSpeed = 40;
  rig.keys[kShift] = true;
  Hold(kUp, 600);
  EXPECT_NEAR(Speed(), 48, 1.0f);
}

TEST_F(SpaceShipTest, BrakeIsAThirdOfThrustBackwards) {
  ship.angle = 0;
  Hold(kDown, 3);
  EXPECT_NEAR(ship.vx, -1.0f, 1e-5);
  EXPECT_NEAR(ship.vy, 0.0f, 1e-5);
}

TEST_F(SpaceShipTest, AngleWrapsAtBothEnds) {
  ship.angle = 2;
  Hold(kRight, 1);
  EXPECT_EQ(ship.angle, 358);
  ship.angle = 358;
  Hold(kLeft, 1);
  EXPECT_EQ(ship.angle, 2);
  ship.angle = 356;
  Hold(kLeft, 1);
  EXPECT_EQ(ship.angle, 360);  // kept: only above 360 wraps
  rig.keys[kLeft] = rig.keys[kRight] = true;
  rig.ShipFrame();
  EXPECT_EQ(ship.angle, 360);
}

// ---- Walls ----

TEST_F(SpaceShipTest, StraightDownIntoAWallBouncesAtHalfSpeed) {
  AddWall(9000, 10000 + 64 + 5, 2000, 128);  // 5 units below the ship
  ship.vx = 0;
  ship.vy = 10;
  rig.ShipFrame();
  EXPECT_EQ(ship.vx, 0);
  EXPECT_EQ(ship.vy, -5);
  EXPECT_EQ(ship.y, 10000);  // the move was undone
  EXPECT_TRUE(ship.sendUpdate);
}

TEST_F(SpaceShipTest, SidewaysIntoAWallLosesAQuarterOfTheOtherComponent) {
  AddWall(10000 + 64 + 5, 9000, 128, 2000);
  ship.vx = 10;
  ship.vy = 4;
  rig.ShipFrame();
  EXPECT_EQ(ship.vx, -5);
  EXPECT_EQ(ship.vy, 3);
}

TEST_F(SpaceShipTest, IntoACornerReversesBothComponents) {
  AddWall(9000, 10000 + 64 + 5, 2000, 128);  // floor
  AddWall(10000 + 64 + 5, 9000, 128, 2000);  // right wall
  ship.vx = 8;
  ship.vy = 8;
  rig.ShipFrame();
  EXPECT_FLOAT_EQ(ship.vx, -3);  // 8 x 0.75 x -0.5
  EXPECT_FLOAT_EQ(ship.vy, -3);
  EXPECT_FALSE(rig.world.CollisionObjects(ship.x - 64, ship.y - 64, 128, 128));
}

TEST_F(SpaceShipTest, NeverEndsAFrameInsideTheArenaWalls) {
  rig.world.BuildDefaultMap();
  rig.Spawn(300, 3000);
  ship.angle = 180;
  ship.maxSpeed = 40;
  for (int i = 0; i < 400; ++i) {
    rig.keys[kUp] = true;
    rig.keys[kLeft] = i % 50 < 10;
    rig.ShipFrame();
    ASSERT_FALSE(rig.world.CollisionObjects(ship.x - 64, ship.y - 64, 128, 128)) << i;
  }
}

// ---- Damage, freeze, death, respawn ----

TEST_F(SpaceShipTest, EnergyShieldsTheHullWhileAnyIsLeft) {
  ship.recharge = 0;
  ship.energy = 101;
  rig.enemies.GetDamaged(100, 50, 0);
  rig.ShipFrame();
  EXPECT_EQ(ship.energy, 1);
  EXPECT_EQ(ship.hp, 95);

  ship.energy = 101;
  rig.enemies.GetDamaged(101, 50, 0);
  rig.ShipFrame();
  EXPECT_EQ(ship.energy, 0);
  EXPECT_EQ(ship.hp, 45);

  rig.enemies.GetDamaged(500, 0, 0);  // energy never goes below 0
  rig.ShipFrame();
  EXPECT_EQ(ship.energy, 0);
}

TEST_F(SpaceShipTest, HullZeroLivesMinusOneDies) {
  ship.recharge = 0;
  ship.energy = 0;
  ship.bounty = 130;
  rig.enemies.GetDamaged(0, 100, 0);
  rig.ShipFrame();
  EXPECT_EQ(ship.hp, 0);
  EXPECT_TRUE(ship.alive);

  ship.vx = 7;
  ship.frozenFrames = 30;
  rig.enemies.lastAttacker = -1;
  rig.enemies.GetDamaged(0, 1, -1);
  rig.ShipFrame();
  EXPECT_FALSE(ship.alive);
  EXPECT_EQ(ship.deaths, 1);
  EXPECT_EQ(ship.frozenFrames, 0);
  EXPECT_EQ(ship.vx, 0);
  EXPECT_TRUE(ship.sendFullStats);
  ASSERT_EQ(rig.messages.size(), 1u);  // the self-inflicted death text
  EXPECT_EQ(rig.messages[0].rfind("Player", 0), 0u);

  // While dead the ship neither moves nor dies again.
  rig.keys[kUp] = true;
  rig.ShipFrame();
  EXPECT_EQ(ship.deaths, 1);
  EXPECT_EQ(ship.vx, 0);
}

// The other copies drop a row after 750 silent frames: a ship waiting in the
// shop must keep reporting itself or it comes back invisible to them.
TEST_F(SpaceShipTest, DeadShipStillReportsItselfEveryFifteenFrames) {
  ship.alive = false;
  int silent = 0, longestSilence = 0;
  for (int frame = 0; frame < 800; ++frame) {
    rig.ShipFrame();
    silent = ship.sendUpdate || ship.sendFullStats ? 0 : silent + 1;
    longestSilence = std::max(longestSilence, silent);
    ship.sendUpdate = ship.sendFullStats = false;  // as PostState does
  }
  EXPECT_FALSE(ship.alive);
  EXPECT_LT(longestSilence, 15);
}

TEST_F(SpaceShipTest, RespawnRefillsAndPlacesTheShipClearOfWalls) {
  rig.world.BuildDefaultMap();
  ship.alive = false;
  ship.hp = -5;
  ship.energy = 3;
  ship.UpdateCredits(1234);
  for (int i = 0; i < 20; ++i) {
    ship.respawnRequested = true;
    rig.ShipFrame();
    ASSERT_TRUE(ship.alive);
    EXPECT_FALSE(ship.respawnRequested);
    EXPECT_GE(ship.x, 600);
    EXPECT_LE(ship.y, 20000);
    EXPECT_FALSE(rig.world.CollisionObjects(ship.x - 64, ship.y - 64, 128, 128));
  }
  EXPECT_EQ(ship.hp, 100);
  EXPECT_EQ(ship.bounty, 223);  // a tenth of all earnings + 100
}

TEST_F(SpaceShipTest, FreezeFramesAddUpAndStopTheRecharge) {
  ship.energy = 0;
  ship.frozenFrames = 20;
  rig.enemies.FreezePlayer(50);
  rig.ShipFrame();
  EXPECT_EQ(ship.frozenFrames, 69);
  EXPECT_EQ(ship.energy, 0);
  EXPECT_FALSE(ship.sendFullStats);

  // Only a sum of exactly 1 forces a full state message.
  ship.frozenFrames = 1;
  rig.ShipFrame();
  EXPECT_TRUE(ship.sendFullStats);
  EXPECT_EQ(ship.frozenFrames, 0);
  EXPECT_EQ(ship.energy, 12);  // unfrozen: recharge resumes
}

// ---- Weapons ----

TEST_F(SpaceShipTest, FireKeyShootsThroughTheProjectileManager) {
  rig.keys[kZ] = true;
  rig.ShipFrame();
  EXPECT_EQ(rig.ActiveBullets(), 1);
  EXPECT_EQ(ship.energy, 1500 - 200);
  rig.ShipFrame();  // reloading
  EXPECT_EQ(rig.ActiveBullets(), 1);
}

TEST_F(SpaceShipTest, ChargedWeaponFiresAtItsThresholdOrOnRelease) {
  ship.ChangeWeaponNoCheck(0, 9);  // Planet Destroyer, threshold 100
  ship.maxEnergy = ship.energy = 10000;
  Hold(kZ, 99);
  EXPECT_EQ(rig.ActiveBullets(), 0);
  EXPECT_EQ(ship.weapons[0].chargeCount, 99);
  rig.keys[kZ] = true;
  rig.ShipFrame();
  ASSERT_EQ(rig.ActiveBullets(), 1);
  EXPECT_EQ(rig.bullets.bullets[0].width, 400);
  EXPECT_EQ(rig.bullets.bullets[0].damageMax, 1000);
  EXPECT_EQ(ship.weapons[0].chargeCount, 0);
  rig.keys[kZ] = false;

  for (int i = 0; i < 60; ++i) rig.ShipFrame();  // reload
  Hold(kZ, 10);
  rig.ShipFrame();  // released early: fires with the charge reached
  ASSERT_EQ(rig.ActiveBullets(), 2);
  EXPECT_EQ(rig.bullets.bullets[1].width, 40);
  EXPECT_EQ(rig.bullets.bullets[1].energyDamageMin, 250);
  EXPECT_FALSE(ship.weapons[0].held);
}

TEST_F(SpaceShipTest, ChangeWeaponRefusesAWeaponAlreadyCarried) {
  EXPECT_FALSE(ship.ChangeWeapon(0, 1));  // every slot starts as a Laser
  EXPECT_TRUE(ship.ChangeWeapon(0, 15));
  EXPECT_FALSE(ship.ChangeWeapon(2, 15));
  EXPECT_FALSE(ship.ChangeWeapon(0, 15));
  EXPECT_EQ(ship.GetWeaponName(0), "Twin Automatic Gauss Rifles");
  EXPECT_EQ(ship.GetWeaponName(2), "Laser");
  ship.ChangeWeaponNoCheck(2, 15);
  EXPECT_EQ(ship.GetWeaponName(2), "Twin Automatic Gauss Rifles");
  EXPECT_FALSE(ship.ChangeWeapon(4, 3));
  EXPECT_EQ(ship.GetWeaponName(-1), "");
}

// ---- Wallet and upgrades ----

TEST_F(SpaceShipTest, WalletBuysUpToTheLastCredit) {
  EXPECT_EQ(ship.GetCredits(), 50);
  EXPECT_FALSE(ship.BuySomething(51));
  EXPECT_EQ(ship.GetCredits(), 50);
  EXPECT_TRUE(ship.BuySomething(50));
  EXPECT_EQ(ship.GetCredits(), 0);
  ship.Refund(30);
  ship.UpdateCredits(20);
  EXPECT_EQ(ship.GetCredits(), 50);
  EXPECT_EQ(ship.totalEarned, 20);  // refunds are not earnings
}

TEST_F(SpaceShipTest, UpgradesTakeOnlyStrictlyLargerCaps) {
  EXPECT_FALSE(ship.UpgradeMaxSpeed(20));
  EXPECT_TRUE(ship.UpgradeMaxSpeed(20.5f));
  EXPECT_FALSE(ship.UpgradeMaxHp(100));
  EXPECT_FALSE(ship.UpgradeMaxHp(90));
  ship.hp = 70;
  EXPECT_TRUE(ship.UpgradeMaxHp(150));
  EXPECT_EQ(ship.hp, 70);
  EXPECT_FALSE(ship.UpgradeMaxEnergy(1500));
  EXPECT_TRUE(ship.UpgradeMaxEnergy(2000));
  EXPECT_EQ(ship.energy, 1500);
  EXPECT_FALSE(ship.UpgradeMaxRecharge(12));
  EXPECT_TRUE(ship.UpgradeMaxRecharge(13));
}

TEST_F(SpaceShipTest, PickingAHullStartsAFreshWalletAndLaserSlots) {
  ship.UpdateCredits(500);
  ship.ChangeWeaponNoCheck(3, 21);
  ship.InitMe(100, 200, 30, 2000, 15, &rig.utility, &rig.world, &rig.bullets, &rig.enemies,
              &rig.sounds, &rig.outbox, 0, CombatRig::kGuid, 9216, 300);
  EXPECT_EQ(ship.x, 200);  // the first argument is y
  EXPECT_EQ(ship.y, 100);
  EXPECT_EQ(ship.GetCredits(), 50);
  EXPECT_EQ(ship.totalEarned, 0);
  EXPECT_EQ(ship.GetWeaponName(3), "Laser");
  EXPECT_EQ(ship.maxHp, 300);
  EXPECT_FALSE(ship.alive);
}

// ---- Camera ----

TEST_F(SpaceShipTest, CameraStepsTowardTheSpeedDependentSize) {
  float x, y, w, h;
  rig.cameraWidth = 1024;
  rig.cameraHeight = 768;
  rig.shipView.GetCamera(x, y, w, h);
  EXPECT_EQ(x, 10000);
  EXPECT_EQ(w, 1032);
  EXPECT_EQ(h, 774);
  EXPECT_EQ(rig.cameraWidth, 1024);  // reporting changes nothing

  rig.cameraWidth = 2048;  // at rest a 128-unit ship wants 2048 x 1536
  rig.cameraHeight = 1536;
  rig.shipView.GetCamera(x, y, w, h);
  EXPECT_EQ(w, 2048);
  EXPECT_EQ(h, 1536);

  ship.vx = 20;  // at the limit: 3072 x 2304
  rig.cameraWidth = 3200;
  rig.cameraHeight = 2000;
  rig.shipView.GetCamera(x, y, w, h);
  EXPECT_EQ(w, 3192);
  EXPECT_EQ(h, 2006);

  ship.width = ship.height = 2048;  // (2048/128)^0.25 = 2
  ship.vx = 0;
  rig.cameraWidth = 4096;
  rig.shipView.GetCamera(x, y, w, h);
  EXPECT_EQ(w, 4096);
}

// ---- Drawing (through the sorted path) ----

TEST_F(SpaceShipTest, HullAndBarsAreSortedWithTheirRatioTextures) {
  ship.angle = 30;
  ship.shipTexture = 61;
  ship.hp = 50;     // half: yellow
  ship.energy = 0;  // empty: no bar
  ship.ChangeWeaponNoCheck(2, 9);
  ship.weapons[2].chargeCount = 80;  // 0.8 of the threshold: green
  rig.StartSorting();
  rig.shipView.RenderMe();

  const auto hull = rig.QuadsOf(61);
  ASSERT_EQ(hull.size(), 1u);
  EXPECT_EQ(hull[0].x, 10000);
  EXPECT_EQ(hull[0].width, 128);
  EXPECT_NEAR(hull[0].angle, 60, 1e-3);  // sprites turn by 90 - heading

  const auto yellow = rig.QuadsOf(15);
  ASSERT_EQ(yellow.size(), 1u);  // the hull bar above the ship
  EXPECT_EQ(yellow[0].y, 10000 - 64 - 16);
  EXPECT_EQ(yellow[0].width, 64);
  EXPECT_EQ(yellow[0].height, 8);
  EXPECT_EQ(yellow[0].angle, 0);

  const auto green = rig.QuadsOf(16);
  ASSERT_EQ(green.size(), 1u);  // slot 2's charge bar, right of the ship
  EXPECT_EQ(green[0].x, 10000 + 64 + 16);
  EXPECT_EQ(green[0].y, 10000);
  EXPECT_EQ(green[0].width, 8);
  EXPECT_NEAR(green[0].height, 0.8f * 128, 0.01);
  EXPECT_TRUE(rig.QuadsOf(14).empty());

  rig.StartSorting();
  ship.alive = false;
  rig.shipView.RenderMe();
  rig.shipView.RenderEngine(0);
  EXPECT_TRUE(rig.sorter.paths.empty());
}

TEST_F(SpaceShipTest, EngineFlameGrowsWithSpeedBehindTheShip) {
  ship.angle = 0;
  ship.vx = 10;
  rig.StartSorting();
  rig.shipView.RenderEngine(0);
  const auto flame = rig.QuadsOf(22);
  ASSERT_EQ(flame.size(), 1u);
  const float f = flame[0].width;
  EXPECT_GE(f, 9.5f);
  EXPECT_LE(f, 10.5f);
  EXPECT_NEAR(flame[0].height, 4 * f, 0.01);
  EXPECT_NEAR(flame[0].x, 10000 - (32 + 2 * f), 0.01);

  rig.StartSorting();
  ship.vx = 0;
  rig.shipView.RenderEngine(0);  // at rest there is no flame
  EXPECT_TRUE(rig.QuadsOf(22).empty());
}

}  // namespace
