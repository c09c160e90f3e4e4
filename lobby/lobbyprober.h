// The lobby's reachability probe: the game's own offline ping, sent over UDP
// to the address and game port a host announced. A game is listed only when
// its pong comes back from that very address and port, so a heartbeat alone
// (from a machine that runs no game, or announces a port nothing answers on)
// lists nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

class LobbyProber {
 public:
  // Called on the prober's thread with the address and port that answered.
  using Answered = std::function<void(const std::string& ip, uint16_t port)>;

  explicit LobbyProber(Answered answered);
  ~LobbyProber();
  LobbyProber(const LobbyProber&) = delete;
  LobbyProber& operator=(const LobbyProber&) = delete;

  // Opens the UDP socket and starts listening for pongs.
  bool Start(std::string* error);
  // Sends one ping to the dotted IPv4 address `ip`, port `port`.
  void Probe(const std::string& ip, uint16_t port);

 private:
  void Run();
  void Drain();

  Answered answered_;
  int socket_ = -1;
  int wake_ = -1;  // an eventfd that ends the thread
  std::thread thread_;
};
