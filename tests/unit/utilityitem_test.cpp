#include "sim/utilityitem.h"

#include <gtest/gtest.h>

namespace {

struct ShipState {
  int energy = 1000, hp = 100;
  float x = 0, y = 0;
};

UtilityItem ItemOfKind(int kind) {
  UtilityItem item;
  item.InitMe();
  item.SetShift(kind);
  return item;
}

bool Press(UtilityItem& item, ShipState& s) { return item.ShiftPressed(s.energy, s.hp, s.x, s.y); }

TEST(UtilityItem, InitMeClearsEverythingBoughtBefore) {
  UtilityItem item;
  item.regeneration = item.cloaking = item.sensors = true;
  item.shiftKind = 3;
  item.cooldown = 7;
  item.anchorSet = 1;
  item.anchorX = 5;
  item.InitMe();
  EXPECT_FALSE(item.regeneration || item.cloaking || item.sensors);
  EXPECT_EQ(item.GetShift(), 0);
  EXPECT_EQ(item.cooldown, 0);
  EXPECT_EQ(item.anchorSet, 0);
  EXPECT_EQ(item.anchorX, 0);
}

TEST(UtilityItem, MainLoopCountsDownAndRegenerates) {
  UtilityItem item = ItemOfKind(0);
  int hp = 50;
  item.MainLoop(hp);
  EXPECT_EQ(hp, 50);            // not bought: no regeneration
  EXPECT_EQ(item.cooldown, 0);  // counters never go negative
  EXPECT_EQ(item.recallGlow, 0);
  EXPECT_EQ(item.cloaked, 0);  // cloak not owned

  item.regeneration = true;
  item.cloaking = true;
  item.cooldown = 2;
  item.recallGlow = 1;
  item.cloakDelay = 1;
  item.boosting = 1;
  item.MainLoop(hp);
  EXPECT_EQ(hp, 51);
  EXPECT_EQ(item.boosting, 0);
  EXPECT_EQ(item.cooldown, 1);
  EXPECT_EQ(item.recallGlow, 0);
  EXPECT_EQ(item.cloaked, 0);  // delay just reached 0: not yet below it
  item.MainLoop(hp);
  EXPECT_EQ(item.cloaked, 1);
  EXPECT_EQ(item.cloakDelay, 0);
}

TEST(UtilityItem, AfterburnersNeedTwentySixEnergy) {
  UtilityItem item = ItemOfKind(3);
  ShipState s;
  s.energy = 26;
  EXPECT_TRUE(Press(item, s));
  EXPECT_EQ(s.energy, 1);
  EXPECT_EQ(item.boosting, 1);
  item.MainLoop(s.hp);
  EXPECT_EQ(item.boosting, 0);
  EXPECT_FALSE(Press(item, s));
  EXPECT_EQ(s.energy, 1);
  EXPECT_EQ(item.boosting, 0);
}

TEST(UtilityItem, HealthToEnergyOnlyAboveTenHullAndEveryTwentyFrames) {
  UtilityItem item = ItemOfKind(1);
  ShipState s;
  s.hp = 10;
  s.energy = 0;
  EXPECT_FALSE(Press(item, s));
  EXPECT_EQ(s.hp, 10);
  EXPECT_EQ(s.energy, 0);

  s.hp = 30;
  Press(item, s);
  EXPECT_EQ(s.hp, 20);
  EXPECT_EQ(s.energy, 1000);
  for (int frame = 0; frame < 19; ++frame) {
    item.MainLoop(s.hp);
    Press(item, s);
  }
  EXPECT_EQ(s.hp, 20);  // still cooling down
  item.MainLoop(s.hp);
  Press(item, s);
  EXPECT_EQ(s.hp, 10);
  EXPECT_EQ(s.energy, 2000);  // the ship, not the item, caps energy
}

TEST(UtilityItem, EnergyToHealthEveryFrameAboveHundredEnergy) {
  UtilityItem item = ItemOfKind(2);
  ShipState s;
  s.energy = 201;
  s.hp = 5;
  EXPECT_FALSE(Press(item, s));
  EXPECT_FALSE(Press(item, s));
  EXPECT_EQ(s.energy, 1);
  EXPECT_EQ(s.hp, 7);
  s.energy = 100;
  Press(item, s);
  EXPECT_EQ(s.energy, 100);
  EXPECT_EQ(s.hp, 7);
}

TEST(UtilityItem, TeleportAnchorDropsThenRecalls) {
  UtilityItem item = ItemOfKind(4);
  ShipState s;
  s.energy = 1000;
  s.x = 300;
  s.y = 400;
  EXPECT_FALSE(Press(item, s));
  EXPECT_EQ(s.energy, 500);
  EXPECT_EQ(item.anchorSet, 1);
  EXPECT_EQ(item.cooldown, 20);

  s.x = 9000;
  s.y = 8000;
  for (int frame = 0; frame < 20; ++frame) item.MainLoop(s.hp);
  Press(item, s);  // exactly 500 is not enough
  EXPECT_EQ(s.energy, 500);
  EXPECT_EQ(s.x, 9000);

  s.energy = 1001;
  Press(item, s);
  EXPECT_EQ(s.energy, 501);
  EXPECT_EQ(s.x, 300);
  EXPECT_EQ(s.y, 400);
  EXPECT_EQ(item.anchorSet, 0);
  EXPECT_EQ(item.cooldown, 60);
  EXPECT_EQ(item.recallGlow, 60);

  // The next press after the cooldown drops a fresh anchor where the ship is.
  for (int frame = 0; frame < 60; ++frame) item.MainLoop(s.hp);
  s.energy = 600;
  s.x = 1234;
  Press(item, s);
  EXPECT_EQ(item.anchorSet, 1);
  EXPECT_EQ(item.anchorX, 1234);
}

TEST(UtilityItem, CooldownAndUnknownKindsRefuseEverything) {
  UtilityItem item = ItemOfKind(3);
  ShipState s;
  item.cooldown = 1;
  EXPECT_FALSE(Press(item, s));
  EXPECT_EQ(s.energy, 1000);

  item = ItemOfKind(5);
  EXPECT_FALSE(Press(item, s));
  item = ItemOfKind(0);
  EXPECT_FALSE(Press(item, s));
  EXPECT_EQ(s.energy, 1000);
  EXPECT_EQ(s.hp, 100);
}

}  // namespace
