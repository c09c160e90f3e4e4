// BulletManager::UpdateMe with about 1,000 live projectiles of every kind in
// the real arena, six opponents standing in it. Between timed frames the
// population is topped up again and the explosions age as drawing would age
// them, so every frame sees a steady mix like a long fight.
#include <benchmark/benchmark.h>

#include "tests/support/combat_rig.h"

namespace {

constexpr int kLive = 1000;

struct Fight {
  CombatRig rig;
  int hp = 1000000, energy = 1000000000;
  int nextKind = 0;

  Fight() {
    rig.world.BuildDefaultMap();
    rig.network.InitMe(true);  // hosting without a port: sends reach nobody
    GameSeed(20240);
    for (int i = 0; i < 6; ++i)
      rig.AddOpponent(Spot(), Spot(), 1, 1000.0f + i);
    rig.Spawn(10000, 10000);
    TopUp();
  }

  float Spot() { return rig.utility.RangedRandom(1000, 19500); }

  // Volleys of the next kind from random free spots until kLive fly.
  void TopUp() {
    int live = rig.ActiveBullets();
    while (live < kLive) {
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
      live += static_cast<int>(w.shots.size());
    }
  }

  // What a drawn frame does to the explosion list: one frame older each.
  void AgeExplosions() {
    for (ExplosionManager::Explosion& e : rig.explosions.list) {
      if (!e.active) continue;
      if (--e.framesLeft < 1) e.active = false;
    }
  }
};

void BM_BulletManagerUpdate(benchmark::State& state) {
  Fight fight;
  double live = 0;
  for (auto _ : state) {
    state.PauseTiming();
    live += fight.rig.ActiveBullets();
    state.ResumeTiming();
    fight.rig.bullets.UpdateMe(10000, 10000, fight.hp, fight.energy, 0, CombatRig::kGuid);
    state.PauseTiming();
    fight.rig.bullets.SendBullets(CombatRig::kGuid);
    fight.rig.enemies.MainLoop(CombatRig::kGuid);
    fight.AgeExplosions();
    fight.TopUp();
    state.ResumeTiming();
  }
  // Bursting cluster munitions keep the population somewhat above kLive.
  state.counters["live"] = live / static_cast<double>(state.iterations());
  state.counters["slots"] = static_cast<double>(fight.rig.bullets.bullets.size());
  state.counters["explosions"] = static_cast<double>(fight.rig.explosions.list.size());
}

BENCHMARK(BM_BulletManagerUpdate)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
