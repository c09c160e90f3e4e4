#include "sim/bulletmanager.h"

#include <algorithm>
#include <cmath>

#include "base/angle.h"
#include "base/gameutilities.h"
#include "base/soundplayer.h"
#include "net/messages.h"
#include "net/outbox.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/projectileframe.h"
#include "world/world.h"

namespace {

constexpr int kExplosionSound = 7;
constexpr int kPrefetchAhead = 4;

// What the local player's homing projectiles chase: the nearest row of the
// table, the later one on a tie.
struct Opponents final : HomingTargets {
  EnemyManager* enemies;
  explicit Opponents(EnemyManager* e) : enemies(e) {}
  Target Nearest(float x, float y) const override {
    const std::vector<float> distances = enemies->GetDistances(x, y);
    Target t;
    int nearest = -1;
    for (int i = 0; i < static_cast<int>(distances.size()); ++i) {
      if (distances[i] <= t.distance) {
        t.distance = distances[i];
        nearest = i;
      }
    }
    if (nearest >= 0) enemies->GetCoords(t.x, t.y, nearest);
    return t;
  }
};

}  // namespace

void BulletManager::InitMe(GameUtilities* u, World* w, ExplosionManager* e, EnemyManager* en,
                           SoundPlayer* so, Outbox* o) {
  utilities = u;
  world = w;
  explosions = e;
  enemies = en;
  sounds = so;
  outbox = o;
  shrapnel.InitMe(utilities);
  shrapnel.MakeMeWeapon(1);
}

// ---- Firing ----

BulletManager::Bullet BulletManager::MakeBullet(const Weapon::Shot& t, float x, float y,
                                                float heading, float vx, float vy) {
  Bullet b;
  b.Launch(t, x, y, heading, vx, vy);
  b.direction = heading + t.aimOffset + utilities->RangedRandom(-t.spread, t.spread);
  b.sendFull = true;
  return b;
}

void BulletManager::Store(const Bullet& b) {
  const int slot = free_.Take();
  if (slot == static_cast<int>(bullets.size()))
    bullets.push_back(b);
  else
    bullets[slot] = b;
}

void BulletManager::PostNew(const Bullet& b, float ownerGuid, bool reliable) {
  msg::ProjectileNew m{ownerGuid,  b.texture, b.x,         b.y,
                       b.width,    b.height,  b.direction, static_cast<float>(b.style),
                       b.lifetime, b.speed,   b.behaviour, b.turnRate,
                       b.driftX,   b.driftY,  b.guid,      b.acceleration};
  outbox->Post(m, reliable ? Delivery::Reliable : Delivery::Unreliable);
}

void BulletManager::ShootMe(Weapon& w, int& energy, float x, float y, float heading, float vx,
                            float vy, float ownerGuid) {
  volley_.clear();
  w.Fire(volley_, energy);
  if (volley_.empty()) return;
  const Weapon::Shot& first = volley_.front();
  if (sounds && first.soundOnChannel)
    sounds->PlaySoundChannelOne(first.sound);
  else if (sounds)
    sounds->PlaySoundA(first.sound);
  for (const Weapon::Shot& t : volley_) {
    Bullet b = MakeBullet(t, x, y, heading, vx, vy);
    if (w.charged) b.GrowWithCharge(w.chargeCount);
    b.guid = utilities->GenerateGUID();
    PostNew(b, ownerGuid, true);
    Store(b);
  }
}

void BulletManager::ShootMe(Weapon& w, float x, float y, float heading, float vx, float vy,
                            float ownerGuid) {
  volley_.clear();
  w.Fire(volley_);
  for (const Weapon::Shot& t : volley_) {
    Bullet b = MakeBullet(t, x, y, heading, vx, vy);
    b.Scatter(*utilities);
    b.guid = utilities->GenerateGUID();
    PostNew(b, ownerGuid, false);
    // Fragments born while the projectiles are being moved wait for the next
    // frame, like every other new projectile.
    if (updating_)
      born_.push_back(b);
    else
      Store(b);
  }
}

// ---- One frame ----

// Smoke puffs are only seen (never announced or hit-tested): their sizes come
// from the drawing's generator.
void BulletManager::Trails(const Bullet& b) {
  if (b.style == shotstyle::Rocket) {
    explosions->AddExplosion(b.x, b.y, 64 + utilities->VisualRandom(-16, 16),
                             64 + utilities->VisualRandom(-16, 16), 1, 8, false);
    if (b.lifeLeft % 2 == 0)
      explosions->AddExplosion(b.x, b.y, 64 + utilities->VisualRandom(-16, 16),
                               64 + utilities->VisualRandom(-16, 16), 3, 5, false);
  } else if (b.style == shotstyle::SmallRocket && b.lifeLeft % 2 == 0) {
    explosions->AddExplosion(b.x, b.y, 64, 64, 1, 6, false);
  }
}

// The end of a projectile: removal message, damage to everyone it touches
// (team mates too), the owner's own blast damage, the blast and burst.
void BulletManager::EndOf(Bullet& b, float distance, int& hp, int& energy, float ownerGuid) {
  outbox->Post(msg::ProjectileRemove{ownerGuid, b.guid}, Delivery::Reliable);

  const float left = b.x - b.width / 2, top = b.y - b.height / 2;
  for (int p : enemies->HitMeRetPlayers(left, top, b.width, b.height)) {
    const Projectile::Damage d = b.RollDamage(*utilities);
    enemies->DamagePlayer(p, d.energy, d.hull);
    if (b.behaviour == behaviour::Freezes) {
      enemies->FreezeEnergy(p, kFreezeFrames);
      outbox->Post(msg::Freeze{enemies->players[p].guid, kFreezeFrames}, Delivery::Reliable);
    }
  }

  if (b.hurtsOwner &&
      utilities->RectRect(left, top, b.height, b.width, shipX_ - 64, shipY_ - 64, 128, 128)) {
    // A death that follows is the owner's own doing.
    enemies->lastAttacker = -1;
    energy -= static_cast<int>(utilities->RangedRandom(b.energyDamageMin, b.energyDamageMax));
    const float hull = utilities->RangedRandom(b.damageMin, b.damageMax);
    if (energy < 1) {
      hp -= static_cast<int>(hull);
      energy = 0;
    } else {
      hp -= static_cast<int>(0.1f * hull);
    }
  }

  distance = std::min(distance, 4096.0f);
  const Projectile::Blast* k = b.Explode(explosions);
  if (k && sounds) {
    sounds->SetVolume(kExplosionSound, static_cast<int>(255 - distance * k->fade));
    sounds->PlaySoundA(kExplosionSound);
  }

  if (b.burst == 2) {
    shrapnel.MakeMeShrapnel();
    ShootMe(shrapnel, b.x, b.y, 0, 0, 0, ownerGuid);
  }
}

void BulletManager::UpdateMe(float shipX, float shipY, int& hp, int& energy, int team,
                             float ownerGuid) {
  shipX_ = shipX;
  shipY_ = shipY;
  enemies->FileShips();
  updating_ = true;
  const int slots = static_cast<int>(bullets.size());
  free_.ForEachTaken([&](int i) {
    // A crowd outgrows the cache: ask for the projectiles a few slots ahead.
    if (i + kPrefetchAhead < slots) __builtin_prefetch(&bullets[i + kPrefetchAhead]);
    Bullet& b = bullets[i];
    if (!b.active) return;
    UpdateOne(b, hp, energy, team, ownerGuid);
    if (!b.active) free_.Release(i);
  });
  updating_ = false;
  for (const Bullet& b : born_) Store(b);
  born_.clear();
}

void BulletManager::UpdateOne(Bullet& b, int& hp, int& energy, int team, float ownerGuid) {
  Trails(b);
  if (b.behaviour == behaviour::MuzzleFlash && b.lifeLeft == b.lifetime) {
    const float a = b.direction * kDegToRad;
    explosions->AddExplosion(b.x + 16 * std::cos(a), b.y + 16 * std::sin(a), 64, 64, 3, 16, true);
  }
  // The blast's loudness goes by the distance before this frame's move; it is
  // worked out only for the projectiles that end.
  const float fromX = b.x - shipX_, fromY = b.y - shipY_;
  const FlightNews news = FlyOwnProjectile(b, *world, Opponents{enemies});
  if (news.flipped) b.sendFull = true;
  if (news.tell) b.sendUpdate = true;
  if (b.active && enemies->HitMe(b.x - b.width / 2, b.y - b.height / 2, b.width, b.height, team))
    b.active = false;
  if (!b.active) EndOf(b, std::hypot(fromX, fromY), hp, energy, ownerGuid);
}

// ---- Messages ----

// Spent slots are skipped: whatever flags they kept are overwritten when the
// slot is reused.
void BulletManager::PostProjectiles(float ownerGuid) {
  free_.ForEachTaken([&](int i) {
    Bullet& b = bullets[i];
    if (!b.sendFull && !b.sendUpdate) return;
    if (b.active && b.sendFull) {
      msg::ProjectileFull m{ownerGuid,  b.texture, b.x,         b.y,
                            b.width,    b.height,  b.direction, static_cast<float>(b.style),
                            b.lifeLeft, b.speed,   b.behaviour, b.turnRate,
                            b.driftX,   b.driftY,  b.guid,      b.acceleration};
      outbox->Post(m, Delivery::Reliable);
    } else if (b.active && b.sendUpdate) {
      msg::ProjectileShort m{ownerGuid,  b.x,      b.y,      b.direction, b.lifeLeft,
                             b.turnRate, b.driftX, b.driftY, b.guid};
      outbox->Post(m, Delivery::Reliable);
    }
    b.sendFull = false;
    b.sendUpdate = false;
  });
}
