#include "lobby/lobbytable.h"

#include <algorithm>

LobbyTable::LobbyTable(LobbyLimits limits) : limits_(limits) {}

void LobbyTable::EraseLocked(std::map<Key, LobbyEntry>::iterator row) {
  if (row->second.reachable) ++version_;
  const auto count = perAddress_.find(row->first.first);
  if (--count->second == 0) perAddress_.erase(count);
  rows_.erase(row);
}

// The list is read thousands of times a second: the rows are scanned only
// when the oldest of them may have run out.
void LobbyTable::ExpireLocked(LobbyClock::time_point now) {
  if (now < nextExpiry_) return;
  nextExpiry_ = LobbyClock::time_point::max();
  for (auto row = rows_.begin(); row != rows_.end();) {
    const LobbyClock::time_point due = row->second.lastHeard + limits_.expiry;
    if (now > due) {
      EraseLocked(row++);
    } else {
      nextExpiry_ = std::min(nextExpiry_, due + LobbyClock::duration(1));
      ++row;
    }
  }
}

LobbyTable::Result LobbyTable::Heartbeat(LobbyEntry entry, LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  ExpireLocked(now);
  entry.lastHeard = now;
  nextExpiry_ = std::min(nextExpiry_, now + limits_.expiry + LobbyClock::duration(1));
  const auto row = rows_.find(Key(entry.ip, entry.port));
  if (row != rows_.end()) {
    LobbyEntry& old = row->second;
    const bool changed = old.name != entry.name || old.game != entry.game || old.map != entry.map ||
                         old.maxplayers != entry.maxplayers || old.players != entry.players ||
                         old.bots != entry.bots;
    entry.reachable = old.reachable;
    entry.joined = old.joined;
    old = std::move(entry);
    if (!old.reachable) return Result::Waiting;
    if (changed) ++version_;
    return Result::Refreshed;
  }
  const auto count = perAddress_.find(entry.ip);
  if (rows_.size() >= limits_.maxServers ||
      (count != perAddress_.end() && count->second >= limits_.maxPerAddress))
    return Result::Full;
  ++perAddress_[entry.ip];
  entry.reachable = false;
  entry.joined = ++arrivals_;
  Key key(entry.ip, entry.port);
  rows_.emplace(std::move(key), std::move(entry));
  return Result::Added;
}

bool LobbyTable::Confirm(const std::string& ip, uint16_t port) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto row = rows_.find(Key(ip, port));
  if (row == rows_.end()) return false;
  if (!row->second.reachable) ++version_;
  row->second.reachable = true;
  return true;
}

bool LobbyTable::Remove(const std::string& ip, uint16_t port) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto row = rows_.find(Key(ip, port));
  if (row == rows_.end()) return false;
  EraseLocked(row);
  return true;
}

std::vector<LobbyEntry> LobbyTable::Servers(LobbyClock::time_point now) {
  return List(now)->servers;
}

uint64_t LobbyTable::Version(LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  ExpireLocked(now);
  return version_;
}

size_t LobbyTable::Size() {
  std::lock_guard<std::mutex> lock(mutex_);
  return rows_.size();
}

LobbyStore::Removal LobbyTable::Withdraw(const std::string& ip, uint16_t port) {
  return Remove(ip, port) ? Removal::Removed : Removal::NotListed;
}

std::optional<LobbyList> LobbyTable::List(LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  ExpireLocked(now);
  LobbyList list;
  list.version = version_;
  for (const auto& [key, row] : rows_)
    if (row.reachable) list.servers.push_back(row);
  std::sort(list.servers.begin(), list.servers.end(),
            [](const LobbyEntry& a, const LobbyEntry& b) { return a.joined < b.joined; });
  return list;
}
