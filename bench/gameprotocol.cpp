// The host's protocol under load: 31 joined clients on loopback send short
// ship states and projectile updates as fast as they can; the benchmark
// thread is the host, whose protocol frame checks each sender, advances the
// state by a 100 ms round trip (2 frames), updates its table and relays to
// the 30 others. The rate is per second of the host thread's CPU time. Run
// inside a private network namespace:
//   scripts/with-netns.sh build/bench/bench_gameprotocol
#include "protocol/gameprotocol.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "net/messages.h"
#include "tests/support/combat_rig.h"

namespace {

constexpr int kClients = 31;

float GuidOf(int client) { return 100.5f + client; }

// The clients join as the game does: a join every round until the roster.
bool JoinAll(GameProtocol& host, NetworkHandler& hostNet,
             std::vector<std::unique_ptr<NetworkHandler>>& clients) {
  std::vector<bool> admitted(clients.size(), false);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < deadline) {
    host.UpdateNetwork();
    hostNet.Flush();
    bool all = true;
    for (size_t i = 0; i < clients.size(); ++i) {
      NetworkHandler& c = *clients[i];
      for (char id; (id = c.ReceivePacket()) != netid::NoPacket; c.ClearIncomingPacket())
        if (id == msg::kRoster) admitted[i] = true;
      if (!admitted[i] && c.ClientConnected()) {
        msg::Send(c, msg::Join{"Bench", GuidOf(static_cast<int>(i))}, Delivery::Reliable);
        c.Flush();
      }
      all = all && admitted[i];
    }
    if (all) return true;
  }
  return false;
}

void SendBurst(NetworkHandler& c, int client, int round) {
  const float guid = GuidOf(client);
  for (int k = 0; k < 6; ++k) {
    msg::Send(c,
              msg::ShortState{guid, 5120.5f + k, 8000.25f, 271.0f, true, 120, 3.5f, -1.25f, false,
                              true, false},
              Delivery::Unreliable);
  }
  msg::ProjectileShort shot{guid, 100, -200, 45, 90 - round % 60, 1.5f, -0.75f, 0.125f, 7.0f};
  msg::Send(c, shot,
            Delivery::Unreliable);  // the game sends it reliably; the bench must not stall on acks
  c.Flush();
}

void BM_HostProtocolRelaysStates(benchmark::State& state) {
  CombatRig rig;
  bool ready = true;
  int wait = 0;
  float myGuid = 1.5f;
  GameProtocol host;
  host.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready, &wait,
              &myGuid);
  host.latencyMs = [] { return 50; };
  host.Host().SetChecks(state.range(0) != 0);  // the cost of judging every state
  state.SetLabel(state.range(0) ? "checks on" : "checks off");
  rig.network.InitMe(true);
  rig.network.connectionsPerAddress = NetworkHandler::kMaxPlayers;  // every client on 127.0.0.1
  if (!rig.network.Listen(NetworkHandler::kGamePort, NetworkHandler::kMaxPlayers)) {
    state.SkipWithError("game port busy");
    return;
  }
  std::vector<std::unique_ptr<NetworkHandler>> clients;
  for (int i = 0; i < kClients; ++i) {
    clients.push_back(std::make_unique<NetworkHandler>());
    clients.back()->InitMe(false);
    clients.back()->ConnectMe("127.0.0.1", NetworkHandler::kGamePort);
  }
  if (!JoinAll(host, rig.network, clients)) {
    state.SkipWithError("clients were not admitted");
    return;
  }
  // Every client has one projectile in flight for the short updates to move.
  for (int i = 0; i < kClients; ++i)
    rig.enemies.NewBullet(rig.enemies.playernumbyguid(GuidOf(i)), 0, 0, 16, 16, 45, 2, 0, 90, 18, 0,
                          0, 0, 0, 7.0f, 0);

  std::atomic<bool> stop{false};
  std::thread senders([&] {
    for (int round = 0; !stop.load(std::memory_order_relaxed); ++round) {
      for (int i = 0; i < kClients; ++i) {
        SendBurst(*clients[i], i, round);
        if (round % 64 == 0)
          while (clients[i]->ReceivePacket() != netid::NoPacket) clients[i]->ClearIncomingPacket();
      }
    }
  });

  const long long handledBefore = host.MessagesHandled();
  for (auto _ : state) {
    host.UpdateNetwork();
    host.Flush();
  }
  stop = true;
  senders.join();
  const double handled = double(host.MessagesHandled() - handledBefore);
  state.counters["handled_per_s"] = benchmark::Counter(handled, benchmark::Counter::kIsRate);
  state.counters["copies_sent_per_s"] =
      benchmark::Counter(handled * (kClients - 1), benchmark::Counter::kIsRate);
  state.counters["per_frame"] = benchmark::Counter(handled / double(state.iterations()));
}
BENCHMARK(BM_HostProtocolRelaysStates)->Arg(0)->Arg(1)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
