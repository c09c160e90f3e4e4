#include "sim/projectileframe.h"

#include "world/world.h"

namespace {

constexpr int kReflexLife = 100;       // a Reflex projectile turns back at this life left
constexpr int kCorrectionFrames = 30;  // the copies get position and course this often

void Home(Projectile& p, const HomingTargets& targets) {
  const HomingTargets::Target t = targets.Nearest(p.x, p.y);
  if (t.distance < Projectile::kHomingRange) p.TurnTowards(t.x, t.y);
}

}  // namespace

FlightNews FlyOwnProjectile(Projectile& p, World& world, const HomingTargets& targets) {
  FlightNews news;
  news.flipped = p.Age();
  news.tell = news.flipped || p.lifeLeft % kCorrectionFrames == 0;
  if (p.behaviour == behaviour::Reflex && p.lifeLeft == kReflexLife) {
    p.direction -= 180;
    news.tell = true;
  }
  p.direction += p.turnRate;
  if (p.behaviour == behaviour::Homing) {
    Home(p, targets);
    news.tell = true;
  }
  // The bounce starts from the spot the projectile left, restored as it was:
  // in floating point, taking the step back off does not always land there.
  const float fromX = p.x, fromY = p.y;
  p.Move();
  if (p.InWall(world)) {
    p.x = fromX;
    p.y = fromY;
    p.Bounce(world);
    news.tell = true;
  }
  return news;
}
