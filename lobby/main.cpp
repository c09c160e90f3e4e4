// voidrake2-lobby: the master server. Hosting copies of the game announce
// themselves here with a heartbeat; players fetch the list of live games.
#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "lobby/lobbyprober.h"
#include "lobby/lobbyserver.h"
#include "lobby/lobbyservice.h"
#include "lobby/lobbytable.h"
#include "lobby/redislobbystore.h"

namespace {

struct Options {
  LobbyServerOptions server;
  LobbyLimits limits;
  std::string store;  // empty: the in-process table
};

// Descriptors the lobby needs besides its connections: the listening
// socket, the library's epoll and pipes, the probe, the store, the log.
constexpr rlim_t kOtherDescriptors = 64;

const char kUsage[] =
    "usage: voidrake2-lobby [--bind ADDRESS] [--port N] [--expiry SECONDS]\n"
    "                       [--max-servers N] [--max-per-address N]\n"
    "                       [--max-connections N] [--connections-per-address N]\n"
    "                       [--max-pending N] [--max-pending-per-address N]\n"
    "                       [--recheck SECONDS] [--store redis://HOST:PORT[/DB]]\n"
    "  --bind ADDRESS                IPv4 address to listen on (default 127.0.0.1; 0.0.0.0 for "
    "all)\n"
    "  --port N                      TCP port (default 80; 0 picks a free one)\n"
    "  --expiry SECONDS              forget a game not heard from for this long (default 100)\n"
    "  --max-servers N               most games known at once (default 4096)\n"
    "  --max-per-address N           most games from one host address (default 4)\n"
    "  --max-pending N               most games waiting for their probe (default 1024)\n"
    "  --max-pending-per-address N   of those, most from one address (default 2)\n"
    "  --recheck SECONDS             probe listed games again about this often and drop\n"
    "                                those that stop answering (default 180)\n"
    "  --max-connections N           most open connections (default 60000, or what the\n"
    "                                open-file limit allows); when all are taken the\n"
    "                                oldest unfinished request is closed\n"
    "  --connections-per-address N   most open connections from one address (default 8)\n"
    "  --store redis://HOST:PORT[/DB]  keep the table in Redis, shared with every lobby\n"
    "                                that names the same store (default: in this process)\n";

bool ParseNumber(const char* text, long low, long high, long* value) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < low || v > high) return false;
  *value = v;
  return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    long n = 0;
    if (arg == "--bind") {
      o->server.bind = value;
    } else if (arg == "--port" && ParseNumber(value, 0, 65535, &n)) {
      o->server.port = static_cast<int>(n);
    } else if (arg == "--expiry" && ParseNumber(value, 1, 86400, &n)) {
      o->limits.expiry = std::chrono::seconds(n);
    } else if (arg == "--max-servers" && ParseNumber(value, 1, 100000, &n)) {
      o->limits.maxServers = static_cast<size_t>(n);
    } else if (arg == "--max-per-address" && ParseNumber(value, 1, 100000, &n)) {
      o->limits.maxPerAddress = static_cast<size_t>(n);
    } else if (arg == "--max-pending" && ParseNumber(value, 1, 100000, &n)) {
      o->limits.maxPending = static_cast<size_t>(n);
    } else if (arg == "--max-pending-per-address" && ParseNumber(value, 1, 100000, &n)) {
      o->limits.maxPendingPerAddress = static_cast<size_t>(n);
    } else if (arg == "--recheck" && ParseNumber(value, 1, 86400, &n)) {
      o->limits.recheck = std::chrono::seconds(n);
    } else if (arg == "--store") {
      o->store = value;
    } else if (arg == "--max-connections" && ParseNumber(value, 1, 1000000, &n)) {
      o->server.maxConnections = static_cast<unsigned>(n);
    } else if (arg == "--connections-per-address" && ParseNumber(value, 1, 100000, &n)) {
      o->server.connectionsPerAddress = static_cast<unsigned>(n);
    } else {
      return false;
    }
  }
  return true;
}

void Log(const std::string& line) {
  const std::time_t now = std::time(nullptr);
  char stamp[32] = "";
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  std::fprintf(stderr, "%s voidrake2-lobby: %s\n", stamp, line.c_str());
}

// Every connection is a descriptor: the soft limit is raised as far as the
// hard limit allows, and the connection limit kept below what that gives.
void FitConnectionsToDescriptors(LobbyServerOptions* server) {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  if (limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    getrlimit(RLIMIT_NOFILE, &limit);
  }
  const rlim_t room = limit.rlim_cur > 2 * kOtherDescriptors ? limit.rlim_cur - kOtherDescriptors
                                                             : kOtherDescriptors;
  if (limit.rlim_cur != RLIM_INFINITY && server->maxConnections > room) {
    Log("open-file limit " + std::to_string(limit.rlim_cur) + ": at most " + std::to_string(room) +
        " connections (raise LimitNOFILE or ulimit -Hn for " +
        std::to_string(server->maxConnections) + ")");
    server->maxConnections = static_cast<unsigned>(room);
  }
}

std::unique_ptr<LobbyStore> OpenStore(const Options& o, std::string* error) {
  if (o.store.empty()) return std::make_unique<LobbyTable>(o.limits);
  RedisAddress address;
  if (!ParseRedisUrl(o.store, &address, error)) return nullptr;
  auto store = std::make_unique<RedisLobbyStore>(address, o.limits, &Log);
  store->Connect();  // unreachable now is logged; it is tried again with each request
  return store;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // Termination requests are awaited with sigwait below; the library's and
  // the prober's threads inherit the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  FitConnectionsToDescriptors(&options.server);
  // Each connection's memory (one block of the connection memory's size)
  // gets a mapping of its own and is given back when the connection
  // closes: slow sockets that are closed and open again by the thousand
  // would otherwise scatter these blocks over the heap, which then keeps
  // the high-water mark for good.
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(options.server.connectionMemory));
  std::string error;
  const std::unique_ptr<LobbyStore> store = OpenStore(options, &error);
  if (!store) {
    std::fprintf(stderr, "voidrake2-lobby: %s\n", error.c_str());
    return 2;
  }
  LobbyProber prober([&store](const std::string& ip, uint16_t port) { store->Confirm(ip, port); });
  LobbyService service(*store,
                       [&prober](const std::string& ip, uint16_t port) { prober.Probe(ip, port); });
  LobbyServer server(service, options.server);
  if (!prober.Start(&error) || !server.Start(&error)) {
    std::fprintf(stderr, "voidrake2-lobby: %s\n", error.c_str());
    return 1;
  }
  std::printf("voidrake2-lobby: listening on %s:%d\n", options.server.bind.c_str(), server.port());
  std::fflush(stdout);

  // Between termination requests, listed games due for another probe are
  // asked a few times a second, so the rechecks stay spread out.
  const timespec tick{0, 250 * 1000 * 1000};
  while (sigtimedwait(&stopSignals, nullptr, &tick) < 0) {
    for (const LobbyAddress& game : store->DueProbes(LobbyClock::now()))
      prober.Probe(game.ip, game.port);
  }
  server.Stop();
  return 0;
}
