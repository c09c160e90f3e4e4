// The options of the dedicated host (voidrake2-dedicated, or voidrake2
// --dedicated), one row each in hostoptions.cpp, which also writes --help.
// The hosted game's rows are the ones voidrake2 takes too
// (net/hostsettings.h).
#pragma once

#include <string>
#include <vector>

#include "net/hostsettings.h"

struct HostOptions {
  HostSettings host;  // no --bots: none
  std::string name = "Dedicated Game";
  std::string master;    // host[:port][,...] of the master servers; "" = VOIDRAKE_MASTER or default
  bool announce = true;  // false: --no-master
  bool help = false;
};

// Reads `args` (without the program name). False with a message in `error`
// for an unknown option, a missing value or a value out of range.
bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options,
                      std::string& error);

std::string HostUsage();
