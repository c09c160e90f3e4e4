#include "protocol/referee.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/timing.h"
#include "sim/bounty.h"
#include "sim/killtext.h"
#include "sim/projectile.h"
#include "sim/weapon.h"

namespace {

// Slack on every limit taken from the tables: a report is refused only when
// it is well beyond what the game can produce.
constexpr float kSlack = 1.5f;
// How long an end pays for damage reported after it, and a hit makes a kill
// plausible, in frames.
constexpr int kEndFrames = 3 * kFramesPerSecond;
constexpr int kHitFrames = 20 * kFramesPerSecond;
constexpr int kAnnounceFrames = 10 * kFramesPerSecond;
// A ship may jump (teleport anchor) at most this often; the anchor's
// cooldown is longer.
constexpr int kJumpFrames = 40;
// Frames of a late state's step the movement check forgives.
constexpr int kLateFrames = 20;
// How far from its ship a projectile may start (mounts, a latency's flight),
// or from where the owner's projectile burst (fragments).
constexpr float kMuzzleReach = 2000.0f;
constexpr float kBurstReach = 600.0f;
constexpr float kDead = -29000.0f;  // a state's x below it: the ship is dead

// What the weapon table allows a projectile of one texture.
struct ShotLimit {
  int texture = 0;
  float speed = 0, width = 0, height = 0, baseWidth = 0;
  int life = 0;
  float hull = 0, energy = 0;  // the most one end can do, uncharged
  float chargeCap = 1;         // the most a charge multiplies it by
};

struct Limits {
  std::vector<ShotLimit> shots;
  float drift = 0;     // the largest drift a projectile is given
  float burst = 0;     // projectiles four weapons can fire at once
  float perFrame = 0;  // and each frame, sustained
  int fragment = -1;   // the texture of a burst's fragments
};

void AddShot(Limits& l, const Weapon& w, const Weapon::Shot& s) {
  const float charge = w.charged ? static_cast<float>(std::max(w.chargeThreshold, 1)) : 1.0f;
  const float grow = std::max(1.0f, charge / 5);
  auto known = std::find_if(l.shots.begin(), l.shots.end(),
                            [&](const ShotLimit& k) { return k.texture == s.texture; });
  if (known == l.shots.end()) {
    l.shots.push_back({s.texture});
    known = l.shots.end() - 1;
    known->baseWidth = s.width;
  }
  ShotLimit& k = *known;
  const int life = s.behaviour == behaviour::Shrapnel ? Projectile::kFragmentLifeMax : s.lifetime;
  k.speed = std::max(k.speed, std::abs(s.speed));
  k.width = std::max(k.width, s.width * grow);
  k.height = std::max(k.height, s.height * grow);
  k.baseWidth = std::min(k.baseWidth, s.width);
  k.life = std::max(k.life, life);
  k.hull = std::max(k.hull, s.damageMax);
  k.energy = std::max(k.energy, s.energyDamageMax);
  k.chargeCap = std::max(k.chargeCap, charge);
  // The ship's velocity inherited, the push while young, a fragment's scatter.
  const float drift = s.inherit * Referee::kFastestEngine * Referee::kBoostFactor +
                      std::abs(s.acceleration) * kAccelerationFrames + 25;
  l.drift = std::max(l.drift, drift);
}

Limits Build() {
  Limits l;
  Weapon shrapnel;
  shrapnel.MakeMeShrapnel();
  for (const Weapon::Shot& s : shrapnel.shots) AddShot(l, shrapnel, s);
  l.fragment = shrapnel.shots.front().texture;
  std::vector<float> volleys, rates;
  for (int id = 0; id < kWeaponIds; ++id) {
    Weapon w;
    w.MakeMeWeapon(id);
    float volley = 0;
    for (const Weapon::Shot& s : w.shots) {
      AddShot(l, w, s);
      volley += 1;  // a burst's fragments start where it ended: see Shot
    }
    volleys.push_back(volley);
    rates.push_back(volley / std::max({w.reloadFrames, w.chargeThreshold, 1}));
  }
  // Four slots, each the busiest weapon at most.
  std::sort(volleys.rbegin(), volleys.rend());
  std::sort(rates.rbegin(), rates.rend());
  for (int i = 0; i < 4; ++i) l.burst += volleys[i], l.perFrame += rates[i];
  return l;
}

const Limits& TheLimits() {
  static const Limits limits = Build();
  return limits;
}

const ShotLimit* LimitOf(int texture) {
  for (const ShotLimit& k : TheLimits().shots)
    if (k.texture == texture) return &k;
  return nullptr;
}

}  // namespace

void Referee::Reset(float arenaSize) {
  records_.clear();
  frame_ = 0;
  arena_ = arenaSize;
  std::fill(std::begin(total_), std::end(total_), 0);
}

void Referee::Forget(float guid) {
  std::erase_if(records_, [&](const Record& r) { return r.guid == guid; });
}

Referee::Record& Referee::Of(float guid) {
  for (Record& r : records_)
    if (r.guid == guid) return r;
  records_.push_back(Record{});
  records_.back().guid = guid;
  return records_.back();
}

void Referee::Prune(Record& r) {
  std::erase_if(r.ends, [&](const End& e) { return frame_ - e.frame > kEndFrames; });
  std::erase_if(r.hitsTaken, [&](const Hit& h) { return frame_ - h.frame > kHitFrames; });
  std::erase_if(r.kills, [&](const Announcement& a) { return frame_ - a.frame > kAnnounceFrames; });
}

// ---- Ships ----

bool Referee::State(float guid, float& x, float& y, float& maxSpeed, int& bounty, bool alive,
                    bool full) {
  if (!enabled) return true;
  Record& r = Of(guid);
  bool plausible = maxSpeed <= kFastestEngine;
  maxSpeed = std::min(maxSpeed, kFastestEngine);
  // A suicide is never reported: the bounty it resets to may be above the
  // raises the host counted when a kill paid little.
  bounty = std::clamp(bounty, 0, std::max(r.bountyBound, r.earned / 10 + kStartBounty));
  if (x < kDead) {
    r.placed = false;
    return plausible;
  }
  if (full && alive) r.alive = true;
  // One arena's width beyond the walls: far beyond any ship, near enough
  // that no report moves a ship out of the game.
  const float inX = std::clamp(x, -arena_, 2 * arena_);
  const float inY = std::clamp(y, -arena_, 2 * arena_);
  plausible = plausible && inX == x && inY == y;
  x = inX, y = inY;
  if (r.placed) {
    const float frames = static_cast<float>(frame_ - r.stateFrame + kLateFrames);
    const float reach = kFastestEngine * kBoostFactor * frames * kSlack;
    const float dx = x - r.x, dy = y - r.y, step = std::hypot(dx, dy);
    if (step > reach && frame_ - r.jumpFrame >= kJumpFrames) {
      r.jumpFrame = frame_;  // the teleport anchor
    } else if (step > reach) {
      x = r.x + dx * reach / step;
      y = r.y + dy * reach / step;
      plausible = false;
    }
  }
  r.placed = true;
  r.x = x, r.y = y;
  r.stateFrame = frame_;
  return plausible;
}

// ---- Projectiles ----

bool Referee::NearOwner(const Record& r, float x, float y) const {
  if (!r.placed || std::hypot(x - r.x, y - r.y) <= kMuzzleReach) return true;
  return std::any_of(r.ends.begin(), r.ends.end(), [&](const End& e) {
    return std::hypot(x - e.box.x, y - e.box.y) <= kBurstReach;
  });
}

bool Referee::Shot(const ShotFacts& m, bool isNew) {
  if (!enabled) return true;
  const ShotLimit* k = LimitOf(m.texture);
  if (!k) return false;
  if (std::abs(m.speed) > k->speed * kSlack + 1 || m.lifeLeft > k->life + 2 ||
      std::abs(m.width) > k->width * kSlack + 1 || std::abs(m.height) > k->height * kSlack + 1 ||
      std::hypot(m.driftX, m.driftY) > TheLimits().drift * kSlack)
    return false;
  if (!isNew) return true;
  Record& r = Of(m.owner);
  Prune(r);
  const Limits& l = TheLimits();
  // A burst's fragments start where one of the owner's projectiles ended.
  if (m.texture == l.fragment)
    return std::any_of(r.ends.begin(), r.ends.end(), [&](const End& e) {
      return std::hypot(m.x - e.box.x, m.y - e.box.y) <= kBurstReach;
    });
  if (!NearOwner(r, m.x, m.y)) return false;
  // A budget of projectiles that refills at the rate four weapons fire.
  const float burst = l.burst * kSlack + 8, refill = l.perFrame * kSlack + 0.5f;
  if (r.shotTokens < 0) r.shotTokens = burst;
  r.shotTokens = std::min(burst, r.shotTokens + refill * static_cast<float>(frame_ - r.tokenFrame));
  r.tokenFrame = frame_;
  if (r.shotTokens < 1) return false;
  r.shotTokens -= 1;
  return true;
}

// The end is charged by its width: a charge grows the projectile as it
// multiplies its damage.
void Referee::ShotEnded(float owner, const Box& where, int texture) {
  const ShotLimit* k = LimitOf(texture);
  if (!k) return;
  Record& r = Of(owner);
  Prune(r);
  const float charge =
      k->baseWidth > 0 ? std::clamp(std::abs(where.width) / k->baseWidth * 5, 1.0f, k->chargeCap)
                       : 1.0f;
  const float hull = k->hull * (k->chargeCap > 1 ? charge : 1.0f);
  const float energy = k->energy * (k->chargeCap > 1 ? charge : 1.0f);
  r.ends.push_back(End{where, hull, energy, frame_, {}});
}

// ---- Damage and kills ----

bool Referee::Damage(float attacker, float victimGuid, float hull, float energy) {
  if (!enabled) return true;
  Record& a = Of(attacker);
  Prune(a);
  float canHull = 0, canEnergy = 0;
  std::vector<End*> paying;
  for (End& e : a.ends) {
    if (std::find(e.charged.begin(), e.charged.end(), victimGuid) != e.charged.end()) continue;
    canHull += e.hull, canEnergy += e.energy;
    paying.push_back(&e);
  }
  if (paying.empty() || hull > canHull * kSlack + 1 || energy > canEnergy * kSlack + 1)
    return false;
  for (End* e : paying) e->charged.push_back(victimGuid);
  OwnDamage(attacker, victimGuid);
  return true;
}

void Referee::OwnDamage(float attacker, float victim) {
  Record& v = Of(victim);
  Prune(v);
  for (Hit& h : v.hitsTaken)
    if (h.attacker == attacker) return void(h.frame = frame_);
  v.hitsTaken.push_back({attacker, frame_});
}

bool Referee::Kill(float victim, float killer, int& bounty, bool trusted) {
  if (!enabled) return true;
  Record& v = Of(victim);
  Prune(v);
  const bool hurt = std::any_of(v.hitsTaken.begin(), v.hitsTaken.end(),
                                [&](const Hit& h) { return h.attacker == killer; });
  if (!trusted && (!v.alive || !hurt)) return false;
  bounty = std::clamp(bounty, 0, std::max(v.bountyBound, v.earned / 10 + kStartBounty));
  v.alive = false;
  v.hitsTaken.clear();
  Record& k = Of(killer);
  k.earned += std::max(KillPay(k.bountyBound, bounty), 0);
  k.bountyBound = RaisedBounty(k.bountyBound, bounty);
  // The victim's next life starts at what its copy computes from its pay.
  Record& again = Of(victim);
  again.bountyBound = again.earned / 10 + kStartBounty;
  return true;
}

void Referee::NameVictim(float killer, const std::string& victimName) {
  Of(killer).kills.push_back({victimName, frame_});
}

bool Referee::TakeKillAnnouncement(float killer, const std::string& line,
                                   const std::string& killerName) {
  Record& k = Of(killer);
  Prune(k);
  for (auto a = k.kills.begin(); a != k.kills.end(); ++a) {
    for (int phrase = 1; phrase <= kKillPhrases; ++phrase) {
      if (KillText(phrase, killerName, a->victim) != line) continue;
      k.kills.erase(a);
      return true;
    }
  }
  return false;
}

// ---- Strikes ----

bool Referee::Strike(float guid, Fault fault) {
  ++total_[fault];
  std::vector<long long>& s = Of(guid).strikes[fault];
  std::erase_if(s, [&](long long f) { return frame_ - f > kStrikeWindow; });
  s.push_back(frame_);
  return static_cast<int>(s.size()) >= kStrikesToRemove;
}

const char* Referee::Reason(Fault fault) {
  switch (fault) {
    case kDamage: return "implausible damage reports";
    case kKill: return "implausible kill reports";
    case kMovement: return "implausible movement";
    default: return "implausible shots";
  }
}
