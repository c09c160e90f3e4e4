// Controls.cfg: what the player set comes back after a restart, a damaged
// file never leaves two actions on one key, and the key table turns the
// player's keys into the ones the game reads.
#include "ui/controls.h"

#include <gtest/gtest.h>

#include "base/keycodes.h"
#include "tests/support/testenv.h"

namespace {

TEST(Controls, SwappedKeysAndVolumesSurviveTheFileAndDamageGivesDefaults) {
  Controls c;
  ASSERT_TRUE(c.Bind(Action::kThrust, 'W', nullptr));
  ASSERT_TRUE(c.Bind(Action::kBrake, vk::Up, nullptr));  // free since W took thrust
  std::string why;
  EXPECT_FALSE(c.Bind(Action::kFire1, 'W', &why));
  EXPECT_EQ(why, "W is already used by Thrust.");
  EXPECT_FALSE(c.Bind(Action::kFire1, vk::Escape, nullptr));
  c.effectsVolume = 0;
  c.musicVolume = 70;
  testsupport::TempDir dir;
  const std::string file = dir.File("Controls.cfg");
  ASSERT_TRUE(SaveControls(c, file, nullptr));
  const Controls back = LoadControls(file);
  EXPECT_EQ(back.Key(Action::kThrust), 'W');
  EXPECT_EQ(back.Key(Action::kBrake), vk::Up);
  EXPECT_EQ(back.effectsVolume, 0);
  EXPECT_EQ(back.musicVolume, 70);

  const auto table = back.KeyTable();
  EXPECT_EQ(table['W'], vk::Up);
  EXPECT_EQ(table[vk::Up], vk::Down);
  EXPECT_EQ(table[vk::Down], 0) << "the old brake key still brakes";
  EXPECT_EQ(table[vk::Return], vk::Return);

  testsupport::WriteFile(file, "thrust 90\nbrake 90\nmusic-volume 4711\nfullscreen x\n");
  const Controls damaged = LoadControls(file);
  EXPECT_EQ(damaged.Key(Action::kThrust), vk::Up);
  EXPECT_EQ(damaged.Key(Action::kBrake), vk::Down);
  EXPECT_EQ(damaged.musicVolume, 100);
  EXPECT_TRUE(damaged.fullscreen);
  std::string error;
  EXPECT_FALSE(SaveControls(c, dir.File("no/such/folder/Controls.cfg"), &error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

}  // namespace
