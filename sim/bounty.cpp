#include "sim/bounty.h"

#include <algorithm>
#include <climits>

// The factors are single-precision constants multiplied in double, as the
// game always paid (200 x 0.45f is just below 90: a bounty of 200 raises
// the killer's by 89); results truncate and sums saturate.
namespace {
constexpr double kOwnShare = 0.3f, kVictimShare = 2.5f, kScale = 0.1f, kRaise = 0.45f;
}  // namespace

int KillPay(int ownBounty, int victimBounty) {
  const int b = std::clamp(victimBounty, 0, kMaxBounty);
  return static_cast<int>((ownBounty * kOwnShare + b * kVictimShare) * kScale);
}

int RaisedBounty(int ownBounty, int victimBounty) {
  const int raise = static_cast<int>(std::clamp(victimBounty, 0, kMaxBounty) * kRaise);
  return ownBounty > INT_MAX - raise ? INT_MAX : ownBounty + raise;
}
