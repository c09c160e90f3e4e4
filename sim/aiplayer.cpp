// AiPlayer: set-up, the per-frame reflex, firing and the projectile update.
#include "sim/aiplayer.h"

#include <algorithm>
#include <cmath>

#include "base/gameutilities.h"
#include "base/heading.h"
#include "base/keycodes.h"
#include "base/motion.h"
#include "sim/enemymanager.h"
#include "sim/projectileframe.h"
#include "sim/spaceship.h"
#include "world/world.h"

namespace {
constexpr float kBackOffDistance = 600;  // closer than this the ship reverses
constexpr float kNoTarget = 1000000;
constexpr float kLocalShipBox = 128;  // the local ship's box as projectiles see it
constexpr int kFreezeFrames = 50;

constexpr int kBotNameCount = AiPlayer::kNameCount;
const char* const* const kBotNames = AiPlayer::kNames;

// The name for draw `drawn` (1..6; anything else is "hmm?"). Six names for
// six computer players drawn at random nearly always repeat one, and the kill
// texts then read "Devastator showed that Devastator ...": a name another
// computer player in the table already has gives way to the next free one.
std::string FreeBotName(const EnemyManager& table, int drawn) {
  if (drawn < 1 || drawn > kBotNameCount) return "hmm?";
  for (int k = 0; k < kBotNameCount; ++k) {
    const std::string name = kBotNames[(drawn - 1 + k) % kBotNameCount];
    const bool taken =
        std::any_of(table.players.begin(), table.players.end(),
                    [&](const EnemyManager::player& p) { return p.isComputer && p.name == name; });
    if (!taken) return name;
  }
  return kBotNames[drawn - 1];
}
}  // namespace

const char* const AiPlayer::kNames[kNameCount] = {"PNX100-313", "Devastator", "Rusted Metal",
                                                  "ScrapHeap",  "BlueScreen", "Illegal Operator"};

// maxSpeed, energy, recharge, hp, size, texture, weapon ids of slots 0-3.
const AiPlayer::Hull AiPlayer::kHulls[15] = {
    {40, 2500, 20, 85, 128, 0, {15, 4, 2, 3}},    {25, 2000, 25, 85, 128, 0, {15, 12, 12, 5}},
    {25, 2250, 20, 135, 144, 0, {15, 10, 18, 6}}, {35, 3000, 30, 55, 128, 0, {2, 4, 10, 11}},
    {30, 2000, 15, 110, 128, 0, {11, 4, 16, 13}}, {20, 2250, 15, 145, 144, 20, {15, 17, 16, 8}},
    {20, 2000, 10, 225, 196, 20, {6, 3, 18, 13}}, {10, 4000, 30, 165, 196, 20, {17, 10, 11, 0}},
    {10, 4000, 30, 565, 256, 20, {0, 1, 5, 14}},  {25, 4000, 30, 165, 196, 20, {12, 19, 8, 14}},
    {40, 1800, 25, 85, 96, 42, {15, 12, 16, 8}},  {45, 1800, 20, 65, 96, 42, {11, 4, 16, 19}},
    {75, 1250, 25, 75, 80, 42, {11, 4, 16, 19}},  {35, 2000, 16, 85, 112, 42, {4, 12, 18, 6}},
    {40, 1000, 16, 75, 96, 42, {18, 18, 18, 19}},
};

// ---------------------------------------------------------------- set-up

void AiPlayer::InitMe(float* camWidth, float* camHeight, EnemyManager* enemyTable, World* level,
                      ExplosionManager* explosionManager, GameUtilities* glUtilities,
                      int teamNumber) {
  Wire(camWidth, camHeight, enemyTable, level, explosionManager, glUtilities, teamNumber);
  guid = utilities->GenerateGUID();
  const int drawn = (int)utilities->RangedRandom(1, 7);
  row = enemies->AddPlayer(128, 128, 0, guid, FreeBotName(*enemies, drawn), true, team, 1);
}

// The row's team is the ship's own, so that its reflex and its projectiles
// pass over it as they do in the single-player game.
void AiPlayer::InitNetworked(EnemyManager* enemyTable, World* level,
                             ExplosionManager* explosionManager, GameUtilities* glUtilities,
                             int teamNumber, float rowGuid, Voice* speaker) {
  Wire(nullptr, nullptr, enemyTable, level, explosionManager, glUtilities, teamNumber);
  guid = rowGuid;
  voice = speaker;
  row = enemies->playernumbyguid(guid);
  if (row >= 0) enemies->players[row].team = team;
}

void AiPlayer::Wire(float* camWidth, float* camHeight, EnemyManager* enemyTable, World* level,
                    ExplosionManager* explosionManager, GameUtilities* glUtilities,
                    int teamNumber) {
  *this = AiPlayer();
  cameraWidth = camWidth;
  cameraHeight = camHeight;
  enemies = enemyTable;
  world = level;
  explosions = explosionManager;
  utilities = glUtilities;
  for (Weapon& w : weapons) w.InitMe(utilities);
  shrapnel.InitMe(utilities);
  team = teamNumber;
}

void AiPlayer::SetUpShip(float speedLimit, int hull, int shield, int rechargeRate, float w, float h,
                         int texture) {
  maxSpeed = speedLimit;
  vx = vy = 0;
  RandomPlacement();  // with the size held before this call
  hp = maxHp = hull;
  energy = maxEnergy = shield;
  recharge = rechargeRate;
  width = w;
  height = h;
  shipTexture = texture;
  // The new size may reach into a wall the old one cleared.
  if (world->CollisionObjects(x - width / 2, y - height / 2, width, height)) RandomPlacement();
  enemies->UpdateWeirdVars(row, width, height, shipTexture, 1);
  PublishRow();
}

void AiPlayer::SetUpWeapons(int id0, int id1, int id2, int id3) {
  weapons[0].MakeMeWeapon(id0);
  weapons[1].MakeMeWeapon(id1);
  weapons[2].MakeMeWeapon(id2);
  weapons[3].MakeMeWeapon(id3);
}

void AiPlayer::MakeMeSimpleShip() {
  int k = (int)utilities->RangedRandom(0, 15);
  if (k < 0 || k > 13) k = 14;
  const Hull& hull = kHulls[k];
  maxSpeed = hull.maxSpeed;
  energy = maxEnergy = hull.energy;
  recharge = hull.recharge;
  hp = maxHp = hull.hp;
  width = height = hull.size;
  shipTexture = hull.texture;
  SetUpWeapons(hull.weapons[0], hull.weapons[1], hull.weapons[2], hull.weapons[3]);
  // A larger hull may now reach into a wall next to the old spot.
  if (world->CollisionObjects(x - width / 2, y - height / 2, width, height)) RandomPlacement();
  enemies->UpdateWeirdVars(row, width, height, shipTexture, 1);
  PublishRow();
}

void AiPlayer::RandomPlacement() {
  do {
    x = utilities->RangedRandom(600, 20000);
    y = utilities->RangedRandom(600, 20000);
  } while (world->CollisionObjects(x - width / 2, y - height / 2, width, height));
}

bool AiPlayer::FiresAt(int category, float distance) {
  // Range classes: close, middle, far and out of reach.
  const int rangeClass = distance < 350 ? 1 : distance < 1000 ? 2 : distance < 5000 ? 3 : 4;
  switch (rangeClass) {
    case 1: return category == 2 || category == 3 || category == 5 || category == 6;
    case 2: return category == 1 || category == 3 || category == 4 || category == 5;
    case 3: return category == 0 || category == 4 || category == 5 || category == 6;
    default: return category == 0 || category == 6;
  }
}

void AiPlayer::TurnKeys(float theta, float angle, bool& left, bool& right) {
  // Only theta - 360 is tried as the other way round, so some turns take
  // the long way; that is the reflex's character, kept as it is.
  const float m = std::min(std::fabs(theta - angle), std::fabs(theta - 360 - angle));
  left = right = false;
  if (angle > theta) {
    if (angle - theta > m)
      left = true;
    else
      right = true;
  } else if (theta > angle) {
    if (theta - angle > m)
      right = true;
    else
      left = true;
  }
}

// ---------------------------------------------------------------- one frame

void AiPlayer::UpdateMe(SpaceShip& player) { Step(&player); }

void AiPlayer::UpdateMe() { Step(nullptr); }

void AiPlayer::Step(const SpaceShip* player) {
  // A networked game in mode 1 runs the frame's computer players, which only
  // the single-player game sets up: one never set up sits the frame out.
  if (!enemies) return;
  // Rows behind a removed one shift down; follow our own by its identity.
  if (!enemies->ValidRow(row) || enemies->players[row].guid != guid)
    row = enemies->playernumbyguid(guid);
  ApplyFreezeAndDamage();
  CheckDeath();
  ChooseKeys(player);
  if (!alive) std::fill(std::begin(keys), std::end(keys), false);
  FireWeapons();
  Steer();
  CollideWithWalls();
  PublishRow();
  // In a networked game the row's projectiles come from what this ship
  // announces, as every other player's do.
  if (!voice) enemies->ResetBullets(row);
  UpdateBullets(player);
  if (!voice) PublishBullets();
}

// A networked game's row carries the keys and the speed limit, so that the
// row moves between frames as the other copies predict it.
void AiPlayer::PublishRow() {
  if (!voice) {
    enemies->UpdatePlayer(row, x, y, angle, frozenFrames, keys[vk::Up], 0, 0, 0);
    return;
  }
  enemies->UpdatePlayer(row, x, y, angle, frozenFrames, keys[vk::Up], bounty, vx, vy,
                        keys[vk::Down], keys[vk::Left], keys[vk::Right], maxSpeed);
}

void AiPlayer::ApplyFreezeAndDamage() {
  frozenFrames += enemies->GetEnemyFrozenFrames(row);
  frozenFrames += enemies->GetAiFrozenFrames(row) - 1;
  if (frozenFrames < 1) {
    frozenFrames = 0;
    energy += recharge;
  }
  energy = std::min(energy, maxEnergy);
  for (Weapon& w : weapons) w.MainLoop();
  // The local player's share stays in the row; the table reports and clears
  // it at the start of the next frame.
  const float e = enemies->GetEngDamage(row) + enemies->GetAiEnergyDamage(row);
  const float h = enemies->GetPhysDamage(row) + enemies->GetAiDamages(row);
  energy = std::max(0, energy - (int)e);
  if (energy > 0)
    hp -= (int)(0.1f * h);
  else
    hp -= (int)h;
}

// A dead ship respawns in the same frame with a new hull; `alive` stays
// false for exactly that frame, so the kill is credited once.
void AiPlayer::CheckDeath() {
  const int hitter = enemies->GetAiPlayerHit(row);
  if (hp >= 1) {
    alive = true;
    return;
  }
  const bool credit = alive;
  if (!voice && credit && hitter == -1) enemies->AddKill(row);
  if (!voice && credit && hitter >= 0) enemies->AddAiKill(row, hitter);
  MakeMeSimpleShip();
  RandomPlacement();
  frozenFrames = 0;
  alive = false;
  hp = maxHp;
  energy = maxEnergy;
  if (voice && credit) voice->Died(hitter);
}

void AiPlayer::ChooseKeys(const SpaceShip* player) {
  float best = kNoTarget;
  int target = -1;
  const float dp = player ? std::hypot(x - player->x, y - player->y) : kNoTarget;
  if (player && player->team != team && player->alive) best = dp;
  const std::vector<EnemyManager::player>& rows = enemies->players;
  for (int i = 0; i < (int)rows.size(); i++) {
    const float d = std::hypot(rows[i].x - x, rows[i].y - y);
    if (d < best && rows[i].team != team) {
      target = i;
      best = d;
    }
  }

  const bool approach = best > kBackOffDistance;
  keys[vk::Up] = approach;
  keys[vk::Down] = !approach;

  if (!player && target < 0) {  // nobody to hunt
    keys[vk::Left] = keys[vk::Right] = false;
    for (int slot = 0; slot < 4; slot++) keys[vk::Fire[slot]] = false;
    return;
  }
  const float tx = target < 0 ? player->x : rows[target].x;
  const float ty = target < 0 ? player->y : rows[target].y;
  TurnKeys(HeadingTowards(x, y, tx, ty, angle), angle, keys[vk::Left], keys[vk::Right]);
  // The single-player game ranges by the local player, wherever the target.
  const float range = player ? dp : best;
  for (int slot = 0; slot < 4; slot++)
    keys[vk::Fire[slot]] = FiresAt(weapons[slot].category, range);
}

void AiPlayer::FireWeapons() {
  bool down[4];
  for (int slot = 0; slot < 4; slot++) down[slot] = keys[vk::Fire[slot]];
  Weapon::PullTriggers(weapons, down, [this](int slot) { ShootMe(slot); });
}

// TurnKeys never holds left and right together, so the order of the turns
// does not matter here.
void AiPlayer::Steer() {
  ShipRules rules;
  rules.limit = maxSpeed;
  rules.wrap = true;
  SteerShip(angle, vx, vy, {keys[vk::Left], keys[vk::Right], keys[vk::Up], keys[vk::Down]}, rules);
}

// Moves by the velocity; on wall contact the ship stays where it was (the
// saved position, so no rounding can leave it touching the wall) and
// bounces as every ship does.
void AiPlayer::CollideWithWalls() {
  const float oldX = x, oldY = y;
  x += vx;
  y += vy;
  bounced = world->CollisionObjects(x - width / 2, y - height / 2, width, height);
  if (!bounced) return;
  x = oldX;
  y = oldY;
  SpaceShip::BounceOffWall(*world, x, y, width, height, vx, vy);
}

// The row's copies carry no motion: they are rebuilt from the live
// projectiles every frame and only drawn and hit-tested from there.
void AiPlayer::PublishBullets() {
  for (const Bullet& b : bullets) {
    if (!b.active) continue;
    enemies->NewBullet(row, b.x, b.y, b.width, b.height, b.direction, (float)b.style, b.texture,
                       b.lifeLeft, 0, 0, 0, 0, 0, 0, 0);
  }
}

// ---------------------------------------------------------------- firing

AiPlayer::Bullet& AiPlayer::FreeBulletSlot() {
  for (Bullet& b : bullets)
    if (!b.active) return b;
  bullets.emplace_back();
  return bullets.back();
}

void AiPlayer::ShootMe(int slot) {
  if (slot < 0 || slot > 3) return;
  Weapon& w = weapons[slot];
  std::vector<Weapon::Shot> volley;
  w.Fire(volley, energy);
  for (const Weapon::Shot& t : volley) {
    Bullet& b = FreeBulletSlot();
    b.Launch(t, x, y, angle, vx, vy);
    if (w.charged) b.GrowWithCharge(w.chargeCount);
    b.direction = angle + utilities->RangedRandom(-t.spread, t.spread) + t.aimOffset;
    if (voice) {
      b.guid = utilities->GenerateGUID();
      voice->Fired(b);
    }
  }
}

void AiPlayer::ShootMe(float fromX, float fromY) {
  std::vector<Weapon::Shot> volley;
  shrapnel.Fire(volley);
  for (const Weapon::Shot& t : volley) {
    Bullet& b = FreeBulletSlot();
    b.Launch(t, fromX, fromY, 0, 0, 0);
    b.direction = utilities->RangedRandom(-t.spread, t.spread) + t.aimOffset;
    b.Scatter(*utilities);
    if (voice) {
      b.guid = utilities->GenerateGUID();
      voice->Fired(b);
    }
  }
}

// ---------------------------------------------------------------- projectiles

void AiPlayer::HurtPlayer(const Projectile::Damage& d) {
  if (voice)
    voice->Hurt(-1, d.energy, d.hull);
  else
    enemies->GetDamaged(d.energy, d.hull, row);
}

void AiPlayer::HurtRow(int i, const Projectile::Damage& d, int freeze) {
  if (voice)
    voice->Hurt(i, d.energy, d.hull);
  else
    enemies->AiDamagePlayer(i, d.energy, d.hull, row, freeze);
}

void AiPlayer::UpdateBullets(SpaceShip& player) { UpdateBullets(&player); }

namespace {

// What a computer player's homing projectiles chase: every row of the table
// but its own, and the local ship, which wins a tie.
struct EveryoneElse final : HomingTargets {
  const EnemyManager* table;
  int ownRow;
  const SpaceShip* player;
  EveryoneElse(const EnemyManager* t, int own, const SpaceShip* p)
      : table(t), ownRow(own), player(p) {}
  Target Nearest(float x, float y) const override {
    Target t;
    const std::vector<EnemyManager::player>& rows = table->players;
    for (int i = 0; i < (int)rows.size(); i++) {
      const float d = std::hypot(rows[i].x - x, rows[i].y - y);
      if (i != ownRow && d <= t.distance) t = {rows[i].x, rows[i].y, d};
    }
    const float d = player ? std::hypot(player->x - x, player->y - y) : kNoTarget;
    if (player && d <= t.distance) t = {player->x, player->y, d};
    return t;
  }
};

}  // namespace

void AiPlayer::UpdateBullets(const SpaceShip* player) {
  const EveryoneElse targets(enemies, row, player);
  // Fragments launched during this pass first move next frame.
  const size_t count = bullets.size();
  for (size_t k = 0; k < count; k++) {
    if (!bullets[k].active) continue;
    const bool touchesPlayer = MoveBullet(bullets[k], targets, player);
    if (!bullets[k].active) {
      Bullet ended = bullets[k];  // the burst below may grow the list
      EndBullet(ended, touchesPlayer);
    }
  }
}

// Whether b touches the local ship, of another team and alive.
bool AiPlayer::TouchesPlayer(const Bullet& b, const SpaceShip* player) const {
  return player && player->team != team && player->alive &&
         utilities->RectRect(b.x - b.width / 2, b.y - b.height / 2, b.height, b.width,
                             player->x - kLocalShipBox / 2, player->y - kLocalShipBox / 2,
                             kLocalShipBox, kLocalShipBox);
}

bool AiPlayer::TouchesEnemyRow(const Bullet& b) const {
  for (int i : enemies->HitMeRetPlayers(b.x - b.width / 2, b.y - b.height / 2, b.width, b.height))
    if (enemies->GetTeam(i) != team) return true;
  return false;
}

// One frame of flight; returns whether the projectile touches the local
// ship where it now is. A projectile that touches an enemy ends.
bool AiPlayer::MoveBullet(Bullet& b, const HomingTargets& targets, const SpaceShip* player) {
  const FlightNews news = FlyOwnProjectile(b, *world, targets);
  const bool touchesPlayer = TouchesPlayer(b, player);
  if (touchesPlayer || (b.active && TouchesEnemyRow(b))) b.active = false;
  if (voice && news.tell && b.active) voice->Steered(b);
  return touchesPlayer;
}

void AiPlayer::EndBullet(Bullet& b, bool touchesPlayer) {
  if (voice) voice->Ended(b);
  const bool freezes = b.behaviour == behaviour::Freezes;
  if (touchesPlayer) HurtPlayer(b.RollDamage(*utilities));
  if (touchesPlayer && freezes) {
    if (voice)
      voice->Froze(-1, kFreezeFrames);
    else
      enemies->FreezePlayer(kFreezeFrames);
  }
  for (int i : enemies->HitMeRetPlayers(b.x - b.width / 2, b.y - b.height / 2, b.width, b.height)) {
    if (enemies->GetTeam(i) == team && !b.hurtsOwner) continue;
    HurtRow(i, b.RollDamage(*utilities), 0);
    if (freezes && voice) voice->Froze(i, kFreezeFrames);
    if (freezes && !voice) HurtRow(i, b.RollDamage(*utilities), kFreezeFrames);
  }
  b.Explode(explosions);
  if (b.burst == 2) {
    shrapnel.MakeMeShrapnel();
    ShootMe(b.x, b.y);
  }
}
