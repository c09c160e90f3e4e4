// AiPlayer: a computer-controlled ship living inside this copy of the game.
// To the rest of the game it is one row of the opponent table: it registers
// there, writes its position and mirrors its projectiles into the row every
// frame, and collects from the row the damage others dealt to it.
// Its brain is a fixed reflex: chase the nearest enemy, back off inside 600
// units, turn 4 degrees a frame towards the target, choose weapons by their
// range class against the distance to the local player.
#pragma once

#include <vector>

#include "game/projectile.h"
#include "game/weapon.h"

class EnemyManager;
class World;
class ExplosionManager;
class GlWrapper;
class SpaceShip;

class AiPlayer {
 public:
  // A projectile of this ship: nothing of it is sent, so the flight record
  // alone (the row mirrors it for drawing and hit tests).
  using Bullet = Projectile;

  // One hull of the random ship table.
  struct Hull {
    float maxSpeed;
    int energy;
    int recharge;
    int hp;
    float size;
    int texture;
    int weapons[4];
  };
  static const Hull kHulls[15];

  bool keys[256] = {};
  Weapon weapons[4];
  Weapon shrapnel;
  EnemyManager* enemies = nullptr;
  World* world = nullptr;
  GlWrapper* utilities = nullptr;
  ExplosionManager* explosions = nullptr;
  float* cameraWidth = nullptr;
  float* cameraHeight = nullptr;
  float maxSpeed = 0;
  float vx = 0, vy = 0;
  float angle = 0;
  float x = 0, y = 0;
  int row = -1;
  int hp = 0, maxHp = 0;
  int energy = 0, maxEnergy = 0;
  int recharge = 0;
  int frozenFrames = 0;
  float guid = 0;
  float width = 0, height = 0;
  int shipTexture = 0;
  bool alive = false;
  int team = 0;
  std::vector<Bullet> bullets;

  // Registers the row in the opponent table (row -1 if the table is full:
  // the ship then still flies but nobody sees or hits it).
  void InitMe(float* cameraWidth, float* cameraHeight, EnemyManager* enemies, World* world,
              ExplosionManager* explosions, GlWrapper* utilities, int team);
  void SetUpShip(float maxSpeed, int hp, int energy, int recharge, float width, float height,
                 int shipTexture);
  void SetUpWeapons(int id0, int id1, int id2, int id3);
  // A random hull of kHulls; pushes size, texture and position into the row.
  void MakeMeSimpleShip();
  void UpdateMe(SpaceShip& player);
  void ShootMe(int slot);
  void ShootMe(float x, float y);
  void UpdateBullets(SpaceShip& player);

  // Picks a random spot where the ship's box touches no wall.
  void RandomPlacement();

  // The reflex's rules, also flown by the timedemo's pilot. Whether a weapon
  // of `category` is fired at a target `distance` away.
  static bool FiresAt(int category, float distance);
  // The turn keys towards bearing `theta` for a ship heading `angle`: at most
  // one of left and right is set.
  static void TurnKeys(float theta, float angle, bool& left, bool& right);

 private:
  void ApplyFreezeAndDamage();
  void CheckDeath();
  void ChooseKeys(SpaceShip& player);
  void FireWeapons();
  void Steer();
  void CollideWithWalls();
  void PublishBullets();
  Bullet& FreeBulletSlot();
  bool MoveBullet(Bullet& b, SpaceShip& player);
  void EndBullet(Bullet& b, bool touchesPlayer);
};
