// A host's frame with N computer players and joined clients on loopback.
// The hosting copy's: the opponent table, the protocol (the clients'
// messages and the computer players' own, applied and relayed) and one frame
// of every computer player, whose fight goes on around the host's
// unkillable ship. The dedicated host's: the same without a ship of its own.
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
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "base/timing.h"
#include "dedicated/dedicatedhost.h"
#include "net/messages.h"
#include "protocol/gameprotocol.h"
#include "tests/support/combat_rig.h"

namespace {

// Up to eight clients on loopback beside the computer players, joined to the
// host that `hostFrame` runs, and a thread reading what they receive.
class Audience {
 public:
  bool Join(int bots, const std::function<void()>& hostFrame) {
    const int count = std::min(8, NetworkHandler::kMaxPlayers - bots);
    for (int i = 0; i < count; ++i) {
      clients_.push_back(std::make_unique<NetworkHandler>());
      clients_.back()->InitMe(false);
      clients_.back()->ConnectMe("127.0.0.1", NetworkHandler::kGamePort);
    }
    std::vector<bool> admitted(clients_.size(), false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
      hostFrame();
      bool all = true;
      for (size_t i = 0; i < clients_.size(); ++i) {
        NetworkHandler& c = *clients_[i];
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

  // From here on the first client's bytes are counted.
  void Listen() {
    for (auto& c : clients_)
      while (c->ReceivePacket() != netid::NoPacket) c->ClearIncomingPacket();
    wireBefore_ = clients_[0]->GetTraffic().bytesReceived;
    reader_ = std::thread([this] {
      while (!stop_.load(std::memory_order_relaxed)) {
        for (size_t i = 0; i < clients_.size(); ++i) {
          NetworkHandler& c = *clients_[i];
          for (char id; (id = c.ReceivePacket()) != netid::NoPacket; c.ClearIncomingPacket())
            if (i == 0) received_ += static_cast<long long>(c.incoming.GetNumberOfBytesUsed());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
  }

  void Report(benchmark::State& state, int bots) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the last frames arrive
    stop_ = true;
    reader_.join();
    const double frames = double(state.iterations());
    state.counters["bots"] = bots;
    state.counters["clients"] = static_cast<double>(clients_.size());
    state.counters["client_B_per_s_per_bot"] = received_ / frames * kFramesPerSecond / bots;
    const double wire = double(clients_[0]->GetTraffic().bytesReceived - wireBefore_);
    state.counters["wire_B_per_s_per_bot"] = wire / frames * kFramesPerSecond / bots;
  }

 private:
  std::vector<std::unique_ptr<NetworkHandler>> clients_;
  std::atomic<bool> stop_{false};
  std::atomic<long long> received_{0};
  uint32_t wireBefore_ = 0;
  std::thread reader_;
};

void BM_HostFrameWithComputerPlayers(benchmark::State& state) {
  const int bots = static_cast<int>(state.range(0));
  CombatRig rig;
  rig.world.BuildDefaultMap();
  GameSeed(42);
  bool ready = true;
  int wait = 0;
  float myGuid = 1.5f;
  GameProtocol host;
  host.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready, &wait,
              &myGuid);
  rig.network.InitMe(true);
  rig.network.connectionsPerAddress = NetworkHandler::kMaxPlayers;  // every client on 127.0.0.1
  if (!rig.network.Listen(NetworkHandler::kGamePort, NetworkHandler::kMaxPlayers)) {
    state.SkipWithError("game port busy");
    return;
  }
  Audience audience;
  if (!audience.Join(bots, [&] {
        host.UpdateNetwork();
        host.Flush();
      })) {
    state.SkipWithError("clients were not admitted");
    return;
  }
  host.SetBots(bots, NetworkHandler::kMaxPlayers, &rig.world, &rig.utility);
  rig.Spawn(10000, 10000);

  // The first frames bring every computer player in; the figures start after.
  for (int f = 0; f < 5; ++f) {
    host.UpdateNetwork();
    host.UpdateBots();
    host.Flush();
  }
  audience.Listen();
  for (auto _ : state) {
    rig.ship.hp = rig.ship.maxHp;
    rig.enemies.MainLoop(myGuid);
    host.UpdateNetwork();
    host.UpdateBots();
    host.Flush();
  }
  audience.Report(state, host.BotCount());
}
BENCHMARK(BM_HostFrameWithComputerPlayers)
    ->Arg(4)
    ->Arg(16)
    ->Arg(31)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

void BM_DedicatedHostFrameWithComputerPlayers(benchmark::State& state) {
  const int bots = static_cast<int>(state.range(0));
  NetworkHandler network;
  network.connectionsPerAddress = NetworkHandler::kMaxPlayers;
  DedicatedHost host(network);
  GameSeed(42);
  if (!host.Start(NetworkHandler::kGamePort, NetworkHandler::kMaxPlayers)) {
    state.SkipWithError("game port busy");
    return;
  }
  Audience audience;
  if (!audience.Join(bots, [&] { host.Frame(); })) {
    state.SkipWithError("clients were not admitted");
    return;
  }
  host.SetBots(bots);
  for (int f = 0; f < 5; ++f) host.Frame();
  audience.Listen();
  for (auto _ : state) host.Frame();
  audience.Report(state, host.BotCount());
}
BENCHMARK(BM_DedicatedHostFrameWithComputerPlayers)
    ->Arg(4)
    ->Arg(16)
    ->Arg(31)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
