// The computer players: target choice and approach, steering, weapon choice
// by range, the end effects of their projectiles, kill credit on death, the
// full table, and a long seeded match of six of them.
#include "sim/aiplayer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/heading.h"
#include "render/glwrapper.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"
#include "world/world.h"

namespace {

constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kFire[4] = {90, 88, 67, 86};

class Bots : public ::testing::Test {
 protected:
  void SetUp() override {
    GameSeed(11);
    level.InitMe(&utility);
    table.InitMe(&utility, EnemyManager::AppendTo(log), nullptr, nullptr, nullptr);
    booms.InitMe(nullptr);
    player.team = 0;
    player.alive = true;
    Put(player, 10000, 10000);
    bot.InitMe(&camW, &camH, &table, &level, &booms, &utility, 2);
    bot.SetUpShip(25, 400, 6000, 15, 128, 128, 20);
    bot.SetUpWeapons(15, 15, 15, 15);
    PlaceBot(5000, 5000, 0);
  }
  static void Put(SpaceShip& s, float x, float y) {
    s.x = x;
    s.y = y;
  }
  void PlaceBot(float x, float y, float angle) {
    bot.x = x;
    bot.y = y;
    bot.angle = angle;
    bot.vx = bot.vy = 0;
  }
  int AddRow(float guid, int team, float x, float y) {
    const int row = table.AddPlayer(128, 128, 0, guid, "row", true, team, 1);
    table.UpdatePlayer(row, x, y, 0, 0, false, 0, 0, 0);
    return row;
  }
  AiPlayer::Bullet Shot(float x, float y) {
    AiPlayer::Bullet b;
    b.active = true;
    b.lifetime = 100;
    b.lifeLeft = 1;  // ends by age in the next update
    b.width = b.height = 32;
    b.x = x;
    b.y = y;
    b.damageMin = b.damageMax = 10;
    b.energyDamageMin = b.energyDamageMax = 100;
    b.style = 1;
    return b;
  }

  float camW = 2048, camH = 1536;
  GlWrapper utility;
  World level;
  std::vector<std::string> log;
  EnemyManager table;
  ExplosionManager booms;
  SpaceShip player;
  AiPlayer bot;
};

// A hosted game in mode 1 runs the frame's computer players without their
// set-up; that crashed the host.
TEST_F(Bots, OneNeverSetUpSitsTheFrameOut) {
  AiPlayer idle;
  idle.UpdateMe(player);
  EXPECT_EQ(idle.row, -1);
}

TEST_F(Bots, BacksOffWithin600AndChasesBeyond) {
  Put(player, 5600, 5000);
  bot.UpdateMe(player);
  EXPECT_TRUE(bot.keys[kDown]);
  EXPECT_FALSE(bot.keys[kUp]);

  PlaceBot(5000, 5000, 0);
  Put(player, 5600.01f, 5000);
  bot.UpdateMe(player);
  EXPECT_TRUE(bot.keys[kUp]);
  EXPECT_FALSE(bot.keys[kDown]);
}

TEST_F(Bots, TargetIsTheNearestEnemyAndFallsBackToTheLocalShipPosition) {
  // The local ship above-right of a bot heading up: dead, or a team mate.
  Put(player, 5300, 4900);
  for (int variant = 0; variant < 2; variant++) {
    player.alive = variant == 1;
    player.team = variant == 1 ? bot.team : 0;
    PlaceBot(5000, 5000, 90);
    bot.UpdateMe(player);
    EXPECT_TRUE(bot.keys[kUp]) << "nothing qualifies: full thrust although 316 away";
    EXPECT_TRUE(bot.keys[kRight]) << "but it steers towards the local ship";
    EXPECT_FALSE(bot.keys[kLeft]);
  }
  // An enemy row to the left wins; a nearer team mate row is ignored.
  AddRow(1, 5, 2000, 5000);
  AddRow(2, bot.team, 5100, 5000);
  PlaceBot(5000, 5000, 90);
  bot.UpdateMe(player);
  EXPECT_TRUE(bot.keys[kUp]);
  EXPECT_TRUE(bot.keys[kLeft]);
  EXPECT_FALSE(bot.keys[kRight]);
}

TEST_F(Bots, WeaponClassFollowsTheDistanceToTheLocalShip) {
  // Slot categories 0, 1, 2, 4 give each range class its own key pattern.
  const int categories[4] = {0, 1, 2, 4};
  AddRow(1, 5, 5000, 5100);  // an enemy row right next to the bot is the target
  struct Case {
    float distance;
    bool pressed[4];
  };
  const Case cases[] = {{349, {false, false, true, false}}, {350, {false, true, false, true}},
                        {999, {false, true, false, true}},  {1000, {true, false, false, true}},
                        {4999, {true, false, false, true}}, {5000, {true, false, false, false}}};
  for (const Case& c : cases) {
    for (int s = 0; s < 4; s++) bot.weapons[s].category = categories[s];
    PlaceBot(5000, 5000, 0);
    Put(player, 5000 - c.distance, 5000);
    bot.UpdateMe(player);
    for (int s = 0; s < 4; s++)
      EXPECT_EQ(bot.keys[kFire[s]], c.pressed[s]) << "distance " << c.distance << " slot " << s;
  }
}

TEST_F(Bots, HeadingUsesTheManhattanNormAndTurnsAsTheReflexDoes) {
  EXPECT_FLOAT_EQ(HeadingTowards(0, 0, 100, 0, 7), 0);
  EXPECT_FLOAT_EQ(HeadingTowards(0, 0, 0, -100, 7), 90);
  EXPECT_FLOAT_EQ(HeadingTowards(0, 0, -100, 0, 7), 180);
  EXPECT_FLOAT_EQ(HeadingTowards(0, 0, 0, 100, 7), 270);
  EXPECT_NEAR(HeadingTowards(0, 0, 100, -100, 7), 60, 1e-3);
  EXPECT_FLOAT_EQ(HeadingTowards(5, 5, 5, 5, 7), 7) << "target on the spot";

  // dy chosen so that theta is 10 (target above-right) or 350 (below-right).
  const float dy = 1000 / std::cos(10 * 3.14159265f / 180) - 1000;
  Put(player, 6000, 5000 - dy);
  PlaceBot(5000, 5000, 350);
  bot.UpdateMe(player);
  EXPECT_TRUE(bot.keys[kRight]) << "350 -> 10 turns right, the long way";
  EXPECT_FALSE(bot.keys[kLeft]);
  EXPECT_FLOAT_EQ(bot.angle, 346);

  Put(player, 6000, 5000 + dy);
  PlaceBot(5000, 5000, 10);
  bot.UpdateMe(player);
  EXPECT_TRUE(bot.keys[kRight]) << "10 -> 350 turns right, the short way";
  EXPECT_FLOAT_EQ(bot.angle, 6);

  // The local ship exactly on the bot: no heading, no NaN.
  Put(player, 5000, 5000);
  PlaceBot(5000, 5000, 33);
  bot.UpdateMe(player);
  EXPECT_FALSE(bot.keys[kLeft] || bot.keys[kRight]);
  EXPECT_FLOAT_EQ(bot.angle, 33);
  EXPECT_TRUE(std::isfinite(bot.x) && std::isfinite(bot.y));
}

TEST_F(Bots, AProjectileEndingByAgeInsideABoxStillHitsAndExplodes) {
  const int enemy = AddRow(1, 5, 3000, 3000);
  const int mate = AddRow(2, bot.team, 3050, 3000);
  AiPlayer::Bullet b = Shot(3000, 3000);
  b.blast = 1;
  bot.bullets = {b};
  bot.UpdateBullets(player);
  EXPECT_FALSE(bot.bullets[0].active);
  EXPECT_FLOAT_EQ(table.players[enemy].aiHullDamage, 10);
  EXPECT_FLOAT_EQ(table.players[enemy].aiEnergyDamage, 100);
  EXPECT_EQ(table.players[enemy].lastHitter, bot.row);
  EXPECT_FLOAT_EQ(table.players[mate].aiHullDamage, 0) << "team mates are spared";
  ASSERT_EQ(booms.list.size(), 1u);
  EXPECT_FLOAT_EQ(booms.list[0].width, 512);
  EXPECT_EQ(booms.list[0].loopSlot, 2);
  EXPECT_EQ(booms.list[0].frames, 30);

  // An own blast hurts team mates and the shooter's own row.
  b.blast = 0;
  b.hurtsOwner = true;
  table.UpdatePlayer(bot.row, 3000, 3000, 0, 0, false, 0, 0, 0);
  bot.bullets = {b};
  bot.UpdateBullets(player);
  EXPECT_FLOAT_EQ(table.players[mate].aiHullDamage, 10);
  EXPECT_FLOAT_EQ(table.players[bot.row].aiHullDamage, 10);

  // The local ship: damage, attacker and the freeze of behaviour 3.
  b = Shot(player.x + 60, player.y);
  b.behaviour = 3;
  bot.bullets = {b};
  bot.UpdateBullets(player);
  float e = 0, h = 0;
  table.MyDamage(e, h);
  EXPECT_FLOAT_EQ(e, 100);
  EXPECT_FLOAT_EQ(h, 10);
  EXPECT_EQ(table.lastAttacker, bot.row);
  EXPECT_EQ(table.GetFrozenFrames(), 50);
}

// The lives at which a networked computer player told the other copies of a
// projectile's course.
struct HeardCourses : AiPlayer::Voice {
  std::vector<int> lives;
  void Fired(const AiPlayer::Bullet&) override {}
  void Steered(const AiPlayer::Bullet& b) override { lives.push_back(b.lifeLeft); }
  void Ended(const AiPlayer::Bullet&) override {}
  void Hurt(int, float, float) override {}
  void Froze(int, int) override {}
  void Died(int) override {}
};

AiPlayer::Bullet Launched(int weapon) {
  Weapon w;
  w.MakeMeWeapon(weapon);
  AiPlayer::Bullet b;
  b.Launch(w.shots[0], 5000, 5000, 0, 0, 0);
  b.direction = 0;
  return b;
}

// Computer players carry the Reflex bomb and the weaving rockets too: the
// bomb turns back as the player's does, and the other copies, which only
// turn by the turn rate, hear of each turn-back and weaving flip.
TEST_F(Bots, ReflexBombsTurnBackAndUnforeseenTurnsAreTold) {
  HeardCourses heard;
  bot.voice = &heard;
  bot.bullets = {Launched(17)};  // life 200, speed 55
  for (int i = 0; i < 100; ++i) bot.UpdateBullets(player);
  EXPECT_EQ(bot.bullets[0].direction, 180);
  for (int i = 0; i < 98; ++i) bot.UpdateBullets(player);
  EXPECT_NEAR(bot.bullets[0].x, 5000, 56);  // back where it started
  EXPECT_THAT(heard.lives, ::testing::Contains(100));

  heard.lives.clear();
  bot.bullets = {Launched(6)};  // flips at lives 980, 960, ...
  for (int i = 0; i < 20; ++i) bot.UpdateBullets(player);
  EXPECT_THAT(heard.lives, ::testing::ElementsAre(990, 980));
}

TEST_F(Bots, ClusterProjectilesBurstAndLiveProjectilesAreMirrored) {
  AiPlayer::Bullet b = Shot(8000, 8000);
  b.burst = 2;
  bot.bullets = {b};
  bot.UpdateBullets(player);
  int fragments = 0;
  for (const AiPlayer::Bullet& f : bot.bullets) {
    if (!f.active) continue;
    fragments++;
    EXPECT_EQ(f.behaviour, 6);
    EXPECT_GE(f.lifeLeft, 26);
    EXPECT_LE(f.lifeLeft, 51);
    EXPECT_FLOAT_EQ(f.x, 8000);
  }
  EXPECT_EQ(fragments, 40);

  PlaceBot(15000, 15000, 0);
  bot.UpdateMe(player);
  int active = 0;
  for (const AiPlayer::Bullet& f : bot.bullets) active += f.active;
  const auto& row = table.players[bot.row];
  EXPECT_EQ((int)row.bullets.size(), active);
  for (const auto& copy : row.bullets) {
    EXPECT_EQ(copy.speed, 0) << "the row's copies carry no motion";
    EXPECT_EQ(copy.vx, 0);
  }
}

TEST_F(Bots, EachDeathIsCreditedExactlyOnce) {
  const int rival = AddRow(1, 5, 15000, 15000);
  table.players[rival].name = "Devastator";
  table.players[bot.row].name = "ScrapHeap";
  bot.UpdateMe(player);  // first frame: in play
  ASSERT_TRUE(bot.alive);

  int credited = 0;
  std::vector<int> killed;
  bot.energy = 0;
  table.DamagePlayer(bot.row, 0, 100000);  // the local player's shot
  for (int frame = 0; frame < 5; frame++) {
    bot.UpdateMe(player);
    credited += table.GetKills(killed);
    if (frame == 0) {
      EXPECT_FALSE(bot.alive) << "respawned, not in play this frame";
      EXPECT_EQ(killed, std::vector<int>{bot.row});
    }
    table.MainLoop(99);
  }
  EXPECT_EQ(credited, 1);
  EXPECT_TRUE(bot.alive);
  EXPECT_EQ(bot.hp, bot.maxHp);

  bot.energy = 0;
  table.AiDamagePlayer(bot.row, 0, 100000, rival, 0);
  for (int frame = 0; frame < 3; frame++) {
    bot.UpdateMe(player);
    table.MainLoop(99);
  }
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("Devastator"), std::string::npos);
  EXPECT_NE(log[0].find("ScrapHeap"), std::string::npos);
}

TEST_F(Bots, SixComputerPlayersInOneTableHaveSixDifferentNames) {
  const std::vector<std::string> pool = {"PNX100-313", "Devastator", "Rusted Metal",
                                         "ScrapHeap",  "BlueScreen", "Illegal Operator"};
  for (int seed : {1, 2, 3}) {
    EnemyManager fresh;
    fresh.InitMe(&utility, EnemyManager::AppendTo(log), nullptr, nullptr, nullptr);
    GameSeed(seed);
    AiPlayer six[6];
    std::vector<std::string> names;
    for (int i = 0; i < 6; i++) {
      six[i].InitMe(&camW, &camH, &fresh, &level, &booms, &utility, i + 2);
      names.push_back(fresh.GetName(six[i].row));
      EXPECT_NE(std::find(pool.begin(), pool.end(), names.back()), pool.end()) << names.back();
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end()) << "seed " << seed;
  }
}

TEST_F(Bots, AFullTableOrARenumberedOneDoesNotLoseTheBot) {
  const int before = AddRow(1, 5, 100, 100);
  AiPlayer late;
  late.InitMe(&camW, &camH, &table, &level, &booms, &utility, 3);
  const int lateRow = late.row;
  table.RemoveEnemy(before);
  late.UpdateMe(player);
  EXPECT_EQ(late.row, lateRow - 1) << "follows its row by identity";
  EXPECT_FLOAT_EQ(table.players[late.row].x, late.x);

  while (table.AddPlayer(64, 64, 0, 77, "x", false, 1, 1) >= 0) {
  }
  AiPlayer extra;
  extra.InitMe(&camW, &camH, &table, &level, &booms, &utility, 4);
  EXPECT_EQ(extra.row, -1);
  extra.SetUpShip(25, 400, 6000, 15, 128, 128, 20);
  extra.MakeMeSimpleShip();
  for (int frame = 0; frame < 50; frame++) extra.UpdateMe(player);
  EXPECT_EQ(table.players.size(), (size_t)EnemyManager::kMaxPlayers);
  EXPECT_TRUE(std::isfinite(extra.x));
}

// Six computer players and an idle local ship in the real arena, seeded:
// positions stay finite, nobody ends a frame inside a wall, the table keeps
// its six rows, and every kill among them is announced once.
TEST(BotSoak, SixComputerPlayersFight20000Frames) {
  GlWrapper utility;
  World level;
  level.InitMe(&utility);
  level.BuildDefaultMap();
  GameSeed(20240611);
  std::vector<std::string> log;
  float camW = 2048, camH = 1536;
  EnemyManager table;
  table.InitMe(&utility, EnemyManager::AppendTo(log), nullptr, nullptr, nullptr);
  ExplosionManager booms;
  booms.InitMe(nullptr);
  SpaceShip player;
  player.x = player.y = 10400;
  player.alive = true;
  player.team = 0;
  AiPlayer bots[6];
  for (int i = 0; i < 6; i++) {
    bots[i].InitMe(&camW, &camH, &table, &level, &booms, &utility, i + 2);
    bots[i].SetUpShip(25, 400, 6000, 15, 256, 256, 20);
    bots[i].MakeMeSimpleShip();
  }

  int deathsByBots = 0, hitsOnPlayer = 0;
  for (int frame = 0; frame < 20000; frame++) {
    table.MainLoop(1);
    for (AiPlayer& b : bots) {
      const bool wasAlive = b.alive;
      const int hitter = table.GetAiPlayerHit(b.row);
      b.UpdateMe(player);
      if (wasAlive && !b.alive && hitter >= 0) deathsByBots++;
      ASSERT_TRUE(std::isfinite(b.x) && std::isfinite(b.y)) << "frame " << frame;
      ASSERT_FALSE(level.CollisionObjects(b.x - b.width / 2, b.y - b.height / 2, b.width, b.height))
          << "inside a wall at frame " << frame;
    }
    float e = 0, h = 0;
    table.MyDamage(e, h);
    hitsOnPlayer += (e + h) > 0;
    ASSERT_EQ(table.players.size(), 6u);
    booms.Clear();  // explosions age only when drawn
  }
  EXPECT_GT(deathsByBots, 0);
  EXPECT_EQ((int)log.size(), deathsByBots) << "one text per kill among them";
  EXPECT_GT(hitsOnPlayer, 0);
  std::vector<int> none;
  EXPECT_EQ(table.GetKills(none), 0) << "the idle player scores nothing";
}

}  // namespace
