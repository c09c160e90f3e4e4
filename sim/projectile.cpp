#include "sim/projectile.h"

#include <cmath>
#include <cstddef>

#include "base/angle.h"
#include "base/gameutilities.h"
#include "base/heading.h"
#include "base/timing.h"
#include "sim/explosionmanager.h"
#include "world/world.h"

// Moving a crowd touches one cache line of each projectile only while what a
// frame reads stays in the first.
static_assert(offsetof(Projectile, height) + sizeof(float) <= 64);

namespace {

constexpr float kHomingTurn = 16;

// By blast kind 1..5; kind 0 is no blast.
constexpr Projectile::Blast kBlasts[6] = {{0, 0},
                                          {512, 0.020751953125f},
                                          {256, 0.062255859375f},
                                          {1024, 0.0062255859375f},
                                          {64, 0.2075195163f},
                                          {2048, 0.2075195163f}};

}  // namespace

void Projectile::Launch(const Weapon::Shot& t, float shipX, float shipY, float heading, float vx,
                        float vy) {
  texture = t.texture;
  bounces = t.bounces;
  lifetime = lifeLeft = t.lifetime;
  bouncesLeft = t.maxBounces;
  speed = t.speed;
  turnRate = t.turnRate;
  behaviour = t.behaviour;
  acceleration = t.acceleration;
  accelFrames = kAccelerationFrames;
  blast = t.blast;
  style = t.style;
  burst = t.burst;
  hurtsOwner = t.hurtsOwner;
  width = t.width;
  height = t.height;
  const float m = (heading + t.mountAngle) * kDegToRad;
  x = shipX + std::cos(m) * t.mountDistance;
  y = shipY - std::sin(m) * t.mountDistance;
  // The ship's velocity, with y turned upwards like the directions.
  driftX = vx * t.inherit;
  driftY = -vy * t.inherit;
  damageMin = t.damageMin;
  damageMax = t.damageMax;
  energyDamageMin = t.energyDamageMin;
  energyDamageMax = t.energyDamageMax;
  active = true;
}

void Projectile::GrowWithCharge(int chargeCount) {
  const float charge = static_cast<float>(chargeCount);
  width *= charge / 5;
  height *= charge / 5;
  damageMin *= charge;
  damageMax *= charge;
  energyDamageMin *= charge;
  energyDamageMax *= charge;
}

void Projectile::Scatter(GameUtilities& random) {
  if (behaviour != behaviour::Shrapnel) return;
  const float s = random.RangedRandom(-25, 25);
  const float r = random.RangedRandom(0, 360) * kDegToRad;
  driftX = std::cos(r) * s;
  driftY = std::sin(r) * s;
  lifetime = lifeLeft =
      static_cast<int>(random.RangedRandom(kFragmentLifeMin, kFragmentLifeMax + 1));
}

bool Projectile::Age() {
  lifeLeft -= 1;
  if (lifeLeft < 1) active = false;
  const bool flips = behaviour == behaviour::Weaving && lifeLeft % 20 == 0;
  if (flips) turnRate = -turnRate;
  return flips;
}

void Projectile::TurnTowards(float tx, float ty) {
  const float bearing = HeadingTowards(x, y, tx, ty, direction);
  if (direction < bearing)
    direction += kHomingTurn;
  else if (direction > bearing)
    direction -= kHomingTurn;
}

Projectile::Step Projectile::Move() {
  const bool accelerating = accelFrames > 0;
  if (accelerating) accelFrames -= 1;
  return MoveProjectile(x, y, direction, driftX, driftY, speed,
                        {/*wrap=*/true, accelerating, acceleration});
}

bool Projectile::InWall(World& world) const {
  return behaviour != behaviour::PassesWalls &&
         world.CollisionObjects(x - width / 2, y - height / 2, width, height);
}

void Projectile::Bounce(World& world) {
  if (!bounces) active = false;
  bouncesLeft -= 1;
  if (bouncesLeft < 1) active = false;
  const bool vertical = world.CollisionObjects(x - width / 2, y - height / 2 - speed - 1 - driftY,
                                               0, 2 * height + speed + driftY);
  const bool horizontal = world.CollisionObjects(x - driftX - width / 2 - speed - 1, y - height / 2,
                                                 2 * width + speed + driftX, 0);
  const bool neither = !vertical && !horizontal;
  if (horizontal || neither) {
    direction = 180 - direction;
    driftX *= -0.5f;
  }
  if (vertical || neither) {
    direction = 360 - direction;
    driftY *= -0.5f;
  }
}

Projectile::Damage Projectile::RollDamage(GameUtilities& random) const {
  Damage d;
  d.hull = random.RangedRandom(damageMin, damageMax);
  d.energy = random.RangedRandom(energyDamageMin, energyDamageMax);
  return d;
}

const Projectile::Blast* Projectile::Explode(ExplosionManager* explosions) const {
  if (blast < 1 || blast > 5) return nullptr;
  const Blast& k = kBlasts[blast];
  if (explosions) explosions->AddExplosion(x, y, k.size, k.size, 2, 30, true);
  return &k;
}
