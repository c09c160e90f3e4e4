// The options of `voidrake2`, read once by main: every option is one row of
// the table in app/commandline.cpp, which also writes the --help text.
#pragma once

#include <string>
#include <vector>

#include "app/timedemo.h"

struct CommandLine {
  bool windowed = false;
  bool printStartupTime = false;
  bool traceStates = false;
  bool help = false;
  unsigned short port = 60000;  // the UDP port a hosted game listens on
  unsigned short connectionsPerAddress = 4;  // a hosted game's limit per address
  int bots = -1;                // computer players in a hosted game (-1: Settings.cfg's)
  int maxPlayers = 32;          // players besides the host in a hosted game
  std::string connectHost;      // --connect: join this game at once ("" = title)
  unsigned short connectPort = 60000;
  bool version = false;
  std::string dataDir;  // --data: where the data folders are ("" to look for them)
  TimedemoOptions timedemo;
};

// Reads `args` (without the program name) into `options`. False with a
// message in `error` for an unknown option, a missing value or a value out
// of its range.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& options,
                      std::string& error);

// `voidrake2 --dedicated ...` runs the dedicated host with the other
// arguments: true when `args` asks for it.
bool WantsDedicatedHost(const std::vector<std::string>& args);

// The --help text: the program and its version, a usage line and one entry
// per option.
std::string CommandLineUsage();
