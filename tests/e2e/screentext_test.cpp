// What the player reads, read back from screenshots of the real binary with
// the game's own font (tests/support/glyphreader.h): the name field's limit,
// the scoreboard while Tab is held, and the payload panel after a purchase.
// Screenshots are kept under the build directory (test-output/screentext/).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/gameprocess.h"
#include "tests/support/gametrace.h"
#include "tests/support/glyphreader.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Click;
using testsupport::GlyphReader;
using testsupport::kMenuX;
using testsupport::MenuRowY;
using testsupport::StateLine;

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

class ScreenTextTest : public ::testing::Test {
 protected:
  // `readOnly`: Settings.cfg is mounted read-only in a mount namespace of
  // the game's own (file modes do not stop a test run as root).
  void Start(const std::string& settings, bool readOnly = false) {
    outDir =
        std::filesystem::path(testsupport::RunDir()).parent_path() / "test-output" / "screentext";
    std::filesystem::create_directories(outDir);
    testsupport::PrepareRunDirectory(dir.path().string());
    testsupport::WriteFile(dir.File("Settings.cfg"), settings);
    if (readOnly) {
      const std::string wrapper = dir.File("read-only-settings.sh");
      testsupport::WriteFile(wrapper,
                             "#!/bin/sh\nexec unshare -m sh -c 'mount --bind Settings.cfg "
                             "Settings.cfg && mount -o remount,bind,ro Settings.cfg && exec "
                             "\"$0\" \"$@\"' '" +
                                 testsupport::BinaryPath() + "' \"$@\"\n");
      std::filesystem::permissions(wrapper, std::filesystem::perms::owner_all);
      game.UseBinary(wrapper);
    }
    ASSERT_TRUE(reader.Loaded()) << "no font picture in " << testsupport::RunDir();
    ASSERT_TRUE(game.Start(dir.path().string(),
                           {"--windowed", "--print-startup-time", "--trace-states"},
                           {{"VOIDRAKE_LAN_ADDRESS", "127.255.255.255"}}));
    ASSERT_TRUE(game.WaitForStderr("startup: first title frame presented", 60s)) << game.Stderr();
    window = game.Window();
    ASSERT_NE(window, 0u) << "no game window";
  }

  testsupport::Picture Shot(const std::string& name) {
    const std::string path = (outDir / name).string();
    testsupport::Shell("import -window " + std::to_string(window) + " " + path);
    return testsupport::ReadPicture(path);
  }

  // Takes screenshots until the line at (x, top) reads `text` (as a prefix
  // of what is there); the last one.
  testsupport::Picture ShotShowing(const std::string& name, int x, int top,
                                   const std::string& text) {
    testsupport::Picture shot;
    testsupport::WaitFor(
        [&] {
          shot = Shot(name);
          return reader.Read(shot, x, top, static_cast<int>(text.size())) == text;
        },
        10s);
    return shot;
  }

  // As many characters as `expected` has of the line at (x, top): a line
  // goes on over the scene, which reads as anything.
  std::string ReadAs(const testsupport::Picture& shot, int x, int top,
                     const std::string& expected) {
    return reader.Read(shot, x, top, static_cast<int>(expected.size()));
  }
  // Rows of the dead ship's menu page (x 0, y 96) and of the payload panel
  // (x 512, y 112).
  static int MenuTop(int row) { return 96 + 16 * row; }
  static int PayloadTop(int row) { return 112 + 16 * row; }

  GlyphReader reader;
  testsupport::TempDir dir;
  testsupport::GameProcess game;
  std::filesystem::path outDir;
  unsigned long window = 0;
};

bool NameGreen(unsigned rgb) {
  return (rgb >> 8 & 0xFF) > 150 && (rgb >> 16 & 0xFF) < 100 && (rgb & 0xFF) < 100;
}

TEST_F(ScreenTextTest, NameFieldKeepsSixteenCharactersInsideItsBox) {
  Start("Tester\n2\n0\n1\n");
  Click(window, 755, 125);  // Options
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Options), 10s)) << game.Stderr();
  Click(window, 755, 120);  // the name button
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::NameEntry), 10s)) << game.Stderr();
  const std::string typed = "abcdefghijklmnopqrstuvwxy";
  testsupport::TypeText(window, typed);
  const int x = 772, top = GlyphReader::TopOf(607);
  const auto shot = ShotShowing("name-25.png", x, top, typed.substr(0, 16) + "_");
  EXPECT_EQ(reader.Read(shot, x, top, 17), typed.substr(0, 16) + "_");

  // The box's right border: the first bright non-green column after the
  // text on the text's middle row. No green ink at or beyond it.
  const int middle = top + 8;
  int border = x;
  while (border < shot.width &&
         (NameGreen(shot.Rgb(border, middle)) || ((shot.Rgb(border, middle) & 0xFF) < 150)))
    ++border;
  ASSERT_LT(border, shot.width - 20) << "no box border right of the name";
  EXPECT_GT(border, x + 17 * 10) << "the box ends inside the name and its caret";
  int outside = 0;
  for (int y = top - 4; y < top + 20; ++y)
    for (int bx = border; bx < shot.width; ++bx) outside += NameGreen(shot.Rgb(bx, y));
  EXPECT_EQ(outside, 0) << "name or caret beyond the box border at x " << border;

  testsupport::PressKey(window, "Return");
  ASSERT_TRUE(testsupport::WaitForCount(game, StateLine(ScreenState::Title), 2)) << game.Stderr();
  const std::string stored = testsupport::ReadFile(dir.File("Settings.cfg"));
  EXPECT_EQ(stored.substr(0, stored.find('\n')), typed.substr(0, 16));
}

struct Score {
  int kills = -1, deaths = -1, bounty = -1;
};

// The last values of every opponent row in the trace.
std::map<std::string, Score> TracedScores(const std::string& trace) {
  std::map<std::string, Score> scores;
  for (size_t at = trace.find("opponent: "); at != std::string::npos;
       at = trace.find("opponent: ", at + 1)) {
    const std::string line = trace.substr(at + 10, trace.find('\n', at) - at - 10);
    const size_t x = line.rfind(" x=");
    Score s;
    if (x == std::string::npos ||
        std::sscanf(line.c_str() + x, " x=%*f y=%*f kills=%d deaths=%d bounty=%d", &s.kills,
                    &s.deaths, &s.bounty) != 3)
      continue;
    scores[line.substr(0, x)] = s;
  }
  return scores;
}

TEST_F(ScreenTextTest, ScoreboardRowsWhileTabIsHeld) {
  Start("Tester\n2\n0\n1\n");
  Click(window, testsupport::kPlayX, testsupport::kPlayY);
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Playing), 10s)) << game.Stderr();
  ShotShowing("hull-menu.png", 0, 96, "----Respawn Menu----");
  Click(window, kMenuX, MenuRowY(1));  // "Respawn as Fighter"
  ShotShowing("fighter-menu.png", 0, 96, "----Fighter Respawn Menu----");
  Click(window, kMenuX, MenuRowY(1));
  // The computer players fight each other: a kill makes the order show.
  // Mostly one comes within seconds, but they may also stay apart.
  const bool killed = testsupport::WaitFor(
      [&] {
        for (const auto& [name, s] : TracedScores(game.Stderr()))
          if (s.kills > 0) return true;
        return false;
      },
      40s);
  if (!killed) std::printf("no kill within 40 s: all rows have 0 kills\n");

  const std::map<std::string, Score> before = TracedScores(game.Stderr());
  testsupport::Shell("xdotool keydown --window " + std::to_string(window) + " Tab");
  const int left = 252, headerTop = GlyphReader::TopOf(688);
  const auto shot = ShotShowing("scoreboard.png", left, headerTop, "  Pilot");
  testsupport::Shell("xdotool keyup --window " + std::to_string(window) + " Tab");
  const std::string header = reader.Read(shot, left, headerTop, 50);
  EXPECT_EQ(header, "  Pilot                     Kills  Deaths   Bounty") << header;
  // Two more trace blocks: every figure on the board lies between these.
  const int blocks = testsupport::CountOf(game.Stderr(), "opponent: ");
  testsupport::WaitForCount(game, "opponent: ", blocks + 2 * static_cast<int>(before.size()));
  const std::map<std::string, Score> after = TracedScores(game.Stderr());

  std::vector<std::string> rows;
  for (size_t r = 1; r <= before.size() + 1; ++r)
    rows.push_back(reader.Read(shot, left, headerTop + 16 * static_cast<int>(r), 50));
  std::set<std::string> names;
  int previousKills = 1 << 30, own = 0;
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
    const std::string name = Trim(row.substr(2, 24));
    names.insert(name);
    Score s;
    std::istringstream(row.substr(26)) >> s.kills >> s.deaths >> s.bounty;
    ASSERT_GE(s.bounty, 0) << "figures unreadable";
    EXPECT_LE(s.kills, previousKills) << "not sorted by kills";
    previousKills = s.kills;
    if (row.substr(0, 2) == "> ") {
      ++own;
      EXPECT_EQ(name, "Tester");
      continue;
    }
    ASSERT_TRUE(before.count(name) && after.count(name)) << "not in the match: " << name;
    EXPECT_GE(s.kills, before.at(name).kills);
    EXPECT_LE(s.kills, after.at(name).kills);
    EXPECT_GE(s.deaths, before.at(name).deaths);
    EXPECT_LE(s.deaths, after.at(name).deaths);
  }
  EXPECT_EQ(own, 1) << "own line not marked once";
  if (killed) {
    EXPECT_GT(std::stoi(rows[0].substr(26)), 0) << "the most kills are not first";
  }
  for (const auto& [name, s] : before) EXPECT_TRUE(names.count(name)) << name << " missing";
}

TEST_F(ScreenTextTest, PayloadPanelShowsABoughtUpgrade) {
  // Hosting a game of mode 0: a dead ship sees the shop.
  Start("Tester\n2\n0\n1\n");
  Click(window, 950, 29);
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Playing), 10s)) << game.Stderr();
  const std::string payload = "Current Payload is:", engine = "Extreme Rocket Engine";
  auto shot = ShotShowing("shop.png", 512, PayloadTop(0), payload);
  ASSERT_EQ(ReadAs(shot, 512, PayloadTop(0), payload), payload);
  EXPECT_NE(ReadAs(shot, 512, PayloadTop(5), engine), engine) << "bought before any click";

  Click(window, kMenuX, MenuRowY(6));  // "Upgrade your ship!"
  shot = ShotShowing("upgrades.png", 0, MenuTop(0), "----Upgrade Menu----");
  ASSERT_EQ(ReadAs(shot, 0, MenuTop(1), "Upgrade Engines"), "Upgrade Engines");
  Click(window, kMenuX, MenuRowY(1));
  shot = ShotShowing("engines.png", 0, MenuTop(0), "----Engines Menu----");
  ASSERT_EQ(ReadAs(shot, 0, MenuTop(1), engine), engine);
  Click(window, kMenuX, MenuRowY(1));  // 25 of the 50 credits a ship starts with
  shot = ShotShowing("bought.png", 512, PayloadTop(5), engine);
  EXPECT_EQ(ReadAs(shot, 512, PayloadTop(5), engine), engine);
  EXPECT_EQ(ReadAs(shot, 512, PayloadTop(0), payload), payload);

  // A line the wallet cannot pay: its price and no negative balance.
  testsupport::MoveMouse(window, kMenuX, MenuRowY(2));  // "Inferno Engine", 125
  const std::string cost = "Cost: 125", refused = "Not enough credits";
  shot = ShotShowing("too-dear.png", 0, GlyphReader::TopOf(80), refused);
  EXPECT_EQ(ReadAs(shot, 0, GlyphReader::TopOf(64), cost), cost);
  EXPECT_EQ(ReadAs(shot, 0, GlyphReader::TopOf(80), refused), refused);
}

TEST_F(ScreenTextTest, ARenameTheGameCannotSaveIsKeptForThisRunAndTheOptionsSayWhy) {
  Start("Tester\n2\n0\n1\n", true);
  Click(window, 755, 125);  // Options
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::Options), 10s)) << game.Stderr();
  Click(window, 755, 120);  // the name button
  ASSERT_TRUE(game.WaitForStderr(StateLine(ScreenState::NameEntry), 10s)) << game.Stderr();
  testsupport::TypeText(window, "Kai");
  testsupport::PressKey(window, "Return");
  ASSERT_TRUE(testsupport::WaitForCount(game, StateLine(ScreenState::Title), 2)) << game.Stderr();
  Click(window, 755, 125);
  ASSERT_TRUE(testsupport::WaitForCount(game, StateLine(ScreenState::Options), 2));
  testsupport::MoveMouse(window, 512, 700);  // on no button: the help line is free
  const std::string why = "Settings could not be saved: Read-only file system";
  const int helpTop = GlyphReader::TopOf(16);
  const auto shot = ShotShowing("settings-unsaved.png", 0, helpTop, why);
  EXPECT_EQ(ReadAs(shot, 0, helpTop, why), why);
  EXPECT_EQ(ReadAs(shot, 772, GlyphReader::TopOf(607), "Kai "), "Kai ");
  EXPECT_EQ(testsupport::ReadFile(dir.File("Settings.cfg")), "Tester\n2\n0\n1\n");
}

}  // namespace
