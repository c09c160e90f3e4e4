// BulletManager::UpdateMe with 1,000 to 20,000 live projectiles of every kind
// in the real arena, six opponents standing in it (or 48, a crowded match):
// the cost should grow with the number of projectiles, not with its square
// nor with the number of ships. Every count holds the same mix of kinds, so
// that the counts compare like with like: each kind keeps its share of the
// population, a projectile that ends is replaced by one of its own kind, and
// cluster fragments come and go as their rounds burst. Between timed frames
// the explosions age as drawing would age them.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "tests/support/combat_rig.h"

namespace {

struct Fight {
  static constexpr int kWarmUpFrames = 150;  // the first cluster rounds burst and settle
  static constexpr int kFragment = -1;       // burst by a cluster round, not fired
  static constexpr int kNone = -2;           // a spent slot

  CombatRig rig;
  int hp = 1000000, energy = 1000000000;
  int target;
  std::array<double, kWeaponIds> quota{};  // live projectiles each kind keeps
  std::array<int, kWeaponIds> live{};
  std::vector<int> slotKind;    // kind of the projectile of each slot
  std::vector<float> slotGuid;  // its identity (a reused slot has a new one)
  int fragments = 0;

  Fight(int count, int opponents) : target(count) {
    rig.world.BuildDefaultMap();
    rig.network.InitMe(true);  // hosting without a port: sends reach nobody
    GameSeed(20240);
    for (int i = 0; i < opponents; ++i) rig.AddOpponent(Spot(), Spot(), 1, 1000.0f + i);
    rig.Spawn(10000, 10000);
    // Every kind fires at the same rate, as if each weapon were in use: a
    // kind's share of the population goes with its volley and lifetime, and
    // a cluster round's share brings its fragments. The count holds them
    // all.
    Weapon shrapnel;
    shrapnel.MakeMeShrapnel();
    const double fragmentFrames = static_cast<double>(shrapnel.shots.size()) *
                                  (Projectile::kFragmentLifeMin + Projectile::kFragmentLifeMax) /
                                  2.0;
    std::array<double, kWeaponIds> weight{};
    double total = 0;
    for (int k = 0; k < kWeaponIds; ++k) {
      Weapon w;
      w.MakeMeWeapon(k);
      for (const Weapon::Shot& t : w.shots) {
        weight[k] += t.lifetime;
        total += t.lifetime + (t.burst == 2 ? fragmentFrames : 0);
      }
    }
    for (int k = 0; k < kWeaponIds; ++k) quota[k] = weight[k] * target / total;
    Hold();
    // Of all ages, as in a long fight: a population born on one frame would
    // die and be reborn in waves.
    for (BulletManager::Bullet& b : rig.bullets.bullets)
      b.lifeLeft = 1 + static_cast<int>(rig.utility.RangedRandom(0, b.lifetime - 1.0f));
    for (int i = 0; i < kWarmUpFrames; ++i) {
      Frame();
      Between();
    }
  }

  float Spot() { return rig.utility.RangedRandom(1000, 19500); }

  int Live() const {
    int n = 0;
    for (int c : live) n += c;
    return n + fragments;
  }

  void Frame() { rig.bullets.UpdateMe(10000, 10000, hp, energy, 0, CombatRig::kGuid); }

  // What the rest of a frame does, and the population held at its mix. The
  // explosions age last, as drawing them closes a frame of the game, so that
  // the next timed frame finds the caches as it would there.
  void Between() {
    rig.bullets.PostProjectiles(CombatRig::kGuid);
    rig.SendPosted();
    rig.enemies.MainLoop(CombatRig::kGuid);
    Hold();
    rig.explosions.AgeExplosions();
  }

  // Books the projectiles that ended and the ones that are new since the
  // last look (of `kind`); returns how many are new.
  int Tag(int kind) {
    const std::vector<BulletManager::Bullet>& bullets = rig.bullets.bullets;
    slotKind.resize(bullets.size(), kNone);
    slotGuid.resize(bullets.size(), 0);
    int added = 0;
    for (std::size_t i = 0; i < bullets.size(); ++i) {
      const BulletManager::Bullet& b = bullets[i];
      if (slotKind[i] != kNone && b.active && b.guid == slotGuid[i]) continue;
      if (slotKind[i] != kNone) Count(slotKind[i], -1);  // ended
      slotKind[i] = b.active ? kind : kNone;
      slotGuid[i] = b.guid;
      if (b.active) {
        Count(kind, 1);
        ++added;
      }
    }
    return added;
  }

  void Count(int kind, int n) {
    if (kind == kFragment)
      fragments += n;
    else
      live[kind] += n;
  }

  // Fragments burst during the frame are booked, then every kind short of
  // its quota gets volleys from random free spots.
  void Hold() {
    Tag(kFragment);
    for (int k = 0; k < kWeaponIds; ++k) {
      while (live[k] < quota[k]) {
        Shoot(k);
        if (Tag(k) == 0) break;  // a refused volley
      }
    }
  }

  void Shoot(int kind) {
    float x, y;
    do {
      x = Spot();
      y = Spot();
    } while (rig.world.CollisionObjects(x - 64, y - 64, 128, 128));
    Weapon w;
    w.MakeMeWeapon(kind);
    w.chargeCount = 50;  // half-charged orbs
    rig.bullets.ShootMe(w, energy, x, y, rig.utility.RangedRandom(0, 360), 5, -3, CombatRig::kGuid);
  }
};

void BM_BulletManagerUpdate(benchmark::State& state) {
  Fight fight(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  double live = 0;
  for (auto _ : state) {
    state.PauseTiming();
    live += fight.Live();  // from the books: a walk of the list would warm the cache
    state.ResumeTiming();
    fight.Frame();
    state.PauseTiming();
    fight.Between();
    state.ResumeTiming();
  }
  state.counters["live"] = live / static_cast<double>(state.iterations());
  state.counters["slots"] = static_cast<double>(fight.rig.bullets.bullets.size());
  state.counters["explosions"] = static_cast<double>(fight.rig.explosions.list.size());
}

// Args: live projectiles, opponents.
BENCHMARK(BM_BulletManagerUpdate)
    ->Args({1000, 6})
    ->Args({2000, 6})
    ->Args({5000, 6})
    ->Args({10000, 6})
    ->Args({20000, 6})
    ->Args({2000, 48})
    ->Args({20000, 48})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
