// A stand-in for a hosting game's port as the lobby's probe sees it: a UDP
// socket on 127.0.0.1 that answers the offline ping with the pong, as the
// game's host does, on a thread of its own, and counts other datagrams
// (a client's attempts to connect).
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace testsupport {

class PongResponder {
 public:
  // An ephemeral port of `address` (host order; any 127.x.y.z).
  explicit PongResponder(uint32_t address = 0x7F000001);
  ~PongResponder();
  uint16_t port() const { return port_; }
  int others() const { return others_; }
  int pings() const { return pings_; }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
  std::atomic<int> others_{0};
  std::atomic<int> pings_{0};
  std::thread thread_;
};

}  // namespace testsupport
