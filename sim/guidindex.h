// GuidIndex: where each projectile of an opponent's row sits in the row's
// list, by GUID. Projectile messages name their projectile by GUID; walking
// the list (up to 2,048 entries) for every message made a big fight's
// message handling grow with the square of the projectiles in flight.
//
// A GUID can be held twice (a new-projectile message overtaken by the full
// message that already made the projectile, or computer players' copies,
// which carry none): the index then names one holder and counts them all, so
// the others are still found once that one is gone. A GUID that is not a
// number names nothing, as it equals nothing.
#pragma once

#include <cstdint>
#include <unordered_map>

class GuidIndex {
 public:
  // The slot holding guid, -1 when none does.
  int Find(float guid) const;
  void Added(float guid, int slot);
  // The holder at `from` now sits at `to`.
  void Moved(float guid, int from, int to);
  // The holder at `slot` is gone. True when another holder remains but is
  // no longer known: the caller looks for it and names it with Found.
  bool Removed(float guid, int slot);
  void Found(float guid, int slot);
  void Clear() { slots_.clear(); }

 private:
  struct Entry {
    int slot;   // one holder; -1 while the caller looks for another
    int count;  // holders in the list
  };
  // Keyed by the bits of the GUID, -0 folded onto 0 so that keys match as
  // the numbers compare.
  static bool Key(float guid, std::uint32_t& key);
  std::unordered_map<std::uint32_t, Entry> slots_;
};
