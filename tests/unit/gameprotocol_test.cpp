// The latency correction's motion rules, checked against values worked out
// by hand: turning, reverse thrust, the drag above the speed limit, and a
// turning, accelerating projectile.
#include "net/gameprotocol.h"

#include <gtest/gtest.h>

namespace {

TEST(ExtrapolationTest, ShipsTurnThrustAndSlowDownAboveTheirLimit) {
  ShipMotion s;
  s.vx = 30, s.vy = -10;  // |vx| + |vy| = 40 above a limit of 20
  ExtrapolateShip(s, 1, 20, true);
  EXPECT_FLOAT_EQ(s.vx, 29.25f);
  EXPECT_FLOAT_EQ(s.vy, -9.75f);
  EXPECT_FLOAT_EQ(s.x, 29.25f);
  EXPECT_FLOAT_EQ(s.y, -9.75f);

  ShipMotion free = {0, 0, 0, 30, -10};
  ExtrapolateShip(free, 2, 0, false);  // no known limit: no drag
  EXPECT_FLOAT_EQ(free.vx, 30);
  EXPECT_FLOAT_EQ(free.x, 60);

  // Turning left to 90 degrees (screen up), then thrust: y speed -0.5.
  ShipMotion up;
  up.angle = 86, up.leftHeld = true, up.upHeld = true;
  ExtrapolateShip(up, 1, 100, true);
  EXPECT_FLOAT_EQ(up.angle, 90);
  EXPECT_NEAR(up.vx, 0, 1e-6);
  EXPECT_FLOAT_EQ(up.vy, -0.5f);

  ShipMotion back;
  back.angle = 4, back.rightHeld = true, back.downHeld = true;
  ExtrapolateShip(back, 1, 100, true);
  EXPECT_FLOAT_EQ(back.angle, 0);
  EXPECT_FLOAT_EQ(back.vx, -1.0f / 3);
  EXPECT_FLOAT_EQ(back.x, -1.0f / 3);

  ShipMotion still = {5, 6, 7, 8, 9, true, true, true, true};
  ExtrapolateShip(still, 0, 20, true);
  EXPECT_EQ(still.x, 5) << "no latency, no change";
  EXPECT_EQ(still.angle, 7);
}

TEST(ExtrapolationTest, ProjectilesTurnMoveAndThenAccelerate) {
  ProjectileMotion p;
  p.turnRate = 90;
  ExtrapolateProjectile(p, 2, 10, 1);
  // Frame 1 heads 90 (up): y -10, then the drift grows up by 1.
  // Frame 2 heads 180 (left): x -10, y -1 by the drift, which grows left.
  EXPECT_FLOAT_EQ(p.direction, 180);
  EXPECT_NEAR(p.x, -10, 1e-4);
  EXPECT_NEAR(p.y, -11, 1e-4);
  EXPECT_NEAR(p.driftX, -1, 1e-6);
  EXPECT_NEAR(p.driftY, 1, 1e-6);

  ProjectileMotion plain;
  plain.driftX = 2;
  ExtrapolateProjectile(plain, 3, 10, 0);
  EXPECT_FLOAT_EQ(plain.x, 36);
  EXPECT_FLOAT_EQ(plain.driftX, 2) << "without acceleration the drift stays";
}

}  // namespace
