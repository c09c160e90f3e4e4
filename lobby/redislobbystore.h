// The lobby's table kept in Redis, so that several lobby processes (on one
// machine or many) list the same games. Each game is one key whose
// time-to-live is its expiry, refreshed by every heartbeat; a sorted set of
// the games by expiry time is the list's index, trimmed whenever it is read,
// and one sorted set per host address counts that address's games for the
// per-address limit. Games waiting for their probe are kept in sets of
// their own, with their own limits; listed games due for another probe
// are in one more sorted set, which each lobby takes its share of, so
// every game is asked by one lobby at a time. Every change is one Lua script, so two lobbies taking
// heartbeats at once cannot both pass a limit, and times are the Redis
// server's own clock, so the lobbies' clocks need not agree. A new game is
// probed by the one lobby that takes its short-lived probe lock.
//
// The connection is one blocking hiredis context with short time-outs. When
// Redis cannot be reached every call says Unavailable at once and the store
// tries again with a growing pause (0.1 s doubling to 5 s); each change
// between reachable and unreachable is logged once.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "lobby/lobbystore.h"

struct redisContext;
struct redisReply;

struct RedisAddress {
  std::string host;
  int port = 6379;
  int db = 0;
  std::string password;  // sent with AUTH when not empty
};

// "redis://[:PASSWORD@]HOST[:PORT][/DB]" (port 6379 when left out); false
// with a reason.
bool ParseRedisUrl(const std::string& url, RedisAddress* address, std::string* error);

class RedisLobbyStore : public LobbyStore {
 public:
  using Log = std::function<void(const std::string& line)>;

  RedisLobbyStore(RedisAddress address, LobbyLimits limits, Log log,
                  std::string prefix = "voidrake2:");
  ~RedisLobbyStore() override;
  RedisLobbyStore(const RedisLobbyStore&) = delete;
  RedisLobbyStore& operator=(const RedisLobbyStore&) = delete;

  // Connects now (the lobby starts either way and says how it went).
  bool Connect();

  Result Heartbeat(LobbyEntry entry, LobbyClock::time_point now) override;
  bool Confirm(const std::string& ip, uint16_t port) override;
  Removal Withdraw(const std::string& ip, uint16_t port) override;
  std::optional<uint64_t> ListVersion(LobbyClock::time_point now) override;
  std::optional<LobbyList> List(LobbyClock::time_point now) override;
  std::vector<LobbyAddress> DueProbes(LobbyClock::time_point now) override;

  // A stored game as the list reads it, or nothing when the key or value is
  // not one this lobby wrote (public for the tests).
  static std::optional<LobbyEntry> ParseStored(const std::string& id, const std::string& value,
                                               std::string* why);

 private:
  enum Script { kHeartbeat, kConfirm, kRemove, kVersion, kList, kDue, kScripts };
  struct ReplyFree {
    void operator()(redisReply* r) const;
  };
  using Reply = std::unique_ptr<redisReply, ReplyFree>;

  bool ReadyLocked();
  bool ConnectLocked();
  Reply RunLocked(Script script, const std::vector<std::string>& args);
  // One command on the open connection; nothing (and the connection
  // closed) on an error.
  Reply SetUpLocked(const std::vector<std::string>& args);
  void FailedLocked(const std::string& why);
  void SkipLocked(const std::string& id, const std::string& why);

  const RedisAddress address_;
  const LobbyLimits limits_;
  const Log log_;
  const std::string prefix_;
  std::mutex mutex_;  // requests and probe answers arrive on different threads
  redisContext* context_ = nullptr;
  std::array<std::string, kScripts> sha_;
  bool reachable_ = false;
  bool told_ = false;  // a state has been logged
  LobbyClock::time_point retryAt_{};
  LobbyClock::duration backoff_{};
  // The version is asked of Redis at most every kVersionAge: a list
  // request is then served from memory, and a change made through another
  // lobby shows here within that time.
  std::optional<uint64_t> version_;
  LobbyClock::time_point versionAt_{};
  std::set<std::string> skipped_;                    // bad rows already logged
  std::minstd_rand random_{std::random_device{}()};  // spreads the rechecks
};
