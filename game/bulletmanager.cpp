#include "game/bulletmanager.h"

#include <algorithm>
#include <cmath>

#include "app/soundmanager.h"
#include "game/explosionmanager.h"
#include "net/messages.h"
#include "net/networkhandler.h"
#include "opponents/enemymanager.h"
#include "render/glwrapper.h"
#include "render/shaderlibrary.h"
#include "world/world.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kDeg = kPi / 180.0f;

// Size and distance fade of the blast at a projectile's end, by blast kind.
struct Blast {
  float size;
  float fade;  // volume lost per unit of distance (255 at the source)
};
constexpr Blast kBlasts[6] = {{0, 0},
                              {512, 0.020751953125f},
                              {256, 0.062255859375f},
                              {1024, 0.0062255859375f},
                              {64, 0.2075195163f},
                              {2048, 0.2075195163f}};

constexpr int kExplosionSound = 7;
constexpr int kFreezeFrames = 50;
constexpr float kHomingRange = 2000;
constexpr float kHomingTurn = 16;

}  // namespace

void BulletManager::InitMe(GlWrapper* u, TextureLibrary* t, ShaderLibrary* s, World* w,
                           ExplosionManager* e, EnemyManager* en, SoundManager* so,
                           NetworkHandler* n, RenderSort* r) {
  utilities = u;
  textures = t;
  shaders = s;
  world = w;
  explosions = e;
  enemies = en;
  sounds = so;
  network = n;
  sorter = r;
  sprite.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures, sorter);
  shrapnel.InitMe(utilities);
  shrapnel.MakeMeWeapon(1);
}

// ---- Firing ----

BulletManager::Bullet BulletManager::MakeBullet(const Weapon::Shot& t, float x, float y,
                                                float heading, float vx, float vy) {
  Bullet b;
  b.texture = t.texture;
  b.bounces = t.bounces;
  b.lifetime = b.lifeLeft = t.lifetime;
  b.bouncesLeft = t.maxBounces;
  b.speed = t.speed;
  b.turnRate = t.turnRate;
  b.behaviour = t.behaviour;
  b.acceleration = t.acceleration;
  b.accelFrames = 30;
  b.blast = t.blast;
  b.style = t.style;
  b.burst = t.burst;
  b.hurtsOwner = t.hurtsOwner;
  b.width = t.width;
  b.height = t.height;
  const float m = (heading + t.mountAngle) * kDeg;
  b.x = x + std::cos(m) * t.mountDistance;
  b.y = y - std::sin(m) * t.mountDistance;
  b.direction = heading + t.aimOffset + utilities->RangedRandom(-t.spread, t.spread);
  // The ship's velocity, with y turned upwards like the directions.
  b.driftX = vx * t.inherit;
  b.driftY = -vy * t.inherit;
  b.damageMin = t.damageMin;
  b.damageMax = t.damageMax;
  b.energyDamageMin = t.energyDamageMin;
  b.energyDamageMax = t.energyDamageMax;
  b.active = true;
  b.sendFull = true;
  return b;
}

void BulletManager::Store(const Bullet& b) {
  for (Bullet& slot : bullets) {
    if (!slot.active) {
      slot = b;
      return;
    }
  }
  bullets.push_back(b);
}

void BulletManager::SendNew(const Bullet& b, float ownerGuid, bool reliable) {
  msg::ProjectileNew m{ownerGuid,  b.texture,    b.x,        b.y,
                       b.width,    b.height,     b.direction, static_cast<float>(b.style),
                       b.lifetime, b.speed,      b.behaviour, b.turnRate,
                       b.driftX,   b.driftY,     b.guid,      b.acceleration};
  msg::Write(*network, m);
  if (reliable)
    network->Send();
  else
    network->SendUnreliable();
  network->ClearOutgoingPacket();
}

void BulletManager::ShootMe(Weapon& w, int& energy, float x, float y, float heading, float vx,
                            float vy, float ownerGuid) {
  volley_.clear();
  w.Fire(volley_, energy);
  if (volley_.empty()) return;
  const Weapon::Shot& first = volley_.front();
  if (first.soundOnChannel)
    sounds->PlaySoundChannelOne(first.sound);
  else
    sounds->PlaySoundA(first.sound);
  // A charged weapon's projectiles grow with the charge reached.
  const float charge = static_cast<float>(w.chargeCount);
  for (const Weapon::Shot& t : volley_) {
    Bullet b = MakeBullet(t, x, y, heading, vx, vy);
    if (w.charged) {
      b.width *= charge / 5;
      b.height *= charge / 5;
      b.damageMin *= charge;
      b.damageMax *= charge;
      b.energyDamageMin *= charge;
      b.energyDamageMax *= charge;
    }
    b.guid = utilities->GenerateGUID();
    SendNew(b, ownerGuid, true);
    Store(b);
  }
}

void BulletManager::ShootMe(Weapon& w, float x, float y, float heading, float vx, float vy,
                            float ownerGuid) {
  volley_.clear();
  w.Fire(volley_);
  for (const Weapon::Shot& t : volley_) {
    Bullet b = MakeBullet(t, x, y, heading, vx, vy);
    if (b.behaviour == behaviour::Shrapnel) {
      const float s = utilities->RangedRandom(-25, 25);
      const float r = utilities->RangedRandom(0, 360) * kDeg;
      b.driftX = std::cos(r) * s;
      b.driftY = std::sin(r) * s;
      b.lifetime = b.lifeLeft = static_cast<int>(utilities->RangedRandom(26, 51));
    }
    b.guid = utilities->GenerateGUID();
    SendNew(b, ownerGuid, false);
    // Fragments born while the projectiles are being moved wait for the next
    // frame, like every other new projectile.
    if (updating_)
      born_.push_back(b);
    else
      Store(b);
  }
}

// ---- One frame ----

void BulletManager::Trails(const Bullet& b) {
  if (b.style == shotstyle::Rocket) {
    explosions->AddExplosion(b.x, b.y, 64 + utilities->RangedRandom(-16, 16),
                             64 + utilities->RangedRandom(-16, 16), 1, 8, false);
    if (b.lifeLeft % 2 == 0)
      explosions->AddExplosion(b.x, b.y, 64 + utilities->RangedRandom(-16, 16),
                               64 + utilities->RangedRandom(-16, 16), 3, 5, false);
  } else if (b.style == shotstyle::SmallRocket && b.lifeLeft % 2 == 0) {
    explosions->AddExplosion(b.x, b.y, 64, 64, 1, 6, false);
  }
}

// Homing: turn 16 degrees a frame toward the nearest opponent within range
// (the later one on a tie). The turn does not take the shorter way round.
void BulletManager::Steer(Bullet& b) {
  const std::vector<float> distances = enemies->GetDistances(b.x, b.y);
  float nearest = 1000000;
  int target = -1;
  for (int i = 0; i < static_cast<int>(distances.size()); ++i) {
    if (distances[i] <= nearest) {
      nearest = distances[i];
      target = i;
    }
  }
  if (target < 0 || nearest >= kHomingRange) return;
  float tx = 0, ty = 0;
  enemies->GetCoords(tx, ty, target);
  const float dx = b.x - tx, dy = b.y - ty;
  // A target exactly on the projectile has no direction: keep flying.
  if (dx == 0 && dy == 0) return;
  float bearing = std::acos(dx / (std::fabs(dx) + std::fabs(dy))) / kDeg;
  if (dy < 0) bearing = 360 - bearing;
  if (bearing <= 180)
    bearing = 180 - bearing;
  else
    bearing = 540 - bearing;
  if (bearing > b.direction)
    b.direction += kHomingTurn;
  else if (b.direction > bearing)
    b.direction -= kHomingTurn;
}

// Undoes the move that put the projectile into a wall and reflects it. Two
// line probes stretched by the step tell which way the wall lies.
void BulletManager::HitWalls(Bullet& b, float stepX, float stepY) {
  if (!b.bounces) b.active = false;
  b.bouncesLeft -= 1;
  if (b.bouncesLeft < 1) b.active = false;
  b.x -= stepX;
  b.y += stepY;
  const bool vertical =
      world->CollisionObjects(b.x - b.width / 2, b.y - b.height / 2 - b.speed - 1 - b.driftY, 0,
                              2 * b.height + b.speed + b.driftY);
  const bool horizontal =
      world->CollisionObjects(b.x - b.driftX - b.width / 2 - b.speed - 1, b.y - b.height / 2,
                              2 * b.width + b.speed + b.driftX, 0);
  const bool neither = !vertical && !horizontal;
  if (horizontal || neither) {
    b.direction = 180 - b.direction;
    b.driftX *= -0.5f;
    b.sendUpdate = true;
  }
  if (vertical || neither) {
    b.direction = 360 - b.direction;
    b.driftY *= -0.5f;
    b.sendUpdate = true;
  }
}

// The end of a projectile: removal message, damage to everyone it touches
// (team mates too), the owner's own blast damage, the blast and burst.
void BulletManager::EndOf(Bullet& b, float distance, int& hp, int& energy, float ownerGuid) {
  msg::Write(*network, msg::ProjectileRemove{ownerGuid, b.guid});
  network->Send();
  network->ClearOutgoingPacket();

  const float left = b.x - b.width / 2, top = b.y - b.height / 2;
  for (int p : enemies->HitMeRetPlayers(left, top, b.width, b.height)) {
    const float hull = utilities->RangedRandom(b.damageMin, b.damageMax);
    const float drain = utilities->RangedRandom(b.energyDamageMin, b.energyDamageMax);
    enemies->DamagePlayer(p, drain, hull);
    if (b.behaviour == behaviour::Freezes) {
      enemies->FreezeEnergy(p, kFreezeFrames);
      msg::Write(*network, msg::Freeze{enemies->players[p].guid, kFreezeFrames});
      network->Send();
      network->ClearOutgoingPacket();
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
  if (b.blast >= 1 && b.blast <= 5) {
    const Blast& k = kBlasts[b.blast];
    explosions->AddExplosion(b.x, b.y, k.size, k.size, 2, 30, true);
    sounds->SetVolume(kExplosionSound, static_cast<int>(255 - distance * k.fade));
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
  updating_ = true;
  for (Bullet& b : bullets) {
    if (b.active) UpdateOne(b, hp, energy, team, ownerGuid);
  }
  updating_ = false;
  for (const Bullet& b : born_) Store(b);
  born_.clear();
}

void BulletManager::UpdateOne(Bullet& b, int& hp, int& energy, int team, float ownerGuid) {
  Trails(b);
  if (b.behaviour == behaviour::MuzzleFlash && b.lifeLeft == b.lifetime) {
    const float a = b.direction * kDeg;
    explosions->AddExplosion(b.x + 16 * std::cos(a), b.y + 16 * std::sin(a), 64, 64, 3, 16,
                             true);
  }
  b.lifeLeft -= 1;
  if (b.lifeLeft % 30 == 0) b.sendUpdate = true;
  if (b.behaviour == behaviour::Reflex && b.lifeLeft == 100) {
    b.direction -= 180;
    b.sendUpdate = true;
  }
  if (b.lifeLeft < 1) {
    b.active = false;
    b.sendUpdate = true;
  }
  if (b.behaviour == behaviour::Weaving && b.lifeLeft % 20 == 0) {
    b.turnRate = -b.turnRate;
    b.sendFull = true;
  }
  b.direction += b.turnRate;
  const float distance = std::hypot(b.x - shipX_, b.y - shipY_);
  if (b.behaviour == behaviour::Homing) {
    b.sendUpdate = true;
    Steer(b);
  }
  if (b.direction > 360) b.direction -= 360;
  if (b.direction < 0) b.direction += 360;

  const float a = b.direction * kDeg;
  const float c = std::cos(a), s = std::sin(a);
  if (b.accelFrames > 0) {
    b.accelFrames -= 1;
    b.driftX += c * b.acceleration;
    b.driftY += s * b.acceleration;
  }
  const float stepX = c * b.speed + b.driftX, stepY = s * b.speed + b.driftY;
  b.x += stepX;
  b.y -= stepY;

  if (b.behaviour != behaviour::PassesWalls &&
      world->CollisionObjects(b.x - b.width / 2, b.y - b.height / 2, b.width, b.height))
    HitWalls(b, stepX, stepY);
  if (b.active && enemies->HitMe(b.x - b.width / 2, b.y - b.height / 2, b.width, b.height, team))
    b.active = false;
  if (!b.active) EndOf(b, distance, hp, energy, ownerGuid);
}

// ---- Messages ----

void BulletManager::SendBullets(float ownerGuid) {
  for (Bullet& b : bullets) {
    if (b.active && b.sendFull) {
      msg::ProjectileFull m{ownerGuid, b.texture,  b.x,         b.y,
                            b.width,   b.height,   b.direction, static_cast<float>(b.style),
                            b.lifeLeft, b.speed,   b.behaviour, b.turnRate,
                            b.driftX,  b.driftY,   b.guid,      b.acceleration};
      msg::Write(*network, m);
      network->Send();
      network->ClearOutgoingPacket();
    } else if (b.active && b.sendUpdate) {
      msg::ProjectileShort m{ownerGuid, b.x,      b.y,      b.direction, b.lifeLeft,
                             b.turnRate, b.driftX, b.driftY, b.guid};
      msg::Write(*network, m);
      network->Send();
      network->ClearOutgoingPacket();
    }
    b.sendFull = false;
    b.sendUpdate = false;
  }
}

// ---- Drawing ----

void BulletManager::RenderBullet(const Bullet& b, bool secondPass) {
  const float heading = 90 - b.direction;
  switch (b.style) {
    case shotstyle::Beam:
    case shotstyle::LongBeam:
      // Beams stretch along their flight and fade toward their tail.
      sprite.ChangeSize(b.width, (b.style == shotstyle::Beam ? 8 : 16) * b.height);
      sprite.RenderSortedFading(b.x, b.y, 0, heading, 1, 1, 1, 1, b.texture, false, false);
      return;
    case shotstyle::Lightning: {
      if (secondPass) return;
      const float a = b.direction * kDeg;
      sprite.ChangeSize(b.width, b.height);
      for (int k = 0; k < 10; ++k) {
        const int texture = b.texture + GameRand() % 3;
        sprite.RenderMe(b.x - k * b.width * std::cos(a), b.y + k * (b.height / 2) * std::sin(a),
                        0, heading, 1, 1, 1, 1, texture, false, false);
      }
      return;
    }
    case shotstyle::Mine:
      if (!secondPass) {
        sprite.ChangeSize(b.width, b.height);
        sprite.RenderMe(b.x, b.y, 0, heading, 1, 1, 1, 1, b.texture, false, false);
      } else if ((b.lifeLeft / 30) % 2 != 0) {
        // The mine's light blinks every 30 frames.
        sprite.ChangeSize(b.width / 2, b.height / 2);
        sprite.RenderMe(b.x, b.y, 0, heading, 1, 1, 1, 1, 3, false, false);
      }
      return;
    case shotstyle::Bomb:
      sprite.ChangeSize(b.width, b.height);
      sprite.RenderMe(b.x, b.y, 0, 90.0f - 6.0f * b.lifeLeft, 1, 1, 1, 1, b.texture, false,
                      false);
      return;
    case shotstyle::Orb:
      if (secondPass) return;
      sprite.ChangeSize(b.width, b.height);
      sprite.RenderMe(b.x, b.y, 0, 90.0f + 48.0f * b.lifeLeft, 1, 1, 1, 1, b.texture, false,
                      false);
      return;
    default:
      if (secondPass) return;
      sprite.ChangeSize(b.width, b.height);
      sprite.RenderMe(b.x, b.y, 0, heading, 1, 1, 1, 1, b.texture, false, false);
      return;
  }
}

void BulletManager::RenderMe(bool secondPass) {
  shaders->ShaderMasking();
  for (const Bullet& b : bullets)
    if (b.active) RenderBullet(b, secondPass);
  shaders->ShadersOff();
}
