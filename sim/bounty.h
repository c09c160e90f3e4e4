// The bounty rules of networked games, one place for every killer: the
// local player (paid by its own copy) and the computer players a host runs.
#pragma once

// A bounty a peer reports is taken up to this.
constexpr int kMaxBounty = 10000000;

// Credits the killer earns for a victim of `victimBounty`.
int KillPay(int ownBounty, int victimBounty);
// The killer's bounty after the kill (saturating).
int RaisedBounty(int ownBounty, int victimBounty);
