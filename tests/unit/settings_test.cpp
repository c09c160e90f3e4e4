// Settings.cfg: the exact bytes written and how odd files read back.
#include "ui/settings.h"

#include <gtest/gtest.h>

#include "platform/globals.h"
#include "tests/support/testenv.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("Settings.cfg");
    SetSettingsFile(path);
  }
  void TearDown() override { SetSettingsFile("Settings.cfg"); }

  testsupport::TempDir dir;
  std::string path;
  std::string name = "unchanged";
  int level = -5, music = -5, mode = -5;
};

TEST_F(SettingsTest, WritesModeBeforeMusicWithoutFinalLineEnd) {
  WriteSettings("Kai", 2, 0, 1);
  EXPECT_EQ(ReadFile(path), "Kai\n2\n1\n0");
}

TEST_F(SettingsTest, ReadsBackWhatWasWrittenAndSetsTheGraphicsLevel) {
  graphicslevel = 0;
  WriteSettings("Kai", 2, 0, 1);
  ASSERT_TRUE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(name, "Kai");
  EXPECT_EQ(level, 2);
  EXPECT_EQ(mode, 1);
  EXPECT_EQ(music, 0);
  EXPECT_EQ(graphicslevel, 2);
}

TEST_F(SettingsTest, RewritingTruncatesAndNegativeNumbersSurvive) {
  WriteSettings("A much longer name than the next one", 0, 1, 0);
  WriteSettings("B", -1, 1, 7);
  EXPECT_EQ(ReadFile(path), "B\n-1\n7\n1");
  ASSERT_TRUE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(level, -1);
  EXPECT_EQ(mode, 7);
}

// The hosted games' computer players ride on a fifth line: four-line files
// read as before, and rewriting the first four keeps it.
TEST_F(SettingsTest, TheFifthLineIsOptionalKeptAndBounded) {
  WriteSettings("Kai", 2, 0, 1);
  EXPECT_EQ(ReadHostBots(), 0);
  WriteHostBots(6);
  EXPECT_EQ(ReadFile(path), "Kai\n2\n1\n0\n6");
  WriteSettings("Mo", 1, 1, 0);
  EXPECT_EQ(ReadFile(path), "Mo\n1\n0\n1\n6");
  ASSERT_TRUE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(name, "Mo");
  EXPECT_EQ(music, 1);
  WriteFile(path, "Kai\n2\n1\n0\n999");
  EXPECT_EQ(ReadHostBots(), kMaxHostBots);
  EXPECT_EQ(NextHostBots(kMaxHostBots), 0);
}

TEST_F(SettingsTest, MissingFileChangesNothing) {
  EXPECT_FALSE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(name, "unchanged");
  EXPECT_EQ(level, -5);
  EXPECT_EQ(music, -5);
  EXPECT_EQ(mode, -5);
}

TEST_F(SettingsTest, LongNameIsCutAndTheNextLinesStillRead) {
  WriteFile(path, std::string(150, 'n') + "\n1\n2\n0");
  ASSERT_TRUE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(name, std::string(99, 'n'));
  EXPECT_EQ(level, 1);
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(music, 0);
}

TEST_F(SettingsTest, MissingLinesTakeTheirDefaultsOneByOne) {
  WriteFile(path, "Kai\n2");
  ASSERT_TRUE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(name, "Kai");
  EXPECT_EQ(level, 2);
  EXPECT_EQ(mode, 0);
  EXPECT_EQ(music, 1) << "a short file must not switch the music off";

  WriteFile(path, "Kai\n1\n2\n");
  ASSERT_TRUE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(music, 1);

  WriteFile(path, "");
  ASSERT_TRUE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(name, "Player");
  EXPECT_EQ(level, 0);
  EXPECT_EQ(music, 1);
}

TEST_F(SettingsTest, NumbersFollowAtoi) {
  WriteFile(path, "\nhigh\n  7 modes\n-x");
  ASSERT_TRUE(ReadSettings(name, level, music, mode));
  EXPECT_EQ(name, "");
  EXPECT_EQ(level, 0);
  EXPECT_EQ(mode, 7);
  EXPECT_EQ(music, 0);
  EXPECT_EQ(SettingsNumber("+12abc"), 12);
  EXPECT_EQ(SettingsNumber("-3"), -3);
  EXPECT_EQ(SettingsNumber("99999999999999999999"), 2147483647);
  EXPECT_EQ(SettingsNumber("-99999999999999999999"), -2147483647 - 1);
}

TEST_F(SettingsTest, FirstStartWritesDefaultsOnlyWhenMissing) {
  WriteDefaultSettingsIfMissing();
  EXPECT_EQ(ReadFile(path), "Player\n0\n0\n1");
  WriteSettings("Kai", 2, 0, 1);
  WriteDefaultSettingsIfMissing();
  EXPECT_EQ(ReadFile(path), "Kai\n2\n1\n0");
}

TEST_F(SettingsTest, UnwritableLocationIsIgnored) {
  SetSettingsFile(dir.File("no-such-dir/Settings.cfg"));
  WriteSettings("Kai", 2, 0, 1);
  EXPECT_FALSE(testsupport::FileExists(dir.File("no-such-dir/Settings.cfg")));
}

}  // namespace
