// EnemyManager: rows, projectiles, hit tests, damage and kill accounting,
// and the per-frame update. Drawing lives in enemymanager_draw.cpp.
#include "sim/enemymanager.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/gameutilities.h"
#include "base/motion.h"
#include "base/timing.h"
#include "net/messages.h"
#include "net/outbox.h"
#include "sim/explosionmanager.h"

namespace {
constexpr int kLongUpdateGrace = 750;    // frames a network-updated row survives silence
constexpr int kShortUpdateGrace = 1750;  // after creation and the short update
constexpr int kBulletEraseLife = -10;    // remote projectiles linger until this life
// Nobody to credit: a computer player's recorded hitter that has left the table.
constexpr int kNoHitter = -2;
}  // namespace

void EnemyManager::InitMe(GameUtilities* utilities_, MessageSink messages_, SoundPlayer* sounds_,
                          Outbox* outbox_, ExplosionManager* explosions_) {
  utilities = utilities_;
  messages = std::move(messages_);
  sounds = sounds_;
  outbox = outbox_;
  explosions = explosions_;
}

// ---------------------------------------------------------------- rows

int EnemyManager::AddPlayer(float width, float height, int texture, float guid, std::string name,
                            bool isComputer, int team, int spawned) {
  if ((int)players.size() >= kMaxPlayers) return -1;
  gridFiled_ = false;
  player p;
  p.width = width;
  p.height = height;
  p.texture = texture;
  p.guid = guid;
  p.name = std::move(name);
  p.isComputer = isComputer;
  p.team = team;
  p.spawned = spawned;
  p.timeoutFrames = kShortUpdateGrace;
  players.push_back(std::move(p));
  return (int)players.size() - 1;
}

void EnemyManager::UpdatePlayer(int i, float x, float y, float angle, int frozenFrames, bool upHeld,
                                int bounty, float vx, float vy) {
  if (!ValidRow(i)) return;
  gridFiled_ = false;
  player& p = players[i];
  p.x = x;
  p.y = y;
  p.angle = angle;
  p.frozenFrames = frozenFrames;
  p.upHeld = upHeld;
  p.bounty = bounty;
  p.vx = vx;
  p.vy = vy;
  p.leftHeld = p.rightHeld = p.downHeld = false;
  p.maxSpeed = 0;
  p.timeoutFrames = kShortUpdateGrace;
}

void EnemyManager::UpdatePlayer(int i, float x, float y, float angle, int frozenFrames, bool upHeld,
                                int bounty, float vx, float vy, bool downHeld, bool leftHeld,
                                bool rightHeld, float maxSpeed) {
  if (!ValidRow(i)) return;
  gridFiled_ = false;
  player& p = players[i];
  p.x = x;
  p.y = y;
  p.angle = angle;
  p.upHeld = upHeld;
  p.leftHeld = leftHeld;
  p.rightHeld = rightHeld;
  p.downHeld = downHeld;
  p.bounty = bounty;
  p.vx = vx;
  p.vy = vy;
  // The short network state carries neither; -1 keeps the last known values.
  if (frozenFrames != -1) p.frozenFrames = frozenFrames;
  if (maxSpeed > 0) p.maxSpeed = maxSpeed;
  p.timeoutFrames = kLongUpdateGrace;
}

void EnemyManager::UpdateWeirdVars(int i, float width, float height, int texture, int spawned) {
  if (!ValidRow(i)) return;
  gridFiled_ = false;
  players[i].width = width;
  players[i].height = height;
  players[i].texture = texture;
  players[i].spawned = spawned;
}

// Indices behind the removed row shift down; the references to rows this
// table keeps shift with them, and a reference to the removed row itself
// becomes "nobody", so a later death is never credited to whoever moved
// into that index.
void EnemyManager::RemoveEnemy(int i) {
  if (!ValidRow(i)) return;
  gridFiled_ = false;
  players.erase(players.begin() + i);
  if (lastAttacker == i)
    lastAttacker = -1;
  else if (lastAttacker > i)
    lastAttacker--;
  for (player& p : players) {
    if (p.lastHitter == i)
      p.lastHitter = kNoHitter;
    else if (p.lastHitter > i)
      p.lastHitter--;
  }
  killed.erase(std::remove(killed.begin(), killed.end(), i), killed.end());
  for (int& k : killed)
    if (k > i) k--;
}

int EnemyManager::playernumbyguid(float guid) {
  for (int i = 0; i < (int)players.size(); i++)
    if (players[i].guid == guid) return i;
  return -1;
}

// ---------------------------------------------------------------- queries

std::string EnemyManager::GetName(int i) { return ValidRow(i) ? players[i].name : ""; }

int EnemyManager::GetTeam(int i) { return ValidRow(i) ? players[i].team : 0; }

void EnemyManager::GetCoords(float& x, float& y, int i) {
  if (!ValidRow(i)) return;
  x = players[i].x;
  y = players[i].y;
}

std::vector<float> EnemyManager::GetDistances(float x, float y) {
  std::vector<float> d;
  d.reserve(players.size());
  for (const player& p : players) d.push_back(std::hypot(p.x - x, p.y - y));
  return d;
}

// ---------------------------------------------------------------- projectiles

void EnemyManager::NewBullet(int i, float x, float y, float width, float height, float angle,
                             float drawKind, int texture, int life, float speed, int behaviour,
                             float turn, float vx, float vy, float id, float accel) {
  if (!ValidRow(i)) return;
  std::vector<bullet>& list = players[i].bullets;
  if ((int)list.size() >= kMaxBulletsPerPlayer) return;
  bullet b;
  b.id = id;
  b.accel = accel;
  b.startLife = life;
  b.texture = texture;
  b.x = x;
  b.y = y;
  b.width = width;
  b.height = height;
  b.angle = angle;
  b.drawKind = drawKind;
  b.life = life;
  b.behaviour = behaviour;
  b.speed = speed;
  b.turn = turn;
  b.vx = vx;
  b.vy = vy;
  list.push_back(b);
  players[i].bulletIndex.Added(id, (int)list.size() - 1);
}

EnemyManager::bullet* EnemyManager::FindBullet(player& p, float id) {
  const int k = p.bulletIndex.Find(id);
  return k < 0 ? nullptr : &p.bullets[k];
}

// The last projectile fills the hole: constant time, and the index follows.
void EnemyManager::RemoveBullet(player& p, int k) {
  std::vector<bullet>& list = p.bullets;
  const float id = list[k].id;
  const bool lookForAnother = p.bulletIndex.Removed(id, k);
  const int last = (int)list.size() - 1;
  if (k != last) {
    list[k] = list[last];
    p.bulletIndex.Moved(list[k].id, last, k);
  }
  list.pop_back();
  if (!lookForAnother) return;
  for (int j = 0; j < (int)list.size(); j++) {
    if (list[j].id == id) {
      p.bulletIndex.Found(id, j);
      return;
    }
  }
}

void EnemyManager::UpdateBullet(int i, float x, float y, float width, float height, float angle,
                                float drawKind, int texture, int life, float speed, int behaviour,
                                float turn, float vx, float vy, float id, float accel) {
  if (!ValidRow(i)) return;
  bullet* b = FindBullet(players[i], id);
  if (!b) {
    NewBullet(i, x, y, width, height, angle, drawKind, texture, life, speed, behaviour, turn, vx,
              vy, id, accel);
    return;
  }
  b->accel = accel;
  b->texture = texture;
  b->x = x;
  b->y = y;
  b->width = width;
  b->height = height;
  b->angle = angle;
  b->drawKind = drawKind;
  b->life = life;
  b->behaviour = behaviour;
  b->speed = speed;
  b->turn = turn;
  b->vx = vx;
  b->vy = vy;
  if (life > b->startLife) b->startLife = life;
}

void EnemyManager::UpdateBullet(int i, float x, float y, float angle, int life, float turn,
                                float vx, float vy, float id) {
  if (!ValidRow(i)) return;
  bullet* b = FindBullet(players[i], id);
  if (!b) return;
  b->x = x;
  b->y = y;
  b->angle = angle;
  b->life = life;
  b->turn = turn;
  b->vx = vx;
  b->vy = vy;
  if (life > b->startLife) b->startLife = life;
}

void EnemyManager::KillBullet(int i, float id) {
  if (!ValidRow(i)) return;
  const int k = players[i].bulletIndex.Find(id);
  if (k >= 0) RemoveBullet(players[i], k);
}

void EnemyManager::ResetBullets(int i) {
  if (!ValidRow(i)) return;
  players[i].bullets.clear();
  players[i].bulletIndex.Clear();
}

// ---------------------------------------------------------------- hit tests

// The box is (x, y) min corner with extents w along x and h along y; the
// rectangle test takes the y extent before the x extent.
// Boxes whose spans do not even meet (or hold a coordinate that is not a
// number) cannot pass the corner test: most pairs end at this cheap check.
bool EnemyManager::Hits(float x, float y, float w, float h, const player& p) {
  const float px = p.x - p.width / 2, py = p.y - p.height / 2;
  auto meet = [](float a, float aExtent, float b, float bExtent) {
    const float a2 = a + aExtent, b2 = b + bExtent;
    return std::min(a, a2) <= std::max(b, b2) && std::min(b, b2) <= std::max(a, a2);
  };
  if (!meet(x, w, px, p.width) || !meet(y, h, py, p.height)) return false;
  return utilities->RectRect(x, y, h, w, px, py, p.height, p.width);
}

void EnemyManager::FileShips() {
  gridFiled_ = false;
  if ((int)players.size() < kGridFromPlayers) return;
  grid_.Clear();
  for (int i = 0; i < (int)players.size(); i++) {
    const player& p = players[i];
    grid_.Add(i, p.x - p.width / 2, p.y - p.height / 2, p.width, p.height);
  }
  gridFiled_ = true;
}

bool EnemyManager::HitMe(float x, float y, float w, float h, int team) {
  if (gridFiled_) {
    for (int i : grid_.Near(x, y, w, h))
      if (players[i].team != team && Hits(x, y, w, h, players[i])) return true;
    return false;
  }
  for (const player& p : players)
    if (p.team != team && Hits(x, y, w, h, p)) return true;
  return false;
}

std::vector<int> EnemyManager::HitMeRetPlayers(float x, float y, float w, float h) {
  std::vector<int> hit;
  if (gridFiled_) {
    for (int i : grid_.Near(x, y, w, h))
      if (Hits(x, y, w, h, players[i])) hit.push_back(i);
    return hit;
  }
  for (int i = 0; i < (int)players.size(); i++)
    if (Hits(x, y, w, h, players[i])) hit.push_back(i);
  return hit;
}

// ---------------------------------------------------------------- damage

void EnemyManager::DamagePlayer(int i, float energy, float hull) {
  if (!ValidRow(i)) return;
  players[i].energyDamage += energy;
  players[i].hullDamage += hull;
  players[i].lastHitter = -1;
}

void EnemyManager::AiDamagePlayer(int i, float energy, float hull, int attacker, int freeze) {
  if (!ValidRow(i)) return;
  players[i].aiEnergyDamage += energy;
  players[i].aiHullDamage += hull;
  players[i].lastHitter = attacker;
  players[i].aiFreeze = freeze;
}

void EnemyManager::FreezeEnergy(int i, int frames) {
  if (ValidRow(i)) players[i].pendingFreeze += frames;
}

float EnemyManager::GetEngDamage(int i) { return ValidRow(i) ? players[i].energyDamage : 0; }

float EnemyManager::GetPhysDamage(int i) { return ValidRow(i) ? players[i].hullDamage : 0; }

void EnemyManager::GetDamage(int i, float& energy, float& hull) {
  energy = GetEngDamage(i);
  hull = GetPhysDamage(i);
}

float EnemyManager::GetAiEnergyDamage(int i) {
  if (!ValidRow(i)) return 0;
  return std::exchange(players[i].aiEnergyDamage, 0.0f);
}

float EnemyManager::GetAiDamages(int i) {
  if (!ValidRow(i)) return 0;
  return std::exchange(players[i].aiHullDamage, 0.0f);
}

int EnemyManager::GetAiFrozenFrames(int i) {
  if (!ValidRow(i)) return 0;
  return std::exchange(players[i].aiFreeze, 0);
}

int EnemyManager::GetEnemyFrozenFrames(int i) {
  if (!ValidRow(i)) return 0;
  return std::exchange(players[i].pendingFreeze, 0);
}

int EnemyManager::GetAiPlayerHit(int i) { return ValidRow(i) ? players[i].lastHitter : kNoHitter; }

void EnemyManager::GetDamaged(float energy, float hull, int attacker) {
  myEnergyDamage += energy;
  myHullDamage += hull;
  lastAttacker = attacker;
}

void EnemyManager::MyDamage(float& energy, float& hull) {
  energy = myEnergyDamage;
  hull = myHullDamage;
}

void EnemyManager::FreezePlayer(int frames) { myFreeze += frames; }

int EnemyManager::GetFrozenFrames() { return myFreeze; }

int EnemyManager::GetKills(std::vector<int>& out) {
  out = killed;
  return kills;
}

// ---------------------------------------------------------------- kills

void EnemyManager::AddKill(int i) {
  kills += 1;
  killed.push_back(i);
  if (ValidRow(i)) players[i].losses += 1;
}

void EnemyManager::CountKill(float victimGuid, float killerGuid) {
  const int victim = playernumbyguid(victimGuid), killer = playernumbyguid(killerGuid);
  if (victim >= 0) players[victim].losses += 1;
  if (killer >= 0 && killer != victim) players[killer].wins += 1;
}

void EnemyManager::AddAiKill(int victim, int killer) {
  const std::string v = GetName(victim);
  const std::string k = GetName(killer);
  if (ValidRow(victim)) players[victim].losses += 1;
  if (victim == killer) {
    AddMessage(v + " blew himself to kingdom come!", MessageKind::OthersKill);
    return;
  }
  if (ValidRow(killer)) players[killer].wins += 1;
  if (GetTeam(victim) == GetTeam(killer)) {
    AddMessage(k + " teamkilled " + v, MessageKind::OthersKill);
    return;
  }
  const int r = (int)utilities->RangedRandom(1, 4);
  if (r == 1)
    AddMessage(k + " showed " + v + " that he was one lean mean machine!", MessageKind::OthersKill);
  else if (r == 3)
    AddMessage(k + " showed that " + v + " didn't belong in the big leagues!",
               MessageKind::OthersKill);
  else
    AddMessage(k + " terminated " + v + " with extreme prejudice!", MessageKind::OthersKill);
}

// The attacker index may be stale (the row left, or the table was renumbered
// since): anything that is not a current row counts as "not in the table".
void EnemyManager::PostDeath(std::string myName, float myGuid, int myBounty) {
  const int k = lastAttacker;
  if (!ValidRow(k)) {
    const int r = (int)utilities->RangedRandom(1, 5);
    if (r == 2)
      AddMessage(myName + " decided that life was no longer necessary!");
    else if (r == 3)
      AddMessage(myName + " failed miserably at aiming!");
    else if (r == 4)
      AddMessage(myName + " died by the hands of his own stupidity!");
    else
      AddMessage(myName + " blew himself up, the misguided fool!");
    return;
  }
  players[k].wins += 1;
  if (players[k].isComputer) {
    const std::string& killer = players[k].name;
    const int r = (int)utilities->RangedRandom(1, 4);
    if (r == 1)
      AddMessage(killer + " showed " + myName + " that he was one lean mean machine!");
    else if (r == 3)
      AddMessage(killer + " proved to " + myName +
                 " that he couldn't outsmart something that doesn't think!");
    else
      AddMessage(killer + " terminated " + myName + " with extreme prejudice!");
    return;
  }
  const msg::KillReport report{myGuid, players[k].guid, myBounty};
  if (outbox) outbox->Post(report, Delivery::Reliable);
  if (ownDeathReported) ownDeathReported(report);
}

EnemyManager::MessageSink EnemyManager::AppendTo(std::vector<std::string>& lines) {
  return [&lines](const std::string& line, MessageKind) { lines.push_back(line); };
}

void EnemyManager::AddMessage(std::string text, MessageKind kind) {
  if (messages) messages(text, kind);
}

void EnemyManager::AddReceivedLine(const std::string& text, const std::string& myName) {
  const size_t mark = text.find('>');
  if (mark != std::string::npos) {
    const std::string sender = text.substr(0, mark);
    for (const player& p : players) {
      if (p.name == sender) return AddMessage(text, MessageKind::Chat);
    }
  }
  // Otherwise another copy announced a kill: ours to keep in sight when it
  // names the local player (our death), a passing line otherwise.
  const bool aboutMe = !myName.empty() && text.find(myName) != std::string::npos;
  AddMessage(text, aboutMe ? MessageKind::System : MessageKind::OthersKill);
}

// ---------------------------------------------------------------- per frame

void EnemyManager::MainLoop(float myGuid) {
  gridFiled_ = false;
  MoveBullets();
  ExpireBullets();
  AddTrails();
  MovePlayers();
  PostDamageReports(myGuid);
  kills = 0;
  killed.clear();
  myEnergyDamage = 0;
  myHullDamage = 0;
  myFreeze = 0;
}

void EnemyManager::MoveBullets() {
  for (player& p : players) {
    for (bullet& b : p.bullets) {
      b.angle += b.turn;
      const bool young = b.accel > 0 && b.startLife - b.life < kAccelerationFrames;
      MoveProjectile(b.x, b.y, b.angle, b.vx, b.vy, b.speed, {false, young, b.accel});
      b.life -= 1;
    }
  }
}

// Rocket trails: smoke puffs only seen (never announced), made once per
// simulated frame however often the projectiles are drawn.
void EnemyManager::AddTrails() {
  if (explosions == nullptr) return;
  for (const player& p : players)
    for (const bullet& b : p.bullets) AddTrail(b);
}

void EnemyManager::AddTrail(const bullet& b) {
  const int style = (int)b.drawKind;
  if (style == 3) {
    if (b.life % 2 == 0)
      explosions->AddExplosion(b.x, b.y, 64 + utilities->VisualRandom(-16, 16),
                               64 + utilities->VisualRandom(-16, 16), 1, 8, false);
    if (b.life % 3 == 0)
      explosions->AddExplosion(b.x, b.y, 64 + utilities->VisualRandom(-16, 16),
                               64 + utilities->VisualRandom(-16, 16), 3, 5, false);
  } else if (style == 2 && b.life % 2 == 0) {
    explosions->AddExplosion(b.x, b.y, 64, 64, 1, 6, false);
  }
}

// A peer may report a life already below the erase mark; such a projectile
// would otherwise never reach it and stay forever.
void EnemyManager::ExpireBullets() {
  for (player& p : players) {
    for (int k = 0; k < (int)p.bullets.size();) {
      if (p.bullets[k].life <= kBulletEraseLife)
        RemoveBullet(p, k);  // the last one moves to k: look at k again
      else
        k++;
    }
  }
}

void EnemyManager::MovePlayers() {
  size_t i = 0;
  while (i < players.size()) {
    player& p = players[i];
    // A row whose limit is not known yet (computer players' rows, which
    // their owner moves) only turns.
    const bool known = p.maxSpeed != 0;
    ShipRules rules;
    rules.limit = p.maxSpeed;
    rules.drag = known;
    SteerShip(p.angle, p.vx, p.vy,
              {p.leftHeld, p.rightHeld, known && p.upHeld, known && p.downHeld}, rules);
    p.x += p.vx;
    p.y += p.vy;
    p.timeoutFrames -= 1;
    if (p.timeoutFrames <= 0)
      RemoveEnemy((int)i);  // the next row moves into index i and is handled next
    else
      i++;
  }
}

void EnemyManager::PostDamageReports(float myGuid) {
  for (player& p : players) {
    if (p.hullDamage > 0 || p.energyDamage > 0) {
      const msg::DamageReport report{myGuid, p.guid, p.hullDamage, p.energyDamage};
      if (outbox) outbox->Post(report, Delivery::Reliable);
      if (ownDamageReported) ownDamageReported(report);
      p.hullDamage = 0;
      p.energyDamage = 0;
    }
  }
}
