// SpaceShip: the local player's ship (global Player). Once per frame it turns,
// thrusts, brakes, bounces off walls, fires its four weapon slots, drives its
// utility item, takes the damage the opponent table collected for it, dies and
// respawns. It also holds the wallet and the network-state flags. ShipView
// (draw/spaceship_draw.h) draws it and keeps its camera.
#pragma once

#include <atomic>
#include <string>

#include "sim/utilityitem.h"
#include "sim/weapon.h"

namespace msg {
struct FullState;
}

class BulletManager;
class EnemyManager;
class GameUtilities;
class Outbox;
class SoundPlayer;
class World;

class SpaceShip {
 public:
  float x = 0, y = 0;  // centre in world units
  int deaths = 0;
  int kills = 0;
  std::string name = "Player";
  int frozenFrames = 0;  // frames of energy freeze left
  int hp = 0;            // hull points; death below 0
  int energy = 0;        // energy, doubles as the shield
  int team = 0;
  float guid = 0;
  bool alive = false;
  bool respawnRequested = false;  // set by the front end, consumed by the next update
  int shopSlot = 0;               // weapon key the shop is buying for (front end only)
  int bounty = 0;
  int minimapValue = 9216;  // handed to the minimap drawing, which ignores it
  float width = 128, height = 128;
  int shipTexture = 0;
  UtilityItem utility;
  int statsTimer = 0;  // 0..14 between forced short state messages
  bool upHeld = false, downHeld = false, leftHeld = false, rightHeld = false;  // last sent
  bool engineOn = false;       // up arrow held (engine flame)
  bool sendUpdate = false;     // short state message due
  bool sendFullStats = false;  // full state message due
  int credits = 0;
  int totalEarned = 0;
  int spinPhase = 1;  // 1..19, animates the freeze overlay
  Weapon weapons[4];  // fired with Z, X, C, V
  EnemyManager* enemies = nullptr;
  BulletManager* bullets = nullptr;
  World* world = nullptr;
  GameUtilities* utilities = nullptr;
  SoundPlayer* sounds = nullptr;
  Outbox* outbox = nullptr;  // what this object has to tell the other copies
  float maxSpeed = 0;        // limit on abs(vx) + abs(vy)
  float vx = 0, vy = 0;
  float angle = 0;  // degrees, kept in [0, 360]
  bool keyState[256] = {};
  int maxHp = 0, maxEnergy = 0;
  int recharge = 0;  // energy per unfrozen frame
  int engineLevel = 0, armourLevel = 0, storageLevel = 0, rechargeLevel = 0;  // shop ladders

  // The first argument is stored as y, the second as x.
  void InitMe(float startY, float startX, float maxSpeed, int energy, int recharge,
              GameUtilities* utilities, World* world, BulletManager* bullets, EnemyManager* enemies,
              SoundPlayer* sounds, Outbox* outbox, int team, float guid, int minimapValue, int hp);

  // One frame of simulation. outVx/outVy receive the velocity (star field).
  void UpdateMe(const bool* keys, float& outVx, float& outVy, float width, float height,
                int shipTexture);
  // The same over the shared input table of the window thread.
  void UpdateMe(const std::atomic<bool>* keys, float& outVx, float& outVy, float width,
                float height, int shipTexture);
  // Posts the full state (50) when due, else the short state (62) when due;
  // clears both flags.
  void PostState();
  // The ship's full state (message 50) as the other copies are told it.
  msg::FullState FullStateMessage() const;

  // Refuses (false) when any slot already holds a weapon of that name.
  bool ChangeWeapon(int slot, int weaponId);
  void ChangeWeaponNoCheck(int slot, int weaponId);
  std::string GetWeaponName(int slot);

  void UpdateCredits(int amount);  // adds to credits and totalEarned
  int GetCredits();
  bool BuySomething(int price);  // false when price > credits
  void Refund(int amount);       // adds to credits only

  // Each replaces its cap only with a strictly larger value.
  bool UpgradeMaxHp(int value);
  bool UpgradeMaxSpeed(float value);
  bool UpgradeMaxRecharge(int value);
  bool UpgradeMaxEnergy(int value);

  // The wall rule of every ship, computer players' too: a ship of size w x h
  // at (x, y), already moved back out of the wall it ran into, bounces at
  // half speed off the side two line probes through it find and loses a
  // quarter of the other component (off both with neither found).
  static void BounceOffWall(World& world, float x, float y, float w, float h, float& vx, float& vy);

 private:
  void StepFreezeAndDamage();
  void StepDeathAndRespawn();
  void StepWeapons();
  void StepSteering(bool boost);
  void StepStatsTimer();
  void StepMove();
};
