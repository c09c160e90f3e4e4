#include "sim/bulletmanager.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/combat_rig.h"

namespace {

using Bullet = BulletManager::Bullet;

class BulletManagerTest : public ::testing::Test {
 protected:
  CombatRig rig;
  BulletManager& bullets = rig.bullets;
  int hp = 100, energy = 100000;

  // Fires weapon `id` from (x, y) with that heading, at rest.
  void Fire(int id, float x, float y, float heading) {
    Weapon w;
    w.MakeMeWeapon(id);
    bullets.ShootMe(w, energy, x, y, heading, 0, 0, CombatRig::kGuid);
  }

  // One projectile frame with the local ship parked far away.
  void Step(float shipX = -50000, float shipY = -50000) {
    bullets.UpdateMe(shipX, shipY, hp, energy, 0, CombatRig::kGuid);
    bullets.PostProjectiles(CombatRig::kGuid);
  }

  Bullet& First() { return bullets.bullets.at(0); }

  void AddWall(float x, float y, float w, float h) { rig.world.AddObject(x, y, h, w, 46); }
};

// ---- Firing ----

TEST_F(BulletManagerTest, FiringPlacesProjectilesAtTheirMounts) {
  Fire(2, 1000, 1000, 0);  // High-Energy Lasers: 90/32 and 270/32
  ASSERT_EQ(rig.ActiveBullets(), 2);
  EXPECT_NEAR(bullets.bullets[0].x, 1000, 1e-3);
  EXPECT_NEAR(bullets.bullets[0].y, 968, 1e-3);  // left of a ship heading right is up
  EXPECT_NEAR(bullets.bullets[1].y, 1032, 1e-3);
  EXPECT_EQ(bullets.bullets[0].lifeLeft, 150);
  EXPECT_EQ(bullets.bullets[0].accelFrames, 30);
  EXPECT_TRUE(bullets.bullets[0].sendFull);
  EXPECT_NE(bullets.bullets[0].guid, bullets.bullets[1].guid);
  EXPECT_EQ(energy, 100000 - 400);
}

TEST_F(BulletManagerTest, DriftInheritsTheShipVelocityWithYUp) {
  Weapon w;
  w.MakeMeBombProjector();  // inherit 0.7
  bullets.ShootMe(w, energy, 0, 0, 0, 10, 20, CombatRig::kGuid);
  EXPECT_FLOAT_EQ(First().driftX, 7);
  EXPECT_FLOAT_EQ(First().driftY, -14);
}

TEST_F(BulletManagerTest, ARefusedVolleyCreatesNothing) {
  energy = 199;
  Fire(1, 0, 0, 0);
  EXPECT_TRUE(bullets.bullets.empty());
  EXPECT_EQ(energy, 199);
}

TEST_F(BulletManagerTest, SpentSlotsAreReused) {
  Fire(15, 5000, 5000, 0);  // two gauss shots, life 40
  for (int i = 0; i < 40; ++i) Step();
  EXPECT_EQ(rig.ActiveBullets(), 0);
  Weapon w;
  w.MakeMeTwinGauss();
  bullets.ShootMe(w, energy, 5000, 5000, 0, 0, 0, CombatRig::kGuid);
  EXPECT_EQ(bullets.bullets.size(), 2u);
  EXPECT_EQ(rig.ActiveBullets(), 2);
}

// ---- Flight rules ----

TEST_F(BulletManagerTest, LaserBouncesThirtyOneTimesAndEndsOnTheThirtySecond) {
  AddWall(800, 0, 128, 20000);  // a corridor 100 units wide
  AddWall(1028, 0, 128, 20000);
  Fire(1, 978, 5000, 0);
  int contacts = 0, last = First().bouncesLeft;
  while (First().active) {
    Step();
    if (First().bouncesLeft != last) ++contacts;
    last = First().bouncesLeft;
    ASSERT_GT(First().lifeLeft, 0) << "the laser should end on a wall, not of age";
  }
  EXPECT_EQ(contacts, 32);
  EXPECT_EQ(First().bouncesLeft, 0);
  EXPECT_TRUE(rig.ExplosionsOfLoop(2).empty());  // a laser has no blast
}

TEST_F(BulletManagerTest, RocketEndsAtTheWallWithItsBlast) {
  // Beyond 8192 the step into the wall and the step back round differently.
  AddWall(8200, 4000, 128, 2000);
  Fire(3, 7000, 5000, 5);  // Explosive Rockets: no bounce, blast 1
  float beforeX = First().x, beforeY = First().y;
  while (First().active) {
    beforeX = First().x;
    beforeY = First().y;
    Step();
  }
  // The blast goes off at the very spot the rocket last flew free, as a
  // computer player's does.
  EXPECT_EQ(First().x, beforeX);
  EXPECT_EQ(First().y, beforeY);
  EXPECT_LT(First().x + 16, 8200.0f);
  const auto blasts = rig.ExplosionsOfLoop(2);
  ASSERT_EQ(blasts.size(), 1u);
  EXPECT_EQ(blasts[0].width, 512);
  EXPECT_EQ(blasts[0].frames, 30);
  EXPECT_EQ(blasts[0].x, First().x);
}

TEST_F(BulletManagerTest, RocketLeavesASmokeTrail) {
  Fire(3, 5000, 5000, 0);
  Step();  // lifeLeft 1000 is even: both puffs
  EXPECT_EQ(rig.ExplosionsOfLoop(1).size(), 1u);
  EXPECT_EQ(rig.ExplosionsOfLoop(3).size(), 1u);
  Step();
  EXPECT_EQ(rig.ExplosionsOfLoop(1).size(), 2u);
  EXPECT_EQ(rig.ExplosionsOfLoop(3).size(), 1u);
}

TEST_F(BulletManagerTest, AccelerationBuildsDriftOverThirtyFrames) {
  Fire(3, 5000, 5000, 90);
  for (int i = 0; i < 40; ++i) Step();
  EXPECT_NEAR(First().driftY, 30 * 1.8f, 1e-3);
  EXPECT_NEAR(First().driftX, 0, 1e-3);
  EXPECT_EQ(First().accelFrames, 0);
}

TEST_F(BulletManagerTest, ReflexBombTurnsBackWhenItsLifeReadsOneHundred) {
  Fire(17, 5000, 5000, 0);  // life 200, speed 55
  for (int i = 0; i < 99; ++i) Step();
  EXPECT_EQ(First().direction, 0);
  const float farthest = First().x;
  Step();
  EXPECT_EQ(First().lifeLeft, 100);
  EXPECT_EQ(First().direction, 180);
  EXPECT_LT(First().x, farthest);
  for (int i = 0; i < 98; ++i) Step();
  EXPECT_NEAR(First().x, 5000, 56);  // back where it started
}

TEST_F(BulletManagerTest, WeavingRocketsFlipEveryTwentyFramesInMirrorImage) {
  Fire(6, 5000, 5000, 90);
  Bullet* a = &bullets.bullets[0];
  Bullet* b = &bullets.bullets[1];
  for (int i = 0; i < 19; ++i) Step();
  EXPECT_EQ(a->turnRate, 2);
  Step();  // frame 20: lifeLeft 980
  EXPECT_EQ(a->turnRate, -2);
  EXPECT_EQ(b->turnRate, 2);
  for (int i = 0; i < 20; ++i) Step();
  EXPECT_EQ(a->turnRate, 2);
  EXPECT_NEAR(a->direction - 90, -(b->direction - 90), 1e-3);
  EXPECT_NEAR(a->x - 5000, -(b->x - 5000), 0.05);
}

TEST_F(BulletManagerTest, WeavingFlipAsksForTheFullMessage) {
  Fire(6, 5000, 5000, 90);
  for (int i = 0; i < 19; ++i) Step();
  bullets.UpdateMe(-50000, -50000, hp, energy, 0, CombatRig::kGuid);
  EXPECT_TRUE(First().sendFull);
}

TEST_F(BulletManagerTest, HomingFliesStraightWithNobodyInRange) {
  rig.AddOpponent(5000, 2000);  // 3000 away
  Fire(13, 5000, 5000, 180);
  for (int i = 0; i < 5; ++i) Step();
  EXPECT_EQ(First().direction, 180);
}

TEST_F(BulletManagerTest, HomingTieGoesToTheLaterPlayer) {
  rig.AddOpponent(5000, 4000, 1, 1.0f);  // above: bearing 90
  rig.AddOpponent(5000, 6000, 1, 2.0f);  // below: bearing 270, same distance
  Fire(13, 5000, 5000, 180);
  Step();
  EXPECT_EQ(First().direction, 196);
}

TEST_F(BulletManagerTest, HomingOnATargetRightOnTopKeepsItsCourse) {
  Fire(13, 5000, 5000, 180);
  rig.AddOpponent(First().x, First().y, 0);  // team mate: no hit, zero offset
  Step();
  EXPECT_EQ(First().direction, 180);
  EXPECT_TRUE(std::isfinite(First().x));
}

TEST_F(BulletManagerTest, PassThroughWeaponsIgnoreWalls) {
  AddWall(5100, 4000, 128, 2000);
  Fire(16, 5000, 5000, 0);  // Gauss Cannon
  for (int i = 0; i < 5; ++i) Step();
  EXPECT_TRUE(First().active);
  EXPECT_GT(First().x, 5400);
}

// ---- Hits and ends ----

TEST_F(BulletManagerTest, HitEndsTheProjectileAndDamagesEveryoneAtTheEnd) {
  const int foe = rig.AddOpponent(5300, 5000, 1, 1.0f);
  const int mate = rig.AddOpponent(5300, 5090, 0, 2.0f);  // touches the end point too
  Fire(11, 5000, 5000, 0);                                // Energy Freezing Bombs, speed 45
  while (First().active) Step();
  const auto& p = rig.enemies.players;
  EXPECT_GE(p[foe].energyDamage, 5000);
  EXPECT_LE(p[foe].energyDamage, 6000);
  EXPECT_EQ(p[foe].pendingFreeze, 50);
  EXPECT_EQ(p[foe].lastHitter, -1);
  EXPECT_GE(p[mate].energyDamage, 5000);
  EXPECT_EQ(p[mate].pendingFreeze, 50);
}

TEST_F(BulletManagerTest, TeamMatesDoNotStopProjectiles) {
  rig.AddOpponent(5300, 5000, 0);
  Fire(1, 5000, 5000, 0);
  for (int i = 0; i < 20; ++i) Step();
  EXPECT_TRUE(First().active);
}

// The owner's own blast obeys the shield rule.
TEST_F(BulletManagerTest, OwnBlastHurtsTheOwnerThroughItsShield) {
  Fire(21, 5000, 5000, 0);  // Nuke: hull 2500-3000, energy 50-70
  First().lifeLeft = 1;
  rig.enemies.lastAttacker = 3;
  energy = 1000;
  Step(5000, 5000);
  EXPECT_GE(energy, 930);
  EXPECT_LE(hp, 100 - 250);
  EXPECT_GE(hp, 100 - 300);
  EXPECT_EQ(rig.enemies.lastAttacker, -1);

  hp = 10000;
  energy = 10;
  Fire(21, 5000, 5000, 0);
  First().lifeLeft = 1;
  Step(5000, 5000);
  EXPECT_EQ(energy, 0);
  EXPECT_LE(hp, 10000 - 2500);
  EXPECT_GE(hp, 10000 - 3000);
}

TEST_F(BulletManagerTest, BlastVolumeFadesWithDistance) {
  rig.sounds.SetVolume(7, 114);
  Fire(9, 5000, 5000, 0);  // Planet Destroyer: blast 3
  First().lifeLeft = 1;
  Step(5000 + 9000, 5000);  // farther than 4096 counts as 4096
  EXPECT_EQ(rig.sounds.samples[7].volume, 229);

  Fire(20, 5000, 5000, 0);  // piercing gauss: blast 4
  for (Bullet& b : bullets.bullets) b.lifeLeft = 1;
  Step(5000 - 2000, 5000);
  EXPECT_LT(rig.sounds.samples[7].volume, 0);  // passed on as computed
}

TEST_F(BulletManagerTest, MuzzleFlashOnTheFirstFrameOnly) {
  Fire(20, 5000, 5000, 0);
  Step();
  Step();
  EXPECT_EQ(rig.ExplosionsOfLoop(3).size(), 3u);  // one per shot of the volley
}

TEST_F(BulletManagerTest, ClusterRocketBurstsIntoFortyFragments) {
  Fire(18, 5000, 5000, 0);  // life 30
  for (int i = 0; i < 30; ++i) Step();
  ASSERT_EQ(rig.ActiveBullets(), 40);  // the rocket's slot went to a fragment
  for (const Bullet& b : bullets.bullets) {
    if (!b.active) continue;
    EXPECT_EQ(b.behaviour, behaviour::Shrapnel);
    EXPECT_EQ(b.lifeLeft, b.lifetime);  // not moved on the frame of the burst
    EXPECT_GE(b.lifetime, 26);
    EXPECT_LE(b.lifetime, 51);
    EXPECT_LE(std::hypot(b.driftX, b.driftY), 25.001f);
  }
  EXPECT_EQ(rig.ExplosionsOfLoop(2).size(), 1u);
  for (int i = 0; i < 51; ++i) Step();
  EXPECT_EQ(rig.ActiveBullets(), 0);
  int small = 0;
  for (const auto& e : rig.ExplosionsOfLoop(2)) small += e.width == 64;
  EXPECT_EQ(small, 40);
}

TEST_F(BulletManagerTest, ShrapnelFiredOutsideTheUpdateIsStoredAtOnce) {
  bullets.shrapnel.MakeMeShrapnel();
  const int before = energy;
  bullets.ShootMe(bullets.shrapnel, 100, 100, 0, 0, 0, CombatRig::kGuid);
  EXPECT_EQ(rig.ActiveBullets(), 40);
  EXPECT_EQ(energy, before);
}

// Beams are the sorted projectiles: stretched along their flight, fading
// toward their tail.
TEST_F(BulletManagerTest, BeamsAreSortedStretchedAndFading) {
  Fire(1, 9000, 9000, 90);  // Laser: style 1
  Fire(4, 9500, 9000, 0);   // High Frequency Laser: style 4
  rig.StartSorting();
  rig.bulletView.RenderMe(false);
  const auto laser = rig.QuadsOf(5);
  ASSERT_EQ(laser.size(), 1u);
  EXPECT_EQ(laser[0].width, 32);
  EXPECT_EQ(laser[0].height, 8 * 32);
  EXPECT_NEAR(laser[0].angle, 0, 1e-4);
  EXPECT_EQ(laser[0].bottomAlpha, 0);
  const auto hfl = rig.QuadsOf(8);
  ASSERT_EQ(hfl.size(), 1u);
  EXPECT_EQ(hfl[0].height, 16 * 32);
  EXPECT_NEAR(hfl[0].angle, 90, 1e-4);

  for (int i = 0; i < 200; ++i) Step();
  rig.StartSorting();
  rig.bulletView.RenderMe(true);  // spent projectiles are not drawn
  EXPECT_TRUE(rig.QuadsOf(5).empty());
}

}  // namespace
