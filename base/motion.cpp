#include "base/motion.h"

#include <cmath>

#include "base/angle.h"

bool SteerShip(float& angle, float& vx, float& vy, const ShipControls& keys,
               const ShipRules& rules) {
  if (keys.right) {
    angle -= 4;
    if (rules.wrap && angle < 0) angle += 360;
  }
  if (keys.left) {
    angle += 4;
    if (rules.wrap && angle > 360) angle -= 360;
  }
  const float a = angle * kDegToRad;
  const float c = std::cos(a), s = std::sin(a);
  if (keys.up) {
    const int pushes = rules.boost ? 2 : 1;
    for (int i = 0; i < pushes; ++i) {
      vx += 0.5f * c;
      vy -= 0.5f * s;
    }
  }
  if (keys.down) {
    vx -= c / 3;
    vy += s / 3;
  }
  // No drag below the limit: a ship keeps drifting.
  const bool over = std::fabs(vx) + std::fabs(vy) > rules.limit;
  if (!rules.drag || !over) return false;
  if (vx != 0) vx -= vx / 40;
  if (vy != 0) vy -= vy / 40;
  return true;
}

ProjectileStep MoveProjectile(float& x, float& y, float& direction, float& driftX, float& driftY,
                              float speed, const ProjectileRules& rules) {
  if (rules.wrap) {
    if (direction > 360) direction -= 360;
    if (direction < 0) direction += 360;
  }
  const float a = direction * kDegToRad;
  const float c = std::cos(a), s = std::sin(a);
  if (rules.accelerate) {
    driftX += c * rules.acceleration;
    driftY += s * rules.acceleration;
  }
  const ProjectileStep step{c * speed + driftX, s * speed + driftY};
  x += step.x;
  y -= step.y;
  return step;
}
