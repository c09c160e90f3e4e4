// Two lobby programs sharing one real redis-server (on a free port of
// 127.0.0.1, no persistence, stopped by the test): what one lists the other
// lists, expiry and a killed lobby change nothing for the other, and a Redis
// outage is answered with an error, never an empty list, until it is back.
// And, for both kinds of store, a flood of heartbeats for dead ports from
// many loopback addresses leaves room for a real game, and a listed game
// whose port dies is dropped.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

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

// The whole HTTP reply to a request of the lobby at `port`, sent from the
// loopback address `from` (host order).
std::string Get(int port, const std::string& query, uint32_t from = INADDR_LOOPBACK) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(from);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
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
    return Start(dir, name,
                 {"--expiry", "2", "--store", "redis://127.0.0.1:" + std::to_string(redisPort)});
  }
  bool Start(const testsupport::TempDir& dir, const std::string& name,
             std::vector<std::string> options) {
    out = dir.File(name + ".txt");
    options.insert(options.begin(),
                   {std::string(VOIDRAKE_BUILD_DIR) + "/lobby/voidrake2-lobby", "--port", "0"});
    if (!process.Start(options, out)) return false;
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
    EXPECT_NE(Announce(gamePort, INADDR_LOOPBACK).find(" 200 "), std::string::npos);
  }
  std::string Announce(uint16_t gamePort, uint32_t from) {
    return Get(port,
               "request=heartbeat&port=" + std::to_string(gamePort) +
                   "&maxplayers=16&game=RPG&map=Default+Map&name=Shared&players=3&bots=1",
               from);
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

// Heartbeats for ports that never answer, 5,000 from 1,250 addresses, used
// to fill the whole table; now they fill only the waiting set, and a real
// game from a new address is listed. Rechecks every second here: the
// listed game whose port dies goes, the one that answers stays.
void FloodThenRealGames(Lobby& lobby) {
  int refused = 0;
  for (uint32_t a = 0; a < 1250; ++a)
    for (uint16_t p = 0; p < 4; ++p)
      refused +=
          lobby.Announce(static_cast<uint16_t>(20001 + p), 0x7F010000 + a * 3 + 1).find(" 503 ") !=
          std::string::npos;
  EXPECT_GT(refused, 2500);  // the waiting set and each address are bounded

  const uint32_t fresh = 0x7F7F0101;
  testsupport::PongResponder alive(fresh);
  auto dying = std::make_unique<testsupport::PongResponder>(fresh);
  // The oldest dead port has had its chance within a moment of the flood.
  ASSERT_TRUE(WaitFor(
      [&] { return lobby.Announce(alive.port(), fresh).find(" 200 ") != std::string::npos; }, 4s));
  EXPECT_NE(lobby.Announce(dying->port(), fresh).find(" 200 "), std::string::npos);
  ASSERT_TRUE(WaitFor([&] { return lobby.Listed() == 2; }, 5s)) << lobby.List();

  dying.reset();
  const auto died = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor([&] { return lobby.Listed() == 1; }, 8s)) << lobby.List();
  EXPECT_GT(std::chrono::steady_clock::now() - died, 500ms);  // not before it missed its probes
  EXPECT_NE(lobby.List().find("port=\"" + std::to_string(alive.port()) + "\""), std::string::npos);
  EXPECT_GE(alive.pings(), 2);
}

TEST(LobbyFloodTest, DeadPortsCannotCrowdOutRealGamesInProcessOrInRedis) {
  testsupport::TempDir dir;
  Lobby local;
  ASSERT_TRUE(local.Start(dir, "local", {"--recheck", "1"})) << local.process.Output();
  FloodThenRealGames(local);

  Redis redis(dir);
  ASSERT_TRUE(redis.Start()) << redis.process.Output();
  Lobby shared;
  ASSERT_TRUE(shared.Start(
      dir, "shared",
      {"--recheck", "1", "--store", "redis://127.0.0.1:" + std::to_string(redis.port)}))
      << shared.process.Output();
  FloodThenRealGames(shared);
}

}  // namespace
