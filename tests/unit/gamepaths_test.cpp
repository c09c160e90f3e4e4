// Where data and settings are looked for: --data, then the working
// directory, then the installed data; Settings.cfg in the working directory
// before the per-user configuration folder.
#include "app/gamepaths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/testenv.h"

namespace {

namespace fs = std::filesystem;

// Runs the test inside a fresh working directory.
class GamePathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = fs::current_path();
    fs::current_path(work.path());
    fs::create_directories(installed.path() / "Images");
  }
  void TearDown() override { fs::current_path(previous); }

  bool Find(const std::string& option) {
    dir = error = warning = "";
    return FindDataDirectory(option, installed.path().string(), &dir, &error, &warning);
  }

  testsupport::TempDir work, installed;
  fs::path previous;
  std::string dir, error, warning;
};

TEST_F(GamePathsTest, DataComesFromTheOptionTheWorkingDirectoryOrTheInstallation) {
  ASSERT_TRUE(Find(""));
  EXPECT_EQ(dir, installed.path().string());
  EXPECT_EQ(warning, "");

  fs::create_directory("Shaders");  // a build's run directory
  ASSERT_TRUE(Find(""));
  EXPECT_EQ(dir, "") << "the working directory comes first";

  ASSERT_TRUE(Find(installed.path().string()));
  EXPECT_EQ(dir, installed.path().string());
  EXPECT_FALSE(Find("nowhere"));
  EXPECT_NE(error.find("nowhere"), std::string::npos);
  fs::create_directory("empty");
  EXPECT_FALSE(Find("empty")) << "a directory without data folders is no data";

  fs::remove("Shaders");
  fs::remove_all(installed.path() / "Images");
  ASSERT_TRUE(Find("")) << "nothing anywhere still starts, with blank pictures";
  EXPECT_EQ(dir, "");
  EXPECT_NE(warning.find("--data"), std::string::npos);
}

TEST_F(GamePathsTest, SettingsLiveInTheConfigurationFolderUnlessTheWorkingDirectoryHasThem) {
  EXPECT_EQ(FindSettingsFile("/cfg", "/home/kai"), "/cfg/voidrake2/Settings.cfg");
  EXPECT_EQ(FindSettingsFile(nullptr, "/home/kai"), "/home/kai/.config/voidrake2/Settings.cfg");
  EXPECT_EQ(FindSettingsFile("", "/home/kai"), "/home/kai/.config/voidrake2/Settings.cfg");
  EXPECT_EQ(FindSettingsFile("relative/cfg", "/home/kai"),
            "/home/kai/.config/voidrake2/Settings.cfg")
      << "a relative XDG_CONFIG_HOME is ignored";
  testsupport::WriteFile("Settings.cfg", "Kai\n2\n0\n1");
  EXPECT_EQ(FindSettingsFile("/cfg", "/home/kai"), "Settings.cfg");
}

}  // namespace
