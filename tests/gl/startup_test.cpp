// Start-up on a real GL context in a working directory with the generated
// data: every texture, loop and sound slot at its number, and the objects a
// game needs made ready.
#include "app/startup.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/assetslots.h"
#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/singleplayer.h"
#include "platform/globals.h"
#include "platform/soundmanager.h"
#include "render/pictureloader.h"
#include "render/rendersort.h"
#include "render/texturelibrary.h"
#include "sim/spaceship.h"
#include "tests/support/gameprocess.h"
#include "tests/support/glcontext.h"
#include "tests/support/testenv.h"
#include "ui/button.h"
#include "world/world.h"

namespace {

// The pixels of a texture (RGBA), and its size.
std::vector<unsigned char> Pixels(unsigned int name, int* w, int* h) {
  glBindTexture(GL_TEXTURE_2D, name);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, h);
  std::vector<unsigned char> bytes(static_cast<size_t>(*w) * *h * 4);
  if (!bytes.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
  return bytes;
}

// Runs in a fresh working directory that links the generated data.
class StartUpTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    testsupport::PrepareRunDirectory(dir.path().string());
    oldDir = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Textures = TextureLibrary();
  }
  void TearDown() override { std::filesystem::current_path(oldDir); }
  testsupport::TempDir dir;
  std::filesystem::path oldDir;
};

TEST_F(StartUpTest, TextureSlotsRepeatPicturesSoLaterSlotsKeepTheirNumbers) {
  QueueAllPictures();
  Pictures.FinishAll();
  const auto& t = Textures.textures;
  ASSERT_EQ(t.size(), static_cast<size_t>(kTextureSlotCount));
  for (int slot : {31, 32}) EXPECT_EQ(t[slot], t[30]);
  for (int slot : {34, 35, 36}) EXPECT_EQ(t[slot], t[33]);
  EXPECT_EQ(t[40], t[39]);
  // Every other slot has a load of its own.
  for (int slot = 1; slot < kTextureSlotCount; ++slot) {
    const bool repeat = (slot >= 31 && slot <= 32) || (slot >= 34 && slot <= 36) || slot == 40;
    if (!repeat) {
      EXPECT_NE(t[slot], t[slot - 1]) << slot;
    }
  }
}

TEST_F(StartUpTest, WholeStartUpFillsEverySlotAndReadiesTheGame) {
  Sounds.InitMe();
  {
    std::lock_guard<std::mutex> lock(textMutex);
    Messages.clear();
  }
  StartUp();
  FinishLoading();
  EXPECT_EQ(inloop, ScreenState::Title);
  EXPECT_EQ(Game, 0);
  EXPECT_TRUE(multiplayer);

  ASSERT_EQ(Textures.textures.size(), static_cast<size_t>(kTextureSlotCount));
  // Slot 0 ends as the ship picture: the same picture as slot 2.
  int w0, h0, w2, h2;
  const auto ship0 = Pixels(Textures.textures[0], &w0, &h0);
  const auto ship2 = Pixels(Textures.textures[2], &w2, &h2);
  EXPECT_GT(w0, 0);
  EXPECT_EQ(w0, w2);
  EXPECT_EQ(h0, h2);
  EXPECT_TRUE(ship0 == ship2);
  // Slot 40 now holds the arena picture for the mini-map, no longer slot 39's.
  EXPECT_NE(Textures.textures[40], Textures.textures[39]);

  const int frames[] = {30, 40, 30, 20, 20};
  ASSERT_EQ(Textures.loopTextures.size(), 5u);
  for (int loop = 0; loop < 5; ++loop)
    EXPECT_EQ(Textures.loopTextures[loop].frames.size(), static_cast<size_t>(frames[loop]));

  EXPECT_EQ(Sounds.count, 9);  // the music, the seven of the weapons and explosions, the hurt sound
  EXPECT_TRUE(Sounds.samples[0].looping);
  EXPECT_EQ(Sounds.samples[0].volume, 255);
  for (int slot = 1; slot < 9; ++slot) {
    EXPECT_FALSE(Sounds.samples[slot].looping);
    EXPECT_EQ(Sounds.samples[slot].volume, 114);
  }

  EXPECT_FALSE(Level.objects.empty());
  EXPECT_EQ(Player.guid, myGUID);
  EXPECT_EQ(Player.maxHp, 100);
  EXPECT_FLOAT_EQ(Player.maxSpeed, 20.0f);
  EXPECT_EQ(Player.credits, 50);
  EXPECT_FALSE(Player.alive);
  EXPECT_EQ(cmdPlay.x, 950);
  EXPECT_EQ(cmdPlay.y, 125);
  const auto log = MessagesSnapshot();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "Welcome to Voidrake!");
  EXPECT_EQ(log[2], "Most Importantly - Have fun!");
  EXPECT_TRUE(testsupport::FileExists("Settings.cfg"));
}

// A player who chooses Play the moment the title shows: the title waited
// only for its own pictures, and the game start waits for the rest, so no
// slot of the game draws empty.
TEST_F(StartUpTest, AGameStartedAtOnceFindsEveryPictureInItsSlot) {
  Sounds.InitMe();
  StartUp();
  RunStateFrame();
  EXPECT_FALSE(Pictures.Waiting(Textures.textures[kTitleScreenTexture]));
  EXPECT_FALSE(Pictures.Waiting(Textures.textures[kFontTexture]));
  multiplayer = false;
  StartTitleChoice(true, false);
  graphicslevel = 2;
  Game = 1;
  SetUpComputerPlayers();
  SortedRenderer.InitMe(&Textures, &Shaders);
  inloop = ScreenState::Playing;
  RunStateFrame();
  std::vector<unsigned int> names = Textures.textures;
  for (const auto& loop : Textures.loopTextures)
    names.insert(names.end(), loop.frames.begin(), loop.frames.end());
  for (unsigned int name : names) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    EXPECT_GT(w, 0) << "texture " << name;
  }
  EXPECT_NE(Textures.textures[kArenaPictureTexture], Textures.textures[kWhiteQuadTexture]);
}

}  // namespace
