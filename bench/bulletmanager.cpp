// BulletManager::UpdateMe with 1,000 to 20,000 live projectiles of every kind
// in the real arena, six opponents standing in it (or 48, a crowded match):
// the cost should grow with the number of projectiles, not with its square
// nor with the number of ships. Between timed frames the population is held
// at its count and the explosions age as drawing would age them, so every
// frame sees a steady mix like a long fight.
#include <benchmark/benchmark.h>

#include "tests/support/combat_rig.h"

namespace {

struct Fight {
  CombatRig rig;
  int hp = 1000000, energy = 1000000000;
  int nextKind = 0;
  int target;

  Fight(int live, int opponents) : target(live) {
    rig.world.BuildDefaultMap();
    rig.network.InitMe(true);  // hosting without a port: sends reach nobody
    GameSeed(20240);
    for (int i = 0; i < opponents; ++i)
      rig.AddOpponent(Spot(), Spot(), 1, 1000.0f + i);
    rig.Spawn(10000, 10000);
    Shoot(target);
    // Of all ages, as in a long fight: a population born on one frame would
    // die and be reborn in waves.
    for (BulletManager::Bullet& b : rig.bullets.bullets)
      b.lifeLeft = 1 + static_cast<int>(rig.utility.RangedRandom(0, b.lifetime - 1.0f));
    for (int i = 0; i < kWarmUpFrames; ++i) {
      Frame();
      Between();
    }
  }

  static constexpr int kWarmUpFrames = 60;

  float Spot() { return rig.utility.RangedRandom(1000, 19500); }

  void Frame() { rig.bullets.UpdateMe(10000, 10000, hp, energy, 0, CombatRig::kGuid); }

  // What the rest of a frame does, and the population held at its count.
  void Between() {
    rig.bullets.SendBullets(CombatRig::kGuid);
    rig.enemies.MainLoop(CombatRig::kGuid);
    rig.explosions.AgeExplosions();
    Hold();
  }

  // Volleys of the next kind from random free spots, about `count`
  // projectiles.
  void Shoot(int count) {
    for (int added = 0; added < count;) {
      float x, y;
      do {
        x = Spot();
        y = Spot();
      } while (rig.world.CollisionObjects(x - 64, y - 64, 128, 128));
      Weapon w;
      w.MakeMeWeapon(nextKind++ % kWeaponIds);
      w.chargeCount = 50;  // half-charged orbs
      rig.bullets.ShootMe(w, energy, x, y, rig.utility.RangedRandom(0, 360), 5, -3,
                          CombatRig::kGuid);
      added += static_cast<int>(w.shots.size());
    }
  }

  // Replaces the fallen, a few per cent of the count a frame at most (a
  // refill all at once would come back in waves). Cluster munitions burst
  // into forty fragments without asking: the excess ends on the next frame
  // (never a cluster round, whose burst would add more).
  void Hold() {
    const int live = rig.ActiveBullets();
    if (live < target) Shoot(std::min(target - live, target / 30 + 50));
    int excess = live - target;
    for (auto b = rig.bullets.bullets.rbegin(); b != rig.bullets.bullets.rend() && excess > 0;
         ++b) {
      if (b->active && b->burst != 2 && b->lifeLeft > 1) {
        b->lifeLeft = 1;
        --excess;
      }
    }
  }
};

void BM_BulletManagerUpdate(benchmark::State& state) {
  Fight fight(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  double live = 0;
  for (auto _ : state) {
    state.PauseTiming();
    live += fight.rig.ActiveBullets();
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
