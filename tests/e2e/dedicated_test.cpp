// A dedicated host announced to a real lobby, with real game windows as its
// players: two find it in the internet list and join, one flies and the
// other sees its ship move, a kill booked to one of them is announced to
// the others, a third joins with --connect, and SIGTERM to the host ends
// the match on every window and takes the game off the list.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <thread>

#include "net/masterserverquery.h"
#include "net/messages.h"
#include "protocol/gameprotocol.h"
#include "tests/support/combat_rig.h"
#include "tests/support/gameprocess.h"
#include "tests/support/gametrace.h"
#include "tests/support/hostprocess.h"
#include "tests/support/lobbyrig.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Click;
using testsupport::StateLine;

constexpr int kPort = 60411;
constexpr int kInternetX = 755, kTopRowY = 29;
constexpr int kFirstListRowX = 100, kFirstListRowY = 208;
constexpr int kMenuX = 100;
int MenuRowY(int row) { return 96 + 16 * row + 8; }

class Window {
 public:
  explicit Window(const std::string& name) {
    testsupport::PrepareRunDirectory(dir.path().string());
    testsupport::WriteFile(dir.File("Settings.cfg"), name + "\n2\n0\n0\n");
  }
  // Started and showing `ready` on its trace (by default the title).
  bool Start(const std::string& master, std::vector<std::string> extra = {},
             const std::string& ready = "startup: first title frame presented") {
    std::vector<std::string> args = {"--windowed", "--print-startup-time", "--trace-states"};
    args.insert(args.end(), extra.begin(), extra.end());
    if (!game.Start(dir.path().string(), args, {{"VOIDRAKE_MASTER", master}})) return false;
    if (!game.WaitForStderr(ready, 60s)) return false;
    window = game.Window(10s);
    return window != 0;
  }
  void ClickOnTop(int x, int y) {
    testsupport::Shell("xdotool windowraise " + std::to_string(window));
    Click(window, x, y);
  }
  bool Says(const std::string& text, std::chrono::milliseconds wait = 15s) {
    return game.WaitForStderr(text, wait);
  }
  // Internet list, first row.
  bool JoinFromList() {
    ClickOnTop(kInternetX, kTopRowY);
    if (!Says(StateLine(ScreenState::ServerList))) return false;
    std::this_thread::sleep_for(300ms);
    ClickOnTop(kFirstListRowX, kFirstListRowY);
    return Says("net: admitted:");
  }
  // The x positions `name`'s row has been traced at.
  std::set<int> PositionsOf(const std::string& name) {
    std::set<int> xs;
    const std::string err = game.Stderr(), key = "opponent: " + name + " x=";
    for (size_t at = err.find(key); at != std::string::npos; at = err.find(key, at + 1))
      xs.insert(static_cast<int>(std::atof(err.c_str() + at + key.size())));
    return xs;
  }
  // The host is gone: the window shows the title again or has ended well.
  bool MatchEnded() {
    return testsupport::WaitFor(
        [&] {
          const std::string err = game.Stderr();
          const size_t left = err.find("net: host left");
          if (left == std::string::npos) return false;
          return err.find(StateLine(ScreenState::Title), left) != std::string::npos ||
                 !game.Running();
        },
        15s);
  }

  testsupport::TempDir dir;
  testsupport::GameProcess game;
  unsigned long window = 0;
};

TEST(DedicatedHostEndToEnd, ListedJoinedPlayedAndEndedBySigterm) {
  testsupport::LobbyRig lobby;
  ASSERT_TRUE(lobby.Start());
  const std::string master = lobby.Master();
  masterServerQuery query;
  query.setMasterserver(master, NetworkHandler::kMasterPath);

  testsupport::TempDir dir;
  testsupport::HostProcess host;
  ASSERT_TRUE(host.Start(dir.File("host.txt"), {"--port", std::to_string(kPort), "--name",
                                                "Always On", "--master", master}));
  ASSERT_TRUE(testsupport::WaitFor([&] { return query.requestServers().size() == 1; }, 10s));

  Window alpha("Alpha"), bravo("Bravo"), charlie("Charlie");
  ASSERT_TRUE(alpha.Start(master)) << alpha.game.Stderr();
  ASSERT_TRUE(bravo.Start(master)) << bravo.game.Stderr();
  ASSERT_TRUE(alpha.JoinFromList()) << alpha.game.Stderr() << host.Output();
  ASSERT_TRUE(bravo.JoinFromList()) << bravo.game.Stderr() << host.Output();
  EXPECT_TRUE(bravo.Says("net: admitted: Alpha\n")) << "the host has no row of its own";

  // Alpha takes a hull from the in-game menu and flies; Bravo sees it move.
  alpha.ClickOnTop(kMenuX, MenuRowY(1));
  std::this_thread::sleep_for(500ms);
  alpha.ClickOnTop(kMenuX, MenuRowY(1));
  testsupport::Shell("xdotool keydown --window " + std::to_string(alpha.window) + " Up");
  const bool moved =
      testsupport::WaitFor([&] { return bravo.PositionsOf("Alpha").size() >= 3; }, 20s);
  testsupport::Shell("xdotool keyup --window " + std::to_string(alpha.window) + " Up");
  EXPECT_TRUE(moved) << bravo.game.Stderr();

  // A scripted player claims Alpha killed it, though Alpha never hurt it,
  // and speaks in Alpha's name: the host books no kill, and shows the line
  // as the scripted player's own.
  CombatRig rig;
  GameProtocol target;
  bool ready = false;
  int wait = 30000;
  const float guid = 7.5f;
  rig.ship.name = "Target";
  target.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready, &wait,
                &guid);
  rig.network.InitMe(false);
  rig.network.ConnectMe("127.0.0.1", kPort);
  auto frames = [&](auto done) {
    return testsupport::WaitFor(
        [&] {
          target.UpdateNetwork();
          target.Flush();
          return done();
        },
        10s);
  };
  ASSERT_TRUE(frames([&] {
    return ready && rig.enemies.playernumbyguid(0) < 0 && rig.enemies.players.size() == 2;
  }));
  float alphaGuid = 0;
  for (const EnemyManager::player& p : rig.enemies.players)
    if (p.name == "Alpha") alphaGuid = p.guid;
  msg::Send(rig.network, msg::KillReport{guid, alphaGuid, 100}, Delivery::Reliable);
  msg::Send(rig.network, msg::Chat{"Alpha>gg"}, Delivery::Reliable);
  EXPECT_TRUE(frames([&] {
    return host.Output().find("chat: Target>Alpha>gg") != std::string::npos;
  })) << host.Output();
  EXPECT_TRUE(bravo.Says("net: chat: Target>Alpha>gg"));
  EXPECT_EQ(host.Output().find("kill: Alpha killed Target"), std::string::npos);
  rig.network.QuitClient();

  // Straight into the match, without the title.
  ASSERT_TRUE(charlie.Start(master, {"--connect", "127.0.0.1:" + std::to_string(kPort)},
                            "net: admitted: Alpha, Bravo\n"))
      << charlie.game.Stderr();

  host.Signal(SIGTERM);
  for (Window* w : {&alpha, &bravo, &charlie}) EXPECT_TRUE(w->MatchEnded()) << w->game.Stderr();
  EXPECT_EQ(host.WaitForExit(5s), 0) << host.Output();
  EXPECT_TRUE(query.requestServers().empty()) << "the lobby still lists the ended game";
  std::fprintf(stderr, "---- host:\n%s", host.Output().c_str());
}

}  // namespace
