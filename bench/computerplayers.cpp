// A hosting copy's frame with N computer players and joined clients on
// loopback: the opponent table, the protocol (the clients' messages and the
// computer players' own, applied and relayed) and one frame of every
// computer player, whose fight goes on around the host's unkillable ship.
// Time is the host thread's CPU time per frame; `client_B_per_s_per_bot` is
// what one client receives (message bytes) per computer player at the
// game's 40 frames a second, `wire_B_per_s_per_bot` the same in datagram
// bytes as the transport counts them (packed, range-coded, with headers). Run inside a
// private network namespace:
//   scripts/with-netns.sh build/bench/bench_computerplayers
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "net/gameprotocol.h"
#include "net/messages.h"
#include "tests/support/combat_rig.h"

namespace {

constexpr double kFramesPerSecond = 40;

bool JoinAll(GameProtocol& host, CombatRig& rig,
             std::vector<std::unique_ptr<NetworkHandler>>& clients) {
  std::vector<bool> admitted(clients.size(), false);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < deadline) {
    host.UpdateNetwork();
    rig.network.Flush();
    bool all = true;
    for (size_t i = 0; i < clients.size(); ++i) {
      NetworkHandler& c = *clients[i];
      for (char id; (id = c.ReceivePacket()) != netid::NoPacket; c.ClearIncomingPacket())
        if (id == msg::kRoster) admitted[i] = true;
      if (!admitted[i] && c.ClientConnected()) {
        msg::Send(c, msg::Join{"Bench " + std::to_string(i), 100.5f + i}, Delivery::Reliable);
        c.Flush();
      }
      all = all && admitted[i];
    }
    if (all) return true;
  }
  return false;
}

void BM_HostFrameWithComputerPlayers(benchmark::State& state) {
  const int bots = static_cast<int>(state.range(0));
  const int clientCount = std::min(8, NetworkHandler::kMaxPlayers - bots);
  CombatRig rig;
  rig.world.BuildDefaultMap();
  GameSeed(42);
  bool ready = true;
  int wait = 0;
  float myGuid = 1.5f;
  GameProtocol host;
  host.InitMe(&rig.network, &rig.enemies, &rig.ship, &rig.explosions, &ready, &wait, &myGuid);
  rig.network.InitMe(true);
  rig.network.connectionsPerAddress = NetworkHandler::kMaxPlayers;  // every client on 127.0.0.1
  if (!rig.network.ConnectServer(NetworkHandler::kGamePort, NetworkHandler::kMaxPlayers)) {
    state.SkipWithError("game port busy");
    return;
  }
  std::vector<std::unique_ptr<NetworkHandler>> clients;
  for (int i = 0; i < clientCount; ++i) {
    clients.push_back(std::make_unique<NetworkHandler>());
    clients.back()->InitMe(false);
    clients.back()->ConnectMe("127.0.0.1", NetworkHandler::kGamePort);
  }
  if (!JoinAll(host, rig, clients)) {
    state.SkipWithError("clients were not admitted");
    return;
  }
  host.SetBots(bots, NetworkHandler::kMaxPlayers, &rig.world, &rig.utility);
  rig.Spawn(10000, 10000);

  // The first frames bring every computer player in; the figures start after.
  for (int f = 0; f < 5; ++f) {
    host.UpdateNetwork();
    host.UpdateBots();
    rig.network.Flush();
  }
  for (auto& c : clients)
    while (c->ReceivePacket() != netid::NoPacket) c->ClearIncomingPacket();
  const uint32_t wireBefore = clients[0]->GetTraffic().bytesReceived;

  std::atomic<bool> stop{false};
  std::atomic<long long> received{0};
  std::thread readers([&] {
    while (!stop.load(std::memory_order_relaxed)) {
      for (size_t i = 0; i < clients.size(); ++i) {
        NetworkHandler& c = *clients[i];
        for (char id; (id = c.ReceivePacket()) != netid::NoPacket; c.ClearIncomingPacket())
          if (i == 0) received += static_cast<long long>(c.incoming.GetNumberOfBytesUsed());
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });

  const long long before = received.load();
  for (auto _ : state) {
    rig.ship.hp = rig.ship.maxHp;
    rig.enemies.MainLoop(myGuid);
    host.UpdateNetwork();
    host.UpdateBots();
    rig.network.Flush();
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the last frames arrive
  stop = true;
  readers.join();
  const double bytesPerFrame = double(received.load() - before) / double(state.iterations());
  state.counters["bots"] = host.BotCount();
  state.counters["clients"] = clientCount;
  state.counters["client_B_per_s_per_bot"] = bytesPerFrame * kFramesPerSecond / bots;
  const double wirePerFrame =
      double(clients[0]->GetTraffic().bytesReceived - wireBefore) / double(state.iterations());
  state.counters["wire_B_per_s_per_bot"] = wirePerFrame * kFramesPerSecond / bots;
}
BENCHMARK(BM_HostFrameWithComputerPlayers)
    ->Arg(4)
    ->Arg(16)
    ->Arg(31)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
