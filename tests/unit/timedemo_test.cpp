// Options and the figures line of the timedemo.
#include "app/timedemo.h"

#include <gtest/gtest.h>

namespace {

TEST(TimedemoOptionsTest, ReadsFramesLevelAndSeedAmongOtherArguments) {
  TimedemoOptions o;
  std::string error;
  ASSERT_TRUE(ParseTimedemoOptions({"--windowed", "--timedemo", "300", "--level", "0", "--seed",
                                    "4000000000"},
                                   o, error));
  EXPECT_TRUE(o.enabled);
  EXPECT_EQ(o.frames, 300);
  EXPECT_EQ(o.level, 0);
  EXPECT_TRUE(o.seeded);
  EXPECT_EQ(o.seed, 4000000000u);
}

TEST(TimedemoOptionsTest, WithoutTheOptionNothingIsEnabled) {
  TimedemoOptions o;
  std::string error;
  ASSERT_TRUE(ParseTimedemoOptions({"--windowed"}, o, error));
  EXPECT_FALSE(o.enabled);
  EXPECT_EQ(o.level, 2);
  EXPECT_FALSE(o.seeded);
}

TEST(TimedemoOptionsTest, RejectsMalformedValues) {
  const std::vector<std::vector<std::string>> bad = {
      {"--timedemo"}, {"--timedemo", "0"}, {"--timedemo", "12x"}, {"--timedemo", "-5"},
      {"--timedemo", "10", "--level", "3"}, {"--timedemo", "10", "--seed", "abc"},
      {"--timedemo", "10", "--level"}};
  for (const auto& args : bad) {
    TimedemoOptions o;
    std::string error;
    EXPECT_FALSE(ParseTimedemoOptions(args, o, error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(TimedemoFiguresTest, NearestRankPercentiles) {
  std::vector<double> v;
  for (int i = 100; i >= 1; --i) v.push_back(i);
  EXPECT_DOUBLE_EQ(Percentile(v, 50), 50);
  EXPECT_DOUBLE_EQ(Percentile(v, 95), 95);
  EXPECT_DOUBLE_EQ(Percentile(v, 100), 100);
  EXPECT_DOUBLE_EQ(Percentile({4.0}, 95), 4);
  EXPECT_DOUBLE_EQ(Percentile({}, 50), 0);
}

TEST(TimedemoFiguresTest, LineHasEveryFieldInOrder) {
  TimedemoFigures f;
  f.frames = 300;
  f.level = 2;
  f.simMedian = 1.25;
  f.drawMedian = 3.5;
  f.frameMedian = 4.75;
  f.frameP95 = 9;
  f.frameMax = 20.125;
  f.startupMs = 812.4;
  f.peakRssMb = 143.26;
  EXPECT_EQ(TimedemoLine(f),
            "timedemo frames=300 level=2 sim_ms_median=1.250 draw_ms_median=3.500 "
            "frame_ms_median=4.750 frame_ms_p95=9.000 frame_ms_max=20.125 startup_ms=812 "
            "peak_rss_mb=143.3");
}

}  // namespace
