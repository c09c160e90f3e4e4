// The real game binary on the test's X display, driven with real X input:
// the title, options and name screens, quitting and closing the window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "tests/support/gameprocess.h"
#include "tests/support/gametrace.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Click;
using testsupport::PressKey;
using testsupport::ReadFile;
using testsupport::StateLine;
using testsupport::TypeText;

// Button centres (frame pixels) of the title and options screens.
constexpr int kOptionsX = 755, kOptionsY = 125;
constexpr int kNameX = 755, kNameY = 120;
constexpr int kLowX = 950, kLowY = 29;

class ScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::PrepareRunDirectory(dir.path().string());
    settings = dir.File("config/voidrake2/Settings.cfg");
    ASSERT_TRUE(
        game.Start(dir.path().string(), {"--windowed", "--print-startup-time", "--trace-states"}));
    ASSERT_TRUE(game.WaitForStderr("startup: first title frame presented", 60s)) << game.Stderr();
    window = game.Window();
    ASSERT_NE(window, 0u) << "no game window";
    testsupport::MoveMouse(window, 512, 700);
  }

  // Waits until the game has run a frame in `state` (counted from the
  // `seen`th report of that state on).
  bool WaitForState(ScreenState state, int seen = 1) {
    std::string line = StateLine(state);
    return testsupport::WaitFor(
        [&] {
          std::string err = game.Stderr();
          int count = 0;
          for (size_t at = err.find(line); at != std::string::npos; at = err.find(line, at + 1))
            ++count;
          return count >= seen;
        },
        10s);
  }

  std::string Line(int n) {
    std::string text = ReadFile(settings);
    size_t start = 0;
    for (int i = 1; i < n; ++i) {
      start = text.find('\n', start);
      if (start == std::string::npos) return "<missing>";
      ++start;
    }
    return text.substr(start, text.find('\n', start) - start);
  }

  testsupport::TempDir dir;
  testsupport::GameProcess game;
  std::string settings;
  unsigned long window = 0;
};

TEST_F(ScreensTest, FirstStartWritesDefaultSettings) {
  EXPECT_EQ(ReadFile(settings), "Player\n0\n0\n1");
}

TEST_F(ScreensTest, EscapeOnTheTitleEndsTheGame) {
  PressKey(window, "Escape");
  auto status = game.WaitForExit(5s);
  ASSERT_TRUE(status.has_value()) << "still running 5 s after escape";
  EXPECT_EQ(*status, 0);
}

TEST_F(ScreensTest, NameEntryStoresTheTypedName) {
  Click(window, kOptionsX, kOptionsY);
  ASSERT_TRUE(WaitForState(ScreenState::Options)) << game.Stderr();
  Click(window, kNameX, kNameY);
  ASSERT_TRUE(WaitForState(ScreenState::NameEntry)) << game.Stderr();
  TypeText(window, "Kai");
  PressKey(window, "Return");
  ASSERT_TRUE(WaitForState(ScreenState::Title, 2)) << game.Stderr();
  EXPECT_EQ(Line(1), "Kai");
  EXPECT_EQ(Line(2), "0");
  EXPECT_EQ(Line(4), "1");
}

TEST_F(ScreensTest, BackspaceEditsTheName) {
  Click(window, kOptionsX, kOptionsY);
  ASSERT_TRUE(WaitForState(ScreenState::Options));
  Click(window, kNameX, kNameY);
  ASSERT_TRUE(WaitForState(ScreenState::NameEntry));
  TypeText(window, "Kaix");
  PressKey(window, "BackSpace");
  PressKey(window, "Return");
  ASSERT_TRUE(WaitForState(ScreenState::Title, 2)) << game.Stderr();
  EXPECT_EQ(Line(1), "Kai");
}

TEST_F(ScreensTest, LowGraphicsChoiceIsSaved) {
  Click(window, kOptionsX, kOptionsY);
  ASSERT_TRUE(WaitForState(ScreenState::Options));
  Click(window, kLowX, kLowY);
  ASSERT_TRUE(WaitForState(ScreenState::Title, 2)) << game.Stderr();
  EXPECT_EQ(Line(1), "Player");
  EXPECT_EQ(Line(2), "2");
}

TEST_F(ScreensTest, ClickOnNoButtonChangesNothing) {
  Click(window, 300, 500);
  Click(window, 20, 740);
  EXPECT_EQ(ReadFile(settings), "Player\n0\n0\n1");
  // Still on the title: escape there ends the game.
  PressKey(window, "Escape");
  auto status = game.WaitForExit(5s);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0);
  EXPECT_EQ(game.Stderr().find(StateLine(ScreenState::Options)), std::string::npos);
}

TEST_F(ScreensTest, EscapeOnOptionsReturnsToTheTitle) {
  Click(window, kOptionsX, kOptionsY);
  ASSERT_TRUE(WaitForState(ScreenState::Options));
  PressKey(window, "Escape");
  ASSERT_TRUE(WaitForState(ScreenState::Title, 2));
  PressKey(window, "Escape");
  auto status = game.WaitForExit(5s);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0);
}

TEST_F(ScreensTest, ClosingTheWindowEndsTheGame) {
  testsupport::CloseWindow(window);
  auto status = game.WaitForExit(5s);
  ASSERT_TRUE(status.has_value()) << "still running 5 s after the close request";
  EXPECT_EQ(*status, 0);
}

TEST_F(ScreensTest, TitleScreenShowsItsPicture) {
  std::string shot = dir.File("title.png");
  ASSERT_TRUE(testsupport::Screenshot(shot));
  testsupport::Picture screen = testsupport::ReadPicture(shot);
  ASSERT_EQ(screen.width, 1024);
  ASSERT_EQ(screen.height, 768);
  testsupport::Picture title =
      testsupport::ReadPicture(testsupport::RunDir() + "/Images/screenintro3s.PNG");
  const int spots[][2] = {{10, 10}, {1013, 10}, {512, 384}, {10, 757}, {1013, 757}, {300, 600}};
  for (const auto& s : spots) {
    unsigned pixel = screen.Rgb(s[0], s[1]);
    if (title.width == 1024 && title.height == 768) {
      unsigned expected = title.Rgb(s[0], s[1]);
      for (int shift : {0, 8, 16}) {
        int diff = int((pixel >> shift) & 0xFF) - int((expected >> shift) & 0xFF);
        EXPECT_LE(std::abs(diff), 8) << "at " << s[0] << "," << s[1];
      }
    } else {
      // Without the generated picture the full-screen quad draws untextured
      // white: still proof that the title frame was drawn and presented.
      EXPECT_EQ(pixel, 0xFFFFFFu) << "at " << s[0] << "," << s[1];
    }
  }
}

// Pixels of the help-line band at the bottom of the screen that differ
// between two screenshots.
int HelpBandDifference(const testsupport::Picture& a, const testsupport::Picture& b) {
  int differing = 0;
  for (int y = 730; y < 760; ++y)
    for (int x = 0; x < 600; ++x) differing += a.Rgb(x, y) != b.Rgb(x, y);
  return differing;
}

TEST_F(ScreensTest, HelpLineFollowsTheCursor) {
  int shots = 0;
  auto shoot = [&] {
    std::string path = dir.File("shot" + std::to_string(++shots) + ".png");
    EXPECT_TRUE(testsupport::Screenshot(path));
    return testsupport::ReadPicture(path);
  };
  const testsupport::Picture plain = shoot();
  ASSERT_FALSE(plain.Empty());
  // The game redraws a menu screen when the cursor's button changes, a
  // frame or more after the pointer moved: a loaded machine takes longer.
  testsupport::MoveMouse(window, kOptionsX, kOptionsY);
  EXPECT_TRUE(testsupport::WaitFor([&] { return HelpBandDifference(plain, shoot()) > 200; }, 10s))
      << "no help line while hovering";
  testsupport::MoveMouse(window, 512, 700);
  EXPECT_TRUE(testsupport::WaitFor([&] { return HelpBandDifference(plain, shoot()) == 0; }, 10s))
      << "help line left behind";
}

// SDL falls back to drivers that show nothing when there is no display; the
// game must say so and end rather than run on unseen.
TEST(NoDisplayTest, EndsWithStatusOneAndSaysWhy) {
  testsupport::TempDir dir;
  testsupport::PrepareRunDirectory(dir.path().string());
  testsupport::GameProcess game;
  ASSERT_TRUE(game.Start(dir.path().string(), {"--windowed"},
                         {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}}));
  const auto status = game.WaitForExit(5s);
  ASSERT_TRUE(status.has_value()) << "still running 5 s after start without a display";
  EXPECT_EQ(*status, 1);
  EXPECT_NE(game.Stderr().find("No display"), std::string::npos) << game.Stderr();
}

}  // namespace
