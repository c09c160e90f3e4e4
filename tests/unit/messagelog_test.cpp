// The message area: which three lines are in sight, and the scroll-back.
#include "platform/messagelog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

void Frames(MessageLog& log, int n) {
  for (int i = 0; i < n; ++i) log.Advance(false, false);
}

TEST(MessageLogTest, YoungChatAndSystemLinesOutstayKillsBetweenOthers) {
  MessageLog log;
  log.Add("Welcome", MessageKind::System);
  log.Add("Kai>hi", MessageKind::Chat);
  Frames(log, 10);
  for (const char* kill : {"k1", "k2", "k3", "k4"}) log.Add(kill, MessageKind::OthersKill);
  EXPECT_EQ(log.Shown(), (Lines{"Welcome", "Kai>hi", "k4"}));
  // Our own lines may push each other out.
  log.Add("Kai>again", MessageKind::Chat);
  log.Add("Bob has joined the game.", MessageKind::System);
  EXPECT_EQ(log.Shown(), (Lines{"Kai>hi", "Kai>again", "Bob has joined the game."}));
  // Eight seconds on, the newest lines show whatever they are.
  Frames(log, MessageLog::kProtectedFrames);
  log.Add("k5", MessageKind::OthersKill);
  EXPECT_EQ(log.Shown(), (Lines{"Kai>again", "Bob has joined the game.", "k5"}));
  log.Add("k6", MessageKind::OthersKill);
  log.Add("k7", MessageKind::OthersKill);
  EXPECT_EQ(log.Shown(), (Lines{"k5", "k6", "k7"}));
}

TEST(MessageLogTest, PageUpAndDownScrollThroughTheLastFiftyAndTheViewReturns) {
  MessageLog log;
  for (int i = 0; i < 60; ++i) log.Add("line " + std::to_string(i), MessageKind::OthersKill);
  log.Advance(true, false);  // one press, held two frames: one page
  log.Advance(true, false);
  EXPECT_EQ(log.Scrolled(), 3);
  EXPECT_EQ(log.Shown(), (Lines{"line 54", "line 55", "line 56"}));
  log.Add("line 60", MessageKind::OthersKill);
  EXPECT_EQ(log.Shown(), (Lines{"line 54", "line 55", "line 56"})) << "the view stays put";
  for (int i = 0; i < 40; ++i) {
    log.Advance(false, false);
    log.Advance(true, false);
  }
  EXPECT_EQ(log.Shown(), (Lines{"line 11", "line 12", "line 13"})) << "the oldest kept lines";
  log.Advance(false, true);
  EXPECT_EQ(log.Shown(), (Lines{"line 14", "line 15", "line 16"}));
  Frames(log, MessageLog::kScrollFrames);
  EXPECT_EQ(log.Scrolled(), 0);
  EXPECT_EQ(log.Shown(), (Lines{"line 58", "line 59", "line 60"}));
}

}  // namespace
