// The lobby's table of announced games: one row per host address and game
// port, refreshed by every heartbeat and forgotten when the heartbeats stop
// or the host says its game has ended. A new row is listed only once its
// game has answered the reachability probe, so an address cannot list games
// that do not exist. Bounded in size overall and per host address (waiting
// rows count too), so no sender can make the table or the list reply grow
// without limit.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
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
  bool reachable = false;  // answered the probe: listed
  uint64_t joined = 0;     // order of arrival, the list's order
};

struct LobbyLimits {
  size_t maxServers = 4096;
  size_t maxPerAddress = 4;
  // Hosts announce themselves about every 44 s: a host is forgotten after
  // missing two heartbeats, with a margin for a slow exchange.
  std::chrono::seconds expiry{100};
};

class LobbyTable {
 public:
  // Added: a new row, waiting for its probe; Waiting: a refresh of a row
  // still waiting; Refreshed: a refresh of a listed row; Full: no room.
  enum class Result { Added, Waiting, Refreshed, Full };

  explicit LobbyTable(LobbyLimits limits = {});

  // Adds the game or refreshes the row of the same address and port (its
  // name, mode and map may have changed).
  Result Heartbeat(LobbyEntry entry, LobbyClock::time_point now);
  // The game at `ip`:`port` answered the probe; false when it has no row.
  bool Confirm(const std::string& ip, uint16_t port);
  // The host ended its game; false when it had no row.
  bool Remove(const std::string& ip, uint16_t port);
  // The listed games heard from within the expiry time, in the order they joined.
  std::vector<LobbyEntry> Servers(LobbyClock::time_point now);
  // Changes whenever the list Servers gives changes (after expiring rows).
  uint64_t Version(LobbyClock::time_point now);
  size_t Size();  // every row, listed or waiting
  const LobbyLimits& limits() const { return limits_; }

 private:
  using Key = std::pair<std::string, uint16_t>;
  void ExpireLocked(LobbyClock::time_point now);
  void EraseLocked(std::map<Key, LobbyEntry>::iterator row);

  LobbyLimits limits_;
  std::mutex mutex_;  // requests and probe answers arrive on different threads
  std::map<Key, LobbyEntry> rows_;
  std::map<std::string, size_t> perAddress_;
  LobbyClock::time_point nextExpiry_ = LobbyClock::time_point::max();
  uint64_t version_ = 0;
  uint64_t arrivals_ = 0;
};
