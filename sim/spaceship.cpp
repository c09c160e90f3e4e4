#include "sim/spaceship.h"

#include <vector>

#include "base/angle.h"
#include "base/gameutilities.h"
#include "base/keycodes.h"
#include "base/motion.h"
#include "net/messages.h"
#include "net/outbox.h"
#include "sim/bulletmanager.h"
#include "sim/enemymanager.h"
#include "world/world.h"

void SpaceShip::InitMe(float startY, float startX, float maxSpeed_, int energy_, int recharge_,
                       GameUtilities* utilities_, World* world_, BulletManager* bullets_,
                       EnemyManager* enemies_, SoundPlayer* sounds_, Outbox* outbox_, int team_,
                       float guid_, int minimapValue_, int hp_) {
  y = startY;
  x = startX;
  maxSpeed = maxSpeed_;
  energy = maxEnergy = energy_;
  recharge = recharge_;
  utilities = utilities_;
  world = world_;
  bullets = bullets_;
  enemies = enemies_;
  sounds = sounds_;
  outbox = outbox_;
  team = team_;
  guid = guid_;
  minimapValue = minimapValue_;
  hp = maxHp = hp_;
  vx = vy = angle = 0;
  alive = false;
  respawnRequested = false;
  for (Weapon& w : weapons) {
    w.InitMe(utilities);
    w.MakeMeWeapon(1);
  }
  width = height = 128;
  shipTexture = 0;
  credits = 50;
  totalEarned = 0;
  utility.InitMe();
}

void SpaceShip::UpdateMe(const std::atomic<bool>* keys, float& outVx, float& outVy, float w,
                         float h, int texture) {
  bool copy[256];
  for (int i = 0; i < 256; ++i) copy[i] = keys[i].load(std::memory_order_relaxed);
  UpdateMe(copy, outVx, outVy, w, h, texture);
}

void SpaceShip::UpdateMe(const bool* keys, float& outVx, float& outVy, float w, float h,
                         int texture) {
  width = w;
  height = h;
  shipTexture = texture;
  for (int i = 0; i < 256; ++i) keyState[i] = keys[i];
  spinPhase += 1;
  if (spinPhase >= 20) spinPhase = 1;

  StepFreezeAndDamage();
  StepDeathAndRespawn();
  StepStatsTimer();
  if (!alive) return;

  bool boost = false;
  utility.MainLoop(hp);
  if (keyState[vk::Shift]) boost = utility.ShiftPressed(energy, hp, x, y);
  if (hp > maxHp) hp = maxHp;
  if (energy > maxEnergy) energy = maxEnergy;

  StepWeapons();
  StepSteering(boost);
  outVx = vx;
  outVy = vy;
  StepMove();
  if (keyState[vk::Up] != engineOn) {
    engineOn = keyState[vk::Up];
    sendUpdate = true;
  }
}

// Freeze, recharge, kills, energy cap, weapon reloads and this frame's damage.
void SpaceShip::StepFreezeAndDamage() {
  frozenFrames += enemies->GetFrozenFrames();
  if (frozenFrames == 1) sendFullStats = true;
  frozenFrames -= 1;
  if (frozenFrames < 1) {
    frozenFrames = 0;
    energy += recharge;
  }
  std::vector<int> killed;
  kills += enemies->GetKills(killed);
  if (energy > maxEnergy) energy = maxEnergy;
  for (Weapon& w : weapons) w.MainLoop();

  // Energy is the shield: while any is left the hull takes a tenth.
  float energyDamage = 0, hullDamage = 0;
  enemies->MyDamage(energyDamage, hullDamage);
  energy -= static_cast<int>(energyDamage);
  if (energy < 0) energy = 0;
  if (energy > 0)
    hp -= static_cast<int>(0.1f * hullDamage);
  else
    hp -= static_cast<int>(hullDamage);
}

void SpaceShip::StepDeathAndRespawn() {
  if (hp < 0 && alive) {
    deaths += 1;
    sendFullStats = true;
    alive = false;
    frozenFrames = 0;
    enemies->PostDeath(name, guid, bounty);
    vx = vy = 0;
  }
  if (respawnRequested) {
    alive = true;
    hp = maxHp;
    energy = maxEnergy;
    do {
      x = utilities->RangedRandom(600, 20000);
      y = utilities->RangedRandom(600, 20000);
    } while (world->CollisionObjects(x - width / 2, y - height / 2, width, height));
    bounty = static_cast<int>(0.1f * totalEarned) + 100;
    sendFullStats = true;
  }
  respawnRequested = false;
}

void SpaceShip::StepWeapons() {
  bool down[4];
  for (int slot = 0; slot < 4; ++slot) down[slot] = keyState[vk::Fire[slot]];
  Weapon::PullTriggers(weapons, down, [&](int slot) {
    bullets->ShootMe(weapons[slot], energy, x, y, angle, vx, vy, guid);
  });
}

void SpaceShip::StepSteering(bool boost) {
  const ShipControls keys{keyState[vk::Left], keyState[vk::Right], keyState[vk::Up],
                          keyState[vk::Down]};
  ShipRules rules;
  rules.limit = boost ? 1.2f * maxSpeed : maxSpeed;
  rules.boost = boost;
  rules.wrap = true;
  if (SteerShip(angle, vx, vy, keys, rules) && boost) sendUpdate = true;
  const bool held[4] = {keyState[vk::Down], keyState[vk::Up], keyState[vk::Left],
                        keyState[vk::Right]};
  bool* sent[4] = {&downHeld, &upHeld, &leftHeld, &rightHeld};
  for (int i = 0; i < 4; ++i) {
    if (held[i] != *sent[i]) {
      *sent[i] = held[i];
      sendUpdate = true;
    }
  }
}

// At least every 15th frame a state goes out, also while dead in the shop:
// the other copies drop a row that stays silent for 750 frames, and a player
// dropped there would come back from the shop invisible to them, its shots
// and hits ignored. A dead ship's state carries the off-field position.
void SpaceShip::StepStatsTimer() {
  statsTimer += 1;
  if (statsTimer >= 15) {
    statsTimer = 0;
    sendUpdate = true;
  }
}

void SpaceShip::BounceOffWall(World& world, float x, float y, float w, float h, float& vx,
                              float& vy) {
  bool vertical = world.CollisionObjects(x - w / 2, y - 0.75f * h, 0, 1.5f * h);
  bool horizontal = world.CollisionObjects(x - 0.75f * w, y - h / 2, 1.5f * w, 0);
  if (!vertical && !horizontal) vertical = horizontal = true;
  if (horizontal) {
    vx = -0.5f * vx;
    vy = 0.75f * vy;
  }
  if (vertical) {
    vy = -0.5f * vy;
    vx = 0.75f * vx;
  }
}

// Moves; a move into a wall is undone and the ship bounces, so it never ends
// a frame inside a wall.
void SpaceShip::StepMove() {
  x += vx;
  y += vy;
  if (!world->CollisionObjects(x - width / 2, y - height / 2, width, height)) return;
  x -= vx;
  y -= vy;
  sendUpdate = true;
  BounceOffWall(*world, x, y, width, height, vx, vy);
}

msg::FullState SpaceShip::FullStateMessage() const {
  const float sx = alive ? x : -30000.0f, sy = alive ? y : -30000.0f;
  return msg::FullState{guid,         sx,       sy,       angle,    alive,       upHeld,
                        frozenFrames, bounty,   width,    height,   shipTexture, vx,
                        vy,           maxSpeed, downHeld, leftHeld, rightHeld};
}

void SpaceShip::PostState() {
  const float sx = alive ? x : -30000.0f, sy = alive ? y : -30000.0f;
  if (sendFullStats) {
    outbox->Post(FullStateMessage(), Delivery::Reliable);
  } else if (sendUpdate) {
    msg::ShortState m{guid, sx, sy, angle, upHeld, bounty, vx, vy, downHeld, leftHeld, rightHeld};
    outbox->Post(m, Delivery::Unreliable);
  }
  sendFullStats = false;
  sendUpdate = false;
}

// ---- Weapon slots, wallet, upgrades ----

bool SpaceShip::ChangeWeapon(int slot, int weaponId) {
  if (slot < 0 || slot > 3) return false;
  Weapon probe;
  probe.MakeMeWeapon(weaponId);
  for (const Weapon& w : weapons)
    if (w.name == probe.name) return false;
  weapons[slot].MakeMeWeapon(weaponId);
  return true;
}

void SpaceShip::ChangeWeaponNoCheck(int slot, int weaponId) {
  if (slot < 0 || slot > 3) return;
  weapons[slot].MakeMeWeapon(weaponId);
}

std::string SpaceShip::GetWeaponName(int slot) {
  if (slot < 0 || slot > 3) return std::string();
  return weapons[slot].name;
}

void SpaceShip::UpdateCredits(int amount) {
  credits += amount;
  totalEarned += amount;
}

int SpaceShip::GetCredits() { return credits; }

bool SpaceShip::BuySomething(int price) {
  if (price > credits) return false;
  credits -= price;
  return true;
}

void SpaceShip::Refund(int amount) { credits += amount; }

namespace {
template <typename T>
bool Raise(T& cap, T value) {
  if (value <= cap) return false;
  cap = value;
  return true;
}
}  // namespace

bool SpaceShip::UpgradeMaxHp(int value) { return Raise(maxHp, value); }
bool SpaceShip::UpgradeMaxSpeed(float value) { return Raise(maxSpeed, value); }
bool SpaceShip::UpgradeMaxRecharge(int value) { return Raise(recharge, value); }
bool SpaceShip::UpgradeMaxEnergy(int value) { return Raise(maxEnergy, value); }
