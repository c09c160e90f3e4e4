// Hulls and the payload panel on the real ship.
#include "app/shop.h"

#include <gtest/gtest.h>

#include "app/gameobjects.h"
#include "platform/globals.h"
#include "render/glwrapper.h"
#include "sim/spaceship.h"
#include "sim/weapon.h"
#include "ui/menu.h"
#include "world/world.h"

namespace {

std::string WeaponName(int id) {
  Weapon w;
  w.InitMe(&Utility);
  w.MakeMeWeapon(id);
  return w.name;
}

class ShopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameSeed(99);
    Player.InitMe(600, 600, 20.0f, 1500, 12, &Utility, &Level, &Bullets, &Enemies, &Sounds,
                  &Outgoing, 0, myGUID, 9216, 100);
  }
};

TEST_F(ShopTest, EveryHullIsBuiltWithItsValues) {
  for (int n = 0; n < 15; ++n) {
    SCOPED_TRACE(n);
    const HullSpec& h = kHulls[n];
    Player.credits = 3;
    ASSERT_TRUE(BuildHull(n));
    EXPECT_FALSE(Player.alive);
    EXPECT_EQ(Player.credits, 50);
    EXPECT_FLOAT_EQ(Player.maxSpeed, h.speed);
    EXPECT_EQ(Player.maxEnergy, h.energy);
    EXPECT_EQ(Player.recharge, h.recharge);
    EXPECT_EQ(Player.maxHp, h.hp);
    EXPECT_FLOAT_EQ(Player.width, h.size);
    EXPECT_FLOAT_EQ(Player.height, h.size);
    EXPECT_EQ(Player.shipTexture, h.texture);
    for (int slot = 0; slot < 4; ++slot)
      EXPECT_EQ(Player.GetWeaponName(slot), WeaponName(h.weapons[slot]));
  }
}

TEST_F(ShopTest, ImmortalTankerIsBigAndTough) {
  ASSERT_TRUE(BuildHull(8));
  EXPECT_FLOAT_EQ(Player.width, 256.0f);
  EXPECT_EQ(Player.maxHp, 565);
  EXPECT_EQ(Player.GetWeaponName(3), WeaponName(14));
}

TEST_F(ShopTest, HullNumbersOutsideTheTableBuildNothing) {
  Player.credits = 3;
  EXPECT_FALSE(BuildHull(15));
  EXPECT_FALSE(BuildHull(-1));
  EXPECT_EQ(Player.credits, 3);
}

// The arena is built once for the whole program; every hull's respawn must
// find a free spot in it (the search repeats until it does).
TEST_F(ShopTest, EveryHullRespawnsOnAFreeSpotOfTheArena) {
  static bool built = false;
  if (!built) {
    Level.InitMe(&Utility);
    Level.BuildDefaultMap();
    built = true;
  }
  for (int n = 0; n < 15; ++n) {
    SCOPED_TRACE(n);
    ASSERT_TRUE(BuildHull(n));
    for (int round = 0; round < 20; ++round) {
      Player.alive = false;
      Player.respawnRequested = true;
      float vx = 0, vy = 0;
      bool none[256] = {};
      Player.UpdateMe(none, vx, vy, Player.width, Player.height, Player.shipTexture);
      ASSERT_TRUE(Player.alive);
      EXPECT_FALSE(Level.CollisionObjects(Player.x - Player.width / 2, Player.y - Player.height / 2,
                                          Player.width, Player.height));
    }
  }
}

TEST_F(ShopTest, PayloadListsWeaponsThenInstalledUpgradesInLadderOrder) {
  Player.engineLevel = 4;
  Player.armourLevel = 0;
  Player.storageLevel = 1;
  Player.rechargeLevel = 7;
  UpdateWeaponMenu();
  ASSERT_EQ(Weapons.items.size(), 7u);
  EXPECT_EQ(Weapons.items[0], "Current Payload is:");
  EXPECT_EQ(Weapons.items[1], WeaponName(1));
  EXPECT_EQ(Weapons.items[5], "Plasma Engine");
  EXPECT_EQ(Weapons.items[6], "Powered Coils");
  // Rebuilt from scratch, never appended to.
  UpdateWeaponMenu();
  EXPECT_EQ(Weapons.items.size(), 7u);
}

TEST_F(ShopTest, ApplyUpgradeSetsTheLevelOnlyWhenAccepted) {
  EXPECT_TRUE(ApplyUpgrade(Ladder::Engine, 1));
  EXPECT_EQ(Player.engineLevel, 1);
  EXPECT_FALSE(ApplyUpgrade(Ladder::Engine, 1));
  EXPECT_FALSE(ApplyUpgrade(Ladder::Engine, 0));
  EXPECT_FALSE(ApplyUpgrade(Ladder::Engine, 5));
  EXPECT_EQ(Player.engineLevel, 1);
}

}  // namespace
