// Two lobby programs sharing one real redis-server (on a free port of
// 127.0.0.1, no persistence, stopped by the test): what one lists the other
// lists, expiry and a killed lobby change nothing for the other, and a Redis
// outage is answered with an error, never an empty list, until it is back.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "net/masterserverquery.h"
#include "net/networkhandler.h"
#include "tests/support/childprocess.h"
#include "tests/support/gameprocess.h"
#include "tests/support/pongresponder.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ChildProcess;
using testsupport::WaitFor;

// The whole HTTP reply to a request of the lobby at `port`.
std::string Get(int port, const std::string& query) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    const std::string request = "GET /LobbyServer/request.php?" + query + " HTTP/1.0\r\n\r\n";
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    char buf[4096];
    for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;) reply.append(buf, size_t(n));
  }
  close(fd);
  return reply;
}

struct Redis {
  explicit Redis(const testsupport::TempDir& dir) : port(testsupport::FreeTcpPort()), dir(dir) {}
  bool Start() {
    return process.Start({"/usr/bin/redis-server", "--port", std::to_string(port), "--bind",
                          "127.0.0.1", "--save", "", "--appendonly", "no"},
                         dir.File("redis.txt")) &&
           process.WaitForOutput("Ready to accept connections", 10s);
  }
  void Cli(const std::string& command) {
    EXPECT_EQ(std::system(
                  ("redis-cli -p " + std::to_string(port) + " " + command + " >/dev/null").c_str()),
              0);
  }
  int port;
  const testsupport::TempDir& dir;
  ChildProcess process;
};

struct Lobby {
  bool Start(const testsupport::TempDir& dir, const std::string& name, int redisPort) {
    out = dir.File(name + ".txt");
    if (!process.Start(
            {std::string(VOIDRAKE_BUILD_DIR) + "/lobby/voidrake2-lobby", "--port", "0", "--expiry",
             "2", "--store", "redis://127.0.0.1:" + std::to_string(redisPort)},
            out))
      return false;
    return WaitFor(
        [&] {
          const std::string text = process.Output();
          const size_t at = text.find("listening on 127.0.0.1:");
          return at != std::string::npos && (port = std::atoi(text.c_str() + at + 23)) > 0;
        },
        10s);
  }
  size_t Listed() {
    masterServerQuery q;
    q.setMasterserver("127.0.0.1:" + std::to_string(port), NetworkHandler::kMasterPath);
    return q.requestServers().size();
  }
  std::string List() { return Get(port, "request=servers"); }
  void Announce(uint16_t gamePort) {
    EXPECT_NE(Get(port, "request=heartbeat&port=" + std::to_string(gamePort) +
                            "&maxplayers=16&game=RPG&map=Default+Map&name=Shared&players=3&bots=1")
                  .find(" 200 "),
              std::string::npos);
  }
  ChildProcess process;
  std::string out;
  int port = 0;
};

TEST(SharedLobbyStoreTest, TwoLobbiesOnOneRedisListTheSameGamesAndTellAnOutage) {
  testsupport::TempDir dir;
  Redis redis(dir);
  ASSERT_TRUE(redis.Start()) << redis.process.Output();
  Lobby first, second;
  ASSERT_TRUE(first.Start(dir, "first", redis.port)) << first.process.Output();
  ASSERT_TRUE(second.Start(dir, "second", redis.port)) << second.process.Output();

  // Announced to both, probed once, listed by both with its counts.
  testsupport::PongResponder game;
  first.Announce(game.port());
  second.Announce(game.port());
  ASSERT_TRUE(WaitFor([&] { return second.Listed() == 1 && first.Listed() == 1; }, 5s));
  EXPECT_EQ(game.pings(), 1);
  EXPECT_NE(second.List().find("maxplayers=\"16\" players=\"3\" bots=\"1\"/>"), std::string::npos)
      << second.List();

  // Rows this lobby did not write are skipped and logged, never listed.
  redis.Cli("SET voidrake2:game:10.1.1.1:5 junk");
  redis.Cli("SET voidrake2:game:10.1.1.2:5 " + std::string(600, 'x'));
  redis.Cli("ZADD voidrake2:index 99999999999999 10.1.1.1:5 99999999999999 10.1.1.2:5");
  redis.Cli("INCR voidrake2:version");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(second.Listed(), 1u);
  EXPECT_TRUE(
      second.process.WaitForOutput("skipped the stored game voidrake2:game:10.1.1.1:5", 2s));
  EXPECT_TRUE(second.process.WaitForOutput("10.1.1.2:5: value too long", 2s));
  redis.Cli("ZREM voidrake2:index 10.1.1.1:5 10.1.1.2:5");

  // No more heartbeats: gone from both after the expiry (2 s here).
  const auto lastHeartbeat = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor([&] { return first.Listed() == 0 && second.Listed() == 0; }, 5s));
  EXPECT_GT(std::chrono::steady_clock::now() - lastHeartbeat, 1500ms);

  // Redis stops: both refuse the list, each logging one line; both come
  // back by themselves when it returns.
  redis.process.Stop(SIGTERM);
  for (Lobby* lobby : {&first, &second}) {
    EXPECT_TRUE(WaitFor([&] { return lobby->List().find(" 503 ") != std::string::npos; }, 3s));
    EXPECT_NE(lobby->List().find("store unavailable"), std::string::npos);
  }
  std::this_thread::sleep_for(500ms);
  for (Lobby* lobby : {&first, &second}) lobby->List();
  ASSERT_TRUE(redis.Start());
  for (Lobby* lobby : {&first, &second}) {
    EXPECT_TRUE(WaitFor([&] { return lobby->List().find(" 200 ") != std::string::npos; }, 8s));
    const std::string log = lobby->process.Output();
    size_t downs = 0;
    for (size_t at = log.find("unreachable"); at != std::string::npos;
         at = log.find("unreachable", at + 1))
      ++downs;
    EXPECT_EQ(downs, 1u) << log;
  }

  // The lobby that took the heartbeat dies: the other still lists the game.
  first.Announce(game.port());
  ASSERT_TRUE(WaitFor([&] { return second.Listed() == 1; }, 5s));
  first.process.Stop(SIGKILL);
  EXPECT_EQ(second.Listed(), 1u);
}

}  // namespace
