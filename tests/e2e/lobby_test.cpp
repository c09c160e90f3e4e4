// The internet server list of the real game: a real lobby program on
// 127.0.0.1, a game announced to it by a heartbeat, the game pointed at the
// lobby with VOIDRAKE_MASTER, and the list read back from the screen.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "net/masterserverquery.h"
#include "net/networkhandler.h"
#include "tests/support/childprocess.h"
#include "tests/support/gameprocess.h"
#include "tests/support/gametrace.h"
#include "tests/support/pongresponder.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Picture;
using testsupport::StateLine;

constexpr int kInternetX = 755, kInternetY = 29;
// The list's columns (left edge, characters) and rows (top, height).
constexpr int kNamesX = 66, kGamesX = 276, kMapsX = 429;
constexpr int kListTop = 200, kRowHeight = 16, kRows = 30;
constexpr int kAdvance = 10, kGlyph = 16;

// The lobby program on an ephemeral port of 127.0.0.1.
class LobbyProcess {
 public:
  bool Start(const std::string& dir) {
    out_ = dir + "/lobby.txt";
    const std::string binary = std::string(VOIDRAKE_BUILD_DIR) + "/lobby/voidrake2-lobby";
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      const int fd = open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) dup2(fd, 1);
      execl(binary.c_str(), binary.c_str(), "--port", "0", static_cast<char*>(nullptr));
      _exit(127);
    }
    return testsupport::WaitFor(
        [&] {
          const std::string text = testsupport::ReadFile(out_);
          const size_t colon = text.rfind(':');
          if (text.find("listening on") == std::string::npos || colon == std::string::npos)
            return false;
          port_ = std::atoi(text.c_str() + colon + 1);
          return port_ > 0;
        },
        10s);
  }
  ~LobbyProcess() { Stop(); }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  std::string out_;
};

// Pixels lit by the list's text: brighter in `shown` than in `empty`.
bool Ink(const Picture& shown, const Picture& empty, int x, int y) {
  const unsigned a = shown.Rgb(x, y), b = empty.Rgb(x, y);
  int gain = 0;
  for (int shift : {0, 8, 16}) gain += int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
  return gain > 90;
}

int InkIn(const Picture& shown, const Picture& empty, int x0, int x1, int row) {
  int lit = 0;
  const int top = kListTop + kRowHeight * row;
  for (int y = top; y < top + kRowHeight; ++y)
    for (int x = x0; x < x1; ++x) lit += Ink(shown, empty, x, y);
  return lit;
}

// Where character i of a column's text is drawn.
int CharLeft(int column, int i) { return column + kAdvance * i; }

class LobbyListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lobby.Start(dir.path().string())) << "lobby did not start";
    testsupport::PrepareRunDirectory(dir.path().string());
    ASSERT_TRUE(game.Start(dir.path().string(),
                           {"--windowed", "--print-startup-time", "--trace-states"},
                           {{"VOIDRAKE_MASTER", Master()}}));
    ASSERT_TRUE(game.WaitForStderr("startup: first title frame presented", 60s)) << game.Stderr();
    window = game.Window();
    ASSERT_NE(window, 0u) << "no game window";
    testsupport::MoveMouse(window, 900, 740);  // below every list row and button
  }

  virtual std::string Master() { return lobby.Address(); }

  bool WaitForState(ScreenState state, int seen) {
    const std::string line = StateLine(state);
    return testsupport::WaitFor(
        [&] {
          const std::string err = game.Stderr();
          int count = 0;
          for (size_t at = err.find(line); at != std::string::npos; at = err.find(line, at + 1))
            ++count;
          return count >= seen;
        },
        15s);
  }

  // Clicks Internet on the title and photographs the list it leads to.
  Picture OpenList(int times, const std::string& file) {
    testsupport::Click(window, kInternetX, kInternetY);
    EXPECT_TRUE(WaitForState(ScreenState::ServerList, times)) << game.Stderr();
    testsupport::MoveMouse(window, 900, 740);
    std::this_thread::sleep_for(300ms);  // a few frames of the list
    const std::string path = dir.File(file);
    EXPECT_TRUE(testsupport::Screenshot(path));
    return testsupport::ReadPicture(path);
  }

  testsupport::TempDir dir;
  LobbyProcess lobby;
  testsupport::GameProcess game;
  unsigned long window = 0;
};

TEST_F(LobbyListTest, AnnouncedGameIsListedByName) {
  // With nothing announced the list is empty: the reference picture.
  const Picture empty = OpenList(1, "empty.png");
  testsupport::PressKey(window, "Escape");
  ASSERT_TRUE(WaitForState(ScreenState::Title, 2)) << game.Stderr();

  // A game port that answers the lobby's probe, as a hosting game does.
  testsupport::PongResponder gamePort;
  masterServerQuery announcer;
  announcer.setMasterserver(lobby.Address(), NetworkHandler::kMasterPath);
  announcer.sendHeartbeat(gamePort.port(), 32, "Ab  Cd  Ef", "RPG", "Default Map");
  ASSERT_TRUE(testsupport::WaitFor([&] { return !announcer.requestServers().empty(); }, 5s));
  const Picture shown = OpenList(2, "listed.png");
  ASSERT_EQ(shown.width, 1024);
  ASSERT_EQ(empty.width, 1024);

  // One game, one row: the name's letters where they belong, nothing in the
  // two double spaces, nothing after its ten characters, and the mode and
  // map in their own columns. The rows below it stay empty.
  const int nameEnd = CharLeft(kNamesX, 10) + kGlyph - kAdvance;
  for (int row : {1, 14, kRows - 1}) EXPECT_EQ(InkIn(shown, empty, 0, 1024, row), 0) << row;
  {
    const int row = 0;
    for (int i : {0, 1, 4, 5, 8, 9})
      EXPECT_GT(InkIn(shown, empty, CharLeft(kNamesX, i), CharLeft(kNamesX, i) + kAdvance, row), 6)
          << "no letter " << i;
    EXPECT_EQ(
        InkIn(shown, empty, CharLeft(kNamesX, 2) + kGlyph - kAdvance, CharLeft(kNamesX, 4), row),
        0);
    EXPECT_EQ(
        InkIn(shown, empty, CharLeft(kNamesX, 6) + kGlyph - kAdvance, CharLeft(kNamesX, 8), row),
        0);
    EXPECT_EQ(InkIn(shown, empty, nameEnd, kGamesX, row), 0);
    EXPECT_GT(InkIn(shown, empty, kGamesX, CharLeft(kGamesX, 3), row), 20) << "no mode";
    EXPECT_EQ(InkIn(shown, empty, CharLeft(kGamesX, 3) + kGlyph - kAdvance, kMapsX, row), 0);
    EXPECT_GT(InkIn(shown, empty, kMapsX, CharLeft(kMapsX, 11), row), 40) << "no map";
  }
  // Nothing below the last row.
  EXPECT_EQ(InkIn(shown, empty, 0, 1024, kRows), 0);

  // Choosing a row connects to that game, on the port it was listed with.
  testsupport::Click(window, kNamesX + 20, kListTop + 8);
  EXPECT_TRUE(WaitForState(ScreenState::GameStart, 1)) << game.Stderr();
  EXPECT_TRUE(testsupport::WaitFor([&] { return gamePort.others() > 0; }, 5s));
}

// The game names a lobby that is down before the real one: the list comes
// from the second. Then no lobby answers: the list saved last time is shown,
// marked with its age, and joining one of its rows works as from a fresh one.
class SavedListTest : public LobbyListTest {
 protected:
  std::string Master() override {
    return "127.0.0.1:" + std::to_string(testsupport::FreeTcpPort()) + "," + lobby.Address();
  }
};

TEST_F(SavedListTest, DeadFirstLobbyThenNoLobbyShowsTheSavedListAndJoinsFromIt) {
  testsupport::PongResponder gamePort;
  masterServerQuery announcer;
  announcer.setMasterserver(lobby.Address(), NetworkHandler::kMasterPath);
  announcer.sendHeartbeat(gamePort.port(), 32, "Kept Game", "RPG", "Default Map");
  ASSERT_TRUE(testsupport::WaitFor([&] { return !announcer.requestServers().empty(); }, 5s));
  const Picture fresh = OpenList(1, "fresh.png");
  EXPECT_EQ(game.Stderr().find("no lobby answered"), std::string::npos) << game.Stderr();
  EXPECT_NE(testsupport::ReadFile(dir.File("cache/voidrake2/servers.xml")).find("Kept Game"),
            std::string::npos);
  testsupport::PressKey(window, "Escape");
  ASSERT_TRUE(WaitForState(ScreenState::Title, 2)) << game.Stderr();

  lobby.Stop();
  const Picture saved = OpenList(2, "saved.png");
  EXPECT_TRUE(game.WaitForStderr(
      "net: no lobby answered; the saved list of 1 games from less than a minute ago", 1s))
      << game.Stderr();
  // The same row, and below the list a line the fresh list did not have.
  EXPECT_EQ(InkIn(saved, fresh, 0, 1024, 0), 0);
  int notice = 0;
  for (int row = 1; kListTop + kRowHeight * (row + 1) <= saved.height; ++row)
    notice += InkIn(saved, fresh, 0, 1024, row);
  EXPECT_GT(notice, 100);

  testsupport::Click(window, kNamesX + 20, kListTop + 8);
  EXPECT_TRUE(WaitForState(ScreenState::GameStart, 1)) << game.Stderr();
  EXPECT_TRUE(testsupport::WaitFor([&] { return gamePort.others() > 0; }, 5s));
}

// A copy of the game with its own directory and settings, pointed at `master`.
struct Copy {
  Copy(const std::string& name, const std::string& master) {
    testsupport::PrepareRunDirectory(dir.path().string());
    testsupport::WriteFile(dir.File("Settings.cfg"), name + "\n2\n0\n0\n");
    started =
        game.Start(dir.path().string(), {"--windowed", "--print-startup-time", "--trace-states"},
                   {{"VOIDRAKE_MASTER", master}});
  }
  bool Ready() {
    if (!started || !game.WaitForStderr("startup: first title frame presented", 45s)) return false;
    window = game.Window(10s);
    return window != 0;
  }
  void ClickOnTop(int x, int y) {
    testsupport::Shell("xdotool windowraise " + std::to_string(window));
    testsupport::Click(window, x, y);
  }

  testsupport::TempDir dir;
  testsupport::GameProcess game;
  bool started = false;
  unsigned long window = 0;
};

TEST(LobbyMatchTest, HostAnnouncesItselfAndAPlayerJoinsFromTheList) {
  testsupport::TempDir dir;
  LobbyProcess lobby;
  ASSERT_TRUE(lobby.Start(dir.path().string()));
  Copy host("Captain", lobby.Address());
  // Start-up seeds the player identity from the clock's seconds: two copies
  // started within the same second would be the same player to the host.
  std::this_thread::sleep_for(1100ms);
  Copy player("Rookie", lobby.Address());
  ASSERT_TRUE(host.Ready()) << host.game.Stderr();
  ASSERT_TRUE(player.Ready()) << player.game.Stderr();

  host.ClickOnTop(950, 29);  // host
  masterServerQuery q;
  q.setMasterserver(lobby.Address(), NetworkHandler::kMasterPath);
  std::vector<masterServerQuery::tServerQueryItem> listed;
  ASSERT_TRUE(testsupport::WaitFor([&] { return !(listed = q.requestServers()).empty(); }, 10s))
      << "the host never announced itself\n"
      << host.game.Stderr();
  EXPECT_EQ(listed[0].name, "Captain's Game!");
  EXPECT_EQ(listed[0].game, "Simple Game");
  EXPECT_EQ(listed[0].ip, "127.0.0.1");
  EXPECT_EQ(listed[0].port, NetworkHandler::kGamePort);

  player.ClickOnTop(kInternetX, kInternetY);
  ASSERT_TRUE(player.game.WaitForStderr(StateLine(ScreenState::ServerList), 10s))
      << player.game.Stderr();
  // The click that opened the list must be over before the row is clicked
  // (two clicks inside one frame count once).
  std::this_thread::sleep_for(300ms);
  player.ClickOnTop(kNamesX + 20, kListTop + 8);
  EXPECT_TRUE(player.game.WaitForStderr("net: admitted: Captain\n", 15s)) << player.game.Stderr();
  EXPECT_TRUE(host.game.WaitForStderr("net: joined: Rookie\n", 5s)) << host.game.Stderr();

  // The host quits: its game leaves the list at once, not at the expiry.
  testsupport::PressKey(host.window, "Escape");
  ASSERT_TRUE(host.game.WaitForStderr(StateLine(ScreenState::QuitConfirm), 10s))
      << host.game.Stderr();
  testsupport::PressKey(host.window, "Return");
  ASSERT_TRUE(host.game.WaitForExit(10s).has_value());
  EXPECT_TRUE(q.requestServers().empty());
}

}  // namespace
