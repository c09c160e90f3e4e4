// What the in-game frame announces and prints: kill lines and HUD lines.
#include "app/drawall.h"

#include <gtest/gtest.h>

#include "app/gameobjects.h"
#include "platform/globals.h"
#include "render/glwrapper.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"

namespace {

class DrawAllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameSeed(7);
    savedGame = Game;
    savedMultiplayer = multiplayer;
    multiplayer = false;
    Enemies = EnemyManager();
    Enemies.InitMe(&Utility, AddMessage, &Sounds, &Outgoing, &Explosions);
    {
      std::lock_guard<std::mutex> lock(textMutex);
      Messages.clear();
      MessageView.Clear();
      typingmessage = ">hi";
    }
    for (const char* line : {"one", "two", "three", "four"}) AddMessage(line);
  }
  void TearDown() override {
    Game = savedGame;
    multiplayer = savedMultiplayer;
    Enemies = EnemyManager();
  }
  static std::string TextAt(const std::vector<HudLine>& lines, float y, size_t nth = 0) {
    for (const HudLine& l : lines)
      if (l.x == 0 && l.y == y && nth-- == 0) return l.text;
    return "<none>";
  }
  int savedGame = 0;
  bool savedMultiplayer = false;
};

TEST(KillTextTest, PhraseTableWithFallbackToTheLastRow) {
  EXPECT_EQ(KillText(1, "Ace", "Bob"), "Ace wiped up Bob!!!!");
  EXPECT_EQ(KillText(5, "Ace", "Bob"), "Ace broke Bob's life :'(");
  EXPECT_EQ(KillText(11, "Ace", "Bob"), "Ace reduced Bob to a 3x3x3 cube!");
  EXPECT_EQ(KillText(14, "Ace", "Bob"), "Ace has Bob looking for a good lawyer.");
  const std::string last = "Ace destroyed Bob's last shred of self-esteem!";
  EXPECT_EQ(KillText(15, "Ace", "Bob"), last);
  EXPECT_EQ(KillText(16, "Ace", "Bob"), last);
  EXPECT_EQ(KillText(0, "Ace", "Bob"), last);
}

TEST_F(DrawAllTest, EveryKillOfTheFrameGetsItsOwnLine) {
  Player.name = "Ace";
  const int a = Enemies.AddPlayer(128, 128, 0, 11.0f, "Devastator", true, 2, 1);
  const int b = Enemies.AddPlayer(128, 128, 0, 12.0f, "ScrapHeap", true, 3, 1);
  Enemies.AddKill(a);
  Enemies.AddKill(b);
  AnnounceKills();
  const auto log = MessagesSnapshot();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[4].rfind("Ace", 0), 0u);
  EXPECT_NE(log[4].find("Devastator"), std::string::npos);
  EXPECT_NE(log[5].find("ScrapHeap"), std::string::npos);
}

TEST_F(DrawAllTest, NoKillsNoLines) {
  AnnounceKills();
  EXPECT_EQ(MessagesSnapshot().size(), 4u);
}

TEST_F(DrawAllTest, HudAgainstComputerPlayersHasNoBountyOrCredits) {
  Game = 1;
  Player.deaths = 3;
  Player.kills = 12;
  const auto lines = HudLines();
  EXPECT_EQ(TextAt(lines, 720), "<none>");
  EXPECT_EQ(TextAt(lines, 704), "<none>");
  EXPECT_EQ(TextAt(lines, 752, 0), "Losses: ");
  EXPECT_EQ(TextAt(lines, 752, 1), "        3");
  EXPECT_EQ(TextAt(lines, 736, 0), "Wins: ");
  EXPECT_EQ(TextAt(lines, 736, 1), "        12");
  EXPECT_EQ(TextAt(lines, 48), ">hi");
  EXPECT_EQ(TextAt(lines, 32), "two");
  EXPECT_EQ(TextAt(lines, 16), "three");
  EXPECT_EQ(TextAt(lines, 0), "four");
}

TEST_F(DrawAllTest, HudOfASimpleGameShowsBountyAndCredits) {
  Game = 0;
  Player.bounty = 140;
  Player.credits = 77;
  const auto lines = HudLines();
  EXPECT_EQ(TextAt(lines, 720), "Bounty: (140)");
  EXPECT_EQ(TextAt(lines, 704), "Credits: 77");
}

}  // namespace
