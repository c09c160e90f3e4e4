// The timedemo of the real binary: one line of figures and status 0 at every
// graphics level, and the same seed replaying the same fight.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/support/gameprocess.h"
#include "tests/support/testenv.h"

namespace {

struct DemoRun {
  std::string out, err;
  int status = -1;
};

class TimedemoTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::PrepareRunDirectory(dir.path().string()); }

  DemoRun Timedemo(const std::string& args) {
    const std::string errFile = dir.File("stderr.txt");
    DemoRun run;
    run.out = testsupport::ShellOutput("cd '" + dir.path().string() +
                                       "' && VOIDRAKE_NO_DIALOGS=1 timeout 120 '" +
                                       testsupport::BinaryPath() + "' --windowed " + args + " 2>'" +
                                       errFile + "'; echo \"status=$?\"");
    const size_t at = run.out.rfind("status=");
    if (at != std::string::npos) {
      run.status = std::stoi(run.out.substr(at + 7));
      run.out.erase(at);
    }
    run.err = testsupport::ReadFile(errFile);
    return run;
  }

  std::string FightLine(const std::string& err) {
    const size_t at = err.find("timedemo fight:");
    return at == std::string::npos ? "" : err.substr(at, err.find('\n', at) - at);
  }

  testsupport::TempDir dir;
};

TEST_F(TimedemoTest, EveryLevelRunsAndPrintsTheFiguresLine) {
  const std::regex line(
      "timedemo frames=300 level=([012]) sim_ms_median=[0-9.]+ draw_ms_median=[0-9.]+ "
      "frame_ms_median=[0-9.]+ frame_ms_p95=[0-9.]+ frame_ms_max=[0-9.]+ startup_ms=[0-9]+ "
      "peak_rss_mb=[0-9.]+\n");
  for (int level : {2, 1, 0}) {
    SCOPED_TRACE(level);
    const DemoRun run = Timedemo("--timedemo 300 --level " + std::to_string(level));
    EXPECT_EQ(run.status, 0) << run.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(run.out, m, line)) << run.out;
    // A level without shader support falls back and says so.
    if (m[1] != std::to_string(level)) {
      EXPECT_NE(run.err.find("Error: Switching to low graphics"), std::string::npos) << run.err;
    }
  }
}

TEST_F(TimedemoTest, SameSeedSameFight) {
  const DemoRun a = Timedemo("--timedemo 400 --seed 1234");
  const DemoRun b = Timedemo("--timedemo 400 --seed 1234");
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  ASSERT_FALSE(FightLine(a.err).empty()) << a.err;
  EXPECT_EQ(FightLine(a.err), FightLine(b.err));
}

TEST_F(TimedemoTest, ACrowdedArenaPlaysThrough) {
  const DemoRun run = Timedemo("--timedemo 60 --level 0 --extra-projectiles 3000");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(" extra_projectiles=3000\n"), std::string::npos) << run.out;
}

TEST_F(TimedemoTest, MalformedOptionsAreRefused) {
  const DemoRun run = Timedemo("--timedemo 0");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--timedemo"), std::string::npos);
  EXPECT_EQ(run.out, "");
}

}  // namespace
