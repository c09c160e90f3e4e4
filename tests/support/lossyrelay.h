// A UDP relay that stands between game clients and a host on loopback and
// loses and delays datagrams both ways, as a poor link would (the kernel's
// netem is not available here). Each client address gets an upstream socket
// of its own, so the host sees one address per client. Seeded: the same
// seed drops the same datagrams of the same traffic.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace testsupport {

class LossyRelay {
 public:
  struct Link {
    double loss = 0.07;  // probability that a datagram is dropped
    int delayMs = 20;    // one-way delay ...
    int jitterMs = 5;    // ... plus or minus this much, uniformly
    uint32_t seed = 1;
  };
  struct Counts {
    uint64_t forwarded = 0;
    uint64_t dropped = 0;
  };

  // Listens on 127.0.0.1:listenPort and forwards to 127.0.0.1:hostPort.
  LossyRelay(uint16_t listenPort, uint16_t hostPort, Link link);
  ~LossyRelay();
  LossyRelay(const LossyRelay&) = delete;
  LossyRelay& operator=(const LossyRelay&) = delete;

  bool Running() const { return listenFd >= 0; }
  Counts Totals();

 private:
  void Run();

  Link link;
  uint16_t hostPort;
  int listenFd = -1;
  std::atomic<bool> stop{false};
  std::mutex countsMutex;
  Counts counts;
  std::thread thread;
};

}  // namespace testsupport
