// The one command-line parser of normal starts and the timedemo.
#include "app/commandline.h"

#include <gtest/gtest.h>

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
