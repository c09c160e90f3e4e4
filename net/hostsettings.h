// The options of a hosted networked game, which voidrake2 (hosting from its
// title) and voidrake2-dedicated both take: one row each in
// net/hostsettings.cpp, by which both programs read their command lines and
// write their --help, so that a game takes the same values whichever program
// hosts it.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "net/networkhandler.h"

struct HostSettings {
  unsigned short port = NetworkHandler::kGamePort;
  // Players besides the host (the dedicated host is none), computer players
  // included.
  unsigned short maxPlayers = NetworkHandler::kMaxPlayers;
  // Computer players kept in the match; none when --bots was not given (each
  // program has its own default).
  std::optional<int> bots;
  unsigned short connectionsPerAddress = NetworkHandler::kConnectionsPerAddress;
  bool operator==(const HostSettings&) const = default;
};

struct HostOption {
  const char* name;   // "--port"
  const char* value;  // the value's name in --help
  const char* help;   // what it sets; --help adds the range and the default
  const char* noun;   // what a refused value should have been: "a port"
  int low, high;
  int byDefault;
  void (*store)(HostSettings&, int);
};

// The rows, in the order --help lists them.
std::span<const HostOption> HostOptionTable();

// Reads `value` (decimal, within the row's range) into `settings`. False with
// `error` saying what was expected: "needs a port from 1 to 65535, not "x"".
bool ReadHostOption(const HostOption& option, const std::string& value, HostSettings& settings,
                    std::string& error);

// The row's help with its range and default: "... (1 to 65535, default 60000)".
// A program whose default is not the row's number names its own.
std::string HostOptionHelp(const HostOption& option, const std::string& byDefault = "");

// One entry of a --help list, as both programs lay it out: "  --name VALUE"
// padded to a column, then the help wrapped under it within 80 columns.
std::string UsageEntry(const std::string& name, const std::string& value, const std::string& help);
