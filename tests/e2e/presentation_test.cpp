// Full screen on a display that is not 4:3: the 1024x768 frame is scaled
// with its shape kept and centred between black bars, and the cursor is
// mapped back into frame coordinates.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/gameprocess.h"
#include "tests/support/gametrace.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::StateLine;

// 1600x900: the frame is scaled by 900/768 to 1200x900, 200-pixel bars left
// and right.
constexpr int kScreenW = 1600, kScreenH = 900;
constexpr double kScale = 900.0 / 768.0;
constexpr int kBar = 200;

int ScreenX(int frameX) { return kBar + static_cast<int>(frameX * kScale + 0.5); }
int ScreenY(int frameY) { return static_cast<int>(frameY * kScale + 0.5); }

TEST(PresentationTest, FullScreenIsLetterboxedAndClicksLandOnTheFrame) {
  testsupport::PrivateXServer xserver(kScreenW, kScreenH);
  ASSERT_TRUE(xserver.Running()) << "could not start a private Xvfb";
  testsupport::TempDir dir;
  testsupport::PrepareRunDirectory(dir.path().string());
  testsupport::GameProcess game;
  ASSERT_TRUE(game.Start(dir.path().string(), {"--print-startup-time", "--trace-states"}));
  ASSERT_TRUE(game.WaitForStderr("startup: first title frame presented", 60s)) << game.Stderr();
  unsigned long window = game.Window();
  ASSERT_NE(window, 0u);

  std::string shot = dir.File("screen.png");
  ASSERT_TRUE(testsupport::Screenshot(shot));
  testsupport::Picture screen = testsupport::ReadPicture(shot);
  ASSERT_EQ(screen.width, kScreenW);
  ASSERT_EQ(screen.height, kScreenH);
  for (int y : {5, 450, 894}) {
    EXPECT_EQ(screen.Rgb(10, y), 0u) << "left bar at y " << y;
    EXPECT_EQ(screen.Rgb(kBar - 2, y), 0u) << "left bar at y " << y;
    EXPECT_EQ(screen.Rgb(kScreenW - kBar + 1, y), 0u) << "right bar at y " << y;
  }
  // The frame itself is not black (the title picture, or the untextured
  // full-screen quad without generated pictures).
  int lit = 0;
  for (int y = 20; y < kScreenH; y += 40)
    for (int x = kBar + 20; x < kScreenW - kBar; x += 40) lit += screen.Rgb(x, y) != 0;
  EXPECT_GT(lit, 100);

  // The Options button at frame (755, 125), clicked where it is shown.
  testsupport::Click(window, ScreenX(755), ScreenY(125));
  EXPECT_TRUE(game.WaitForStderr(StateLine(ScreenState::Options), 10s)) << game.Stderr();
  testsupport::PressKey(window, "Escape");
  testsupport::PressKey(window, "Escape");
  auto status = game.WaitForExit(5s);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0);
}

}  // namespace
