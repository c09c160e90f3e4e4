#include "dedicated/hostoptions.h"

#include <functional>

#include "net/hostsettings.h"
#include "protocol/gameprotocol.h"

// The shared table's limits are the ones the protocol keeps.
static_assert(NetworkHandler::kMaxPlayers - 1 == GameProtocol::kMaxBots);

namespace {

// Applies an option's value (empty for a flag); false with a message.
using Apply = std::function<bool(HostOptions&, const std::string&, std::string&)>;

struct Option {
  const char* name;
  const char* value;  // "" for a flag
  std::string help;
  Apply apply;
};

std::vector<Option> BuildOptions() {
  std::vector<Option> options;
  for (const HostOption& row : HostOptionTable()) {
    options.push_back({row.name, row.value, HostOptionHelp(row),
                       [&row](HostOptions& o, const std::string& v, std::string& error) {
                         return ReadHostOption(row, v, o.host, error);
                       }});
  }
  const std::vector<Option> own = {
      {"--name", "TEXT", "the game's name in the master server's list (default \"Dedicated Game\")",
       [](HostOptions& o, const std::string& v, std::string& error) {
         if (v.empty() || v.size() > GameProtocol::kMaxNameLength) {
           error = std::string("needs a name of 1 to ")
                       .append(std::to_string(GameProtocol::kMaxNameLength))
                       .append(" characters");
           return false;
         }
         o.name = v;
         return true;
       }},
      {"--master", "HOST[:PORT][,...]",
       "the master servers to announce the game to, the first that answers (as VOIDRAKE_MASTER)",
       [](HostOptions& o, const std::string& v, std::string& error) {
         if (v.empty()) error = "needs HOST or HOST:PORT";
         o.master = v;
         return !v.empty();
       }},
      {"--no-master", "", "announce the game to no master server",
       [](HostOptions& o, const std::string&, std::string&) {
         o.announce = false;
         return true;
       }},
      {"--help", "", "list the options and exit",
       [](HostOptions& o, const std::string&, std::string&) {
         o.help = true;
         return true;
       }},
  };
  options.insert(options.end(), own.begin(), own.end());
  return options;
}

const std::vector<Option>& Options() {
  static const std::vector<Option> options = BuildOptions();
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
    std::string why;
    if (!option->apply(options, hasValue ? args[++i] : "", why)) {
      error = std::string(option->name) + " " + why;
      return false;
    }
  }
  return true;
}

std::string HostUsage() {
  std::string usage =
      "usage: voidrake2-dedicated [options]   (or: voidrake2 --dedicated [options])\n";
  for (const Option& o : Options()) usage += UsageEntry(o.name, o.value, o.help);
  return usage;
}
