// The timedemo's autopilot flies the local ship by the computer players'
// reflex.
#include "app/autopilot.h"

#include <gtest/gtest.h>

#include "app/gameobjects.h"
#include "platform/globals.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"

namespace {

class AutopilotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table.InitMe(&Utility, AddMessage, &Sounds, &Outgoing, &Explosions);
    ship.InitMe(1000, 1000, 40.0f, 2500, 20, &Utility, &Level, &Bullets, &table, &Sounds, &Outgoing,
                0, 1.0f, 9216, 85);
    ship.alive = true;
    ship.angle = 0;
  }
  int AddEnemy(float x, float y, int team) {
    const int row =
        table.AddPlayer(128, 128, 0, 100.0f + table.players.size(), "bot", true, team, 1);
    table.UpdatePlayer(row, x, y, 0, 0, false, 0, 0, 0);
    return row;
  }
  EnemyManager table;
  SpaceShip ship;
  bool keys[256] = {};
};

TEST_F(AutopilotTest, ChasesAFarEnemyStraightAheadWithLongRangeWeapons) {
  AddEnemy(3000, 1000, 2);
  for (int s = 0; s < 4; ++s) ship.weapons[s].category = s == 2 ? 4 : 1;
  AutopilotKeys(ship, table, keys);
  EXPECT_TRUE(keys[vk::Up]);
  EXPECT_FALSE(keys[vk::Down]);
  EXPECT_FALSE(keys[vk::Left]);
  EXPECT_FALSE(keys[vk::Right]);
  // 2000 units: range class 3 fires categories 0, 4, 5, 6 only.
  EXPECT_FALSE(keys['Z']);
  EXPECT_FALSE(keys['X']);
  EXPECT_TRUE(keys['C']);
  EXPECT_FALSE(keys['V']);
}

TEST_F(AutopilotTest, BacksOffFromACloseEnemyAndTurnsTheShortWay) {
  AddEnemy(1000, 1300, 3);  // straight below: heading 270
  AutopilotKeys(ship, table, keys);
  EXPECT_TRUE(keys[vk::Down]);
  EXPECT_FALSE(keys[vk::Up]);
  EXPECT_TRUE(keys[vk::Right]);
  EXPECT_FALSE(keys[vk::Left]);
}

TEST_F(AutopilotTest, IgnoresTeamMatesAndPicksTheNearestEnemy) {
  AddEnemy(1100, 1000, 0);  // a team mate right next to it
  AddEnemy(1000, 200, 4);   // enemy straight above, 800 away: heading 90
  AddEnemy(9000, 9000, 5);
  AutopilotKeys(ship, table, keys);
  EXPECT_TRUE(keys[vk::Up]);
  EXPECT_TRUE(keys[vk::Left]);
}

TEST_F(AutopilotTest, DeadShipPressesNothing) {
  AddEnemy(3000, 1000, 2);
  ship.alive = false;
  keys[vk::Up] = true;
  AutopilotKeys(ship, table, keys);
  for (bool k : keys) EXPECT_FALSE(k);
}

TEST_F(AutopilotTest, NoEnemyMeansFullThrustAndNoFire) {
  AutopilotKeys(ship, table, keys);
  EXPECT_TRUE(keys[vk::Up]);
  EXPECT_FALSE(keys['Z'] || keys['X'] || keys['C'] || keys['V']);
}

}  // namespace
