// Bytes on the wire in a real game: a hosting copy and its clients, every
// one a full copy of the game's combat on autopilot with the real protocol,
// over loopback ENet, at 6 and at 32 players, with datagrams range-coded and
// plain. Reports what each client receives and sends per second of play (40
// frames), as UDP payload and with the 28 bytes of IPv4 and UDP headers of
// every datagram, and the hosting copy's frame time. Run inside a private
// network namespace:
//   scripts/with-netns.sh build/bench/bench_wire [seconds] [players...]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "base/timing.h"
#include "tests/support/autopilotcopy.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned short kPort = 60411;
constexpr int kSettleFrames = 400;   // joins, first deaths and respawns
constexpr double kHeaderBytes = 28;  // IPv4 + UDP

struct Totals {
  double bytesIn = 0, datagramsIn = 0, bytesOut = 0, datagramsOut = 0;
  double messagesIn = 0, deaths = 0;
};

Totals ClientTotals(const std::vector<std::unique_ptr<AutopilotCopy>>& copies) {
  Totals t;
  for (size_t i = 1; i < copies.size(); ++i) {
    const NetworkHandler::Traffic n = copies[i]->rig.network.GetTraffic();
    t.bytesIn += n.bytesReceived;
    t.datagramsIn += n.datagramsReceived;
    t.bytesOut += n.bytesSent;
    t.datagramsOut += n.datagramsSent;
    t.messagesIn += copies[i]->protocol.MessagesHandled();
  }
  for (const auto& c : copies) t.deaths += c->rig.ship.deaths;
  return t;
}

// Plays frames at the game's pace; returns the hosting copy's frame time in
// ms, summed.
double PlayFrames(std::vector<std::unique_ptr<AutopilotCopy>>& copies, int frames,
                  Clock::time_point& next) {
  double hostMs = 0;
  for (int f = 0; f < frames; ++f, next += std::chrono::milliseconds(kFrameStepMs)) {
    const auto start = Clock::now();
    copies[0]->Frame();
    hostMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    for (size_t i = 1; i < copies.size(); ++i) copies[i]->Frame();
    std::this_thread::sleep_until(next);
  }
  return hostMs;
}

void Game(int players, int seconds, bool coded) {
  std::srand(1);
  std::vector<std::unique_ptr<AutopilotCopy>> copies;
  copies.push_back(std::make_unique<AutopilotCopy>(0, kPort, true, coded));
  for (int i = 1; i < players; ++i)
    copies.push_back(std::make_unique<AutopilotCopy>(i, kPort, false, coded));
  auto next = Clock::now();
  PlayFrames(copies, kSettleFrames, next);
  int admitted = 0;
  for (auto& c : copies) admitted += c->ready;

  const Totals before = ClientTotals(copies);
  const NetworkHandler::Traffic host0 = copies[0]->rig.network.GetTraffic();
  const auto t0 = Clock::now();
  const int frames = seconds * kFramesPerSecond;
  const double hostMs = PlayFrames(copies, frames, next);
  const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  const Totals after = ClientTotals(copies);
  const NetworkHandler::Traffic host1 = copies[0]->rig.network.GetTraffic();

  // Per client and per second of play at the game's 40 frames a second
  // (a slow machine playing fewer frames a second does not lower it).
  const double scale = double(kFramesPerSecond) / frames / (players - 1);
  const double in = (after.bytesIn - before.bytesIn) * scale;
  const double dgIn = (after.datagramsIn - before.datagramsIn) * scale;
  const double out = (after.bytesOut - before.bytesOut) * scale;
  const double dgOut = (after.datagramsOut - before.datagramsOut) * scale;
  const double messagesIn = (after.messagesIn - before.messagesIn) * scale;
  const double hostOut =
      double(uint32_t(host1.bytesSent - host0.bytesSent)) * kFramesPerSecond / frames;
  std::printf(
      "%d players, %s (%d admitted), %d frames in %.1f s (%.1f frames/s), %.0f deaths, "
      "hosting copy's frame %.3f ms:\n",
      players, coded ? "range-coded" : "plain", admitted, frames, wall, frames / wall,
      after.deaths - before.deaths, hostMs / frames);
  std::printf(
      "  per client received: %.0f B/s payload, %.1f datagrams/s, %.0f B/s with headers, "
      "%.0f messages/s (%.1f B each with headers)\n",
      in, dgIn, in + kHeaderBytes * dgIn, messagesIn, (in + kHeaderBytes * dgIn) / messagesIn);
  std::printf("  per client sent:     %.0f B/s payload, %.1f datagrams/s, %.0f B/s with headers\n",
              out, dgOut, out + kHeaderBytes * dgOut);
  std::printf("  host sent:           %.0f B/s payload\n", hostOut);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
  std::vector<int> games;
  for (int i = 2; i < argc; ++i) games.push_back(std::atoi(argv[i]));
  if (games.empty()) games = {6, 32};
  for (int players : games) {
    if (players < 2 || players > NetworkHandler::kMaxPlayers + 1) {
      std::fprintf(stderr, "bench_wire: %d players: 2 to %d\n", players,
                   NetworkHandler::kMaxPlayers + 1);
      return 1;
    }
    Game(players, seconds, true);
    Game(players, seconds, false);
  }
  return 0;
}
