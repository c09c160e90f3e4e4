#include "lobby/lobbyprober.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/offlineping.h"

LobbyProber::LobbyProber(Answered answered) : answered_(std::move(answered)) {}

LobbyProber::~LobbyProber() {
  if (thread_.joinable()) {
    const uint64_t one = 1;
    if (write(wake_, &one, sizeof one) < 0) {
      // The eventfd cannot be full after one write: nothing else to do.
    }
    thread_.join();
  }
  if (socket_ >= 0) close(socket_);
  if (wake_ >= 0) close(wake_);
}

bool LobbyProber::Start(std::string* error) {
  socket_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (socket_ < 0 || wake_ < 0) {
    if (error) *error = std::string("cannot open the probe socket: ") + std::strerror(errno);
    return false;
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

void LobbyProber::Probe(const std::string& ip, uint16_t port) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (socket_ < 0 || inet_pton(AF_INET, ip.c_str(), &to.sin_addr) != 1) return;
  // A full send buffer drops this ping; the game's next heartbeat asks again.
  sendto(socket_, kOfflinePing, sizeof kOfflinePing, MSG_DONTWAIT,
         reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

void LobbyProber::Run() {
  pollfd fds[2] = {{socket_, POLLIN, 0}, {wake_, POLLIN, 0}};
  for (;;) {
    if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents) return;
    if (fds[0].revents) Drain();
  }
}

void LobbyProber::Drain() {
  unsigned char buffer[64];
  for (;;) {
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t n =
        recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return;  // drained (or an ICMP error of a closed port: nothing answered)
    if (static_cast<size_t>(n) < sizeof kOfflinePong ||
        std::memcmp(buffer, kOfflinePong, sizeof kOfflinePong) != 0 || from.sin_family != AF_INET)
      continue;
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &from.sin_addr, text, sizeof text)) continue;
    answered_(text, ntohs(from.sin_port));
  }
}
