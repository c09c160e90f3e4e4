// Where the lobby keeps its table of announced games. Two kinds: the
// in-process table (LobbyTable, the default) and a Redis store shared by
// several lobby processes (RedisLobbyStore). The service speaks only to this
// interface, so it answers the same whichever keeps the rows.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using LobbyClock = std::chrono::steady_clock;

// Longest stored texts; longer ones are cut. Control characters are dropped.
constexpr size_t kMaxNameLength = 64;
constexpr size_t kMaxGameLength = 32;
constexpr size_t kMaxMapLength = 32;

struct LobbyEntry {
  std::string ip;
  uint16_t port = 0;
  uint16_t maxplayers = 0;
  // Players and computer players in the game, when the heartbeat told them.
  std::optional<uint16_t> players;
  std::optional<uint16_t> bots;
  std::string name;
  std::string game;
  std::string map;
  LobbyClock::time_point lastHeard{};
  bool reachable = false;  // answered the probe: listed
  uint64_t joined = 0;     // order of arrival, the list's order
};

struct LobbyLimits {
  // Listed games: those that answered the probe.
  size_t maxServers = 4096;
  size_t maxPerAddress = 4;
  // Hosts announce themselves about every 44 s: a host is forgotten after
  // missing two heartbeats, with a margin for a slow exchange.
  std::chrono::seconds expiry{100};
  // Games still waiting for their probe are kept apart and count only
  // here, so heartbeats for ports that never answer cannot fill the list's
  // room. When this set is full a new game takes the place of the oldest
  // waiting one that has had kProbeGrace to answer.
  size_t maxPending = 1024;
  size_t maxPendingPerAddress = 2;
  // Listed games are probed again about this often (spread out), and
  // dropped after kMissedProbes probes in a row went unanswered.
  std::chrono::milliseconds recheck{std::chrono::minutes(3)};
};

// Far longer than a pong takes to come back from anywhere.
constexpr std::chrono::milliseconds kProbeGrace{2000};
constexpr unsigned kMissedProbes = 3;

// A game to probe.
struct LobbyAddress {
  std::string ip;
  uint16_t port = 0;
};

// The listed games and the version of the table they were read at.
struct LobbyList {
  uint64_t version = 0;
  std::vector<LobbyEntry> servers;
};

class LobbyStore {
 public:
  // Added: a new row, waiting for its probe; Waiting: a refresh of a row
  // still waiting; Refreshed: a refresh of a listed row; Full: no room;
  // ProbedElsewhere: waiting, and another lobby sharing the store probes it;
  // Unavailable: the store cannot be reached, nothing was recorded.
  enum class Result { Added, Waiting, Refreshed, Full, ProbedElsewhere, Unavailable };
  enum class Removal { Removed, NotListed, Unavailable };

  virtual ~LobbyStore() = default;

  // Adds the game or refreshes the row of the same address and port (its
  // name, mode, map and counts may have changed).
  virtual Result Heartbeat(LobbyEntry entry, LobbyClock::time_point now) = 0;
  // The game at `ip`:`port` answered the probe; false when it has no row.
  virtual bool Confirm(const std::string& ip, uint16_t port) = 0;
  // The host ended its game.
  virtual Removal Withdraw(const std::string& ip, uint16_t port) = 0;
  // Changes whenever the list changes; nothing when the store cannot be read.
  virtual std::optional<uint64_t> ListVersion(LobbyClock::time_point now) = 0;
  // The listed games heard from within the expiry time, in the order they
  // joined; nothing when the store cannot be read.
  virtual std::optional<LobbyList> List(LobbyClock::time_point now) = 0;
  // The listed games due for another probe, each marked as asked; games
  // that left kMissedProbes probes in a row unanswered are dropped instead.
  // Called a few times a second; empty when the store cannot be read.
  virtual std::vector<LobbyAddress> DueProbes(LobbyClock::time_point now) = 0;
};
