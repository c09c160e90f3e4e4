// World::CollisionObjects on the real arena: ship-sized boxes and the thin
// probes projectiles use, spread over the whole field.
#include "world/world.h"

#include <benchmark/benchmark.h>

#include <vector>

#include "render/glwrapper.h"

namespace {

struct Query {
  float x, y, w, h;
};

std::vector<Query> Queries(float w, float h) {
  GlWrapper random;
  GameSeed(4242);
  std::vector<Query> q(4096);
  for (Query& e : q) e = {random.RangedRandom(-200, 20800), random.RangedRandom(-200, 20800), w, h};
  return q;
}

void Run(benchmark::State& state, float w, float h) {
  World level;
  level.BuildDefaultMap();
  const std::vector<Query> queries = Queries(w, h);
  size_t i = 0;
  int hits = 0;
  for (auto _ : state) {
    const Query& q = queries[i++ & 4095];
    hits += level.CollisionObjects(q.x, q.y, q.w, q.h);
  }
  benchmark::DoNotOptimize(hits);
  state.SetItemsProcessed(state.iterations());
}

void BM_CollisionShipBox(benchmark::State& state) { Run(state, 128, 128); }
void BM_CollisionLineProbe(benchmark::State& state) { Run(state, 0, 300); }
void BM_CollisionLargeBox(benchmark::State& state) { Run(state, 2048, 2048); }

BENCHMARK(BM_CollisionShipBox);
BENCHMARK(BM_CollisionLineProbe);
BENCHMARK(BM_CollisionLargeBox);

}  // namespace

BENCHMARK_MAIN();
