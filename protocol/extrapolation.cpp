#include "protocol/extrapolation.h"

#include "base/motion.h"

void ExtrapolateShip(ShipMotion& s, int frames, float limit, bool drag) {
  ShipRules rules;
  rules.limit = limit;
  rules.drag = drag;
  for (int i = 0; i < frames; ++i) {
    SteerShip(s.angle, s.vx, s.vy, {s.leftHeld, s.rightHeld, s.upHeld, s.downHeld}, rules);
    s.x += s.vx;
    s.y += s.vy;
  }
}

void ExtrapolateProjectile(ProjectileMotion& p, int frames, float speed, float acceleration) {
  for (int i = 0; i < frames; ++i) {
    p.direction += p.turnRate;
    MoveProjectile(p.x, p.y, p.direction, p.driftX, p.driftY, speed,
                   {false, acceleration > 0, acceleration});
  }
}
