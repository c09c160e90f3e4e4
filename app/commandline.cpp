#include "app/commandline.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "app/version.h"

namespace {

// Applies an option's value (empty for a flag); false with a message.
using Apply = std::function<bool(CommandLine&, const std::string&, std::string&)>;

struct Option {
  const char* name;
  const char* value;  // the value's name in the usage, "" for a flag
  const char* help;   // lines after the first are indented under it
  Apply apply;
};

Apply Flag(bool CommandLine::*field) {
  return [field](CommandLine& c, const std::string&, std::string&) {
    c.*field = true;
    return true;
  };
}

// An integer in low..high handed to `store`; `expected` completes the
// message "--x needs <expected>, not "v"".
Apply Number(long long low, long long high, const char* expected,
             std::function<void(CommandLine&, long long)> store) {
  return [=](CommandLine& c, const std::string& v, std::string& error) {
    char* end = nullptr;
    const long long n = v.empty() ? 0 : std::strtoll(v.c_str(), &end, 10);
    if (v.empty() || *end != '\0' || n < low || n > high) {
      error = std::string("needs ") + expected + ", not \"" + v + "\"";
      return false;
    }
    store(c, n);
    return true;
  };
}

// "host[:port]": an address or name, and a port from 1 to 65535.
Apply ConnectTarget() {
  return [](CommandLine& c, const std::string& v, std::string& error) {
    const size_t colon = v.rfind(':');
    std::string host = v.substr(0, colon);
    long long port = 60000;
    if (colon != std::string::npos) {
      char* end = nullptr;
      const std::string digits = v.substr(colon + 1);
      port = digits.empty() ? 0 : std::strtoll(digits.c_str(), &end, 10);
      if (digits.empty() || *end != '\0') port = 0;
    }
    if (host.empty() || port < 1 || port > 65535) {
      error = "needs HOST or HOST:PORT with a port from 1 to 65535, not \"" + v + "\"";
      return false;
    }
    c.connectHost = host;
    c.connectPort = static_cast<unsigned short>(port);
    return true;
  };
}

const std::vector<Option>& Options() {
  static const std::vector<Option> options = {
      {"--windowed", "", "a 1024x768 window instead of desktop full screen",
       Flag(&CommandLine::windowed)},
      {"--data", "DIR", "read the pictures, sounds and shaders from DIR",
       [](CommandLine& c, const std::string& v, std::string& error) {
         if (v.empty()) error = "needs a directory";
         c.dataDir = v;
         return !v.empty();
       }},
      {"--print-startup-time", "", "print the time to the first title frame on stderr",
       Flag(&CommandLine::printStartupTime)},
      {"--trace-states", "", "print every change of screen state on stderr",
       Flag(&CommandLine::traceStates)},
      {"--timedemo", "N",
       "play N frames against the computer players on autopilot\nas fast as possible, print "
       "the figures and exit",
       Number(1, 100000000, "a frame count of at least 1",
              [](CommandLine& c, long long n) {
                c.timedemo.enabled = true;
                c.timedemo.frames = static_cast<int>(n);
              })},
      {"--level", "L", "graphics level of the timedemo: 0 high, 1 medium, 2 low\n(default 2)",
       Number(0, 2, "0 (high), 1 (medium) or 2 (low)",
              [](CommandLine& c, long long n) { c.timedemo.level = static_cast<int>(n); })},
      {"--seed", "S", "random seed of the timedemo: the same seed, the same fight",
       Number(0, 4294967295LL, "a number from 0 to 4294967295",
              [](CommandLine& c, long long n) {
                c.timedemo.seeded = true;
                c.timedemo.seed = static_cast<unsigned int>(n);
              })},
      {"--extra-projectiles", "P",
       "during the timedemo, keep P more projectiles flying over\nthe whole arena",
       Number(0, 100000, "a count from 0 to 100000",
              [](CommandLine& c, long long n) {
                c.timedemo.extraProjectiles = static_cast<int>(n);
              })},
      {"--port", "N", "host networked games on UDP port N (default 60000)",
       Number(1, 65535, "a port from 1 to 65535",
              [](CommandLine& c, long long n) { c.port = static_cast<unsigned short>(n); })},
      {"--connections-per-address", "N",
       "a hosted game takes at most N connections from one address,\n1 to 32 (default 4; "
       "raise it for a LAN party behind one address)",
       Number(1, 32, "a count from 1 to 32",
              [](CommandLine& c, long long n) {
                c.connectionsPerAddress = static_cast<unsigned short>(n);
              })},
      {"--bots", "N",
       "keep N computer players in networked games this copy hosts\n(default: Settings.cfg's "
       "fifth line, else 0)",
       Number(0, 31, "a count from 0 to 31",
              [](CommandLine& c, long long n) { c.bots = static_cast<int>(n); })},
      {"--max-players", "N",
       "most players besides the host in a hosted game, computer\nplayers included (default 32)",
       Number(1, 32, "a count from 1 to 32",
              [](CommandLine& c, long long n) { c.maxPlayers = static_cast<int>(n); })},
      {"--connect", "HOST[:PORT]", "join the game at HOST (port 60000 unless given) at once",
       ConnectTarget()},
      {"--dedicated", "",
       "host a game with no window, sound or player (the options that\nfollow are "
       "voidrake2-dedicated's; see voidrake2-dedicated --help)",
       // main hands the whole command line over before this table is read
       [](CommandLine&, const std::string&, std::string&) { return true; }},
      {"--help", "", "list the options and exit", Flag(&CommandLine::help)},
      {"--version", "", "print the version and exit", Flag(&CommandLine::version)},
  };
  return options;
}

const Option* Find(const std::string& name) {
  for (const Option& o : Options())
    if (name == o.name) return &o;
  return nullptr;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& options,
                      std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const Option* option = Find(args[i]);
    if (option == nullptr) {
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

bool WantsDedicatedHost(const std::vector<std::string>& args) {
  return std::find(args.begin(), args.end(), "--dedicated") != args.end();
}

std::string CommandLineUsage() {
  constexpr size_t kColumn = 24;
  std::string usage = std::string("Voidrake 2 ") + kVersion + "\nusage: voidrake2 [options]\n";
  for (const Option& o : Options()) {
    std::string head = std::string("  ") + o.name;
    if (o.value[0] != '\0') head += std::string(" ") + o.value;
    head.resize(std::max(head.size() + 2, kColumn), ' ');
    std::string help = o.help;
    for (size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
      help.insert(at + 1, kColumn, ' ');
    usage += head + help + "\n";
  }
  return usage;
}
