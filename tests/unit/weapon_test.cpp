#include "sim/weapon.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Kind {
  int id;
  const char* name;
  int category, cost, reload, threshold, shots;
};

// The id table the shop, the hull picker and the computer players rely on.
const Kind kKinds[] = {
    {0, "Lighting", 3, 135, 10, 0, 1},
    {1, "Laser", 3, 200, 24, 0, 1},
    {2, "High-Energy Lasers", 3, 400, 24, 0, 2},
    {3, "Explosive Rockets", 5, 0, 35, 0, 1},
    {4, "High Frequency Laser", 6, 500, 55, 0, 1},
    {5, "Fast Firing Rockets", 5, 0, 10, 0, 1},
    {6, "Weaving Rockets", 5, 0, 50, 0, 2},
    {7, "Firestorm Launcher!", 5, 400, 35, 0, 6},
    {8, "Space Mines", 0, 600, 200, 0, 4},
    {9, "Planet Destroyer!", 5, 1600, 50, 100, 1},
    {10, "Energy Bomb Launcher!", 4, 250, 45, 0, 1},
    {11, "Energy Freezing Bombs", 4, 500, 35, 0, 1},
    {12, "Quad Automatic Gauss Rifles", 3, 200, 6, 0, 4},
    {13, "Heat Seekers", 5, 0, 150, 0, 1},
    {14, "MineStorm", 0, 1000, 225, 0, 4},
    {15, "Twin Automatic Gauss Rifles", 3, 100, 4, 0, 2},
    {16, "Gauss Cannon", 3, 800, 55, 0, 1},
    {17, "Reflex Energy Bomb Launcher!", 4, 250, 25, 0, 1},
    {18, "Cluster Rockets", 3, 0, 125, 0, 1},
    {19, "Cluster Mines", 0, 900, 175, 0, 2},
    {20, "Triple Piercing Gauss Rifles", 3, 1000, 12, 0, 3},
    {21, "Nuke", 5, 0, 70, 0, 1},
};

Weapon Made(int id) {
  Weapon w;
  w.MakeMeWeapon(id);
  return w;
}

TEST(WeaponCatalogue, EveryIdMakesItsKind) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.id);
    const Weapon w = Made(k.id);
    EXPECT_EQ(w.name, k.name);
    EXPECT_EQ(w.category, k.category);
    EXPECT_EQ(w.energyCost, k.cost);
    EXPECT_EQ(w.reloadFrames, k.reload);
    EXPECT_EQ(w.chargeThreshold, k.threshold);
    EXPECT_EQ(w.charged, k.id == 9);
    ASSERT_EQ(static_cast<int>(w.shots.size()), k.shots);
    for (const Weapon::Shot& s : w.shots) EXPECT_EQ(s.maxBounces, 32);
  }
}

TEST(WeaponCatalogue, IdsOutsideTheTableMakeALaser) {
  for (int id : {-1, 22, 1000}) EXPECT_EQ(Made(id).name, "Laser") << id;
}

TEST(WeaponCatalogue, NamesAreUniqueSoNoWeaponCanBeCarriedTwice) {
  for (const Kind& a : kKinds)
    for (const Kind& b : kKinds)
      if (a.id != b.id) {
        EXPECT_NE(Made(a.id).name, Made(b.id).name);
      }
}

TEST(WeaponCatalogue, VolleysPlaceAndAimTheirShotsApart) {
  const Weapon hel = Made(2);
  EXPECT_EQ(hel.shots[0].mountAngle, 90);
  EXPECT_EQ(hel.shots[1].mountAngle, 270);
  EXPECT_EQ(hel.shots[1].mountDistance, 32);

  // Weaving rockets leave in mirror image.
  const Weapon weave = Made(6);
  EXPECT_EQ(weave.shots[0].aimOffset, -18);
  EXPECT_EQ(weave.shots[0].turnRate, 2);
  EXPECT_EQ(weave.shots[1].aimOffset, 18);
  EXPECT_EQ(weave.shots[1].turnRate, -2);

  // Firestorm is a ring of six bolts.
  const Weapon storm = Made(7);
  const float aims[6] = {360, 300, 240, 180, 120, 60};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(storm.shots[i].aimOffset, aims[i]);

  const Weapon mines = Made(8);
  const float mineMounts[4] = {0, 90, 270, 180};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(mines.shots[i].mountAngle, mineMounts[i]);

  // Quad gauss: the first and the fourth shot share the left mount.
  const Weapon quad = Made(12);
  EXPECT_EQ(quad.shots[0].mountDistance, 16);
  EXPECT_EQ(quad.shots[3].mountDistance, 16);
  EXPECT_EQ(quad.shots[3].mountAngle, 90);
  EXPECT_EQ(quad.shots[2].mountAngle, 270);

  const Weapon storm2 = Made(14);
  const float turns[4] = {32, -32, -16, 16};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(storm2.shots[i].turnRate, turns[i]);
    EXPECT_EQ(storm2.shots[i].mountAngle, 90);
  }

  const Weapon cluster = Made(19);
  EXPECT_EQ(cluster.shots[0].mountAngle, 270);
  EXPECT_EQ(cluster.shots[0].turnRate, 16);
  EXPECT_EQ(cluster.shots[1].turnRate, -16);

  const Weapon tri = Made(20);
  EXPECT_EQ(tri.shots[2].mountAngle, 180);
  EXPECT_EQ(tri.shots[2].mountDistance, 0);
}

TEST(WeaponCatalogue, SpecialRulesSitOnTheRightKinds) {
  EXPECT_EQ(Made(4).shots[0].behaviour, behaviour::PassesWalls);
  EXPECT_EQ(Made(16).shots[0].behaviour, behaviour::PassesWalls);
  EXPECT_EQ(Made(6).shots[0].behaviour, behaviour::Weaving);
  EXPECT_EQ(Made(11).shots[0].behaviour, behaviour::Freezes);
  EXPECT_EQ(Made(13).shots[0].behaviour, behaviour::Homing);
  EXPECT_EQ(Made(17).shots[0].behaviour, behaviour::Reflex);
  EXPECT_EQ(Made(20).shots[0].behaviour, behaviour::MuzzleFlash);
  EXPECT_EQ(Made(18).shots[0].burst, 2);
  EXPECT_EQ(Made(19).shots[1].burst, 2);
  EXPECT_TRUE(Made(5).shots[0].soundOnChannel);
  EXPECT_FLOAT_EQ(Made(3).shots[0].acceleration, 1.8f);
  EXPECT_EQ(Made(21).shots[0].blast, 5);
  EXPECT_FLOAT_EQ(Made(21).shots[0].damageMax, 3000);
  EXPECT_TRUE(Made(1).shots[0].bounces);
  EXPECT_FALSE(Made(3).shots[0].bounces);
  EXPECT_TRUE(Made(3).shots[0].hurtsOwner);

  Weapon shrapnel;
  shrapnel.MakeMeShrapnel();
  EXPECT_EQ(shrapnel.name, "LOLOLOLOLOLOLOLOLSHRAPNELLSLSL!");
  ASSERT_EQ(shrapnel.shots.size(), 40u);
  EXPECT_EQ(shrapnel.shots[39].behaviour, behaviour::Shrapnel);
  EXPECT_EQ(shrapnel.shots[39].spread, 180);
  EXPECT_EQ(shrapnel.shots[39].blast, 4);
  EXPECT_EQ(shrapnel.energyCost, 0);
}

TEST(WeaponFire, ExactEnergySucceedsOneLessIsRefusedUntouched) {
  Weapon w = Made(1);
  std::vector<Weapon::Shot> out;
  int energy = 200;
  w.Fire(out, energy);
  EXPECT_EQ(out.size(), 1u);
  EXPECT_EQ(energy, 0);
  EXPECT_EQ(w.cooldown, 24);

  Weapon v = Made(1);
  out.assign(3, Weapon::Shot{});  // stale content must not look like a volley
  energy = 199;
  v.Fire(out, energy);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(energy, 199);
  EXPECT_EQ(v.cooldown, 0);
}

TEST(WeaponFire, CooldownCadenceOfTwinGaussIsEveryFourthFrame) {
  // The ship runs MainLoop before it fires, as in its frame.
  Weapon w = Made(15);
  int energy = 1000000;
  std::vector<int> fired;
  for (int frame = 0; frame < 13; ++frame) {
    w.MainLoop();
    std::vector<Weapon::Shot> out;
    w.Fire(out, energy);
    if (!out.empty()) fired.push_back(frame);
  }
  EXPECT_EQ(fired, (std::vector<int>{0, 4, 8, 12}));
}

TEST(WeaponFire, ZeroCostWeaponsFireWithNoEnergyAndCooldownNeverGoesNegative) {
  Weapon w = Made(5);
  int energy = 0;
  std::vector<Weapon::Shot> out;
  w.Fire(out, energy);
  EXPECT_EQ(out.size(), 1u);
  EXPECT_EQ(energy, 0);
  for (int i = 0; i < 50; ++i) w.MainLoop();
  EXPECT_EQ(w.cooldown, 0);
}

TEST(WeaponFire, FreeFireIgnoresCooldownAndAppends) {
  Weapon w = Made(2);
  w.cooldown = 99;
  std::vector<Weapon::Shot> out(1);
  w.Fire(out);
  EXPECT_EQ(out.size(), 3u);
  EXPECT_EQ(w.cooldown, 99);
}

TEST(WeaponFire, RemakeRestartsCooldownAndCharge) {
  Weapon w = Made(9);
  w.cooldown = 30;
  w.chargeCount = 55;
  w.MakeMeWeapon(9);
  EXPECT_EQ(w.cooldown, 0);
  EXPECT_EQ(w.chargeCount, 0);
}

// Volleys leave in a fixed order because each draws random numbers: every
// slot reaching its threshold first, then every slot let go, in slot order.
TEST(WeaponTriggers, ThresholdsFireBeforeReleasesAndTheChargeCountsWhileFiring) {
  Weapon w[4];
  for (Weapon& k : w) k.MakeMeWeapon(1);   // threshold 0: fires every frame held
  w[0].MakeMeWeapon(9);                    // charged, threshold 100
  std::vector<std::pair<int, int>> shots;  // slot, charge at the shot
  auto shoot = [&](int slot) { shots.push_back({slot, w[slot].chargeCount}); };

  Weapon::PullTriggers(w, {true, false, false, false}, shoot);
  Weapon::PullTriggers(w, {true, false, false, false}, shoot);
  EXPECT_TRUE(shots.empty()) << "the charged weapon is still charging";
  EXPECT_TRUE(w[0].held);

  Weapon::PullTriggers(w, {false, false, true, true}, shoot);
  const std::vector<std::pair<int, int>> expected = {{2, 1}, {3, 1}, {0, 2}};
  EXPECT_EQ(shots, expected);
  for (const Weapon& k : w) {
    EXPECT_FALSE(k.held);
    EXPECT_EQ(k.chargeCount, 0);
  }
}

}  // namespace
