// The owner's frame of one of its own projectiles. The local player
// (BulletManager) and the computer players (AiPlayer) both fly their
// projectiles through FlyOwnProjectile, so that a weapon behaves the same
// whoever carries it. What differs between the owners stays with them: whom a
// homing projectile may chase (HomingTargets), smoke trails and flashes, whom
// a projectile hits, its end, and how the other peers are told.
#pragma once

#include "sim/projectile.h"

class World;

// What the copies on the other peers cannot foresee: they only turn by the
// turn rate and move (base/motion.h), so the owner tells them.
struct FlightNews {
  bool flipped = false;  // a weaving projectile's turn changed sign
  // Position and course are due: after a flip, a Reflex turn-back, a homing
  // turn or a wall bounce, and every 30 frames of life whatever happened.
  bool tell = false;
};

// The ships one owner's homing projectiles may steer towards.
class HomingTargets {
 public:
  struct Target {
    float x = 0, y = 0;
    float distance = 1000000;  // beyond any homing range: no target
  };
  // The nearest target to (x, y); ties go as the owner decides.
  virtual Target Nearest(float x, float y) const = 0;

 protected:
  ~HomingTargets() = default;
};

// One frame: ageing (which may flip a weaving turn), the Reflex turn-back
// when 100 frames of life are left, the turn rate, the homing turn, the move,
// and on a wall contact the bounce. Nothing here draws a random number, and
// the arithmetic keeps the order that the seeded fights replay.
FlightNews FlyOwnProjectile(Projectile& p, World& world, const HomingTargets& targets);
