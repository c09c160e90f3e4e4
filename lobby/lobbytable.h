// The lobby's table of announced games: one row per host address and game
// port, refreshed by every heartbeat and forgotten when the heartbeats stop.
// Bounded in size overall and per host address, so no sender can make the
// table (or the list reply built from it) grow without limit.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

using LobbyClock = std::chrono::steady_clock;

struct LobbyEntry {
  std::string ip;
  uint16_t port = 0;
  uint16_t maxplayers = 0;
  std::string name;
  std::string game;
  std::string map;
  LobbyClock::time_point lastHeard{};
};

struct LobbyLimits {
  size_t maxServers = 256;
  size_t maxPerAddress = 4;
  // Hosts announce themselves about every 44 s: a host is forgotten after
  // missing more than two heartbeats.
  std::chrono::seconds expiry{120};
};

class LobbyTable {
 public:
  enum class Result { Added, Refreshed, Full };

  explicit LobbyTable(LobbyLimits limits = {});

  // Adds the game or refreshes the row of the same address and port (its
  // name, mode and map may have changed). Full when the table or the
  // address's share of it has no room.
  Result Heartbeat(LobbyEntry entry, LobbyClock::time_point now);
  // The games heard from within the expiry time, in the order they joined.
  std::vector<LobbyEntry> Servers(LobbyClock::time_point now);
  size_t Size();
  const LobbyLimits& limits() const { return limits_; }

 private:
  void ExpireLocked(LobbyClock::time_point now);

  LobbyLimits limits_;
  std::mutex mutex_;  // the server answers requests on several threads
  std::vector<LobbyEntry> rows_;
};
