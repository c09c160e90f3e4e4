#include "lobby/redislobbystore.h"

#include <arpa/inet.h>
#include <hiredis/hiredis.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kConnectTimeout{250};
constexpr milliseconds kCommandTimeout{1000};
constexpr milliseconds kFirstRetry{100};
constexpr milliseconds kLastRetry{5000};
constexpr milliseconds kVersionAge{100};
// A new game's probe is sent by one lobby; another may send it again only
// after this, by when the first one's pong would long have come back.
constexpr milliseconds kProbeLock{2000};
// Far above what the lobby writes (three bounded texts and five numbers):
// anything longer was not written by a lobby and is not read.
constexpr size_t kMaxStoredValue = 512;
constexpr size_t kMaxSkipsRemembered = 1024;

// Shared head of every script: the key prefix, the server's time in
// milliseconds, and the trimming of the index, which counts as a change of
// the list when it drops a game.
const char kPrelude[] = R"lua(
local p = ARGV[1]
local t = redis.call('TIME')
local now = tonumber(t[1]) * 1000 + math.floor(tonumber(t[2]) / 1000)
local function trim()
  if redis.call('ZREMRANGEBYSCORE', p .. 'index', '-inf', now) > 0 then
    redis.call('INCR', p .. 'version')
  end
end
)lua";

// ARGV: prefix, ip, port, fields, expiry ms, most games, most per address,
// probe lock ms, most waiting, most waiting per address, grace ms. Returns
// 0 added, 1 waiting, 2 refreshed, 3 full, 4 waiting and probed by another
// lobby. Listed games are in the index and addr:IP (scored by expiry);
// games waiting for their probe are apart, in pending and paddr:IP (scored
// by arrival), and wait at most the expiry time.
const char kHeartbeatScript[] = R"lua(
local ip, port, fields = ARGV[2], ARGV[3], ARGV[4]
local expiry = tonumber(ARGV[5])
local id = ip .. ':' .. port
local key, index, addr = p .. 'game:' .. id, p .. 'index', p .. 'addr:' .. ip
local pending, paddr = p .. 'pending', p .. 'paddr:' .. ip
local function unpend(gone)
  local gip, gport = string.match(gone, '^(.*):(%d+)$')
  redis.call('ZREM', pending, gone)
  if gip then redis.call('ZREM', p .. 'paddr:' .. gip, gport) end
  local value = redis.pcall('GET', p .. 'game:' .. gone)
  if type(value) == 'string' and string.match(value, '^v1\n%d+\n0\n') then
    redis.call('DEL', p .. 'game:' .. gone, p .. 'probe:' .. gone)
  end
end
trim()
redis.call('ZREMRANGEBYSCORE', addr, '-inf', now)
for _, gone in ipairs(redis.call('ZRANGEBYSCORE', pending, '-inf', now - expiry, 'LIMIT', 0, 64)) do
  unpend(gone)
end
redis.call('ZREMRANGEBYSCORE', paddr, '-inf', now - expiry)
local old = redis.pcall('GET', key)
local joined, reachable
if type(old) == 'string' then joined, reachable = string.match(old, '^v1\n(%d+)\n([01])\n') end
local result = 0
if joined then
  result = reachable == '1' and 2 or 1
else
  if redis.call('ZCARD', index) >= tonumber(ARGV[6]) or
     redis.call('ZCARD', addr) >= tonumber(ARGV[7]) or
     redis.call('ZCARD', paddr) >= tonumber(ARGV[10]) then
    return 3
  end
  if redis.call('ZCARD', pending) >= tonumber(ARGV[9]) then
    local oldest = redis.call('ZRANGE', pending, 0, 0, 'WITHSCORES')
    if tonumber(oldest[2]) > now - tonumber(ARGV[11]) then return 3 end
    unpend(oldest[1])
  end
  joined, reachable = redis.call('INCR', p .. 'arrivals'), '0'
  redis.call('ZADD', pending, now, id)
  redis.call('ZADD', paddr, now, port)
  redis.call('PEXPIRE', paddr, expiry)
end
local value = 'v1\n' .. joined .. '\n' .. reachable .. '\n' .. fields
if reachable == '1' then
  if old ~= value then redis.call('INCR', p .. 'version') end
  redis.call('ZADD', index, now + expiry, id)
  redis.call('ZADD', addr, now + expiry, port)
  redis.call('PEXPIRE', addr, expiry)
end
redis.call('SET', key, value, 'PX', expiry)
if result ~= 2 and not redis.call('SET', p .. 'probe:' .. id, '1', 'NX', 'PX', ARGV[8]) then
  result = 4
end
return result
)lua";

// ARGV: prefix, ip, port, most games, most per address, first recheck ms.
// Returns 1 when the game has a row. A waiting game is listed unless
// listed games filled the room meanwhile; every answer clears the count
// of unanswered probes.
const char kConfirmScript[] = R"lua(
local id = ARGV[2] .. ':' .. ARGV[3]
local key, addr = p .. 'game:' .. id, p .. 'addr:' .. ARGV[2]
local old = redis.pcall('GET', key)
if type(old) ~= 'string' then return 0 end
redis.call('HDEL', p .. 'unanswered', id)
local head = string.match(old, '^(v1\n%d+\n)0\n')
if head then
  trim()
  redis.call('ZREMRANGEBYSCORE', addr, '-inf', now)
  if redis.call('ZCARD', p .. 'index') >= tonumber(ARGV[4]) or
     redis.call('ZCARD', addr) >= tonumber(ARGV[5]) then
    return 1
  end
  local ttl = redis.call('PTTL', key)
  redis.call('SET', key, head .. '1\n' .. string.sub(old, #head + 3), 'KEEPTTL')
  redis.call('ZREM', p .. 'pending', id)
  redis.call('ZREM', p .. 'paddr:' .. ARGV[2], ARGV[3])
  redis.call('ZADD', p .. 'index', now + ttl, id)
  redis.call('ZADD', addr, now + ttl, ARGV[3])
  if redis.call('PTTL', addr) < ttl then redis.call('PEXPIRE', addr, ttl) end
  redis.call('ZADD', p .. 'due', now + tonumber(ARGV[6]), id)
  redis.call('INCR', p .. 'version')
end
return 1
)lua";

// ARGV: prefix, ip, port. Returns 1 when the game had a row.
const char kRemoveScript[] = R"lua(
local id = ARGV[2] .. ':' .. ARGV[3]
local existed = redis.call('DEL', p .. 'game:' .. id, p .. 'probe:' .. id) > 0
redis.call('ZREM', p .. 'index', id)
redis.call('ZREM', p .. 'addr:' .. ARGV[2], ARGV[3])
redis.call('ZREM', p .. 'pending', id)
redis.call('ZREM', p .. 'paddr:' .. ARGV[2], ARGV[3])
redis.call('ZREM', p .. 'due', id)
redis.call('HDEL', p .. 'unanswered', id)
if existed then redis.call('INCR', p .. 'version') end
return existed and 1 or 0
)lua";

// ARGV: prefix, recheck ms, a random number, most missed probes. Takes
// the listed games due for a probe (at most 256 a call), each taken by
// one lobby only; returns their ids. A game that left the most missed
// probes unanswered is dropped instead.
const char kDueScript[] = R"lua(
trim()
local recheck, seed, most = tonumber(ARGV[2]), tonumber(ARGV[3]), tonumber(ARGV[4])
local due, unanswered = p .. 'due', p .. 'unanswered'
local out = {}
for i, id in ipairs(redis.call('ZRANGEBYSCORE', due, '-inf', now, 'LIMIT', 0, 256)) do
  local key = p .. 'game:' .. id
  local value = redis.pcall('GET', key)
  local ip, port = string.match(id, '^(.*):(%d+)$')
  if type(value) ~= 'string' or not string.match(value, '^v1\n%d+\n1\n') or not ip then
    redis.call('ZREM', due, id)
    redis.call('HDEL', unanswered, id)
  elseif tonumber(redis.call('HGET', unanswered, id) or '0') >= most then
    redis.call('DEL', key, p .. 'probe:' .. id)
    redis.call('ZREM', p .. 'index', id)
    redis.call('ZREM', p .. 'addr:' .. ip, port)
    redis.call('ZREM', due, id)
    redis.call('HDEL', unanswered, id)
    redis.call('INCR', p .. 'version')
  else
    local at = now + math.floor(recheck / 4)
    if redis.call('HINCRBY', unanswered, id, 1) == 1 then
      at = now + math.floor(recheck * 3 / 4) + (seed + i * 7919) % math.max(1, math.floor(recheck / 2))
    end
    redis.call('ZADD', due, at, id)
    out[#out + 1] = id
  end
end
return out
)lua";

const char kVersionScript[] = R"lua(
trim()
return tonumber(redis.call('GET', p .. 'version') or '0')
)lua";

// Returns the version, then id and value of each indexed game: the value is
// nil when the key has gone, "" when it holds something other than text.
const char kListScript[] = R"lua(
trim()
local out = {tonumber(redis.call('GET', p .. 'version') or '0')}
for _, id in ipairs(redis.call('ZRANGE', p .. 'index', 0, -1)) do
  local value = redis.pcall('GET', p .. 'game:' .. id)
  if type(value) == 'table' then value = '' end
  out[#out + 1] = id
  out[#out + 1] = value or false
end
return out
)lua";

const char* const kScriptBodies[] = {kHeartbeatScript, kConfirmScript, kRemoveScript,
                                     kVersionScript,   kListScript,    kDueScript};

timeval AsTimeval(milliseconds ms) {
  return timeval{static_cast<time_t>(ms.count() / 1000),
                 static_cast<suseconds_t>(ms.count() % 1000 * 1000)};
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

bool ParseUnsigned(const std::string& text, uint64_t high, uint64_t* value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return !text.empty() && ec == std::errc() && ptr == end && *value <= high;
}

// An optional count: "" is none.
bool ParseCount(const std::string& text, std::optional<uint16_t>* count) {
  uint64_t value = 0;
  if (text.empty()) return true;
  if (!ParseUnsigned(text, 65535, &value)) return false;
  *count = static_cast<uint16_t>(value);
  return true;
}

bool PlainText(const std::string& text, size_t limit) {
  return text.size() <= limit && std::none_of(text.begin(), text.end(), [](char c) {
           const auto byte = static_cast<unsigned char>(c);
           return byte < 0x20 || byte == 0x7F;
         });
}

std::string Text(const redisReply* r) { return std::string(r->str, r->len); }

}  // namespace

bool ParseRedisUrl(const std::string& url, RedisAddress* address, std::string* error) {
  const std::string scheme = "redis://";
  RedisAddress parsed;
  std::string rest = url.compare(0, scheme.size(), scheme) == 0 ? url.substr(scheme.size()) : "";
  const size_t at = rest.rfind('@');
  if (at != std::string::npos) {
    parsed.password = rest.substr(0, at);
    if (!parsed.password.empty() && parsed.password[0] == ':') parsed.password.erase(0, 1);
    rest.erase(0, at + 1);
  }
  const size_t slash = rest.find('/');
  uint64_t number = 0;
  bool ok = !rest.empty();
  if (ok && slash != std::string::npos) {
    ok = ParseUnsigned(rest.substr(slash + 1), 15, &number);
    parsed.db = static_cast<int>(number);
    rest.resize(slash);
  }
  const size_t colon = rest.rfind(':');
  if (ok && colon != std::string::npos) {
    ok = ParseUnsigned(rest.substr(colon + 1), 65535, &number) && number > 0;
    parsed.port = static_cast<int>(number);
    rest.resize(colon);
  }
  parsed.host = rest;
  if (!ok || parsed.host.empty()) {
    if (error) *error = "not a store address (redis://HOST:PORT[/DB]): " + url;
    return false;
  }
  *address = parsed;
  return true;
}

void RedisLobbyStore::ReplyFree::operator()(redisReply* r) const { freeReplyObject(r); }

RedisLobbyStore::RedisLobbyStore(RedisAddress address, LobbyLimits limits, Log log,
                                 std::string prefix)
    : address_(std::move(address)),
      limits_(limits),
      log_(std::move(log)),
      prefix_(std::move(prefix)) {}

RedisLobbyStore::~RedisLobbyStore() {
  if (context_) redisFree(context_);
}

bool RedisLobbyStore::Connect() {
  std::lock_guard<std::mutex> lock(mutex_);
  return ConnectLocked();
}

bool RedisLobbyStore::ConnectLocked() {
  context_ =
      redisConnectWithTimeout(address_.host.c_str(), address_.port, AsTimeval(kConnectTimeout));
  if (!context_ || context_->err) {
    FailedLocked(context_ ? context_->errstr : "out of memory");
    return false;
  }
  redisSetTimeout(context_, AsTimeval(kCommandTimeout));
  if (!address_.password.empty() && !SetUpLocked({"AUTH", address_.password})) return false;
  if (address_.db != 0 && !SetUpLocked({"SELECT", std::to_string(address_.db)})) return false;
  for (int i = 0; i < kScripts; ++i) {
    const std::string body = std::string(kPrelude) + kScriptBodies[i];
    const Reply r = SetUpLocked({"SCRIPT", "LOAD", body});
    if (!r) return false;
    sha_[i] = Text(r.get());
  }
  if (!reachable_)
    log_("store redis://" + address_.host + ":" + std::to_string(address_.port) + "/" +
         std::to_string(address_.db) + " reachable");
  reachable_ = told_ = true;
  backoff_ = kFirstRetry;
  return true;
}

RedisLobbyStore::Reply RedisLobbyStore::SetUpLocked(const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  std::vector<size_t> lengths;
  for (const std::string& a : args) {
    argv.push_back(a.data());
    lengths.push_back(a.size());
  }
  Reply r(static_cast<redisReply*>(
      redisCommandArgv(context_, static_cast<int>(argv.size()), argv.data(), lengths.data())));
  if (!r || r->type == REDIS_REPLY_ERROR) {
    FailedLocked(r ? Text(r.get()) : std::string(context_->errstr));
    return nullptr;
  }
  return r;
}

void RedisLobbyStore::FailedLocked(const std::string& why) {
  if (context_) redisFree(context_);
  context_ = nullptr;
  version_.reset();
  if (backoff_ < kFirstRetry) backoff_ = kFirstRetry;
  retryAt_ = LobbyClock::now() + backoff_;
  backoff_ = std::min<LobbyClock::duration>(backoff_ * 2, kLastRetry);
  if (reachable_ || !told_)
    log_("store redis://" + address_.host + ":" + std::to_string(address_.port) + " unreachable (" +
         why + "); lists are refused until it is back");
  reachable_ = false;
  told_ = true;
}

bool RedisLobbyStore::ReadyLocked() {
  if (context_) return true;
  if (LobbyClock::now() < retryAt_) return false;
  return ConnectLocked();
}

RedisLobbyStore::Reply RedisLobbyStore::RunLocked(Script script,
                                                  const std::vector<std::string>& args) {
  if (!ReadyLocked()) return nullptr;
  std::vector<std::string> argv = {"EVALSHA", sha_[script], "0"};
  argv.insert(argv.end(), args.begin(), args.end());
  // An error (a script cache emptied behind the lobby's back, a server out
  // of memory or still loading) counts as unreachable: the next try opens a
  // new connection and loads the scripts again.
  return SetUpLocked(argv);
}

void RedisLobbyStore::SkipLocked(const std::string& id, const std::string& why) {
  if (skipped_.size() >= kMaxSkipsRemembered) skipped_.clear();
  if (!skipped_.insert(id.substr(0, 256)).second) return;
  // The key is foreign text: printed short and without control characters.
  std::string shown = id.substr(0, 64);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  log_("skipped the stored game " + prefix_ + "game:" + shown + ": " + why);
}

LobbyStore::Result RedisLobbyStore::Heartbeat(LobbyEntry e, LobbyClock::time_point) {
  const auto count = [](const std::optional<uint16_t>& n) {
    return n ? std::to_string(*n) : std::string();
  };
  const std::string fields = std::to_string(e.maxplayers) + "\n" + count(e.players) + "\n" +
                             count(e.bots) + "\n" + e.name + "\n" + e.game + "\n" + e.map;
  const auto expiry = std::chrono::duration_cast<milliseconds>(limits_.expiry);
  std::lock_guard<std::mutex> lock(mutex_);
  const Reply r = RunLocked(
      kHeartbeat,
      {prefix_, e.ip, std::to_string(e.port), fields, std::to_string(expiry.count()),
       std::to_string(limits_.maxServers), std::to_string(limits_.maxPerAddress),
       std::to_string(kProbeLock.count()), std::to_string(limits_.maxPending),
       std::to_string(limits_.maxPendingPerAddress), std::to_string(kProbeGrace.count())});
  if (!r || r->type != REDIS_REPLY_INTEGER) return Result::Unavailable;
  versionAt_ = {};  // this lobby's own change shows in its next list
  switch (r->integer) {
    case 0: return Result::Added;
    case 1: return Result::Waiting;
    case 2: return Result::Refreshed;
    case 3: return Result::Full;
    default: return Result::ProbedElsewhere;
  }
}

bool RedisLobbyStore::Confirm(const std::string& ip, uint16_t port) {
  std::lock_guard<std::mutex> lock(mutex_);
  // The first recheck is spread like the later ones.
  const auto recheck = std::chrono::duration_cast<milliseconds>(limits_.recheck).count();
  const auto first = recheck * 3 / 4 + static_cast<int64_t>(random_() % (recheck / 2 + 1));
  const Reply r =
      RunLocked(kConfirm, {prefix_, ip, std::to_string(port), std::to_string(limits_.maxServers),
                           std::to_string(limits_.maxPerAddress), std::to_string(first)});
  versionAt_ = {};
  return r && r->type == REDIS_REPLY_INTEGER && r->integer == 1;
}

LobbyStore::Removal RedisLobbyStore::Withdraw(const std::string& ip, uint16_t port) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Reply r = RunLocked(kRemove, {prefix_, ip, std::to_string(port)});
  if (!r || r->type != REDIS_REPLY_INTEGER) return Removal::Unavailable;
  versionAt_ = {};
  return r->integer == 1 ? Removal::Removed : Removal::NotListed;
}

std::optional<uint64_t> RedisLobbyStore::ListVersion(LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (version_ && context_ && now - versionAt_ < kVersionAge) return version_;
  const Reply r = RunLocked(kVersion, {prefix_});
  if (!r || r->type != REDIS_REPLY_INTEGER) return std::nullopt;
  version_ = static_cast<uint64_t>(r->integer);
  versionAt_ = now;
  return version_;
}

std::optional<LobbyList> RedisLobbyStore::List(LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Reply r = RunLocked(kList, {prefix_});
  if (!r || r->type != REDIS_REPLY_ARRAY || r->elements % 2 != 1 ||
      r->element[0]->type != REDIS_REPLY_INTEGER)
    return std::nullopt;
  LobbyList list;
  list.version = static_cast<uint64_t>(r->element[0]->integer);
  for (size_t i = 1; i + 1 < r->elements; i += 2) {
    const redisReply* id = r->element[i];
    const redisReply* value = r->element[i + 1];
    if (id->type != REDIS_REPLY_STRING || value->type != REDIS_REPLY_STRING) continue;  // gone
    std::string why;
    std::optional<LobbyEntry> entry = ParseStored(Text(id), Text(value), &why);
    if (!entry)
      SkipLocked(Text(id), why);
    else if (entry->reachable)
      list.servers.push_back(std::move(*entry));
  }
  std::sort(list.servers.begin(), list.servers.end(),
            [](const LobbyEntry& a, const LobbyEntry& b) { return a.joined < b.joined; });
  version_ = list.version;
  versionAt_ = now;
  return list;
}

std::vector<LobbyAddress> RedisLobbyStore::DueProbes(LobbyClock::time_point) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto recheck = std::chrono::duration_cast<milliseconds>(limits_.recheck).count();
  const Reply r = RunLocked(kDue, {prefix_, std::to_string(recheck), std::to_string(random_() >> 8),
                                   std::to_string(kMissedProbes)});
  std::vector<LobbyAddress> due;
  if (!r || r->type != REDIS_REPLY_ARRAY) return due;
  versionAt_ = {};  // a dropped game shows in the next list
  for (size_t i = 0; i < r->elements; ++i) {
    if (r->element[i]->type != REDIS_REPLY_STRING) continue;
    const std::string id = Text(r->element[i]);
    const size_t colon = id.rfind(':');
    uint64_t port = 0;
    if (colon != std::string::npos && ParseUnsigned(id.substr(colon + 1), 65535, &port))
      due.push_back({id.substr(0, colon), static_cast<uint16_t>(port)});
  }
  return due;
}

std::optional<LobbyEntry> RedisLobbyStore::ParseStored(const std::string& id,
                                                       const std::string& value, std::string* why) {
  const auto bad = [why](const char* reason) {
    if (why) *why = reason;
    return std::nullopt;
  };
  if (value.size() > kMaxStoredValue) return bad("value too long");
  LobbyEntry e;
  const size_t colon = id.rfind(':');
  uint64_t number = 0;
  in_addr address{};
  if (colon == std::string::npos ||
      inet_pton(AF_INET, id.substr(0, colon).c_str(), &address) != 1 ||
      !ParseUnsigned(id.substr(colon + 1), 65535, &number) || number == 0)
    return bad("not an address and port");
  e.ip = id.substr(0, colon);
  e.port = static_cast<uint16_t>(number);
  const std::vector<std::string> f = Split(value, '\n');
  if (f.size() != 9 || f[0] != "v1") return bad("not a game row");
  if (!ParseUnsigned(f[1], UINT64_MAX, &e.joined) || (f[2] != "0" && f[2] != "1"))
    return bad("bad order or probe mark");
  e.reachable = f[2] == "1";
  if (!ParseUnsigned(f[3], 65535, &number) || !ParseCount(f[4], &e.players) ||
      !ParseCount(f[5], &e.bots))
    return bad("bad player counts");
  e.maxplayers = static_cast<uint16_t>(number);
  if (!PlainText(f[6], kMaxNameLength) || !PlainText(f[7], kMaxGameLength) ||
      !PlainText(f[8], kMaxMapLength))
    return bad("bad name, mode or map");
  e.name = f[6];
  e.game = f[7];
  e.map = f[8];
  return e;
}
