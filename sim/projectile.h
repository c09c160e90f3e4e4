// Projectile: one projectile in flight and the rules every projectile obeys
// whoever fired it, the local player (BulletManager) or a computer player
// (AiPlayer): launch from a shot template, charge growth, shrapnel scatter,
// ageing, homing turns, movement, wall bounces, the damage roll and the blast
// at the end. Who gets hit, who is told and how it is drawn stay with the
// owners, which differ there.
#pragma once

#include "base/motion.h"
#include "sim/weapon.h"

class ExplosionManager;
class GameUtilities;
class World;

struct alignas(64) Projectile {
  // Homing projectiles only steer towards targets closer than this.
  static constexpr float kHomingRange = 2000;
  // A shrapnel fragment flies for this many frames, both ends included.
  static constexpr int kFragmentLifeMin = 26, kFragmentLifeMax = 50;

  using Step = ProjectileStep;  // the move of this frame; y counts upwards
  struct Damage {
    float hull, energy;
  };
  struct Blast {
    float size;
    float fade;  // volume lost per unit of distance (255 at the source)
  };

  // What every frame reads comes first, within the first 64 bytes (the
  // struct starts on a cache line), so that moving a crowd of projectiles
  // touches one line of each; the rest is read when one bounces, ends or is
  // sent.
  bool active = false;  // the slot holds a live projectile
  // The owner's messages due for it. They sit here, beside what every frame
  // reads, so that looking for the due ones (every frame, over the whole
  // crowd) leaves the rest of each record out of the cache. A computer
  // player tells the other copies at once and leaves them unset.
  bool sendFull = false;    // full projectile message due
  bool sendUpdate = false;  // short projectile message due
  int lifeLeft = 0;
  int lifetime = 0;              // total frames of flight
  int behaviour = 0;             // see namespace behaviour
  int style = 0;                 // drawing style
  float x = 0, y = 0;            // centre
  float driftX = 0, driftY = 0;  // extra velocity; driftY counts upwards
  float direction = 0;           // degrees, kept in [0, 360]
  float turnRate = 0;            // degrees per frame
  float speed = 0;               // units per frame along direction
  float acceleration = 0;        // drift added along direction while accelFrames > 0
  int accelFrames = 0;
  float width = 0, height = 0;  // size and hit box
  int texture = 0;
  int bouncesLeft = 0;  // wall contacts left
  int blast = 0;        // explosion kind at the end
  int burst = 0;        // 2 = bursts into shrapnel at the end
  bool bounces = false;
  bool hurtsOwner = false;
  float damageMin = 0, damageMax = 0, energyDamageMin = 0, energyDamageMax = 0;

  // A live projectile of template t at the mount point of a ship at
  // (shipX, shipY) facing `heading`, drifting with the template's share of
  // the ship's velocity (vx, vy; y down). The direction is left to the
  // caller: where the spread draw is added differs between the firers.
  void Launch(const Weapon::Shot& t, float shipX, float shipY, float heading, float vx, float vy);
  // A charged weapon's projectiles grow, and hurt, with the charge reached.
  void GrowWithCharge(int chargeCount);
  // A shrapnel fragment flies off at a random drift for kFragmentLifeMin to
  // kFragmentLifeMax frames (three draws); any other projectile is left as
  // it is.
  void Scatter(GameUtilities& random);
  // One frame older: the projectile ends when its life runs out, and a
  // weaving one flips its turn every 20 frames. Returns whether it flipped.
  // The turn itself is the caller's, after whatever it does to the direction.
  bool Age();
  // The homing turn: 16 degrees towards (tx, ty), not always the shorter way
  // round. A target on the spot leaves the course as it is.
  void TurnTowards(float tx, float ty);
  // Wraps the direction into [0, 360], adds the acceleration of the first
  // kAccelerationFrames (base/timing.h) to the drift and moves; returns the
  // move made.
  Step Move();
  // Whether the projectile now overlaps a wall it cannot pass.
  bool InWall(World& world) const;
  // Costs a wall contact (ending a non-bouncing or worn-out projectile) and
  // reflects the flight off the wall. The caller first moves it back out of
  // the wall; two probes stretched by speed and drift tell which way the wall
  // lies, and with neither it turns back on both axes.
  void Bounce(World& world);
  // The damage dealt to one ship: the hull draw first, then the energy draw.
  Damage RollDamage(GameUtilities& random) const;
  // Adds the blast of the end, announced to the other peers, to explosions
  // (when there are any); returns its kind, or nullptr for no blast.
  const Blast* Explode(ExplosionManager* explosions) const;
};
