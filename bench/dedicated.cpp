// Figures of the dedicated host program: start-up to answering on its port,
// CPU and memory while idle, and CPU and loopback bytes per client with
// clients playing (each a full copy of the game's combat on autopilot:
// flying, firing, hitting, dying and coming back). Run inside a private
// network namespace, where the loopback carries nothing else:
//   scripts/with-netns.sh build/bench/bench_dedicated [clients] [seconds]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/timing.h"
#include "net/offlineping.h"
#include "tests/support/autopilotcopy.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPort = 60397;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// utime + stime of a process, in seconds.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string f;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::atoll(f.c_str());
    if (i == 15) stime = std::atoll(f.c_str());
  }
  return double(utime + stime) / sysconf(_SC_CLK_TCK);
}

long RssKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

long long LoopbackBytes() {
  std::ifstream in("/proc/net/dev");
  for (std::string line; std::getline(in, line);) {
    const size_t colon = line.find("lo:");
    if (colon == std::string::npos) continue;
    std::istringstream fields(line.substr(colon + 3));
    long long rx = 0;
    fields >> rx;
    return rx;  // every loopback packet is received once
  }
  return 0;
}

// Pings the port as the LAN search does until the pong comes back.
bool WaitForPong(std::chrono::milliseconds limit) {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(kPort);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const auto end = Clock::now() + limit;
  bool answered = false;
  while (!answered && Clock::now() < end) {
    sendto(fd, kOfflinePing, sizeof kOfflinePing, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    pollfd p{fd, POLLIN, 0};
    unsigned char reply[16];
    answered = poll(&p, 1, 1) == 1 && recv(fd, reply, sizeof reply, 0) == sizeof kOfflinePong;
  }
  close(fd);
  return answered;
}

}  // namespace

int main(int argc, char** argv) {
  const int clients = argc > 1 ? std::atoi(argv[1]) : 8;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
  const std::string binary = std::string(VOIDRAKE_RUN_DIR) + "/../voidrake2-dedicated";
  const auto launched = Clock::now();
  const pid_t host = fork();
  if (host == 0) {
    freopen("/dev/null", "w", stdout);
    execl(binary.c_str(), binary.c_str(), "--no-master", "--port", std::to_string(kPort).c_str(),
          "--connections-per-address", "32", static_cast<char*>(nullptr));
    _exit(127);
  }
  if (!WaitForPong(std::chrono::seconds(5))) {
    std::fprintf(stderr, "bench_dedicated: %s never answered\n", binary.c_str());
    return 1;
  }
  std::printf("start-up to answering: %.1f ms\n", 1000 * Seconds(Clock::now() - launched));

  const double idleCpu = CpuSeconds(host);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  std::printf("idle: %.2f %% of one core over %d s, RSS %ld KB\n",
              100 * (CpuSeconds(host) - idleCpu) / seconds, seconds, RssKb(host));

  std::vector<std::unique_ptr<AutopilotCopy>> players;
  for (int i = 0; i < clients; ++i) players.push_back(std::make_unique<AutopilotCopy>(i, kPort));
  const auto frame = std::chrono::milliseconds(kFrameStepMs);
  auto next = Clock::now();
  for (int f = 0; f < 400; ++f, next += frame) {  // ten seconds to join and settle
    for (auto& p : players) p->Frame();
    std::this_thread::sleep_until(next);
  }
  int admitted = 0;
  for (auto& p : players) admitted += p->ready;
  const double cpu0 = CpuSeconds(host);
  const long long bytes0 = LoopbackBytes();
  const auto t0 = Clock::now();
  for (int f = 0; f < seconds * kFramesPerSecond; ++f, next += frame) {
    for (auto& p : players) p->Frame();
    std::this_thread::sleep_until(next);
  }
  const double wall = Seconds(Clock::now() - t0);
  const double cpu = 100 * (CpuSeconds(host) - cpu0) / wall;
  const double bytes = double(LoopbackBytes() - bytes0) / wall;
  std::printf(
      "%d clients (%d admitted) playing %.1f s: host %.2f %% of one core (%.3f %% per "
      "client), RSS %ld KB; loopback %.0f bytes/s both ways (%.0f per client)\n",
      clients, admitted, wall, cpu, cpu / clients, RssKb(host), bytes, bytes / clients);
  kill(host, SIGTERM);
  int status = 0;
  waitpid(host, &status, 0);
  std::printf("SIGTERM: exit status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
