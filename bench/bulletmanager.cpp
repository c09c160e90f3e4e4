// BulletManager::UpdateMe with 1,000 to 20,000 live projectiles of every kind
// in the real arena, six opponents standing in it (or 48, a crowded match):
// the cost should grow with the number of projectiles, not with its square
// nor with the number of ships. Between timed frames the
// population is topped up again and the explosions age as drawing would age
// them, so every frame sees a steady mix like a long fight.
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
    TopUp();
  }

  float Spot() { return rig.utility.RangedRandom(1000, 19500); }

  // Volleys of the next kind from random free spots until `target` fly.
  void TopUp() {
    int live = rig.ActiveBullets();
    while (live < target) {
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

};

void BM_BulletManagerUpdate(benchmark::State& state) {
  Fight fight(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  double live = 0;
  for (auto _ : state) {
    state.PauseTiming();
    live += fight.rig.ActiveBullets();
    state.ResumeTiming();
    fight.rig.bullets.UpdateMe(10000, 10000, fight.hp, fight.energy, 0, CombatRig::kGuid);
    state.PauseTiming();
    fight.rig.bullets.SendBullets(CombatRig::kGuid);
    fight.rig.enemies.MainLoop(CombatRig::kGuid);
    fight.rig.explosions.AgeExplosions();
    fight.TopUp();
    state.ResumeTiming();
  }
  // Bursting cluster munitions keep the population somewhat above the target.
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
