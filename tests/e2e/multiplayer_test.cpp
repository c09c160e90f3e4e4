// LAN matches between real game processes on one display, driven with real
// X input: one hosts, others find it with the LAN search and join, a chat
// line crosses; a host that quits or dies sends its clients back to the
// title with a notice, a client that dies leaves the others' matches. The
// LAN search goes to the loopback broadcast address (the test programs run
// inside a private network namespace).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/gameprocess.h"
#include "tests/support/gametrace.h"
#include "tests/support/glyphreader.h"
#include "tests/support/pongresponder.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Click;
using testsupport::PressKey;
using testsupport::StateLine;

// The title's top row means internet, LAN and host.
constexpr int kLanX = 853, kHostX = 950, kTopRowY = 29;
// "Respawn", the first line of the in-game menu of a networked game.
constexpr int kMenuX = 100, kRespawnY = 96 + 16 + 8;
// A notice stays for a count of frames (3 s at the full 40 a second); a
// loaded machine draws fewer a second, so the wait for the title after it is
// generous.
constexpr auto kNoticeWait = 20s;

class Copy {
 public:
  Copy(const std::string& name) {
    testsupport::PrepareRunDirectory(dir.path().string());
    // Low graphics: no shader fall-back messages in the way; music off.
    testsupport::WriteFile(dir.File("Settings.cfg"), name + "\n2\n0\n0\n");
  }
  bool Start() {
    return game.Start(dir.path().string(), {"--windowed", "--print-startup-time", "--trace-states"},
                      {{"VOIDRAKE_LAN_ADDRESS", "127.255.255.255"}});
  }
  bool TitleShown() {
    if (!game.WaitForStderr("startup: first title frame presented", 45s)) return false;
    window = game.Window(10s);
    return window != 0;
  }
  // The windows sit at the same place: the one clicked or read must be on
  // top, or the click and the screenshot reach whichever copy is.
  void Raise() { testsupport::Shell("xdotool windowraise " + std::to_string(window)); }
  void ClickOnTop(int x, int y) {
    Raise();
    Click(window, x, y);
  }
  bool Says(const std::string& text, std::chrono::milliseconds wait = 10s) {
    return game.WaitForStderr(text, wait);
  }
  bool Hosts() {
    ClickOnTop(kHostX, kTopRowY);
    return Says(StateLine(ScreenState::Playing));
  }
  // LAN search, connection and admission.
  bool Joins(const std::string& hostName) {
    ClickOnTop(kLanX, kTopRowY);
    return Says(StateLine(ScreenState::LanSearch)) && Says("net: admitted: " + hostName);
  }

  bool MenuShown(const std::string& title) { return RowShown(0, title); }
  // Line `row` of the in-game menu page reads `text`.
  bool RowShown(int row, const std::string& text) {
    static const testsupport::GlyphReader reader;
    const std::string shot = dir.File("menu.png");
    Raise();
    testsupport::Shell("import -window " + std::to_string(window) + " '" + shot + "'");
    return reader.Read(testsupport::ReadPicture(shot), 0, 96 + 16 * row,
                       static_cast<int>(text.size())) == text;
  }

  testsupport::TempDir dir;
  testsupport::GameProcess game;
  unsigned long window = 0;
};

TEST(MultiplayerTest, HostAndLanClientJoinChatAndTheHostEndsTheMatch) {
  Copy host("Captain"), client("Rookie");
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(client.Start());
  ASSERT_TRUE(host.TitleShown()) << host.game.Stderr();
  ASSERT_TRUE(client.TitleShown()) << client.game.Stderr();

  ASSERT_TRUE(host.Hosts()) << host.game.Stderr();
  // Found, connected and admitted: the host is in the client's table, and
  // the client in the host's.
  ASSERT_TRUE(client.Joins("Captain\n")) << client.game.Stderr() << "---- host:\n"
                                         << host.game.Stderr();
  ASSERT_TRUE(host.Says("net: joined: Rookie\n")) << host.game.Stderr();

  // A chat line typed on the client shows on the host, name first.
  PressKey(client.window, "Return");
  testsupport::TypeText(client.window, "hello");
  PressKey(client.window, "Return");
  EXPECT_TRUE(host.Says("net: chat: Rookie>hello\n")) << host.game.Stderr();

  // The host quits: its leave ends the client's game, which says so and
  // returns to the title; the client can play against the computer, with
  // that game's hull menu (not the ended game's shop).
  PressKey(host.window, "Escape");
  ASSERT_TRUE(host.Says(StateLine(ScreenState::QuitConfirm))) << host.game.Stderr();
  PressKey(host.window, "Return");
  const auto hostStatus = host.game.WaitForExit(10s);
  ASSERT_TRUE(hostStatus.has_value()) << "the host still runs after enter on the quit confirmation";
  EXPECT_EQ(*hostStatus, 0);
  EXPECT_TRUE(client.Says("net: left: Captain\nnet: host left\n")) << client.game.Stderr();
  const std::string notice = "notice: Captain has ended the game.\n";
  ASSERT_TRUE(client.Says(notice)) << client.game.Stderr();
  ASSERT_TRUE(client.Says(notice + StateLine(ScreenState::Title), kNoticeWait))
      << client.game.Stderr();
  client.ClickOnTop(testsupport::kPlayX, testsupport::kPlayY);
  EXPECT_TRUE(client.Says(notice + StateLine(ScreenState::Title) +
                          StateLine(ScreenState::GameStart) + StateLine(ScreenState::Playing)))
      << client.game.Stderr();
  EXPECT_TRUE(testsupport::WaitFor([&] { return client.RowShown(1, "Respawn as Fighter"); }, 10s));
}

// A host leaving to the title is told first whom it drops; its client gets
// the usual notice, and the host can host again from the title.
TEST(MultiplayerTest, AHostLeavesToTheTitleAndHostsAgain) {
  Copy host("Captain"), client("Rookie");
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(client.Start());
  ASSERT_TRUE(host.TitleShown()) << host.game.Stderr();
  ASSERT_TRUE(client.TitleShown()) << client.game.Stderr();
  ASSERT_TRUE(host.Hosts()) << host.game.Stderr();
  ASSERT_TRUE(client.Joins("Captain\n")) << client.game.Stderr();
  ASSERT_TRUE(host.Says("net: joined: Rookie\n")) << host.game.Stderr();

  host.Raise();
  PressKey(host.window, "Escape");
  ASSERT_TRUE(host.Says(StateLine(ScreenState::QuitConfirm))) << host.game.Stderr();
  static const testsupport::GlyphReader reader;
  const std::string warning = "1 player will be dropped";
  EXPECT_TRUE(testsupport::WaitFor(
      [&] {
        const std::string shot = host.dir.File("leave.png");
        host.Raise();
        testsupport::Shell("import -window " + std::to_string(host.window) + " '" + shot + "'");
        return reader.Read(testsupport::ReadPicture(shot), 67, testsupport::GlyphReader::TopOf(400),
                           static_cast<int>(warning.size())) == warning;
      },
      10s));
  PressKey(host.window, "l");
  ASSERT_TRUE(testsupport::WaitForCount(host.game, StateLine(ScreenState::Title), 2))
      << host.game.Stderr();
  EXPECT_TRUE(client.Says("notice: Captain has ended the game.\n")) << client.game.Stderr();
  EXPECT_TRUE(host.game.Running());
  host.ClickOnTop(kHostX, kTopRowY);
  EXPECT_TRUE(testsupport::WaitForCount(host.game, StateLine(ScreenState::Playing), 2))
      << "no second hosted game on the same port\n"
      << host.game.Stderr();
}

// Escape while waiting for a host that never answers gives the join up:
// there is no game yet to return to or to quit.
TEST(MultiplayerTest, EscapeWhileJoiningReturnsToTheTitle) {
  Copy joiner("Rookie");
  ASSERT_TRUE(joiner.game.Start(joiner.dir.path().string(),
                                {"--windowed", "--trace-states", "--connect", "127.0.0.1:60007"}));
  ASSERT_TRUE(joiner.Says(StateLine(ScreenState::Playing), 45s)) << joiner.game.Stderr();
  joiner.window = joiner.game.Window(10s);
  ASSERT_NE(joiner.window, 0u);
  PressKey(joiner.window, "Escape");
  const std::string notice = "notice: Stopped joining 127.0.0.1:60007.\n";
  ASSERT_TRUE(joiner.Says(notice)) << joiner.game.Stderr();
  EXPECT_TRUE(joiner.Says(notice + StateLine(ScreenState::Title), kNoticeWait))
      << joiner.game.Stderr();
}

// A port another program holds: hosting says so and returns to the title,
// instead of a game nobody can join.
TEST(MultiplayerTest, HostingOnAPortInUseSaysSoAndReturnsToTheTitle) {
  const testsupport::PongResponder holder;
  const std::string port = std::to_string(holder.port());
  Copy host("Captain");
  ASSERT_TRUE(host.game.Start(host.dir.path().string(), {"--windowed", "--print-startup-time",
                                                         "--trace-states", "--port", port}));
  ASSERT_TRUE(host.TitleShown()) << host.game.Stderr();
  host.ClickOnTop(kHostX, kTopRowY);
  const std::string notice =
      "notice: Cannot host on UDP port " + port + ": another program is using it.\n";
  EXPECT_TRUE(host.Says(notice)) << host.game.Stderr();
  EXPECT_TRUE(host.Says(notice + StateLine(ScreenState::Title), kNoticeWait)) << host.game.Stderr();
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Three copies: the late joiner knows the earlier player's speed limit at
// once; a client killed outright leaves the others' matches, a host killed
// outright sends the remaining client back to the title, which can host.
TEST(MultiplayerTest, KilledClientsLeaveAndAKilledHostSendsItsClientsToTheTitle) {
  Copy host("Captain"), early("Rookie"), late("Newbie");
  for (Copy* c : {&host, &early, &late}) ASSERT_TRUE(c->Start());
  for (Copy* c : {&host, &early, &late}) ASSERT_TRUE(c->TitleShown()) << c->game.Stderr();
  ASSERT_TRUE(host.Hosts()) << host.game.Stderr();
  ASSERT_TRUE(early.Joins("Captain\n")) << early.game.Stderr();
  // The menu takes the click once it shows.
  ASSERT_TRUE(testsupport::WaitFor([&] { return early.MenuShown("----Respawn Menu----"); }, 10s));
  early.ClickOnTop(kMenuX, kRespawnY);  // in play: the host learns its speed limit
  ASSERT_TRUE(host.Says("net: speed limit of Rookie: 20.")) << host.game.Stderr();
  ASSERT_TRUE(late.Joins("Rookie, Captain\n")) << late.game.Stderr() << host.game.Stderr();
  EXPECT_TRUE(late.Says("net: speed limit of Rookie: 20.", 2s)) << late.game.Stderr();
  EXPECT_TRUE(early.Says("net: joined: Newbie\n")) << early.game.Stderr();

  auto start = std::chrono::steady_clock::now();
  early.game.Kill();
  ASSERT_TRUE(host.Says("net: left: Rookie\n", 12s)) << host.game.Stderr();
  ASSERT_TRUE(late.Says("net: left: Rookie\n", 2s)) << late.game.Stderr();
  std::printf("client killed: \"has left\" after %.1f s\n", SecondsSince(start));

  start = std::chrono::steady_clock::now();
  host.game.Kill();
  ASSERT_TRUE(late.Says("notice: Connection to the host was lost.\n", 15s))
      << late.game.Stderr() << "running: " << late.game.Running();
  std::printf("host killed: notice after %.1f s\n", SecondsSince(start));
  const std::string notice = "notice: Connection to the host was lost.\n";
  ASSERT_TRUE(late.Says(notice + StateLine(ScreenState::Title), kNoticeWait)) << late.game.Stderr();
  std::printf("host killed: title after %.1f s\n", SecondsSince(start));
  EXPECT_LT(SecondsSince(start), 15.0);
  late.ClickOnTop(kHostX, kTopRowY);
  EXPECT_TRUE(late.Says(notice + StateLine(ScreenState::Title) + StateLine(ScreenState::GameStart) +
                        StateLine(ScreenState::Playing)))
      << late.game.Stderr();
}

}  // namespace
