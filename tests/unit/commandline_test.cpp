// The one command-line parser of normal starts and the timedemo, and the
// hosted game's options it shares with the dedicated host.
#include "app/commandline.h"

#include <gtest/gtest.h>

#include "dedicated/hostoptions.h"

namespace {

TEST(CommandLineTest, ReadsFlagsAndTheTimedemoValuesTogether) {
  CommandLine c;
  std::string error;
  ASSERT_TRUE(ParseCommandLine(
      {"--windowed", "--timedemo", "300", "--level", "0", "--seed", "4000000000", "--trace-states"},
      c, error))
      << error;
  EXPECT_TRUE(c.windowed);
  EXPECT_TRUE(c.traceStates);
  EXPECT_FALSE(c.printStartupTime);
  EXPECT_TRUE(c.timedemo.enabled);
  EXPECT_EQ(c.timedemo.frames, 300);
  EXPECT_EQ(c.timedemo.level, 0);
  EXPECT_TRUE(c.timedemo.seeded);
  EXPECT_EQ(c.timedemo.seed, 4000000000u);

  CommandLine plain;
  ASSERT_TRUE(ParseCommandLine({}, plain, error));
  EXPECT_FALSE(plain.timedemo.enabled);
  EXPECT_EQ(plain.timedemo.level, 2);
  EXPECT_FALSE(plain.timedemo.seeded);
}

TEST(CommandLineTest, RejectsUnknownOptionsAndMalformedValues) {
  const std::vector<std::vector<std::string>> bad = {{"--timedemo"},
                                                     {"--timedemo", "0"},
                                                     {"--timedemo", "12x"},
                                                     {"--timedemo", "-5"},
                                                     {"--timedemo", "10", "--level", "3"},
                                                     {"--timedemo", "10", "--seed", "abc"},
                                                     {"--timedemo", "10", "--level"},
                                                     {"--level", ""},
                                                     {"--fullscreen"},
                                                     {"windowed"}};
  for (const auto& args : bad) {
    CommandLine c;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, c, error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace

// A hosted game takes the same values whichever program hosts it.
TEST(HostOptionsTest, BothProgramsAcceptAndRefuseTheSameValues) {
  const struct {
    std::vector<std::string> args;
    bool taken;
  } cases[] = {
      {{"--port", "1"}, true},
      {{"--port", "65535"}, true},
      {{"--port", "0"}, false},
      {{"--port", "65536"}, false},
      {{"--port", "6e4"}, false},
      {{"--port", ""}, false},
      {{"--max-players", "1"}, true},
      {{"--max-players", "32"}, true},
      {{"--max-players", "0"}, false},
      {{"--max-players", "33"}, false},
      {{"--bots", "0"}, true},
      {{"--bots", "31"}, true},
      {{"--bots", "-1"}, false},
      {{"--bots", "32"}, false},
      {{"--connections-per-address", "32"}, true},
      {{"--connections-per-address", "0"}, false},
      {{"--connections-per-address", "33"}, false},
      {{"--bots"}, false},
  };
  for (const auto& c : cases) {
    CommandLine game;
    HostOptions dedicated;
    std::string gameError, dedicatedError;
    const std::string shown = c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : "");
    EXPECT_EQ(ParseCommandLine(c.args, game, gameError), c.taken) << shown << ": " << gameError;
    EXPECT_EQ(ParseHostOptions(c.args, dedicated, dedicatedError), c.taken)
        << shown << ": " << dedicatedError;
    EXPECT_EQ(gameError, dedicatedError) << shown;
    EXPECT_TRUE(game.host == dedicated.host) << shown;
  }
  EXPECT_TRUE(CommandLine{}.host == HostOptions{}.host) << "the defaults differ";
}
