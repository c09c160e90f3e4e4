// AiPlayer: a computer-controlled ship living inside this copy of the game.
// To the rest of the game it is one row of the opponent table: it registers
// there, writes its position and mirrors its projectiles into the row every
// frame, and collects from the row the damage others dealt to it.
// Its brain is a fixed reflex: chase the nearest enemy, back off inside 600
// units, turn 4 degrees a frame towards the target, choose weapons by their
// range class against the distance to the local player.
#pragma once

#include <vector>

#include "sim/projectile.h"
#include "sim/weapon.h"

class EnemyManager;
class HomingTargets;
class World;
class ExplosionManager;
class GameUtilities;
class SpaceShip;

class AiPlayer {
 public:
  // A projectile of this ship: the flight record (the row mirrors it for
  // drawing and hit tests) and, in a networked game, its network identity.
  struct Bullet : Projectile {
    float guid = 0;
  };

  // What a computer player of a networked game tells the other copies, as a
  // player's copy would. Rows are rows of the opponent table; -1 is this
  // copy's own player. Without a voice (the single-player game) hits,
  // freezes and deaths are booked in the table directly and nothing is told.
  class Voice {
   public:
    virtual ~Voice() = default;
    virtual void Fired(const Bullet& b) = 0;
    // A change of course the other copies cannot predict.
    virtual void Steered(const Bullet& b) = 0;
    virtual void Ended(const Bullet& b) = 0;
    virtual void Hurt(int victimRow, float energy, float hull) = 0;
    virtual void Froze(int victimRow, int frames) = 0;
    // Killed by the player of row `hitter` (-1 this copy's own player, below
    // that nobody known); the ship has already respawned.
    virtual void Died(int hitter) = 0;
  };

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
  static constexpr int kNameCount = 6;
  static const char* const kNames[kNameCount];

  bool keys[256] = {};
  Weapon weapons[4];
  Weapon shrapnel;
  EnemyManager* enemies = nullptr;
  World* world = nullptr;
  GameUtilities* utilities = nullptr;
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
  int bounty = 0;        // raised by kills in networked games
  bool bounced = false;  // this frame ended against a wall
  Voice* voice = nullptr;
  std::vector<Bullet> bullets;

  // Registers the row in the opponent table (row -1 if the table is full:
  // the ship then still flies but nobody sees or hits it).
  void InitMe(float* cameraWidth, float* cameraHeight, EnemyManager* enemies, World* world,
              ExplosionManager* explosions, GameUtilities* utilities, int team);
  // A networked game's computer player: flies the row of `guid` that its
  // join already made, speaking through `voice`.
  void InitNetworked(EnemyManager* enemies, World* world, ExplosionManager* explosions,
                     GameUtilities* utilities, int team, float guid, Voice* voice);
  void SetUpShip(float maxSpeed, int hp, int energy, int recharge, float width, float height,
                 int shipTexture);
  void SetUpWeapons(int id0, int id1, int id2, int id3);
  // A random hull of kHulls; pushes size, texture and position into the row.
  void MakeMeSimpleShip();
  void UpdateMe(SpaceShip& player);
  // A frame with no local player (a dedicated host): the ship hunts the
  // nearest row of another team and picks its weapons by that one's
  // distance; with nobody to hunt it flies on without firing.
  void UpdateMe();
  void ShootMe(int slot);
  void ShootMe(float x, float y);
  void UpdateBullets(SpaceShip& player);
  void UpdateBullets(const SpaceShip* player);

  // Picks a random spot where the ship's box touches no wall.
  void RandomPlacement();

  // The reflex's rules, also flown by the timedemo's pilot. Whether a weapon
  // of `category` is fired at a target `distance` away.
  static bool FiresAt(int category, float distance);
  // The turn keys towards bearing `theta` for a ship heading `angle`: at most
  // one of left and right is set.
  static void TurnKeys(float theta, float angle, bool& left, bool& right);

 private:
  void Wire(float* cameraWidth, float* cameraHeight, EnemyManager* enemies, World* world,
            ExplosionManager* explosions, GameUtilities* utilities, int team);
  void PublishRow();
  void HurtPlayer(const Projectile::Damage& d);
  void HurtRow(int i, const Projectile::Damage& d, int freeze);
  void ApplyFreezeAndDamage();
  void CheckDeath();
  void Step(const SpaceShip* player);
  void ChooseKeys(const SpaceShip* player);
  void FireWeapons();
  void Steer();
  void CollideWithWalls();
  void PublishBullets();
  Bullet& FreeBulletSlot();
  bool TouchesPlayer(const Bullet& b, const SpaceShip* player) const;
  bool TouchesEnemyRow(const Bullet& b) const;
  bool MoveBullet(Bullet& b, const HomingTargets& targets, const SpaceShip* player);
  void EndBullet(Bullet& b, bool touchesPlayer);
};
