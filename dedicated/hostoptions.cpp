#include "dedicated/hostoptions.h"

#include <cstdlib>
#include <functional>

#include "net/gameprotocol.h"
#include "net/networkhandler.h"

namespace {

using Apply = std::function<bool(HostOptions&, const std::string&)>;

struct Option {
  const char* name;
  const char* value;  // "" for a flag
  const char* help;
  Apply apply;
};

bool Number(const std::string& v, long low, long high, long& n) {
  char* end = nullptr;
  n = v.empty() ? 0 : std::strtol(v.c_str(), &end, 10);
  return !v.empty() && *end == '\0' && n >= low && n <= high;
}

const std::vector<Option>& Options() {
  static const std::vector<Option> options = {
      {"--port", "N", "UDP port of the game (default 60000)",
       [](HostOptions& o, const std::string& v) {
         long n;
         if (!Number(v, 1, 65535, n)) return false;
         o.port = static_cast<unsigned short>(n);
         return true;
       }},
      {"--name", "TEXT", "the game's name in the master server's list",
       [](HostOptions& o, const std::string& v) {
         if (v.empty() || v.size() > GameProtocol::kMaxNameLength) return false;
         o.name = v;
         return true;
       }},
      {"--max-players", "N", "most players at once, computer players included, 1 to 32 (default 32)",
       [](HostOptions& o, const std::string& v) {
         long n;
         if (!Number(v, 1, NetworkHandler::kMaxPlayers, n)) return false;
         o.maxPlayers = static_cast<unsigned short>(n);
         return true;
       }},
      {"--bots", "N",
       "keep N computer players (0 to 31) in the match; a joining player takes the place of "
       "one when the game is full",
       [](HostOptions& o, const std::string& v) {
         long n;
         if (!Number(v, 0, GameProtocol::kMaxBots, n)) return false;
         o.bots = static_cast<int>(n);
         return true;
       }},
      {"--connections-per-address", "N",
       "most connections from one address, 1 to 32 (default 4; raise it for a LAN party)",
       [](HostOptions& o, const std::string& v) {
         long n;
         if (!Number(v, 1, NetworkHandler::kMaxPlayers, n)) return false;
         o.connectionsPerAddress = static_cast<unsigned short>(n);
         return true;
       }},
      {"--master", "HOST[:PORT]", "the master server to announce the game to (as VOIDRAKE_MASTER)",
       [](HostOptions& o, const std::string& v) {
         o.master = v;
         return !v.empty();
       }},
      {"--no-master", "", "announce the game to no master server",
       [](HostOptions& o, const std::string&) {
         o.announce = false;
         return true;
       }},
      {"--help", "", "list the options and exit",
       [](HostOptions& o, const std::string&) {
         o.help = true;
         return true;
       }},
  };
  return options;
}

}  // namespace

bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options,
                      std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const Option* option = nullptr;
    for (const Option& o : Options())
      if (args[i] == o.name) option = &o;
    if (!option) {
      error = "unknown option " + args[i] + " (try --help)";
      return false;
    }
    const bool hasValue = option->value[0] != '\0';
    if (hasValue && i + 1 >= args.size()) {
      error = args[i] + " needs a value";
      return false;
    }
    const std::string value = hasValue ? args[++i] : "";
    if (!option->apply(options, value)) {
      error = std::string(option->name) + ": bad value \"" + value + "\"";
      return false;
    }
  }
  return true;
}

std::string HostUsage() {
  std::string usage = "usage: voidrake2-dedicated [options]   (or: voidrake2 --dedicated [options])\n";
  for (const Option& o : Options()) {
    std::string head = std::string("  ") + o.name + (o.value[0] ? std::string(" ") + o.value : "");
    head.resize(head.size() < 24 ? 24 : head.size() + 2, ' ');
    usage += head + o.help + "\n";
  }
  return usage;
}
