// Figures of a host under attack: a 31-client match (each client from an
// address of its own, sending its ship every frame), then for a while at
// once a join flood (one admitted client repeating its join 20 times a
// frame) and a slot flood (40 connections from ten addresses that never
// join and reconnect whenever they are dropped); two seconds into the
// attack a real player knocks. Prints the host's frame time (median, p99,
// max) before and during the attack, its memory growth, and how long the
// real player waited for its roster.
//
// The host runs in a child process of its own, as the player's hosting copy
// ("player") or as the dedicated host ("dedicated"). Run inside a private
// network namespace, bounded in time:
//   scripts/with-netns.sh build/bench/bench_hostileflood [player|dedicated] [attack seconds]
//       [hold]
// With "hold" the slot flood's connections do not come back once dropped.
#include <enet/enet.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/timing.h"
#include "dedicated/dedicatedhost.h"
#include "net/messages.h"
#include "net/packetbundle.h"
#include "protocol/gameprotocol.h"
#include "tests/support/combat_rig.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
constexpr unsigned short kPort = 60431;
constexpr int kMatchClients = 31;
constexpr int kFloodAddresses = 10, kFloodPerAddress = 4;
constexpr int kJoinsPerFrame = 20;
constexpr auto kFrame = std::chrono::milliseconds(kFrameStepMs);

long RssKb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * v.size()))];
}

// ---- The host (child process) ----

// Frames every 25 ms until SIGTERM; the frame's own work is timed. The
// attack's start and end come as SIGUSR1 and SIGUSR2.
volatile sig_atomic_t phase = 0;  // 0 match, 1 attack, 2 over
void NextPhase(int) { phase = phase + 1; }

template <class Frame>
int RunHost(const char* kind, Frame frame) {
  signal(SIGUSR1, NextPhase);
  std::vector<double> calm, attacked;
  long rssBefore = 0, rssAfter = 0;
  auto next = Clock::now();
  while (phase < 2) {
    const auto start = Clock::now();
    frame();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (phase == 0) {
      calm.push_back(ms);
      rssBefore = RssKb();
    } else {
      attacked.push_back(ms);
      rssAfter = RssKb();
    }
    next += kFrame;
    if (next < Clock::now()) next = Clock::now();
    std::this_thread::sleep_until(next);
  }
  std::printf("%s host, frame ms before the attack: median %.2f p99 %.2f max %.2f (%zu frames)\n",
              kind, Percentile(calm, 0.5), Percentile(calm, 0.99), Percentile(calm, 1),
              calm.size());
  std::printf("%s host, frame ms under attack:      median %.2f p99 %.2f max %.2f (%zu frames)\n",
              kind, Percentile(attacked, 0.5), Percentile(attacked, 0.99), Percentile(attacked, 1),
              attacked.size());
  std::printf("%s host, RSS %.1f MB before the attack, %.1f MB after: growth %.2f MB\n", kind,
              rssBefore / 1024.0, rssAfter / 1024.0, (rssAfter - rssBefore) / 1024.0);
  std::fflush(stdout);
  return 0;
}

int PlayerHost() {
  CombatRig rig;
  GameProtocol protocol;
  bool ready = true;
  int wait = 0;
  float guid = CombatRig::kGuid;
  rig.ship.name = "Host";
  protocol.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready,
                  &wait, &guid);
  rig.network.InitMe(true);
  if (!rig.network.Listen(kPort, NetworkHandler::kMaxPlayers)) return 1;
  rig.Spawn(1000, 1000);
  return RunHost("player's", [&] {
    rig.enemies.MainLoop(guid);
    protocol.UpdateNetwork();
    rig.ship.PostState();
    protocol.Flush();
  });
}

int DedicatedHostChild() {
  NetworkHandler network;
  DedicatedHost host(network);
  if (!host.Start(kPort, NetworkHandler::kMaxPlayers)) return 1;
  return RunHost("dedicated", [&] { host.Frame(); });
}

// ---- The clients (parent process), raw ENet from addresses of their own ----

// One message in a packet of its own (a bundle of one, as the handler reads).
template <class M>
void Say(ENetPeer* peer, const M& m, bool reliable) {
  BitStream s;
  msg::Write(s, m);
  PacketBundle bundle;
  bundle.Add(s.GetData(), s.GetNumberOfBytesUsed());
  enet_peer_send(
      peer, 0,
      enet_packet_create(bundle.Data(), bundle.Size(),
                         reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED));
}

bool HasRoster(const ENetPacket* p) {
  PacketBundle::Reader messages(p->data, p->dataLength);
  const unsigned char* message;
  size_t length;
  while (messages.Next(message, length))
    if (message[0] == msg::kRoster) return true;
  return false;
}

// A local endpoint at `address` that codes datagrams as the game does.
ENetHost* HostAt(const std::string& address, size_t peers) {
  ENetAddress local{};
  enet_address_set_host_ip(&local, address.c_str());
  ENetHost* host = enet_host_create(&local, peers, 1, 0, 0);
  if (host) enet_host_compress_with_range_coder(host);
  return host;
}

ENetPeer* Connect(ENetHost* from) {
  ENetAddress to{};
  enet_address_set_host_ip(&to, "127.0.0.1");
  to.port = kPort;
  return enet_host_connect(from, &to, 1, 0);
}

// A player of the match: joins, then sends its ship every frame.
struct MatchClient {
  ENetHost* host;
  ENetPeer* peer;
  float guid;
  bool admitted = false;
  int connects = 0, drops = 0;
  Clock::time_point knocked = Clock::now(), admittedAt{};

  MatchClient(const std::string& address, float id)
      : host(HostAt(address, 1)), peer(Connect(host)), guid(id) {}
  ~MatchClient() { enet_host_destroy(host); }

  void Frame(long long frame, int joins) {
    ENetEvent e;
    while (enet_host_service(host, &e, 0) > 0) {
      connects += e.type == ENET_EVENT_TYPE_CONNECT;
      drops += e.type == ENET_EVENT_TYPE_DISCONNECT;
      if (e.type != ENET_EVENT_TYPE_RECEIVE) continue;
      if (!admitted && HasRoster(e.packet)) {
        admitted = true;
        admittedAt = Clock::now();
      }
      enet_packet_destroy(e.packet);
    }
    if (peer->state != ENET_PEER_STATE_CONNECTED) return;
    if (!admitted || joins > 0)
      for (int i = 0; i < std::max(joins, 1); ++i) Say(peer, msg::Join{"P", guid}, true);
    if (admitted) {
      msg::ShortState s;
      s.guid = guid, s.x = 1000 + frame % 500, s.y = 2000, s.vx = 1, s.upHeld = true;
      Say(peer, s, false);
      if (frame % 20 == 0) {
        msg::FullState f;
        f.guid = guid, f.x = s.x, f.y = 2000, f.alive = true, f.width = 96, f.height = 96;
        f.maxSpeed = 20;
        Say(peer, f, true);
      }
    }
    enet_host_flush(host);
  }
};

// Connections from one address that never join and come back when dropped.
struct Squatters {
  ENetHost* host;
  std::vector<ENetPeer*> peers;
  long long reconnects = 0;
  bool comeBack = true;

  explicit Squatters(const std::string& address) : host(HostAt(address, kFloodPerAddress)) {
    for (int i = 0; i < kFloodPerAddress; ++i) peers.push_back(Connect(host));
  }
  ~Squatters() { enet_host_destroy(host); }
  void Frame() {
    ENetEvent e;
    while (enet_host_service(host, &e, 0) > 0)
      if (e.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(e.packet);
    for (ENetPeer*& p : peers)
      if (comeBack && p->state == ENET_PEER_STATE_DISCONNECTED) {
        p = Connect(host);
        ++reconnects;
      }
    enet_host_flush(host);
  }
  int Connected() const {
    int n = 0;
    for (const ENetPeer* p : peers) n += p->state == ENET_PEER_STATE_CONNECTED;
    return n;
  }
};

std::string Address(int a, int b) { return "127.0." + std::to_string(a) + "." + std::to_string(b); }

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc > 1 ? argv[1] : "player";
  const int attackSeconds = argc > 2 ? std::clamp(std::atoi(argv[2]), 3, 120) : 20;
  const bool hold = argc > 3 && std::string(argv[3]) == "hold";
  enet_initialize();
  const pid_t child = fork();
  if (child == 0) _exit(kind == "dedicated" ? DedicatedHostChild() : PlayerHost());

  long long frame = 0;
  std::vector<std::unique_ptr<MatchClient>> match;
  auto frames = [&](auto each, Clock::duration length) {
    const auto end = Clock::now() + length;
    for (auto next = Clock::now(); Clock::now() < end; next += kFrame, ++frame) {
      each();
      std::this_thread::sleep_until(next + kFrame);
    }
  };
  auto playMatch = [&](int joinsOfFirst) {
    for (size_t i = 0; i < match.size(); ++i) match[i]->Frame(frame, i == 0 ? joinsOfFirst : 0);
  };

  std::this_thread::sleep_for(300ms);
  for (int i = 0; i < kMatchClients; ++i)
    match.push_back(std::make_unique<MatchClient>(Address(1, 1 + i), 10.5f + i));
  frames([&] { playMatch(0); }, 4s);
  int admitted = 0;
  for (auto& c : match) admitted += c->admitted;
  std::printf("match: %d of %d clients admitted\n", admitted, kMatchClients);
  frames([&] { playMatch(0); }, 4s);  // the calm frames

  kill(child, SIGUSR1);
  std::vector<std::unique_ptr<Squatters>> flood;
  for (int a = 0; a < kFloodAddresses; ++a)
    flood.push_back(std::make_unique<Squatters>(Address(3, 1 + a)));
  for (auto& s : flood) s->comeBack = !hold;
  std::unique_ptr<MatchClient> real;
  const auto attackStart = Clock::now();
  frames(
      [&] {
        playMatch(kJoinsPerFrame);
        for (auto& s : flood) s->Frame();
        if (!real && Clock::now() - attackStart >= 2s)
          real = std::make_unique<MatchClient>(Address(2, 1), 99.5f);
        if (real) real->Frame(frame, 0);
      },
      std::chrono::seconds(attackSeconds));
  int squatting = 0;
  long long reconnects = 0;
  for (auto& s : flood) squatting += s->Connected(), reconnects += s->reconnects;
  if (real && real->admitted)
    std::printf(
        "real player admitted %.0f ms after knocking\n",
        std::chrono::duration<double, std::milli>(real->admittedAt - real->knocked).count());
  else
    std::printf("real player NOT admitted within %d s (connected %d times, dropped %d times)\n",
                attackSeconds - 2, real ? real->connects : 0, real ? real->drops : 0);
  std::printf("slot flood: %d of %d connections open at the end, %lld reconnections\n", squatting,
              kFloodAddresses * kFloodPerAddress, reconnects);
  std::fflush(stdout);
  kill(child, SIGUSR1);  // over: the host reports
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
