// BulletManager: every projectile fired by the local player (global Bullets).
// Creates them from a weapon's shot templates, moves them each frame with
// their special rules, bounces or stops them at walls, tests them against the
// opponents, applies damage, freezes and blasts when they end, bursts cluster
// munitions into shrapnel and tells the other peers (BulletView draws them).
// Projectiles of other players live in the opponent table, not here.
#pragma once

#include <vector>

#include "sim/freeslots.h"
#include "sim/projectile.h"
#include "sim/weapon.h"

class EnemyManager;
class ExplosionManager;
class GameUtilities;
class Outbox;
class SoundPlayer;
class World;

class BulletManager {
 public:
  // What a freezing projectile's hit freezes (frames without recharge).
  static constexpr int kFreezeFrames = 50;

  // A projectile of the local player: its flight plus the network identity
  // (the flags of the messages due for it are Projectile's sendFull and
  // sendUpdate).
  struct Bullet : Projectile {
    float guid = 0;  // network identity
  };

  Weapon shrapnel;  // private burst weapon
  ExplosionManager* explosions = nullptr;
  GameUtilities* utilities = nullptr;
  World* world = nullptr;
  EnemyManager* enemies = nullptr;
  Outbox* outbox = nullptr;     // what this object has to tell the other copies
  std::vector<Bullet> bullets;  // live and spent slots; spent ones are reused
  SoundPlayer* sounds = nullptr;

  void InitMe(GameUtilities* utilities, World* world, ExplosionManager* explosions,
              EnemyManager* enemies, SoundPlayer* sounds, Outbox* outbox);

  // One volley of w from the ship at (x, y): cost and cooldown apply; a
  // refused volley creates nothing, plays nothing and sends nothing.
  void ShootMe(Weapon& w, int& energy, float x, float y, float heading, float vx, float vy,
               float ownerGuid);
  // One volley without cost or cooldown (shrapnel).
  void ShootMe(Weapon& w, float x, float y, float heading, float vx, float vy, float ownerGuid);

  // One frame for every projectile. hp and energy are the local ship's, hurt
  // by its own blasts; team decides who the projectiles pass through.
  void UpdateMe(float shipX, float shipY, int& hp, int& energy, int team, float ownerGuid);
  // Posts the due full (59) or short (63) projectile messages; clears the flags.
  void PostProjectiles(float ownerGuid);

 private:
  Bullet MakeBullet(const Weapon::Shot& t, float x, float y, float heading, float vx, float vy);
  void Store(const Bullet& b);
  void PostNew(const Bullet& b, float ownerGuid, bool reliable);
  void UpdateOne(Bullet& b, int& hp, int& energy, int team, float ownerGuid);
  void Trails(const Bullet& b);
  void EndOf(Bullet& b, float distance, int& hp, int& energy, float ownerGuid);

  std::vector<Weapon::Shot> volley_;  // reused volley buffer
  std::vector<Bullet> born_;          // fragments burst during UpdateMe, stored after it
  FreeSlots free_;                    // the spent slots of `bullets`
  bool updating_ = false;
  float shipX_ = 0, shipY_ = 0;  // the local ship during UpdateMe
};
