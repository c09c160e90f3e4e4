#include "sim/freeslots.h"

namespace {
constexpr int kBits = 64;
constexpr std::uint64_t Bit(int i) { return std::uint64_t{1} << (i % kBits); }
}  // namespace

int FreeSlots::Take() {
  if (levels_.empty() || levels_.back()[0] == 0) {
    Grow();
    return size_ - 1;
  }
  int slot = 0;
  for (int k = static_cast<int>(levels_.size()) - 1; k >= 0; --k)
    slot = slot * kBits + __builtin_ctzll(levels_[k][slot]);
  // Taken: clear its bit, and a parent's bit when its word has no free left.
  int i = slot;
  for (std::vector<std::uint64_t>& level : levels_) {
    std::uint64_t& word = level[i / kBits];
    word &= ~Bit(i);
    if (word != 0) break;
    i /= kBits;
  }
  return slot;
}

void FreeSlots::Release(int slot) {
  int i = slot;
  for (std::vector<std::uint64_t>& level : levels_) {
    std::uint64_t& word = level[i / kBits];
    const bool hadFree = word != 0;
    word |= Bit(i);
    if (hadFree) break;
    i /= kBits;
  }
}

void FreeSlots::Clear() {
  levels_.clear();
  size_ = 0;
}

// One more slot, taken: every level gets the words it needs, and a new top
// level when the old top word covers no more.
void FreeSlots::Grow() {
  ++size_;
  std::size_t span = kBits;  // slots covered by one word of level k
  for (std::size_t k = 0;; ++k, span *= kBits) {
    const std::size_t words = (size_ + span - 1) / span;
    if (k == levels_.size()) levels_.emplace_back();
    if (levels_[k].size() < words) levels_[k].resize(words, 0);
    if (words == 1 && k + 1 == levels_.size()) break;
  }
}
