// The installed game: `cmake --install` into a temporary prefix, the desktop
// files checked by the desktop's own validators, and the installed binary
// started from an unrelated directory with a fresh per-user configuration
// folder, as a player's launcher would start it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>

#include "base/version.h"
#include "tests/support/gameprocess.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testsupport::FileExists;
using testsupport::Shell;
using testsupport::ShellOutput;

class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new testsupport::TempDir;
    installStatus_ =
        Shell("cmake --install '" + std::string(VOIDRAKE_BUILD_DIR) + "' --prefix '" +
              prefix_->path().string() + "' > '" + prefix_->File("install.log") + "' 2>&1");
  }
  static void TearDownTestSuite() {
    delete prefix_;
    prefix_ = nullptr;
  }
  void SetUp() override {
    ASSERT_EQ(installStatus_, 0) << testsupport::ReadFile(prefix_->File("install.log"));
  }

  static std::string Installed(const std::string& rel) { return prefix_->File(rel); }
  static std::string Game() { return Installed("bin/voidrake2"); }

  static testsupport::TempDir* prefix_;
  static int installStatus_;
};

testsupport::TempDir* InstallTest::prefix_ = nullptr;
int InstallTest::installStatus_ = -1;

TEST_F(InstallTest, PutsProgramsDataAndDesktopFilesInTheirPlaces) {
  EXPECT_TRUE(FileExists(Game()));
  EXPECT_TRUE(FileExists(Installed("bin/voidrake2-lobby")));
  EXPECT_TRUE(FileExists(Installed("bin/voidrake2-dedicated")));
  for (const char* file :
       {"Images/Font.PNG", "Images/screenintro3s.PNG", "LoopedTextures/Smoke/Smoke_0039.PNG",
        "Sounds/RL.wav", "sounds/01 Falling off the captain's log.ogg", "Shaders"}) {
    EXPECT_TRUE(fs::exists(Installed("share/voidrake2/") + file)) << file;
  }
  EXPECT_FALSE(fs::exists(Installed("share/voidrake2/icons"))) << "icons belong to the desktop";
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string dir = std::to_string(size) + "x" + std::to_string(size);
    const auto icon =
        testsupport::ReadPicture(Installed("share/icons/hicolor/" + dir + "/apps/voidrake2.png"));
    EXPECT_EQ(icon.width, size) << dir;
    EXPECT_EQ(icon.height, size) << dir;
  }
  const std::string desktop = Installed("share/applications/voidrake2.desktop");
  const std::string metainfo = Installed("share/metainfo/org.voidrake.voidrake2.metainfo.xml");
  EXPECT_EQ(Shell("desktop-file-validate '" + desktop + "' >&2"), 0);
  EXPECT_EQ(Shell("appstreamcli validate --no-net '" + metainfo + "' >&2"), 0);
  EXPECT_NE(testsupport::ReadFile(desktop).find("Categories=Game;ActionGame;"), std::string::npos);
  EXPECT_NE(testsupport::ReadFile(metainfo).find(std::string("version=\"") + kVersion + "\""),
            std::string::npos);
}

TEST_F(InstallTest, VersionHelpAndManualAgree) {
  const std::string expected = std::string("voidrake2 ").append(kVersion).append("\nstatus=0\n");
  EXPECT_EQ(ShellOutput(std::string("'").append(Game()).append("' --version; echo status=$?")),
            expected);
  const std::string help = ShellOutput(std::string("'").append(Game()).append("' --help"));
  EXPECT_NE(help.find(kVersion), std::string::npos) << help;
  // Every option the program lists is described in the manual page.
  const std::string manual =
      ShellOutput("MANWIDTH=200 man -l '" + Installed("share/man/man6/voidrake2.6.gz") + "' 2>&1");
  const std::regex option("--[a-z-]+");
  int options = 0;
  for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
       it != std::sregex_iterator(); ++it, ++options) {
    EXPECT_NE(manual.find(it->str()), std::string::npos) << it->str() << " is not in the manual";
  }
  EXPECT_GE(options, 8);
}

TEST_F(InstallTest, StartsFromAnotherDirectoryWithSettingsInTheConfigurationFolder) {
  testsupport::TempDir elsewhere, config;
  testsupport::GameProcess game;
  game.UseBinary(Game());
  ASSERT_TRUE(game.Start(elsewhere.path().string(), {"--windowed", "--print-startup-time"},
                         {{"XDG_CONFIG_HOME", config.path().string()}}));
  ASSERT_TRUE(game.WaitForStderr("startup: first title frame presented", 60s)) << game.Stderr();
  const unsigned long window = game.Window();
  ASSERT_NE(window, 0u);
  EXPECT_EQ(ShellOutput("xdotool getwindowname " + std::to_string(window)),
            std::string("Voidrake 2 ") + kVersion + "\n");
  EXPECT_EQ(game.Stderr().find("data folders"), std::string::npos) << game.Stderr();
  EXPECT_EQ(testsupport::ReadFile(config.File("voidrake2/Settings.cfg")), "Player\n0\n0\n1");
  EXPECT_FALSE(FileExists(elsewhere.File("Settings.cfg")));

  // The title picture came from the installed data: the screen is not black.
  testsupport::Shell("import -window " + std::to_string(window) + " '" +
                     elsewhere.File("title.png") + "'");
  const auto title = testsupport::ReadPicture(elsewhere.File("title.png"));
  ASSERT_FALSE(title.Empty());
  long lit = 0;
  for (int y = 0; y < title.height; y += 8)
    for (int x = 0; x < title.width; x += 8) lit += title.Rgb(x, y) != 0;
  EXPECT_GT(lit, title.width / 8 * (title.height / 8) / 4) << "the title screen is blank";

  testsupport::PressKey(window, "Escape");
  const auto status = game.WaitForExit(10s);
  ASSERT_TRUE(status.has_value()) << "still running after escape on the title";
  EXPECT_EQ(*status, 0);
}

TEST_F(InstallTest, AMissingDataDirectoryIsRefused) {
  testsupport::TempDir elsewhere;
  EXPECT_EQ(Shell("cd '" + elsewhere.path().string() + "' && '" + Game() +
                  "' --data no-such-dir 2>/dev/null"),
            2);
}

}  // namespace
