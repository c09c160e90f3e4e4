// The whole single-player path on the real binary with real X input: title,
// Play, the hull menu, flying and firing, the quit confirmation. Screenshots
// are kept under the build directory (test-output/singleplayer/) for a look.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/gameprocess.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Click;
using testsupport::PressKey;

// Frame positions of the title's Play button and of the in-game menu rows
// (the page is drawn at y 96, 16 pixels a row, row 0 the title).
constexpr int kPlayX = 950, kPlayY = 125;
constexpr int kMenuX = 100;
int MenuRowY(int row) { return 96 + 16 * row + 8; }

struct Ship {
  bool alive = false;
  float x = 0, y = 0;
  int projectiles = 0;
};

// Brightness (0..255) of column x between rows y0 and y1 of a picture.
double ColumnBrightness(const testsupport::Picture& p, int x, int y0, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y) {
    const unsigned c = p.Rgb(x, y);
    sum += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
  }
  return sum / 3.0 / (y1 - y0);
}

// The mini-map panel (x 768..1023, y 0..255) shows the arena picture, whose
// walls frame it: its left edge stands out from the space beside it.
bool MiniMapShown(const testsupport::Picture& p) {
  const double edge = std::max(ColumnBrightness(p, 768, 10, 240), ColumnBrightness(p, 769, 10, 240));
  const double outside = std::max(ColumnBrightness(p, 764, 10, 240), ColumnBrightness(p, 766, 10, 240));
  return edge > outside + 20;
}

class SinglePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    outDir = std::filesystem::path(testsupport::RunDir()).parent_path() / "test-output" /
             "singleplayer";
    std::filesystem::create_directories(outDir);
    testsupport::PrepareRunDirectory(dir.path().string());
    // Low graphics: no shader fall-back messages in the way.
    testsupport::WriteFile(dir.File("Settings.cfg"), "Tester\n2\n0\n1\n");
    ASSERT_TRUE(game.Start(dir.path().string(),
                           {"--windowed", "--print-startup-time", "--trace-states"}));
    ASSERT_TRUE(game.WaitForStderr("startup: first title frame presented", 60s)) << game.Stderr();
    window = game.Window();
    ASSERT_NE(window, 0u) << "no game window";
  }

  // The n-th (from 1) "ship:" line of the state trace, once it is there.
  bool ShipReport(int n, Ship* ship) {
    bool found = testsupport::WaitFor(
        [&] {
          std::string err = game.Stderr();
          size_t at = std::string::npos;
          for (int i = 0; i < n; ++i) {
            at = err.find("ship: ", at == std::string::npos ? 0 : at + 1);
            if (at == std::string::npos) return false;
          }
          int alive = 0;
          return std::sscanf(err.c_str() + at, "ship: alive=%d x=%f y=%f projectiles=%d", &alive,
                             &ship->x, &ship->y, &ship->projectiles) == 4 &&
                 (ship->alive = alive != 0, true);
        },
        10s);
    return found;
  }

  testsupport::Picture Shot(const std::string& name) {
    const std::string path = (outDir / name).string();
    testsupport::Shell("import -window " + std::to_string(window) + " " + path);
    return testsupport::ReadPicture(path);
  }

  // Holds keys as a player does (a frame is 25 ms; the game polls held keys).
  void HoldKeys(const std::string& keys, std::chrono::milliseconds time,
                const std::string& shot = "") {
    testsupport::Shell("xdotool keydown --window " + std::to_string(window) + " " + keys);
    std::this_thread::sleep_for(time);
    if (!shot.empty()) Shot(shot);
    testsupport::Shell("xdotool keyup --window " + std::to_string(window) + " " + keys);
  }

  testsupport::TempDir dir;
  testsupport::GameProcess game;
  std::filesystem::path outDir;
  unsigned long window = 0;
};

TEST_F(SinglePlayerTest, PlayPickAHullFlyFireAndQuit) {
  Click(window, kPlayX, kPlayY);
  ASSERT_TRUE(game.WaitForStderr("state: 1\n", 10s)) << game.Stderr();
  Ship ship;
  ASSERT_TRUE(ShipReport(1, &ship)) << game.Stderr();
  EXPECT_FALSE(ship.alive) << "a game starts in the hull menu";
  std::this_thread::sleep_for(300ms);
  const auto menu = Shot("1-hull-menu.png");
  EXPECT_FALSE(MiniMapShown(menu));

  Click(window, kMenuX, MenuRowY(1));  // "Respawn as Fighter"
  // Two clicks inside one frame would count once: let the page change first.
  std::this_thread::sleep_for(500ms);
  Shot("2-fighter-menu.png");
  Click(window, kMenuX, MenuRowY(1));  // "Respawn as Space Superiority Fighter"
  // The mini-map replaces the menu once the ship is alive. Bright scenery
  // beside the panel can hide its edge, so the ship's own report below is
  // what decides; the picture only paces the wait.
  testsupport::WaitFor([&] { return MiniMapShown(Shot("3-alive.png")); }, 5s);

  // Where the ship is before it moves: the quit confirmation reports it.
  PressKey(window, "Escape");
  ASSERT_TRUE(ShipReport(2, &ship)) << game.Stderr();
  ASSERT_TRUE(ship.alive);
  const Ship before = ship;
  PressKey(window, "Escape");
  ASSERT_TRUE(ShipReport(3, &ship)) << game.Stderr();

  HoldKeys("Up z", 1000ms, "4-thrust-and-fire.png");
  PressKey(window, "Escape");
  ASSERT_TRUE(ShipReport(4, &ship)) << game.Stderr();
  EXPECT_TRUE(ship.alive);
  EXPECT_GT(std::abs(ship.x - before.x) + std::abs(ship.y - before.y), 100.0f)
      << "the ship did not move";
  EXPECT_GT(ship.projectiles, 0) << "no projectiles in flight after holding Z";

  std::this_thread::sleep_for(300ms);
  Shot("5-quit.png");
  // A quick tap, shorter than a frame, as many players press enter.
  PressKey(window, "Return");
  const auto status = game.WaitForExit(10s);
  ASSERT_TRUE(status.has_value()) << "still running after enter on the quit confirmation";
  EXPECT_EQ(*status, 0);
}

TEST_F(SinglePlayerTest, AnUnknownGraphicsLevelInTheSettingsPlaysOnLow) {
  // A hand-edited level the game has no drawing for; the game start reads it.
  testsupport::WriteFile(dir.File("Settings.cfg"), "Tester\n7\n0\n1\n");
  Click(window, kPlayX, kPlayY);
  ASSERT_TRUE(game.WaitForStderr("state: 1\n", 10s)) << game.Stderr();
  std::this_thread::sleep_for(300ms);
  Click(window, kMenuX, MenuRowY(1));
  std::this_thread::sleep_for(500ms);
  Click(window, kMenuX, MenuRowY(1));
  // Scenery beside the mini-map can hide its edge, so the ship's own report
  // says whether the game ran, and the picture whether it drew anything.
  std::this_thread::sleep_for(1s);
  const auto shot = Shot("unknown-level.png");
  int lit = 0;
  for (int y = 0; y < shot.height; y += 4)
    for (int x = 0; x < shot.width; x += 4) lit += shot.Rgb(x, y) != 0;
  EXPECT_GT(lit, 500) << "the game drew nothing";
  PressKey(window, "Escape");
  Ship ship;
  ASSERT_TRUE(ShipReport(2, &ship)) << game.Stderr();
  EXPECT_TRUE(ship.alive) << "the game did not run";
  PressKey(window, "Return");
  const auto status = game.WaitForExit(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0);
}

}  // namespace
