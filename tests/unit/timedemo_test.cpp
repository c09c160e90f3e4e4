// The figures line of the timedemo.
#include "app/timedemo.h"

#include <gtest/gtest.h>

namespace {

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
