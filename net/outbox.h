// What the simulation has to tell the other copies. Simulation objects post
// whole messages here and never touch the network; the game protocol hands
// everything posted to the network handler once a frame (SendTo), in posting
// order, just before the frame's sends are flushed. Whoever plays without a
// network clears it the same way: a handler that is not connected sends
// nothing.
#pragma once

#include <cstddef>
#include <vector>

#include "net/bitstream.h"
#include "net/messages.h"
#include "net/networkhandler.h"

class Outbox {
 public:
  template <class M>
  void Post(const M& m, Delivery delivery) {
    if (count_ == entries_.size()) entries_.emplace_back();
    Entry& e = entries_[count_++];
    e.bytes.Reset();
    msg::Write(e.bytes, m);
    e.delivery = delivery;
  }

  // Sends every posted message through `network`, oldest first, and empties
  // the box (the streams are kept for the next frame's messages).
  void SendTo(NetworkHandler& network);
  void Clear() { count_ = 0; }
  size_t Size() const { return count_; }

 private:
  struct Entry {
    BitStream bytes;
    Delivery delivery = Delivery::Reliable;
  };
  std::vector<Entry> entries_;  // the first count_ are posted
  size_t count_ = 0;
};
