#include "tests/support/lossyrelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <queue>
#include <random>
#include <vector>

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kMaxClients = 64;
constexpr size_t kMaxInFlight = 100000;  // beyond this the link drops, as a full queue would

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

int BoundSocket(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  const sockaddr_in a = Loopback(port);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

struct Datagram {
  Clock::time_point due;
  int fromFd;
  sockaddr_in to;
  std::vector<unsigned char> bytes;
  bool operator>(const Datagram& o) const { return due > o.due; }
};

struct Client {
  sockaddr_in address;
  int upstreamFd;
};

}  // namespace

LossyRelay::LossyRelay(uint16_t listenPort, uint16_t hostPort_, Link link_)
    : link(link_), hostPort(hostPort_) {
  listenFd = BoundSocket(listenPort);
  if (listenFd >= 0) thread = std::thread([this] { Run(); });
}

LossyRelay::~LossyRelay() {
  stop = true;
  if (thread.joinable()) thread.join();
  if (listenFd >= 0) close(listenFd);
}

LossyRelay::Counts LossyRelay::Totals() {
  std::lock_guard<std::mutex> lock(countsMutex);
  return counts;
}

void LossyRelay::Run() {
  std::mt19937 random(link.seed);
  std::uniform_real_distribution<double> chance(0, 1);
  std::uniform_int_distribution<int> jitter(-link.jitterMs, link.jitterMs);
  std::priority_queue<Datagram, std::vector<Datagram>, std::greater<>> inFlight;
  std::vector<Client> clients;
  const sockaddr_in host = Loopback(hostPort);

  auto schedule = [&](int fromFd, const sockaddr_in& to, const unsigned char* data, size_t n) {
    std::lock_guard<std::mutex> lock(countsMutex);
    if (chance(random) < link.loss || inFlight.size() >= kMaxInFlight) {
      ++counts.dropped;
      return;
    }
    ++counts.forwarded;
    const auto delay = std::chrono::milliseconds(link.delayMs + jitter(random));
    inFlight.push({Clock::now() + delay, fromFd, to, std::vector<unsigned char>(data, data + n)});
  };

  unsigned char buffer[65536];
  while (!stop) {
    std::vector<pollfd> fds{{listenFd, POLLIN, 0}};
    for (const Client& c : clients) fds.push_back({c.upstreamFd, POLLIN, 0});
    int waitMs = 5;
    if (!inFlight.empty()) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(inFlight.top().due - Clock::now());
      waitMs = std::max(0, std::min<int>(waitMs, static_cast<int>(left.count())));
    }
    poll(fds.data(), fds.size(), waitMs);
    // From a client: towards the host through that client's own socket.
    for (;;) {
      sockaddr_in from{};
      socklen_t length = sizeof from;
      const ssize_t n =
          recvfrom(listenFd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
      if (n < 0) break;
      Client* client = nullptr;
      for (Client& c : clients)
        if (c.address.sin_port == from.sin_port &&
            c.address.sin_addr.s_addr == from.sin_addr.s_addr)
          client = &c;
      if (!client && clients.size() < kMaxClients) {
        const int fd = BoundSocket(0);
        if (fd < 0) continue;
        clients.push_back({from, fd});
        client = &clients.back();
      }
      if (client) schedule(client->upstreamFd, host, buffer, static_cast<size_t>(n));
    }
    // From the host: back to the client whose socket it came to.
    for (const Client& c : clients) {
      for (;;) {
        const ssize_t n = recv(c.upstreamFd, buffer, sizeof buffer, 0);
        if (n < 0) break;
        schedule(listenFd, c.address, buffer, static_cast<size_t>(n));
      }
    }
    while (!inFlight.empty() && inFlight.top().due <= Clock::now()) {
      const Datagram& d = inFlight.top();
      sendto(d.fromFd, d.bytes.data(), d.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&d.to),
             sizeof d.to);
      inFlight.pop();
    }
  }
  for (const Client& c : clients) close(c.upstreamFd);
}

}  // namespace testsupport
