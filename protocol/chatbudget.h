// One sender's chat allowance at a host: a burst of lines at once, then a
// steady rate. A line past it is refused at the host (a line the host took is
// never dropped on its way), and the sender hears of it at most once a
// second, so that a flood is not answered by a flood. Both kinds of host keep
// one per player.
#pragma once

#include <algorithm>

#include "base/timing.h"

class ChatBudget {
 public:
  static constexpr float kBurst = 16;
  static constexpr float kLinesPerSecond = 8;
  static constexpr const char* kRefusal = "Too many messages: your last lines were not sent.";

  // Called once per frame.
  void Refill() { lines = std::min(kBurst, lines + kLinesPerSecond / kFramesPerSecond); }

  // Takes one line in `frame`; false when the sender is over its budget.
  // `tell` is set when this refusal is the one the sender should hear of.
  bool Take(long long frame, bool* tell) {
    *tell = false;
    if (lines >= 1) {
      lines -= 1;
      return true;
    }
    if (frame - refusedFrame >= kFramesPerSecond) {
      refusedFrame = frame;
      *tell = true;
    }
    return false;
  }

 private:
  float lines = kBurst;
  long long refusedFrame = -kFramesPerSecond;
};
