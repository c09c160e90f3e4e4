// One frame of the single-player opponents: the opponent table's update
// followed by the six computer players' UpdateMe, in the real arena, in the
// middle of a fight (a seeded match warmed up for 3000 frames first).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "render/glwrapper.h"
#include "sim/aiplayer.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"
#include "world/world.h"

namespace {

struct Match {
  GlWrapper utility;
  World level;
  std::vector<std::string> log;
  float camW = 2048, camH = 1536;
  EnemyManager table;
  ExplosionManager booms;
  SpaceShip player;
  AiPlayer bots[6];

  Match() {
    level.InitMe(&utility);
    level.BuildDefaultMap();
    GameSeed(424242);
    table.InitMe(&utility, EnemyManager::AppendTo(log), nullptr, nullptr, nullptr);
    booms.InitMe(nullptr);
    player.x = player.y = 10400;
    player.alive = true;
    player.team = 0;
    for (int i = 0; i < 6; i++) {
      bots[i].InitMe(&camW, &camH, &table, &level, &booms, &utility, i + 2);
      bots[i].SetUpShip(25, 400, 6000, 15, 256, 256, 20);
      bots[i].MakeMeSimpleShip();
    }
    for (int f = 0; f < 3000; f++) Frame();
  }

  void Frame() {
    table.MainLoop(1);
    for (AiPlayer& b : bots) b.UpdateMe(player);
    if (booms.list.size() > 256) booms.Clear();  // explosions age only when drawn
  }
};

void BM_OpponentsFrame(benchmark::State& state) {
  static Match match;
  size_t projectiles = 0;
  for (auto _ : state) {
    match.Frame();
    for (const auto& row : match.table.players) projectiles += row.bullets.size();
  }
  state.counters["projectiles"] =
      benchmark::Counter((double)projectiles / (double)state.iterations());
  state.counters["kill_texts"] = (double)match.log.size();
}
BENCHMARK(BM_OpponentsFrame)->Unit(benchmark::kMicrosecond)->Repetitions(9);

}  // namespace

BENCHMARK_MAIN();
