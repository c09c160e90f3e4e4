// The options of the dedicated host (voidrake2-dedicated, or voidrake2
// --dedicated), one row each in hostoptions.cpp, which also writes --help.
#pragma once

#include <string>
#include <vector>

struct HostOptions {
  unsigned short port = 60000;
  std::string name = "Dedicated Game";
  unsigned short maxPlayers = 32;     // clients and computer players together
  int bots = 0;                       // computer players kept in the match
  unsigned short connectionsPerAddress = 4;  // most connections from one address
  std::string master;     // host[:port] of the master server; "" = VOIDRAKE_MASTER or default
  bool announce = true;   // false: --no-master
  bool help = false;
};

// Reads `args` (without the program name). False with a message in `error`
// for an unknown option, a missing value or a value out of range.
bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options,
                      std::string& error);

std::string HostUsage();
