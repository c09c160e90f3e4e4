// A LAN match between two real game processes on one display, driven with
// real X input: one hosts, the other finds it with the LAN search and joins,
// a chat line crosses, the host quits and so ends the client's game. Both
// end with status 0. The LAN search goes to the loopback broadcast address
// (the test programs run inside a private network namespace).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/gameprocess.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Click;
using testsupport::PressKey;

// The title's top row means internet, LAN and host.
constexpr int kLanX = 853, kHostX = 950, kTopRowY = 29;

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
  // Both windows sit at the same place: the one clicked must be on top.
  void ClickOnTop(int x, int y) {
    testsupport::Shell("xdotool windowraise " + std::to_string(window));
    Click(window, x, y);
  }
  bool Says(const std::string& text, std::chrono::milliseconds wait = 10s) {
    return game.WaitForStderr(text, wait);
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

  host.ClickOnTop(kHostX, kTopRowY);
  ASSERT_TRUE(host.Says("state: 1\n")) << host.game.Stderr();

  client.ClickOnTop(kLanX, kTopRowY);
  ASSERT_TRUE(client.Says("state: 4\n")) << client.game.Stderr();
  // Found, connected and admitted: the host is in the client's table, and
  // the client in the host's.
  ASSERT_TRUE(client.Says("net: admitted: Captain\n"))
      << client.game.Stderr() << "---- host:\n" << host.game.Stderr();
  ASSERT_TRUE(host.Says("net: joined: Rookie\n")) << host.game.Stderr();

  // A chat line typed on the client shows on the host, name first.
  PressKey(client.window, "Return");
  testsupport::TypeText(client.window, "hello");
  PressKey(client.window, "Return");
  EXPECT_TRUE(host.Says("net: chat: Rookie>hello\n")) << host.game.Stderr();

  // The host quits: its leave ends the client's game too.
  PressKey(host.window, "Escape");
  ASSERT_TRUE(host.Says("state: 12\n")) << host.game.Stderr();
  PressKey(host.window, "Return");
  const auto hostStatus = host.game.WaitForExit(10s);
  ASSERT_TRUE(hostStatus.has_value()) << "the host still runs after enter on the quit confirmation";
  EXPECT_EQ(*hostStatus, 0);
  EXPECT_TRUE(client.Says("net: left: Captain\nnet: host left\n")) << client.game.Stderr();
  const auto clientStatus = client.game.WaitForExit(10s);
  ASSERT_TRUE(clientStatus.has_value()) << "the client still runs after the host left";
  EXPECT_EQ(*clientStatus, 0);
}

}  // namespace
