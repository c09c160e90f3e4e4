// voidrake2-lobby: the master server. Hosting copies of the game announce
// themselves here with a heartbeat; players fetch the list of live games.
#include <httplib.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "lobby/lobbyservice.h"
#include "lobby/lobbytable.h"

namespace {

struct Options {
  std::string bind = "127.0.0.1";
  int port = 80;
  LobbyLimits limits;
};

const char kUsage[] =
    "usage: voidrake2-lobby [--bind ADDRESS] [--port N] [--expiry SECONDS]\n"
    "                       [--max-servers N] [--max-per-address N]\n"
    "  --bind ADDRESS         address to listen on (default 127.0.0.1; 0.0.0.0 for all)\n"
    "  --port N               TCP port (default 80; 0 picks a free one)\n"
    "  --expiry SECONDS       forget a game not heard from for this long (default 120)\n"
    "  --max-servers N        most games listed at once (default 256)\n"
    "  --max-per-address N    most games from one host address (default 4)\n";

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
      o->bind = value;
    } else if (arg == "--port" && ParseNumber(value, 0, 65535, &n)) {
      o->port = static_cast<int>(n);
    } else if (arg == "--expiry" && ParseNumber(value, 1, 86400, &n)) {
      o->limits.expiry = std::chrono::seconds(n);
    } else if (arg == "--max-servers" && ParseNumber(value, 1, 100000, &n)) {
      o->limits.maxServers = static_cast<size_t>(n);
    } else if (arg == "--max-per-address" && ParseNumber(value, 1, 100000, &n)) {
      o->limits.maxPerAddress = static_cast<size_t>(n);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // Termination requests are taken by a thread of their own (sigwait), which
  // can stop the server safely; every other thread inherits the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  LobbyTable table(options.limits);
  httplib::Server server;
  InstallLobbyRoutes(server, table);
  int port = options.port;
  if (port == 0) {
    port = server.bind_to_any_port(options.bind);
  } else if (!server.bind_to_port(options.bind, port)) {
    port = -1;
  }
  if (port <= 0) {
    std::fprintf(stderr, "voidrake2-lobby: cannot listen on %s:%d\n", options.bind.c_str(),
                 options.port);
    return 1;
  }
  std::printf("voidrake2-lobby: listening on %s:%d\n", options.bind.c_str(), port);
  std::fflush(stdout);

  std::thread stopper([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
  });
  const bool ok = server.listen_after_bind();
  // Ended by anything but a signal: wake the stopper so it can be joined.
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  return ok ? 0 : 1;
}
