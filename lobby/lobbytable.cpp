#include "lobby/lobbytable.h"

#include <algorithm>

LobbyTable::LobbyTable(LobbyLimits limits) : limits_(limits) {}

void LobbyTable::ExpireLocked(LobbyClock::time_point now) {
  std::erase_if(rows_, [&](const LobbyEntry& e) { return now - e.lastHeard > limits_.expiry; });
}

LobbyTable::Result LobbyTable::Heartbeat(LobbyEntry entry, LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  ExpireLocked(now);
  entry.lastHeard = now;
  for (LobbyEntry& row : rows_) {
    if (row.ip == entry.ip && row.port == entry.port) {
      row = std::move(entry);
      return Result::Refreshed;
    }
  }
  const size_t fromAddress = static_cast<size_t>(
      std::count_if(rows_.begin(), rows_.end(), [&](const LobbyEntry& e) { return e.ip == entry.ip; }));
  if (rows_.size() >= limits_.maxServers || fromAddress >= limits_.maxPerAddress)
    return Result::Full;
  rows_.push_back(std::move(entry));
  return Result::Added;
}

std::vector<LobbyEntry> LobbyTable::Servers(LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  ExpireLocked(now);
  return rows_;
}

size_t LobbyTable::Size() {
  std::lock_guard<std::mutex> lock(mutex_);
  return rows_.size();
}
