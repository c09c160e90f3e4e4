// The lobby's in-process table of announced games: one row per host address and game
// port, refreshed by every heartbeat and forgotten when the heartbeats stop
// or the host says its game has ended. A new row is listed only once its
// game has answered the reachability probe, so an address cannot list games
// that do not exist, and dropped when it stops answering the probes sent
// again now and then. Listed rows and rows waiting for their probe are
// bounded apart, overall and per host address, so no sender can make the
// table or the list reply grow without limit, and ports that never answer
// take no room from games that do.
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
  std::vector<LobbyAddress> DueProbes(LobbyClock::time_point now) override;
  // The host ended its game; false when it had no row.
  bool Remove(const std::string& ip, uint16_t port);
  // The listed games heard from within the expiry time, in the order they joined.
  std::vector<LobbyEntry> Servers(LobbyClock::time_point now);
  // Changes whenever the list Servers gives changes (after expiring rows).
  uint64_t Version(LobbyClock::time_point now);
  size_t Size();     // every row, listed or waiting
  size_t Pending();  // rows waiting for their probe
  const LobbyLimits& limits() const { return limits_; }

 private:
  using Key = std::pair<std::string, uint16_t>;
  struct Row {
    LobbyEntry entry;
    LobbyClock::time_point arrived{};    // while waiting for the probe
    LobbyClock::time_point nextProbe{};  // once listed
    unsigned unanswered = 0;             // probes sent since the last answer
  };
  using Rows = std::map<Key, Row>;
  // When the row runs out: heartbeats stopped, or it waited too long.
  LobbyClock::time_point DueLocked(const Row& row) const;
  void ExpireLocked(LobbyClock::time_point now);
  void EraseLocked(Rows::iterator row);
  // Room for one more waiting row from `ip`, evicting the oldest waiting
  // row when the set is full and it has had its chance to answer.
  bool MakePendingRoomLocked(const std::string& ip, LobbyClock::time_point now);
  LobbyClock::time_point NextProbeLocked(LobbyClock::time_point now);

  LobbyLimits limits_;
  std::mutex mutex_;  // requests and probe answers arrive on different threads
  Rows rows_;
  std::map<std::string, size_t> perAddress_;         // listed rows
  std::map<std::string, size_t> pendingPerAddress_;  // waiting rows
  std::map<uint64_t, Key> pending_;                  // waiting rows by arrival
  size_t listed_ = 0;
  uint64_t spread_ = 0;
  LobbyClock::time_point nextExpiry_ = LobbyClock::time_point::max();
  uint64_t version_ = 0;
  uint64_t arrivals_ = 0;
};
