#include "app/commandline.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "base/version.h"
#include "net/hostsettings.h"

namespace {

// Applies an option's value (empty for a flag); false with a message.
using Apply = std::function<bool(CommandLine&, const std::string&, std::string&)>;

struct Option {
  const char* name;
  const char* value;  // the value's name in the usage, "" for a flag
  std::string help;
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
    long long port = NetworkHandler::kGamePort;
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

// A hosted game's option, as voidrake2-dedicated reads it too.
Option HostRow(const HostOption& row) {
  // The options screen sets how many computer players hosted games keep.
  const bool bots = std::string(row.name) == "--bots";
  return {row.name, row.value, HostOptionHelp(row, bots ? "Settings.cfg's fifth line, else 0" : ""),
          [&row](CommandLine& c, const std::string& v, std::string& error) {
            return ReadHostOption(row, v, c.host, error);
          }};
}

std::vector<Option> BuildOptions() {
  std::vector<Option> options = {
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
       "play N frames against the computer players on autopilot as fast as possible, print "
       "the figures and exit",
       Number(1, 100000000, "a frame count of at least 1",
              [](CommandLine& c, long long n) {
                c.timedemo.enabled = true;
                c.timedemo.frames = static_cast<int>(n);
              })},
      {"--level", "L", "graphics level of the timedemo: 0 high, 1 medium, 2 low (default 2)",
       Number(0, 2, "0 (high), 1 (medium) or 2 (low)",
              [](CommandLine& c, long long n) { c.timedemo.level = static_cast<int>(n); })},
      {"--seed", "S", "random seed of the timedemo: the same seed, the same fight",
       Number(0, 4294967295LL, "a number from 0 to 4294967295",
              [](CommandLine& c, long long n) {
                c.timedemo.seeded = true;
                c.timedemo.seed = static_cast<unsigned int>(n);
              })},
      {"--extra-projectiles", "P",
       "during the timedemo, keep P more projectiles flying over the whole arena",
       Number(
           0, 100000, "a count from 0 to 100000",
           [](CommandLine& c, long long n) { c.timedemo.extraProjectiles = static_cast<int>(n); })},
  };
  for (const HostOption& row : HostOptionTable()) options.push_back(HostRow(row));
  const std::vector<Option> rest = {
      {"--connect", "HOST[:PORT]", "join the game at HOST (port 60000 unless given) at once",
       ConnectTarget()},
      {"--dedicated", "",
       "host a game with no window, sound or player (the options that follow are "
       "voidrake2-dedicated's; see voidrake2-dedicated --help)",
       // main hands the whole command line over before this table is read
       [](CommandLine&, const std::string&, std::string&) { return true; }},
      {"--help", "", "list the options and exit", Flag(&CommandLine::help)},
      {"--version", "", "print the version and exit", Flag(&CommandLine::version)},
  };
  options.insert(options.end(), rest.begin(), rest.end());
  return options;
}

const std::vector<Option>& Options() {
  static const std::vector<Option> options = BuildOptions();
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
  std::string usage = std::string("Voidrake 2 ") + kVersion + "\nusage: voidrake2 [options]\n";
  for (const Option& o : Options()) usage += UsageEntry(o.name, o.value, o.help);
  return usage;
}
