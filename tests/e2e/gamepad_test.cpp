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
#include "tests/support/gametrace.h"
#include "tests/support/glyphreader.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::kMenuX;
using testsupport::kPlayX;
using testsupport::kPlayY;
using testsupport::MenuRowY;
using testsupport::ShipReport;
using testsupport::StateLine;

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

  bool WaitForCount(const std::string& text, int n) {
    return testsupport::WaitForCount(game, text, n);
  }
  // Waits until the in-game menu page `title` shows.
  bool PageShown(const std::string& title, std::chrono::milliseconds wait = 10s) {
    return testsupport::WaitFor(
        [&] { return testsupport::MenuPageShown(window, reader, title, dir.File("page.png")); },
        wait);
  }
  int PointerX() {
    int x = -1;
    std::sscanf(testsupport::ShellOutput("xdotool getmouselocation").c_str(), "x:%d", &x);
    return x;
  }

  testsupport::GlyphReader reader;
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
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::Playing), 1)) << game.Stderr();
  // Each page is tapped once it shows: a tap in the frame that replaces a
  // page could be lost.
  ASSERT_TRUE(PageShown("----Respawn Menu----"));
  testsupport::MoveMouse(window, kMenuX, MenuRowY(1));  // "Respawn as Fighter"
  Tap("a");
  ASSERT_TRUE(PageShown("----Fighter Respawn Menu----"));
  Tap("a");  // "Respawn as Space Superiority Fighter"
  ASSERT_TRUE(
      testsupport::WaitFor([&] { return !PageShown("----Fighter Respawn Menu----", 0ms); }, 10s));

  // Start opens the quit confirmation (which reports the ship), Start again
  // goes back.
  Tap("start");
  std::optional<ShipReport> ship = testsupport::WaitForShipReport(game, 2);
  ASSERT_TRUE(ship) << game.Stderr();
  ASSERT_TRUE(ship->alive) << "A did not pick the hull";
  const ShipReport still = *ship;
  Tap("start");
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::Playing), 2)) << game.Stderr();

  // Stick up thrusts, B fires the second slot; the d-pad turns. Both are
  // held until the quit confirmation's report shows the ship flown off with
  // projectiles in flight: a loaded machine draws fewer frames a second.
  Pad("axis lefty -32767", 0ms);
  Pad("button b 1", 700ms);
  Pad("button dpleft 1", 300ms);
  Pad("button dpleft 0", 0ms);
  int reports = 3;
  testsupport::WaitFor(
      [&] {
        Tap("start");
        ship = testsupport::WaitForShipReport(game, ++reports);
        const bool done = ship && std::abs(ship->x - still.x) + std::abs(ship->y - still.y) > 100 &&
                          ship->projectiles > 0;
        if (ship && !done) {
          Tap("start");
          testsupport::WaitForShipReport(game, ++reports);
        }
        return done;
      },
      20s);
  Pad("button b 0", 0ms);
  Pad("axis lefty 0");
  ASSERT_TRUE(ship) << game.Stderr();
  EXPECT_GT(std::abs(ship->x - still.x) + std::abs(ship->y - still.y), 100.0f)
      << "the stick did not fly the ship";
  EXPECT_GT(ship->projectiles, 0) << "B fired nothing";

  // Unplugged and plugged in again, the pad still works; the keyboard too.
  const int playing = testsupport::CountOf(game.Stderr(), StateLine(ScreenState::Playing));
  Pad("detach", 300ms);
  Pad("attach", 300ms);
  Tap("start");
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::Playing), playing + 1))
      << "the re-plugged pad is ignored\n"
      << game.Stderr();
  const int confirming = testsupport::CountOf(game.Stderr(), StateLine(ScreenState::QuitConfirm));
  testsupport::PressKey(window, "Escape");
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::QuitConfirm), confirming + 1)) << game.Stderr();
  testsupport::PressKey(window, "Return");
  const auto status = game.WaitForExit(10s);
  ASSERT_TRUE(status.has_value()) << "still running after enter on the quit confirmation";
  EXPECT_EQ(*status, 0);
}

// A player with only a pad: into a game, Back opens the quit confirmation
// and cancels it, the d-pad steps between the choices, A leaves to the
// title, and Start there ends the program.
TEST_F(GamepadTest, PadOnlyLeavesToTheTitleAndQuits) {
  testsupport::MoveMouse(window, kPlayX, kPlayY);
  Tap("a");
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::Playing), 1)) << game.Stderr();
  Tap("back");
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::QuitConfirm), 1)) << game.Stderr();
  Tap("back");
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::Playing), 2)) << game.Stderr();
  Tap("back");
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::QuitConfirm), 2)) << game.Stderr();
  Tap("dpright");  // quit the program
  Tap("dpleft");   // back to leaving
  Tap("a");
  ASSERT_TRUE(WaitForCount(StateLine(ScreenState::Title), 2)) << game.Stderr();
  EXPECT_TRUE(game.Running()) << "A quit instead of leaving";
  Tap("start");
  const auto status = game.WaitForExit(10s);
  ASSERT_TRUE(status.has_value()) << "Start on the title did not end the program";
  EXPECT_EQ(*status, 0);
}

}  // namespace
