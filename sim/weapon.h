// Weapon: one weapon slot's loadout. Firing hands copies of the shot
// templates to the projectile manager, which turns each into a live
// projectile placed relative to the ship. Every weapon kind is one MakeMe...
// operation filling the fields with fixed values; this file is the single
// place where weapon ids are defined.
#pragma once

#include <string>
#include <vector>

class GameUtilities;

// Special flight or hit rule of a projectile.
namespace behaviour {
constexpr int None = 0;
constexpr int Weaving = 1;      // turn rate flips every 20 frames
constexpr int PassesWalls = 2;  // ignores level walls
constexpr int Freezes = 3;      // freezes the target's energy recharge
constexpr int Homing = 4;       // steers toward the nearest opponent
constexpr int Reflex = 5;       // turns back when 100 frames of life are left
constexpr int Shrapnel = 6;     // random drift and life when launched
constexpr int MuzzleFlash = 7;  // flash on the first frame
}  // namespace behaviour

// Drawing style of a projectile.
namespace shotstyle {
constexpr int Beam = 1, SmallRocket = 2, Rocket = 3, LongBeam = 4, Lightning = 5;
constexpr int Mine = 6, Bomb = 7, Fragment = 8, Orb = 12;
}  // namespace shotstyle

// Number of weapon ids the shop and the computer players can name (0..21).
constexpr int kWeaponIds = 22;

class Weapon {
 public:
  // One projectile of a volley.
  struct Shot {
    int texture = 0;          // texture slot of the projectile picture
    float aimOffset = 0;      // degrees added to the heading for the flight direction
    float mountAngle = 0;     // degrees (relative to heading) of the spawn point
    float mountDistance = 0;  // distance of the spawn point from the ship's centre
    float width = 0, height = 0;
    bool bounces = false;    // bounces off walls instead of dying there
    int maxBounces = 32;     // wall contacts allowed to a bouncing projectile
    int lifetime = 0;        // frames of flight
    float speed = 0;         // units per frame along the direction
    float turnRate = 0;      // degrees added to the direction every frame
    int behaviour = 0;       // see namespace behaviour
    float inherit = 0;       // share of the ship's velocity added to the drift
    float acceleration = 0;  // drift added along the direction while young (kAccelerationFrames)
    int blast = 0;           // explosion at the end: 0 none, 1..5 (512, 256, 1024, 64, 2048)
    float spread = 0;        // uniform random deviation, +-spread degrees
    int style = 0;           // see namespace shotstyle
    float damageMin = 0, damageMax = 0;
    float energyDamageMin = 0, energyDamageMax = 0;
    int sound = 0;                // sound slot played when the volley leaves
    bool soundOnChannel = false;  // play on the fixed channel instead of a free one
    bool hurtsOwner = false;      // the end also damages the own ship when close
    int burst = 0;                // 2 = bursts into shrapnel at the end
  };

  std::string name;         // display name; also the identity that forbids carrying a weapon twice
  int category = 0;         // class code read by the computer players
  int chargeCount = 0;      // frames the fire key has been held
  bool charged = false;     // projectiles scale with chargeCount
  int chargeThreshold = 0;  // charge frames after which it fires; 0 = every frame
  bool held = false;        // the fire key is being held
  int energyCost = 0;       // energy per volley
  int cooldown = 0;         // frames until the next volley is possible
  GameUtilities* utilities = nullptr;
  int reloadFrames = 0;     // put into cooldown after each volley
  std::vector<Shot> shots;  // the volley, in order

  void InitMe(GameUtilities* utilities);

  // Any id outside 0..21 makes a Laser.
  void MakeMeWeapon(int id);

  void MakeMeLightning();            // 0
  void MakeMeLaser();                // 1
  void MakeMeHEL();                  // 2
  void MakeMeHighExplosiveRocket();  // 3
  void MakeMeHFL();                  // 4
  void MakeMeFastFiringRocket();     // 5
  void MakeMeWeavingRockets();       // 6
  void MakeMeFirestorm();            // 7
  void MakeMeSpaceMines();           // 8
  void MakeMePlanetDestroyer();      // 9
  void MakeMeBombProjector();        // 10
  void MakeMeEnergyFreezer();        // 11
  void MakeMeQuadGauss();            // 12
  void MakeMeHeatSeekingRocket();    // 13
  void MakeMeMineStorm();            // 14
  void MakeMeTwinGauss();            // 15
  void MakeMeGaussCannon();          // 16
  void MakeMeReflexBomb();           // 17
  void MakeMeClusterRocket();        // 18
  void MakeMeClusterMines();         // 19
  void MakeMeTriGauss();             // 20
  void MakeMeNuke();                 // 21
  void MakeMeShrapnel();             // no id: the projectile manager's burst weapon

  // Once per frame: cooldown -= 1, not below 0.
  void MainLoop();

  // One volley with cost and cooldown: on success appends a copy of every
  // template to out, sets cooldown and takes the energy; otherwise out is
  // left empty and nothing changes.
  void Fire(std::vector<Shot>& out, int& energy);
  // Appends every template; no cost, no cooldown (shrapnel).
  void Fire(std::vector<Shot>& out);

  // The triggers of a ship's four slots for one frame, down[slot] telling
  // which fire keys are held; shoot(slot) fires a slot while its charge still
  // counts. A charged weapon fires when its threshold is reached or when the
  // key is let go before that; threshold 0 fires on every frame the key is
  // down (reload and cost decide whether anything leaves). Thresholds fire
  // first, then releases, each in slot order: the order of the volleys is
  // the order of their random draws.
  template <class Shoot>
  static void PullTriggers(Weapon (&weapons)[4], const bool (&down)[4], Shoot shoot) {
    for (int slot = 0; slot < 4; ++slot) {
      Weapon& w = weapons[slot];
      if (!down[slot]) continue;
      w.held = true;
      w.chargeCount += 1;
      if (w.chargeCount >= w.chargeThreshold) {
        shoot(slot);
        w.held = false;
        w.chargeCount = 0;
      }
    }
    for (int slot = 0; slot < 4; ++slot) {
      Weapon& w = weapons[slot];
      if (down[slot] || !w.held) continue;
      shoot(slot);
      w.held = false;
      w.chargeCount = 0;
    }
  }

 private:
  void SetKind(const char* name, int category, int energyCost, int reloadFrames,
               int chargeThreshold = 0, bool charged = false);
};
