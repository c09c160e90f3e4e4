// The whole single-player path on the real binary with real X input: title,
// Play, the hull menu, flying and firing, the quit confirmation. Screenshots
// are kept under the build directory (test-output/singleplayer/) for a look.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/gameprocess.h"
#include "tests/support/gametrace.h"
#include "tests/support/glyphreader.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Click;
using testsupport::kMenuX;
using testsupport::kPlayX;
using testsupport::kPlayY;
using testsupport::MenuRowY;
using testsupport::PressKey;
using testsupport::ShipReport;
using testsupport::StateLine;

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
  const double edge =
      std::max(ColumnBrightness(p, 768, 10, 240), ColumnBrightness(p, 769, 10, 240));
  const double outside =
      std::max(ColumnBrightness(p, 764, 10, 240), ColumnBrightness(p, 766, 10, 240));
  return edge > outside + 20;
}

class SinglePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    outDir =
        std::filesystem::path(testsupport::RunDir()).parent_path() / "test-output" / "singleplayer";
    std::filesystem::create_directories(outDir);
    testsupport::PrepareRunDirectory(dir.path().string());
    // Low graphics: no shader fall-back messages in the way.
    testsupport::WriteFile(dir.File("Settings.cfg"), "Tester\n2\n0\n1\n");
    ASSERT_TRUE(
        game.Start(dir.path().string(), {"--windowed", "--print-startup-time", "--trace-states"}));
    ASSERT_TRUE(game.WaitForStderr("startup: first title frame presented", 60s)) << game.Stderr();
    window = game.Window();
    ASSERT_NE(window, 0u) << "no game window";
  }

  // Whether the hull menu page with this title is on the screen.
  bool PageShown(const std::string& title, const std::string& shot) {
    return testsupport::MenuPageShown(window, reader, title, (outDir / shot).string());
  }
  // Clicks a row of the page `title` once that page shows, and waits until
  // it has gone: a click in the frame a page is replaced in could be lost.
  bool ClickRowOf(const std::string& title, int row, const std::string& shot) {
    if (!testsupport::WaitFor([&] { return PageShown(title, shot); }, 10s)) return false;
    Click(window, kMenuX, MenuRowY(row));
    return testsupport::WaitFor([&] { return !PageShown(title, shot); }, 10s);
  }
  // The two hull menu clicks that put a Space Superiority Fighter in play.
  void PickFirstHull() {
    ASSERT_TRUE(ClickRowOf("----Respawn Menu----", 1, "1-hull-menu.png"));  // "Respawn as Fighter"
    ASSERT_TRUE(ClickRowOf("----Fighter Respawn Menu----", 1, "2-fighter-menu.png"));
  }

  testsupport::Picture Shot(const std::string& name) {
    const std::string path = (outDir / name).string();
    testsupport::Shell("import -window " + std::to_string(window) + " " + path);
    return testsupport::ReadPicture(path);
  }

  testsupport::GlyphReader reader;
  testsupport::TempDir dir;
  testsupport::GameProcess game;
  std::filesystem::path outDir;
  unsigned long window = 0;
};

TEST_F(SinglePlayerTest, PlayPickAHullFlyFireAndQuit) {
  Click(window, kPlayX, kPlayY);
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Playing), 10s)) << game.Stderr();
  std::optional<ShipReport> ship = testsupport::WaitForShipReport(game, 1);
  ASSERT_TRUE(ship) << game.Stderr();
  EXPECT_FALSE(ship->alive) << "a game starts in the hull menu";
  ASSERT_TRUE(testsupport::WaitFor(
      [&] { return PageShown("----Respawn Menu----", "1-hull-menu.png"); }, 10s));
  EXPECT_FALSE(MiniMapShown(Shot("1-hull-menu.png")));
  PickFirstHull();
  Shot("3-alive.png");

  // Where the ship is before it moves: the quit confirmation reports it.
  PressKey(window, "Escape");
  ship = testsupport::WaitForShipReport(game, 2);
  ASSERT_TRUE(ship) << game.Stderr();
  ASSERT_TRUE(ship->alive);
  const ShipReport before = *ship;
  PressKey(window, "Escape");
  ASSERT_TRUE(testsupport::WaitForShipReport(game, 3)) << game.Stderr();

  // Thrust and fire until the ship has flown off and its projectiles fly,
  // looking through the quit confirmation, whose report says where it is:
  // a loaded machine runs fewer frames a second. A ship born facing a wall
  // close by bounces to and fro in front of it: the farthest it got counts.
  testsupport::Shell("xdotool keydown --window " + std::to_string(window) + " Up z");
  std::this_thread::sleep_for(500ms);
  Shot("4-thrust-and-fire.png");
  int reports = 3;
  float farthest = 0;
  testsupport::WaitFor(
      [&] {
        std::this_thread::sleep_for(500ms);
        PressKey(window, "Escape");
        ship = testsupport::WaitForShipReport(game, ++reports);
        if (!ship) return false;
        farthest = std::max(farthest, std::abs(ship->x - before.x) + std::abs(ship->y - before.y));
        const bool done = farthest > 40 && ship->projectiles > 0;
        if (!done) {
          PressKey(window, "Escape");
          testsupport::WaitForShipReport(game, ++reports);
        }
        return done;
      },
      20s);
  testsupport::Shell("xdotool keyup --window " + std::to_string(window) + " Up z");
  ASSERT_TRUE(ship) << game.Stderr();
  EXPECT_TRUE(ship->alive);
  EXPECT_GT(farthest, 40.0f) << "the ship did not move";
  EXPECT_GT(ship->projectiles, 0) << "no projectiles in flight while Z is held";

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
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Playing), 10s)) << game.Stderr();
  PickFirstHull();
  // Scenery beside the mini-map can hide its edge, so the ship's own report
  // says whether the game ran, and the picture whether it drew anything.
  const auto shot = Shot("unknown-level.png");
  int lit = 0;
  for (int y = 0; y < shot.height; y += 4)
    for (int x = 0; x < shot.width; x += 4) lit += shot.Rgb(x, y) != 0;
  EXPECT_GT(lit, 500) << "the game drew nothing";
  PressKey(window, "Escape");
  const std::optional<ShipReport> ship = testsupport::WaitForShipReport(game, 2);
  ASSERT_TRUE(ship) << game.Stderr();
  EXPECT_TRUE(ship->alive) << "the game did not run";
  PressKey(window, "Return");
  const auto status = game.WaitForExit(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0);
}

// The quit confirmation offers both ways out with their keys; leaving goes
// to the title, from where another game starts.
TEST_F(SinglePlayerTest, LeaveToTheTitleAndPlayAnotherGame) {
  for (int game_number = 1; game_number <= 2; ++game_number) {
    Click(window, kPlayX, kPlayY);
    ASSERT_TRUE(testsupport::WaitForCount(game, StateLine(ScreenState::Playing), game_number))
        << game.Stderr();
    PressKey(window, "Escape");
    ASSERT_TRUE(testsupport::WaitForCount(game, StateLine(ScreenState::QuitConfirm), game_number));
    testsupport::Picture shot;
    const int top = 420 + 8;  // the choices' labels
    const std::string leave = "L: Leave to the title", quit = "Enter: Quit the program";
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
          shot = Shot("quit-choices.png");
          return reader.Read(shot, 512 - 10 - 150 - 105, top, 21) == leave &&
                 reader.Read(shot, 512 + 10 + 150 - 115, top, 23) == quit;
        },
        10s))
        << reader.Read(shot, 512 - 10 - 150 - 105, top, 21) << " | "
        << reader.Read(shot, 512 + 10 + 150 - 115, top, 23);
    if (game_number == 1) Click(window, 512 - 160, 436);  // the leave box
  }
  ASSERT_TRUE(testsupport::WaitForCount(game, StateLine(ScreenState::Title), 2));
  PressKey(window, "Return");
  const auto status = game.WaitForExit(10s);
  ASSERT_TRUE(status.has_value()) << "enter on the quit confirmation did not quit";
  EXPECT_EQ(*status, 0);
}

// Thrust set to W on the controls screen: the file beside Settings.cfg keeps
// it, W flies the ship, and a key another action has is refused with why.
TEST_F(SinglePlayerTest, ThrustSetToWIsSavedAndFliesTheShip) {
  const int messageTop = testsupport::GlyphReader::TopOf(16);
  auto says = [&](const std::string& text) {
    return testsupport::WaitFor(
        [&] { return reader.Read(Shot("controls.png"), 0, messageTop, int(text.size())) == text; },
        10s);
  };
  Click(window, 755, 125);  // Options
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Options), 10s)) << game.Stderr();
  Click(window, 860, 250);  // Controls
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Controls), 10s)) << game.Stderr();
  Click(window, 200, 96 + 22 * 2 + 11);  // the thrust row
  ASSERT_TRUE(says("Press a key for Thrust"));
  PressKey(window, "w");
  ASSERT_TRUE(testsupport::WaitFor(
      [&] {
        return testsupport::ReadFile(dir.File("Controls.cfg")).find("\nthrust 87\n") !=
               std::string::npos;
      },
      10s))
      << testsupport::ReadFile(dir.File("Controls.cfg"));
  Click(window, 200, 96 + 22 * 3 + 11);  // the brake row
  ASSERT_TRUE(says("Press a key for Brake"));
  PressKey(window, "w");
  EXPECT_TRUE(says("W is already used by Thrust."));
  PressKey(window, "Escape");
  ASSERT_TRUE(testsupport::WaitForCount(game, StateLine(ScreenState::Options), 2));
  PressKey(window, "Escape");
  ASSERT_TRUE(testsupport::WaitForCount(game, StateLine(ScreenState::Title), 2));

  Click(window, kPlayX, kPlayY);
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Playing), 10s)) << game.Stderr();
  PickFirstHull();
  PressKey(window, "Escape");
  std::optional<ShipReport> ship = testsupport::WaitForShipReport(game, 2);
  ASSERT_TRUE(ship && ship->alive) << game.Stderr();
  const ShipReport before = *ship;
  PressKey(window, "Escape");
  int reports = 3;
  ASSERT_TRUE(testsupport::WaitForShipReport(game, reports));
  testsupport::Shell("xdotool keydown --window " + std::to_string(window) + " w");
  float farthest = 0;
  testsupport::WaitFor(
      [&] {
        std::this_thread::sleep_for(500ms);
        PressKey(window, "Escape");
        ship = testsupport::WaitForShipReport(game, ++reports);
        if (ship)
          farthest =
              std::max(farthest, std::abs(ship->x - before.x) + std::abs(ship->y - before.y));
        PressKey(window, "Escape");
        testsupport::WaitForShipReport(game, ++reports);
        return farthest > 40;
      },
      20s);
  testsupport::Shell("xdotool keyup --window " + std::to_string(window) + " w");
  EXPECT_GT(farthest, 40.0f) << "W did not fly the ship";
}

}  // namespace
