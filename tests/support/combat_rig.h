// A complete set of the combat objects wired as start-up wires them, without
// a window: the level, the opponent table, explosions, a silent sound manager
// (unless the caller opened it), a network handler that is not connected
// (unless the caller started one), the projectile manager and the ship.
// Header only, so unit tests, network tests and benchmarks can share it.
#pragma once

#include <string>
#include <vector>

#include "app/soundmanager.h"
#include "game/bulletmanager.h"
#include "game/explosionmanager.h"
#include "game/spaceship.h"
#include "net/networkhandler.h"
#include "opponents/enemymanager.h"
#include "render/glwrapper.h"
#include "world/world.h"

struct CombatRig {
  GlWrapper utility;
  World world;
  EnemyManager enemies;
  ExplosionManager explosions;
  SoundManager sounds;
  NetworkHandler network;
  BulletManager bullets;
  SpaceShip ship;
  std::vector<std::string> messages;
  float cameraWidth = 1024, cameraHeight = 768;
  bool keys[256] = {};
  float outVx = 0, outVy = 0;
  static constexpr float kGuid = 4242.0f;

  CombatRig() {
    world.InitMe(&utility, nullptr, nullptr, nullptr);
    explosions.InitMe(&utility, nullptr, nullptr, &network);
    enemies.InitMe(&cameraWidth, &cameraHeight, nullptr, nullptr, &utility, &messages, &sounds,
                   &network, 0, &explosions, nullptr);
    bullets.InitMe(&utility, nullptr, nullptr, &world, &explosions, &enemies, &sounds, &network,
                   nullptr);
    // As start-up does: (600, 600), speed 20, energy 1500, recharge 12, hp 100.
    ship.InitMe(600, 600, 20, 1500, 12, &cameraWidth, &cameraHeight, nullptr, nullptr, &utility,
                &world, &bullets, &enemies, &sounds, &network, 0, kGuid, 9216, 100, nullptr);
  }

  // One frame in the order of the frame composition: opponent table, own
  // projectiles and their messages, then the ship.
  void Frame() {
    enemies.MainLoop(kGuid);
    bullets.UpdateMe(ship.x, ship.y, ship.hp, ship.energy, ship.team, kGuid);
    bullets.SendBullets(kGuid);
    ship.UpdateMe(keys, outVx, outVy, ship.width, ship.height, ship.shipTexture);
    ship.SendNetworkStats();
  }

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
