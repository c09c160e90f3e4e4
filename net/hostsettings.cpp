#include "net/hostsettings.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>

namespace {

// A computer player takes a player's place, and one place is always left for
// a human to join (ComputerPlayers::kMaxBots).
constexpr int kMostBots = NetworkHandler::kMaxPlayers - 1;

const std::array<HostOption, 4> kRows = {{
    {"--port", "N", "the UDP port of the hosted game", "a port", 1, 65535,
     NetworkHandler::kGamePort,
     [](HostSettings& s, int n) { s.port = static_cast<unsigned short>(n); }},
    {"--max-players", "N", "most players at once besides the host, computer players included",
     "a count", 1, NetworkHandler::kMaxPlayers, NetworkHandler::kMaxPlayers,
     [](HostSettings& s, int n) { s.maxPlayers = static_cast<unsigned short>(n); }},
    {"--bots", "N",
     "keep N computer players in the hosted match; a joining player takes the place of one "
     "when the game is full",
     "a count", 0, kMostBots, 0, [](HostSettings& s, int n) { s.bots = n; }},
    {"--connections-per-address", "N",
     "most connections from one address; raise it for a LAN party behind one address", "a count", 1,
     NetworkHandler::kMaxPlayers, NetworkHandler::kConnectionsPerAddress,
     [](HostSettings& s, int n) { s.connectionsPerAddress = static_cast<unsigned short>(n); }},
}};

std::string Range(const HostOption& option) {
  return std::to_string(option.low) + " to " + std::to_string(option.high);
}

}  // namespace

std::span<const HostOption> HostOptionTable() { return kRows; }

bool ReadHostOption(const HostOption& option, const std::string& value, HostSettings& settings,
                    std::string& error) {
  char* end = nullptr;
  const long long n = value.empty() ? 0 : std::strtoll(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || n < option.low || n > option.high) {
    error =
        std::string("needs ") + option.noun + " from " + Range(option) + ", not \"" + value + "\"";
    return false;
  }
  option.store(settings, static_cast<int>(n));
  return true;
}

std::string HostOptionHelp(const HostOption& option, const std::string& byDefault) {
  const std::string shown = byDefault.empty() ? std::to_string(option.byDefault) : byDefault;
  return std::string(option.help) + " (" + Range(option) + ", default " + shown + ")";
}

std::string UsageEntry(const std::string& name, const std::string& value, const std::string& help) {
  constexpr size_t kColumn = 24, kWidth = 80;
  std::string line = "  " + name + (value.empty() ? "" : " " + value);
  line.resize(std::max(line.size() + 2, kColumn), ' ');
  std::string entry;
  bool lineEmpty = true;
  std::istringstream words(help);
  for (std::string word; words >> word;) {
    if (!lineEmpty && line.size() + 1 + word.size() > kWidth) {
      entry += line + "\n";
      line.assign(kColumn, ' ');
      lineEmpty = true;
    }
    line += (lineEmpty ? "" : " ") + word;
    lineEmpty = false;
  }
  return entry + line + "\n";
}
