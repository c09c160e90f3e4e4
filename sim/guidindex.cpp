#include "sim/guidindex.h"

#include <cmath>
#include <cstring>

bool GuidIndex::Key(float guid, std::uint32_t& key) {
  if (std::isnan(guid)) return false;
  if (guid == 0) guid = 0;  // -0 and 0 are the same GUID
  std::memcpy(&key, &guid, sizeof key);
  return true;
}

int GuidIndex::Find(float guid) const {
  std::uint32_t key;
  if (!Key(guid, key)) return -1;
  const auto it = slots_.find(key);
  return it == slots_.end() ? -1 : it->second.slot;
}

void GuidIndex::Added(float guid, int slot) {
  std::uint32_t key;
  if (!Key(guid, key)) return;
  const auto [it, fresh] = slots_.try_emplace(key, Entry{slot, 1});
  if (!fresh) it->second.count += 1;
}

void GuidIndex::Moved(float guid, int from, int to) {
  std::uint32_t key;
  if (!Key(guid, key)) return;
  const auto it = slots_.find(key);
  if (it != slots_.end() && it->second.slot == from) it->second.slot = to;
}

bool GuidIndex::Removed(float guid, int slot) {
  std::uint32_t key;
  if (!Key(guid, key)) return false;
  const auto it = slots_.find(key);
  if (it == slots_.end()) return false;
  if (--it->second.count == 0) {
    slots_.erase(it);
    return false;
  }
  if (it->second.slot != slot) return false;
  it->second.slot = -1;
  return true;
}

void GuidIndex::Found(float guid, int slot) {
  std::uint32_t key;
  if (!Key(guid, key)) return;
  const auto it = slots_.find(key);
  if (it != slots_.end()) it->second.slot = slot;
}
