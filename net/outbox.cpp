#include "net/outbox.h"

#include <utility>

// The message's stream and the handler's (empty) outgoing one trade places,
// so nothing is copied; Send empties the outgoing stream again.
void Outbox::SendTo(NetworkHandler& network) {
  for (size_t i = 0; i < count_; ++i) {
    std::swap(network.outgoing, entries_[i].bytes);
    network.Send(entries_[i].delivery);
  }
  count_ = 0;
}
