#include "lobby/lobbytable.h"

#include <algorithm>

namespace {

void Count(std::map<std::string, size_t>& counts, const std::string& ip, int change) {
  size_t& n = counts[ip];
  n += change;
  if (n == 0) counts.erase(ip);
}

size_t CountOf(const std::map<std::string, size_t>& counts, const std::string& ip) {
  const auto it = counts.find(ip);
  return it == counts.end() ? 0 : it->second;
}

}  // namespace

LobbyTable::LobbyTable(LobbyLimits limits) : limits_(limits) {}

LobbyClock::time_point LobbyTable::DueLocked(const Row& row) const {
  const LobbyClock::time_point heard = row.entry.lastHeard + limits_.expiry;
  return row.entry.reachable ? heard : std::min(heard, row.arrived + limits_.expiry);
}

void LobbyTable::EraseLocked(Rows::iterator row) {
  const LobbyEntry& e = row->second.entry;
  if (e.reachable) {
    ++version_;
    --listed_;
    Count(perAddress_, e.ip, -1);
  } else {
    pending_.erase(e.joined);
    Count(pendingPerAddress_, e.ip, -1);
  }
  rows_.erase(row);
}

// The list is read thousands of times a second: the rows are scanned only
// when the oldest of them may have run out.
void LobbyTable::ExpireLocked(LobbyClock::time_point now) {
  if (now < nextExpiry_) return;
  nextExpiry_ = LobbyClock::time_point::max();
  for (auto row = rows_.begin(); row != rows_.end();) {
    const LobbyClock::time_point due = DueLocked(row->second);
    if (now > due) {
      EraseLocked(row++);
    } else {
      nextExpiry_ = std::min(nextExpiry_, due + LobbyClock::duration(1));
      ++row;
    }
  }
}

bool LobbyTable::MakePendingRoomLocked(const std::string& ip, LobbyClock::time_point now) {
  if (CountOf(pendingPerAddress_, ip) >= limits_.maxPendingPerAddress) return false;
  if (pending_.size() < limits_.maxPending) return true;
  const auto oldest = rows_.find(pending_.begin()->second);
  if (now - oldest->second.arrived < kProbeGrace) return false;
  EraseLocked(oldest);
  return true;
}

LobbyTable::Result LobbyTable::Heartbeat(LobbyEntry entry, LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  ExpireLocked(now);
  entry.lastHeard = now;
  const auto row = rows_.find(Key(entry.ip, entry.port));
  if (row != rows_.end()) {
    LobbyEntry& old = row->second.entry;
    const bool changed = old.name != entry.name || old.game != entry.game || old.map != entry.map ||
                         old.maxplayers != entry.maxplayers || old.players != entry.players ||
                         old.bots != entry.bots;
    entry.reachable = old.reachable;
    entry.joined = old.joined;
    old = std::move(entry);
    nextExpiry_ = std::min(nextExpiry_, DueLocked(row->second) + LobbyClock::duration(1));
    if (!old.reachable) return Result::Waiting;
    if (changed) ++version_;
    return Result::Refreshed;
  }
  // A game that could not be listed once it answers is not worth probing.
  if (listed_ >= limits_.maxServers || CountOf(perAddress_, entry.ip) >= limits_.maxPerAddress ||
      !MakePendingRoomLocked(entry.ip, now))
    return Result::Full;
  Count(pendingPerAddress_, entry.ip, 1);
  entry.reachable = false;
  entry.joined = ++arrivals_;
  Key key(entry.ip, entry.port);
  pending_.emplace(entry.joined, key);
  Row& added = rows_[std::move(key)];
  added.entry = std::move(entry);
  added.arrived = now;
  nextExpiry_ = std::min(nextExpiry_, DueLocked(added) + LobbyClock::duration(1));
  return Result::Added;
}

// Spread over three quarters to five quarters of the interval, so games
// listed together are not all asked again in the same instant.
LobbyClock::time_point LobbyTable::NextProbeLocked(LobbyClock::time_point now) {
  spread_ = spread_ * 6364136223846793005ULL + 1442695040888963407ULL;
  const auto span = std::chrono::duration_cast<LobbyClock::duration>(limits_.recheck);
  return now + span * 3 / 4 + span / 2 * static_cast<int64_t>(spread_ >> 54) / 1024;
}

bool LobbyTable::Confirm(const std::string& ip, uint16_t port) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = rows_.find(Key(ip, port));
  if (found == rows_.end()) return false;
  Row& row = found->second;
  row.unanswered = 0;
  if (row.entry.reachable) return true;
  // Listed games filled the room while this one waited: it waits on, and
  // its next heartbeat asks again.
  if (listed_ >= limits_.maxServers || CountOf(perAddress_, ip) >= limits_.maxPerAddress)
    return true;
  pending_.erase(row.entry.joined);
  Count(pendingPerAddress_, ip, -1);
  Count(perAddress_, ip, 1);
  ++listed_;
  ++version_;
  row.entry.reachable = true;
  row.nextProbe = {};  // scheduled by the next DueProbes
  return true;
}

std::vector<LobbyAddress> LobbyTable::DueProbes(LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  ExpireLocked(now);
  std::vector<LobbyAddress> due;
  for (auto it = rows_.begin(); it != rows_.end();) {
    Row& row = it->second;
    if (row.entry.reachable && row.nextProbe == LobbyClock::time_point{})
      row.nextProbe = NextProbeLocked(now);
    if (!row.entry.reachable || now < row.nextProbe) {
      ++it;
    } else if (row.unanswered >= kMissedProbes) {
      EraseLocked(it++);
    } else {
      // After a miss the next probe follows soon: one lost datagram should
      // not cost a game its place, a dead port should not keep it long.
      row.nextProbe =
          ++row.unanswered > 1
              ? now + std::chrono::duration_cast<LobbyClock::duration>(limits_.recheck / 4)
              : NextProbeLocked(now);
      due.push_back({it->first.first, it->first.second});
      ++it;
    }
  }
  return due;
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

size_t LobbyTable::Pending() {
  std::lock_guard<std::mutex> lock(mutex_);
  return pending_.size();
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
    if (row.entry.reachable) list.servers.push_back(row.entry);
  std::sort(list.servers.begin(), list.servers.end(),
            [](const LobbyEntry& a, const LobbyEntry& b) { return a.joined < b.joined; });
  return list;
}
