// The options of `voidrake2`, read once by main: every option is one row of
// the table in app/commandline.cpp, which also writes the --help text. The
// hosted game's rows are the ones voidrake2-dedicated takes too
// (net/hostsettings.h).
#pragma once

#include <string>
#include <vector>

#include "app/timedemo.h"
#include "net/hostsettings.h"

struct CommandLine {
  bool windowed = false;
  bool printStartupTime = false;
  bool traceStates = false;
  bool help = false;
  HostSettings host;        // the games this copy hosts (no --bots: Settings.cfg's)
  std::string connectHost;  // --connect: join this game at once ("" = title)
  unsigned short connectPort = NetworkHandler::kGamePort;
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
