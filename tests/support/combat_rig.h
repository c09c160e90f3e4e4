// A complete set of the combat objects wired as start-up wires them, without
// a window: the level, the opponent table, explosions, a silent sound manager
// (unless the caller opened it), a network handler that is not connected
// (unless the caller started one), the projectile manager and the ship.
// Header only, so unit tests, network tests and benchmarks can share it.
#pragma once

#include <string>
#include <vector>

#include "draw/bulletmanager_draw.h"
#include "draw/spaceship_draw.h"
#include "net/networkhandler.h"
#include "net/outbox.h"
#include "platform/soundmanager.h"
#include "render/glwrapper.h"
#include "render/rendersort.h"
#include "render/shaderlibrary.h"
#include "sim/bulletmanager.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"
#include "world/world.h"

struct CombatRig {
  GlWrapper utility;
  World world;
  EnemyManager enemies;
  ExplosionManager explosions;
  SoundManager sounds;
  NetworkHandler network;
  Outbox outbox;  // what the objects post; SendPosted puts it on `network`
  BulletManager bullets;
  SpaceShip ship;
  ShipView shipView;      // draws into `sorter`
  BulletView bulletView;  // draws into `sorter`
  ShaderLibrary shaders;  // never built here: every switch is a no-op
  RenderSort sorter;      // collects sorted sprites; drawing them needs GL
  std::vector<std::string> messages;
  float cameraWidth = 1024, cameraHeight = 768;
  bool keys[256] = {};
  float outVx = 0, outVy = 0;
  static constexpr float kGuid = 4242.0f;

  CombatRig() {
    sorter.InitMe(nullptr, nullptr);
    world.InitMe(&utility);
    explosions.InitMe(&outbox);
    enemies.InitMe(&utility, EnemyManager::AppendTo(messages), &sounds, &outbox, &explosions);
    bullets.InitMe(&utility, &world, &explosions, &enemies, &sounds, &outbox);
    bulletView.InitMe(&bullets, nullptr, &shaders, &sorter);
    // As start-up does: (600, 600), speed 20, energy 1500, recharge 12, hp 100.
    ship.InitMe(600, 600, 20, 1500, 12, &utility, &world, &bullets, &enemies, &sounds, &outbox, 0,
                kGuid, 9216, 100);
    shipView.InitMe(&ship, nullptr, &sorter, &cameraWidth, &cameraHeight);
  }

  // One frame in the order of the frame composition: opponent table, own
  // projectiles and their messages, then the ship.
  void Frame() {
    enemies.MainLoop(kGuid);
    bullets.UpdateMe(ship.x, ship.y, ship.hp, ship.energy, ship.team, kGuid);
    bullets.PostProjectiles(kGuid);
    ship.UpdateMe(keys, outVx, outVy, ship.width, ship.height, ship.shipTexture);
    ship.PostState();
  }

  // What the objects posted, handed to the network handler as the game
  // protocol does at the end of a frame.
  void SendPosted() { outbox.SendTo(network); }

  // Only the ship's update, the opponent table's sums cleared afterwards as
  // its next MainLoop would.
  void ShipFrame() {
    ship.UpdateMe(keys, outVx, outVy, ship.width, ship.height, ship.shipTexture);
    enemies.MainLoop(kGuid);
  }

  // The ship in play at (x, y) with full hull and energy.
  void Spawn(float x, float y) {
    ship.alive = true;
    ship.hp = ship.maxHp;
    ship.energy = ship.maxEnergy;
    ship.x = x;
    ship.y = y;
  }

  // An opponent row standing at (x, y).
  int AddOpponent(float x, float y, int team = 1, float guid = 777.0f, float size = 128) {
    const int row = enemies.AddPlayer(size, size, 0, guid, "Foe", false, team, 1);
    enemies.UpdatePlayer(row, x, y, 0, 0, false, 0, 0, 0);
    return row;
  }

  // Starts a frame of sorted drawing with a camera over the whole arena.
  void StartSorting() {
    sorter.Reset();
    sorter.CameraRect(10000, 10000, 100000, 100000);
  }

  // The sorted quads of one texture: centre, size and rotation (degrees).
  struct Quad {
    float x, y, width, height, angle, bottomAlpha;
  };
  std::vector<Quad> QuadsOf(int texture) const {
    std::vector<Quad> out;
    for (const RenderSort::RenderingPath& path : sorter.paths) {
      if (path.texture != texture) continue;
      for (const RenderSort::quad& q : path.quads) {
        const auto& v = q.vertices;
        out.push_back({v[0][12], v[0][13], v[2][6] - v[0][6], v[2][7] - v[0][7],
                       v[0][11] * 57.29578f, v[1][5]});
      }
    }
    return out;
  }

  int ActiveBullets() const {
    int n = 0;
    for (const BulletManager::Bullet& b : bullets.bullets) n += b.active;
    return n;
  }

  // Explosions added so far with the given loop slot (blasts use 2).
  std::vector<ExplosionManager::Explosion> ExplosionsOfLoop(int loop) const {
    std::vector<ExplosionManager::Explosion> out;
    for (const ExplosionManager::Explosion& e : explosions.list)
      if (e.active && e.loopSlot == loop) out.push_back(e);
    return out;
  }
};
