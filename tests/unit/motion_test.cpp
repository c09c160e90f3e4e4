// The flight rules every copy moves by, through the latency correction:
// turning, reverse thrust and the drag above the speed limit against values
// worked out by hand, and a prediction against the owner's own flight.
#include <gtest/gtest.h>

#include "protocol/gameprotocol.h"
#include "sim/projectile.h"

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

// The latency correction predicts where the owner's copy has the projectile
// n frames later: the same numbers, not nearly the same.
TEST(ExtrapolationTest, APredictedProjectileIsWhereItsOwnerHasIt) {
  Projectile owner;
  owner.x = 100, owner.y = 200, owner.direction = 20, owner.turnRate = 7;
  owner.speed = 10, owner.acceleration = 0.5f, owner.accelFrames = 30;
  owner.driftX = 1.5f, owner.driftY = -2;
  ProjectileMotion predicted{owner.x,        owner.y,      owner.direction,
                             owner.turnRate, owner.driftX, owner.driftY};
  ExtrapolateProjectile(predicted, 12, owner.speed, owner.acceleration);
  for (int frame = 0; frame < 12; ++frame) {
    owner.direction += owner.turnRate;
    owner.Move();
  }
  EXPECT_EQ(predicted.direction, owner.direction);
  EXPECT_EQ(predicted.x, owner.x);
  EXPECT_EQ(predicted.y, owner.y);
  EXPECT_EQ(predicted.driftX, owner.driftX);
  EXPECT_EQ(predicted.driftY, owner.driftY);
}

}  // namespace
