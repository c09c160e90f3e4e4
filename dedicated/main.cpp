// voidrake2-dedicated: hosts a networked game on a machine with no screen.
// No window, GL, sound or SDL: it links only the simulation's libraries. One line per event on
// standard output, errors on standard error; SIGINT and SIGTERM end the match (every client and the
// master server told) with status 0.
#include <signal.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "base/timing.h"
#include "dedicated/dedicatedhost.h"
#include "dedicated/hostoptions.h"
#include "net/lobbyheartbeat.h"
#include "net/networkhandler.h"

namespace {

constexpr long kFrameNs = kFrameStepMs * 1'000'000L;
// The master server forgets a game after 100 s unheard; one heartbeat every
// 1750 frames (about 44 s) leaves room for one lost.
constexpr int kHeartbeatFrames = 1750;

volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int signal) { stopSignal = signal; }

void InstallSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a master server closing early must not end the host
}

void Log(const std::string& line) {
  const time_t now = time(nullptr);
  struct tm local;
  char stamp[32];
  localtime_r(&now, &local);
  strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::printf("%s %s\n", stamp, line.c_str());
}

void AddNs(timespec& t, long ns) {
  t.tv_nsec += ns;
  while (t.tv_nsec >= 1'000'000'000) {
    t.tv_nsec -= 1'000'000'000;
    ++t.tv_sec;
  }
}

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// A frame every step, sleeping in between; a late frame moves the schedule
// rather than running the missed frames back to back.
void RunUntilSignal(DedicatedHost& host, NetworkHandler& network, bool announce) {
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  int untilHeartbeat = 0;
  while (!stopSignal) {
    host.Frame();
    if (announce && --untilHeartbeat <= 0) {
      network.SetPlayerCounts(static_cast<int>(host.PlayerCount()), host.BotCount());
      network.HeartBeat();  // on a thread of its own: the frame never waits for it
      untilHeartbeat = kHeartbeatFrames;
    }
    AddNs(next, kFrameNs);
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (Before(next, now)) next = now;
    while (!stopSignal &&
           clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);  // one line at a time to a log or journal
  HostOptions options;
  std::string error;
  if (!ParseHostOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "voidrake2-dedicated: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(HostUsage().c_str(), stdout);
    return 0;
  }
  InstallSignals();

  NetworkHandler network;
  if (!options.master.empty())
    network.lobby.setMasterserver(options.master, NetworkHandler::kMasterPath);
  const HostSettings& hosting = options.host;
  const int bots = hosting.bots.value_or(0);
  network.connectionsPerAddress = hosting.connectionsPerAddress;
  DedicatedHost host(network);
  host.onEvent = Log;
  if (!host.Start(hosting.port, hosting.maxPlayers)) {
    std::fprintf(stderr, "voidrake2-dedicated: cannot listen on UDP port %u (in use?)\n",
                 hosting.port);
    return 1;
  }
  host.SetBots(bots);
  if (options.announce) network.SetGameStats(options.name, 0);
  Log("listening on UDP port " + std::to_string(hosting.port) + " for up to " +
      std::to_string(hosting.maxPlayers) + " players" +
      (bots > 0 ? ", " + std::to_string(bots) + " of them computer players" : "") +
      (options.announce ? ", announced to " + network.lobby.Describe() : ""));

  RunUntilSignal(host, network, options.announce);

  Log(std::string("ending the match (") + (stopSignal == SIGINT ? "SIGINT" : "SIGTERM") + ")");
  host.End();
  WithdrawAnnouncement(network);
  Log("ended");
  return 0;
}
