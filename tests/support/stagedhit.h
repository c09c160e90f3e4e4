// A hit as the attacker's copy reports it: a Laser fired where the attacker
// is, its end, then the damage. A host's checks take these as a real hit, so
// a kill report naming the attacker may follow.
#pragma once

#include "net/messages.h"
#include "sim/weapon.h"

namespace testsupport {

struct StagedHit {
  msg::ProjectileNew fired;
  msg::ProjectileRemove ended;
  msg::DamageReport damage;
};

// hull and energy within a Laser's (15 and 500).
inline StagedHit Hit(float attacker, float victim, float x, float y, float hull, float energy,
                     float shotGuid = 4711.5f) {
  Weapon laser;
  laser.MakeMeWeapon(1);
  const Weapon::Shot& s = laser.shots.front();
  StagedHit h;
  h.fired.owner = attacker, h.fired.texture = s.texture, h.fired.x = x, h.fired.y = y;
  h.fired.width = s.width, h.fired.height = s.height, h.fired.style = static_cast<float>(s.style);
  h.fired.lifeLeft = s.lifetime, h.fired.speed = s.speed, h.fired.guid = shotGuid;
  h.ended = msg::ProjectileRemove{attacker, shotGuid};
  h.damage = msg::DamageReport{attacker, victim, hull, energy};
  return h;
}

}  // namespace testsupport
