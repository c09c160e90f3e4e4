// A game played with a gamepad: one of SDL's virtual game controllers inside
// the real binary (VOIDRAKE_TEST_GAMEPAD), so SDL's controller mapping, its
// hot-plug events and the game's own mapping all run as with a real pad. The
// stick moves the cursor on the title, A clicks, the stick flies, B fires,
// Start opens and closes the quit confirmation, and the pad can be unplugged
// and plugged in again while the keyboard goes on working.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/gameprocess.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;

constexpr int kPlayX = 950, kPlayY = 125;
constexpr int kMenuX = 100;
int MenuRowY(int row) { return 96 + 16 * row + 8; }

struct Ship {
  bool alive = false;
  float x = 0, y = 0;
  int projectiles = 0;
};

class GamepadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::PrepareRunDirectory(dir.path().string());
    testsupport::WriteFile(dir.File("Settings.cfg"), "Tester\n2\n0\n1\n");
    testsupport::WriteFile(pad, "");
    ASSERT_TRUE(game.Start(dir.path().string(),
                           {"--windowed", "--print-startup-time", "--trace-states"},
                           {{"VOIDRAKE_TEST_GAMEPAD", pad}}));
    ASSERT_TRUE(game.WaitForStderr("startup: first title frame presented", 60s)) << game.Stderr();
    window = game.Window();
    ASSERT_NE(window, 0u) << "no game window";
  }

  // Appends one line for the game's virtual pad and gives it a few frames.
  void Pad(const std::string& line, std::chrono::milliseconds settle = 150ms) {
    std::ofstream(pad, std::ios::app) << line << "\n";
    std::this_thread::sleep_for(settle);
  }
  void Tap(const std::string& button) {
    Pad("button " + button + " 1");
    Pad("button " + button + " 0");
  }

  int Count(const std::string& text) {
    const std::string err = game.Stderr();
    int n = 0;
    for (size_t at = err.find(text); at != std::string::npos; at = err.find(text, at + 1)) ++n;
    return n;
  }
  bool WaitForCount(const std::string& text, int n) {
    return testsupport::WaitFor([&] { return Count(text) >= n; }, 10s);
  }
  // The n-th (from 1) "ship:" line of the state trace.
  bool ShipReport(int n, Ship* ship) {
    if (!WaitForCount("ship: ", n)) return false;
    const std::string err = game.Stderr();
    size_t at = 0;
    for (int i = 0; i < n; ++i) at = err.find("ship: ", i ? at + 1 : 0);
    int alive = 0;
    if (std::sscanf(err.c_str() + at, "ship: alive=%d x=%f y=%f projectiles=%d", &alive, &ship->x,
                    &ship->y, &ship->projectiles) != 4)
      return false;
    ship->alive = alive != 0;
    return true;
  }
  int PointerX() {
    int x = -1;
    std::sscanf(testsupport::ShellOutput("xdotool getmouselocation").c_str(), "x:%d", &x);
    return x;
  }

  testsupport::TempDir dir;
  std::string pad = dir.File("pad.txt");
  testsupport::GameProcess game;
  unsigned long window = 0;
};

TEST_F(GamepadTest, CursorAndClickInMenusFlyAndFireInAGameReplugAndQuit) {
  // Menus: the stick pushes the visible cursor, A clicks where it is.
  testsupport::MoveMouse(window, 500, 400);
  const int before = PointerX();
  Pad("axis leftx 32767", 300ms);
  Pad("axis leftx 0");
  EXPECT_GT(PointerX() - before, 40) << "the stick did not move the cursor";
  testsupport::MoveMouse(window, kPlayX, kPlayY);
  Tap("a");
  ASSERT_TRUE(WaitForCount("state: 1\n", 1)) << game.Stderr();
  std::this_thread::sleep_for(300ms);
  testsupport::MoveMouse(window, kMenuX, MenuRowY(1));  // "Respawn as Fighter"
  Tap("a");
  std::this_thread::sleep_for(500ms);
  Tap("a");  // "Respawn as Space Superiority Fighter"
  std::this_thread::sleep_for(500ms);

  // Start opens the quit confirmation (which reports the ship), Start again
  // goes back.
  Tap("start");
  Ship ship;
  ASSERT_TRUE(ShipReport(2, &ship)) << game.Stderr();
  ASSERT_TRUE(ship.alive) << "A did not pick the hull";
  const Ship still = ship;
  Tap("start");
  ASSERT_TRUE(WaitForCount("state: 1\n", 2)) << game.Stderr();

  // Stick up thrusts, B fires the second slot; the d-pad turns.
  Pad("axis lefty -32767", 0ms);
  Pad("button b 1", 700ms);
  Pad("button dpleft 1", 300ms);
  Pad("button dpleft 0", 0ms);
  Pad("button b 0", 0ms);
  Pad("axis lefty 0");
  Tap("start");
  ASSERT_TRUE(ShipReport(4, &ship)) << game.Stderr();
  EXPECT_GT(std::abs(ship.x - still.x) + std::abs(ship.y - still.y), 100.0f)
      << "the stick did not fly the ship";
  EXPECT_GT(ship.projectiles, 0) << "B fired nothing";

  // Unplugged and plugged in again, the pad still works; the keyboard too.
  Pad("detach", 300ms);
  Pad("attach", 300ms);
  Tap("start");
  ASSERT_TRUE(WaitForCount("state: 1\n", 3)) << "the re-plugged pad is ignored\n" << game.Stderr();
  testsupport::PressKey(window, "Escape");
  ASSERT_TRUE(WaitForCount("state: 12\n", 3)) << game.Stderr();
  testsupport::PressKey(window, "Return");
  const auto status = game.WaitForExit(10s);
  ASSERT_TRUE(status.has_value()) << "still running after enter on the quit confirmation";
  EXPECT_EQ(*status, 0);
}

}  // namespace
