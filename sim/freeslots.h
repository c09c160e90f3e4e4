// FreeSlots: which slots of a reusable list are free, handing out the lowest
// free one. The projectile and explosion lists reuse spent slots; looking for
// the first spent one by walking the list made every new blast cost as much
// as the whole list, and a fight with rocket trails add hundreds a frame.
// Taking the lowest free slot keeps the order of a list's slots, and so the
// order in which they are updated and draw random numbers, exactly as a walk
// from the front would leave it.
#pragma once

#include <cstdint>
#include <vector>

class FreeSlots {
 public:
  // The lowest free slot, now taken; Size() (a new slot at the end, now
  // counted) when none is free.
  int Take();
  // Gives a taken slot back.
  void Release(int slot);
  void Clear();
  int Size() const { return size_; }
  // Calls visit(slot) for every taken slot, lowest first, without looking
  // at the free ones: a list that once grew large is walked at the cost of
  // what it holds now. visit may release the slot it is given.
  template <typename Visit>
  void ForEachTaken(Visit visit) const {
    if (levels_.empty()) return;
    const std::vector<std::uint64_t>& bits = levels_[0];
    const int words = static_cast<int>(bits.size());
    for (int w = 0; w < words; ++w) {
      std::uint64_t taken = ~bits[w];   // read once: a release in visit leaves it be
      const int past = size_ - w * 64;  // slots of this word that exist
      if (past < 64) taken &= (std::uint64_t{1} << past) - 1;
      for (; taken != 0; taken &= taken - 1) visit(w * 64 + __builtin_ctzll(taken));
    }
  }

 private:
  // levels_[0] has one bit per slot, set while it is free; each level above
  // has one bit per word of the level below, set while that word has a free
  // bit. The top level is one word, so a search is one step per level
  // (three levels cover 262,144 slots).
  std::vector<std::vector<std::uint64_t>> levels_;
  int size_ = 0;

  void Grow();
};
