#include "tests/support/pongresponder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "net/offlineping.h"

namespace testsupport {

PongResponder::PongResponder(uint32_t address) {
  fd_ = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t length = sizeof a;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
  port_ = ntohs(a.sin_port);
  thread_ = std::thread([this] {
    unsigned char buffer[64];
    for (;;) {
      sockaddr_in from{};
      socklen_t fromLength = sizeof from;
      const ssize_t n =
          recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
      if (n <= 0) return;  // shut down
      if (static_cast<size_t>(n) >= sizeof kOfflinePing &&
          std::memcmp(buffer, kOfflinePing, sizeof kOfflinePing) == 0 && ++pings_)
        sendto(fd_, kOfflinePong, sizeof kOfflinePong, 0, reinterpret_cast<sockaddr*>(&from),
               fromLength);
      else
        ++others_;
    }
  });
}

PongResponder::~PongResponder() {
  shutdown(fd_, SHUT_RDWR);  // wakes the blocked recvfrom with 0
  thread_.join();
  close(fd_);
}

}  // namespace testsupport
