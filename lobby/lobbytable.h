// The lobby's in-process table of announced games: one row per host address and game
// port, refreshed by every heartbeat and forgotten when the heartbeats stop
// or the host says its game has ended. A new row is listed only once its
// game has answered the reachability probe, so an address cannot list games
// that do not exist. Bounded in size overall and per host address (waiting
// rows count too), so no sender can make the table or the list reply grow
// without limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "lobby/lobbystore.h"

class LobbyTable : public LobbyStore {
 public:
  explicit LobbyTable(LobbyLimits limits = {});

  // Adds the game or refreshes the row of the same address and port (its
  // name, mode and map may have changed).
  Result Heartbeat(LobbyEntry entry, LobbyClock::time_point now) override;
  bool Confirm(const std::string& ip, uint16_t port) override;
  Removal Withdraw(const std::string& ip, uint16_t port) override;
  std::optional<uint64_t> ListVersion(LobbyClock::time_point now) override { return Version(now); }
  std::optional<LobbyList> List(LobbyClock::time_point now) override;
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
