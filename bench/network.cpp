// Network benchmarks: the cost of the most frequent messages on the wire, and
// how many short ship states one host can receive and relay to 31 clients on
// loopback. Run inside a private network namespace:
//   scripts/with-netns.sh build/bench/bench_network
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "net/messages.h"
#include "net/networkhandler.h"

namespace {

msg::ShortState SampleShortState(float guid) {
  return msg::ShortState{guid, 5120.5f, 8000.25f, 271.0f, true, 120,
                         3.5f, -1.25f,  false,    true,   false};
}

msg::ProjectileFull SampleProjectile() {
  return msg::ProjectileFull{0.5f, 21,    100.0f, -200.0f, 16.0f,  32.0f,  45.0f,  3.0f,
                             90,   18.5f, 4,      1.5f,    -0.75f, 0.125f, 0.875f, 0.0625f};
}

template <class M>
size_t PayloadBytes(const M& m) {
  BitStream out;
  msg::Write(out, m);
  return out.GetNumberOfBytesUsed();
}

void BM_ShortStateWriteRead(benchmark::State& state) {
  const msg::ShortState m = SampleShortState(0.5f);
  BitStream out;
  for (auto _ : state) {
    out.Reset();
    msg::Write(out, m);
    BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
    char id;
    in.Read(id);
    msg::ShortState back;
    benchmark::DoNotOptimize(msg::Read(in, back));
  }
  state.counters["ShortStateBytes"] = PayloadBytes(m);
  state.counters["ProjectileFullBytes"] = PayloadBytes(SampleProjectile());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ShortStateWriteRead);

// 31 clients on their own thread send short states as fast as they can; the
// benchmark thread is the host, whose frames receive every waiting message,
// read it, write the relay and send it to every other client, then flush.
// The rate is per second of the host thread's CPU time.
void BM_HostRelaysShortStates(benchmark::State& state) {
  constexpr int kClients = 31;
  NetworkHandler host;
  host.InitMe(true);
  host.connectionsPerAddress = NetworkHandler::kMaxPlayers;  // every client on 127.0.0.1
  if (!host.Listen(NetworkHandler::kGamePort, NetworkHandler::kMaxPlayers)) {
    state.SkipWithError("game port busy");
    return;
  }
  std::vector<std::unique_ptr<NetworkHandler>> clients;
  for (int i = 0; i < kClients; ++i) {
    clients.push_back(std::make_unique<NetworkHandler>());
    clients.back()->InitMe(false);
    clients.back()->ConnectMe("127.0.0.1", NetworkHandler::kGamePort);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int connected = 0;
  while (connected < kClients && std::chrono::steady_clock::now() < deadline) {
    // No join here: the connections are kept past the join deadline by hand.
    for (char id; (id = host.ReceivePacket()) != netid::NoPacket; host.ClearIncomingPacket())
      if (id == netid::NewIncomingConnection) host.AdmitSender();
    connected = 0;
    for (auto& c : clients) {
      while (c->ReceivePacket() != netid::NoPacket) c->ClearIncomingPacket();
      connected += c->ClientConnected();
    }
  }
  if (connected < kClients) {
    state.SkipWithError("clients did not connect");
    return;
  }

  std::atomic<bool> stop{false};
  std::thread senders([&] {
    int round = 0;
    while (!stop.load(std::memory_order_relaxed)) {
      for (int i = 0; i < kClients; ++i) {
        NetworkHandler& c = *clients[i];
        for (int k = 0; k < 8; ++k) {
          msg::Send(c, SampleShortState(float(i)), Delivery::Unreliable);
        }
        c.Flush();
        // Now and then take what arrived, which keeps the connection alive.
        if (round % 64 == 0)
          while (c.ReceivePacket() != netid::NoPacket) c.ClearIncomingPacket();
      }
      ++round;
    }
  });

  int64_t relayed = 0;
  msg::ShortState m;
  for (auto _ : state) {
    for (char id; (id = host.ReceivePacket()) != netid::NoPacket; host.ClearIncomingPacket()) {
      if (id != msg::kShortState || !msg::Read(host, m)) continue;
      msg::Send(host, m, Delivery::RelayUnreliable);
      ++relayed;
    }
    host.Flush();
  }
  stop = true;
  senders.join();
  state.counters["received_per_s"] =
      benchmark::Counter(double(relayed), benchmark::Counter::kIsRate);
  state.counters["copies_sent_per_s"] =
      benchmark::Counter(double(relayed) * (kClients - 1), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HostRelaysShortStates)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
