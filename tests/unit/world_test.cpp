#include "world/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "render/glwrapper.h"

namespace {

World BuiltArena() {
  World level;
  level.BuildDefaultMap();
  return level;
}

TEST(World, EmptyLevelTouchesNothing) {
  World level;
  EXPECT_FALSE(level.CollisionObjects(0, 0, 100000, 100000));
  EXPECT_FALSE(level.CollisionObjects(-5, -5, 0, 0));
}

TEST(World, AddObjectTakesHeightBeforeWidth) {
  World level;
  level.AddObject(10, 20, 30, 40, 7);  // x, y, height, width
  ASSERT_EQ(level.objects.size(), 1u);
  EXPECT_EQ(level.objects[0].width, 40);
  EXPECT_EQ(level.objects[0].height, 30);
  EXPECT_EQ(level.objects[0].texture, 7);
  level.AddBackGroundObject(1, 2, 3, 4, 45, 9);
  level.AddBackGroundObject2(1, 2, 5, 6, 15, 8);
  EXPECT_EQ(level.backgroundObjects[0].width, 4);
  EXPECT_EQ(level.backgroundObjects[0].rotation, 45);
  EXPECT_EQ(level.backgroundObjects2[0].height, 5);
  EXPECT_EQ(level.backgroundObjects2[0].texture, 8);
  // The wall spans x 10..50 and y 20..50.
  EXPECT_TRUE(level.CollisionObjects(45, 45, 1, 1));
  EXPECT_FALSE(level.CollisionObjects(45, 55, 1, 1));
}

TEST(World, ContactIncludesEdgesButNotAPlusSignCrossing) {
  World level;
  level.AddObject(1000, 1000, 100, 100, 46);
  EXPECT_TRUE(level.CollisionObjects(1020, 1020, 10, 10));  // wholly inside
  EXPECT_TRUE(level.CollisionObjects(900, 900, 100, 100));  // shares one corner
  EXPECT_TRUE(level.CollisionObjects(1100, 1040, 50, 10));  // shares an edge
  EXPECT_FALSE(level.CollisionObjects(1100.01f, 1040, 50, 10));
  // A box that swallows the wall touches it.
  EXPECT_TRUE(level.CollisionObjects(0, 0, 5000, 5000));
  // Neither holds a corner of the other: no contact, as RectRect decides.
  EXPECT_FALSE(level.CollisionObjects(950, 1040, 200, 10));
  // Zero-sized probes are legal: a vertical line with an end inside.
  EXPECT_TRUE(level.CollisionObjects(1050, 900, 0, 150));
  EXPECT_FALSE(level.CollisionObjects(1050, 900, 0, 99));
}

TEST(World, ArenaWallsCloseThePlayingField) {
  World level = BuiltArena();
  ASSERT_EQ(level.objects.size(), 88u);  // 80 border segments, 4 bars, 4 corners
  std::set<int> textures;
  for (const World::Object& o : level.objects) textures.insert(o.texture);
  EXPECT_EQ(textures, (std::set<int>{46, 47, 48}));

  // Every border point is covered: probe the four walls every 64 units.
  for (float p = 0; p <= 20736; p += 64) {
    EXPECT_TRUE(level.CollisionObjects(p, 64, 0, 0)) << "top " << p;
    EXPECT_TRUE(level.CollisionObjects(p, 20672, 0, 0)) << "bottom " << p;
    EXPECT_TRUE(level.CollisionObjects(64, p, 0, 0)) << "left " << p;
    EXPECT_TRUE(level.CollisionObjects(20672, p, 0, 0)) << "right " << p;
  }
  // The field is 128..20608: a box one unit inside each wall is free.
  EXPECT_FALSE(level.CollisionObjects(129, 10000, 100, 100));
  EXPECT_FALSE(level.CollisionObjects(20507, 10000, 100, 100));
  EXPECT_FALSE(level.CollisionObjects(10000, 129, 100, 100));
  EXPECT_FALSE(level.CollisionObjects(10000, 20507, 100, 100));
  EXPECT_TRUE(level.CollisionObjects(28, 10000, 100, 100));  // reaches x = 128

  // The inner bars: horizontal at y 800 and 7864 over x 3744..4768,
  // vertical at x 800 and 7864 over y 3744..4768.
  EXPECT_TRUE(level.CollisionObjects(4200, 850, 10, 10));
  EXPECT_TRUE(level.CollisionObjects(4200, 7900, 10, 10));
  EXPECT_TRUE(level.CollisionObjects(850, 4200, 10, 10));
  EXPECT_TRUE(level.CollisionObjects(7900, 4200, 10, 10));
  EXPECT_FALSE(level.CollisionObjects(4200, 935, 10, 10));
  EXPECT_FALSE(level.CollisionObjects(4780, 850, 10, 10));
  EXPECT_FALSE(level.CollisionObjects(12000, 12000, 128, 128));  // lower-right quarter is open
}

TEST(World, StartPositionIsFree) {
  World level = BuiltArena();
  EXPECT_FALSE(level.CollisionObjects(600 - 64, 600 - 64, 128, 128));
}

TEST(World, DecorationLayoutIsFixedByItsSeed) {
  World level = BuiltArena();
  ASSERT_EQ(level.backgroundObjects.size(), 80u);
  for (const World::BackGroundObject& d : level.backgroundObjects) {
    EXPECT_EQ(d.width, d.height);
    EXPECT_GE(d.width, 512);
    EXPECT_LE(d.width, 1024);
    EXPECT_GE(d.x, 1000);
    EXPECT_LE(d.x, 7000);
    EXPECT_GE(d.y, 1000);
    EXPECT_LE(d.y, 7000);
    EXPECT_GE(d.texture, 49);
    EXPECT_LE(d.texture, 54);
    EXPECT_GE(d.rotation, 0);
    EXPECT_LE(d.rotation, 360);
  }
  // Seed 23583, draws per decoration: size, kind, rotation, y, then x.
  const World::BackGroundObject& first = level.backgroundObjects.front();
  EXPECT_FLOAT_EQ(first.x, 4771.9043f);
  EXPECT_FLOAT_EQ(first.y, 3076.4795f);
  EXPECT_FLOAT_EQ(first.width, 691.91174f);
  EXPECT_FLOAT_EQ(first.rotation, 151.80273f);
  EXPECT_EQ(first.texture, 53);
  const World::BackGroundObject& last = level.backgroundObjects.back();
  EXPECT_FLOAT_EQ(last.x, 3615.3752f);
  EXPECT_FLOAT_EQ(last.y, 6672.0483f);
  EXPECT_EQ(last.texture, 53);

  ASSERT_EQ(level.backgroundObjects2.size(), 3u);
  const World::BackGroundObject& third = level.backgroundObjects2[2];
  EXPECT_EQ(third.x, 17000);
  EXPECT_EQ(third.y, 5000);
  EXPECT_EQ(third.width, 2048);
  EXPECT_EQ(third.rotation, 15);
  EXPECT_EQ(third.texture, 57);
  EXPECT_EQ(level.backgroundObjects2[0].width, 2048);
  EXPECT_EQ(level.backgroundObjects2[0].height, 1024);

  // A second build gives the same picture, whatever the random source held.
  GameSeed(99);
  World again = BuiltArena();
  EXPECT_EQ(again.backgroundObjects.back().x, last.x);
}

TEST(World, RandomSourceIsReseededAfterTheDecoration) {
  GameSeed(23583);
  for (int i = 0; i < 400; ++i) GameRand();  // what the 80 decorations draw
  int continued[4];
  for (int& v : continued) v = GameRand();
  World level = BuiltArena();
  int after[4];
  for (int& v : after) v = GameRand();
  EXPECT_FALSE(std::equal(std::begin(after), std::end(after), std::begin(continued)));
}

// The broad phase must give exactly the answer of testing every wall.
TEST(World, BroadPhaseAgreesWithTestingEveryWall) {
  World level = BuiltArena();
  level.AddObject(-3000, 30000, 500, 40000, 46);  // partly outside any grid
  level.AddObject(5000, 5000, -300, -200, 46);    // negative extents
  GlWrapper rect;
  GameSeed(7);
  int hits = 0;
  for (int i = 0; i < 200000; ++i) {
    float x = rect.RangedRandom(-4000, 40000), y = rect.RangedRandom(-4000, 40000);
    float w = rect.RangedRandom(0, 1) < 0.2f ? 0 : rect.RangedRandom(0, 2500);
    float h = rect.RangedRandom(0, 1) < 0.2f ? 0 : rect.RangedRandom(-100, 2500);
    bool expected = false;
    for (const World::Object& o : level.objects)
      expected = expected || rect.RectRect(x, y, h, w, o.x, o.y, o.height, o.width);
    ASSERT_EQ(level.CollisionObjects(x, y, w, h), expected)
        << x << "," << y << " " << w << "x" << h;
    hits += expected;
  }
  EXPECT_GT(hits, 1000);
  // Walls pushed straight into the list are seen too.
  level.objects.push_back({20000, 20000, 10, 10, 46});
  EXPECT_TRUE(level.CollisionObjects(20005, 20005, 1, 1));
}

}  // namespace
