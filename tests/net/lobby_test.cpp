// The master-server client against the lobby served on 127.0.0.1 with its
// real probe, the lobby against clients that misbehave (slow, oversized,
// too many), and the client against raw sockets that misbehave: silence,
// floods, garbage. Ephemeral ports only (and the game port for the real
// host); run inside the private network namespace (scripts/with-netns.sh)
// like every network test.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/gameobjects.h"
#include "app/heartbeat.h"
#include "app/lobbyhooks.h"
#include "lobby/lobbyprober.h"
#include "lobby/lobbyserver.h"
#include "lobby/lobbyservice.h"
#include "lobby/lobbytable.h"
#include "net/lobbyheartbeat.h"
#include "net/masterserverquery.h"
#include "net/networkhandler.h"
#include "platform/globals.h"
#include "tests/support/gameprocess.h"
#include "tests/support/lobbyrig.h"
#include "tests/support/pongresponder.h"
#include "ui/servermenuset.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

masterServerQuery QueryTo(int port) {
  masterServerQuery q;
  q.setMasterserver("127.0.0.1:" + std::to_string(port), NetworkHandler::kMasterPath);
  return q;
}

class LobbyExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(prober.Start(nullptr));
    LobbyServerOptions options;
    options.port = 0;
    options.deadline = 1500ms;
    server = std::make_unique<LobbyServer>(service, options);
    ASSERT_TRUE(server->Start(nullptr));
    port = server->port();
  }

  LobbyTable table;
  LobbyProber prober{[this](const std::string& ip, uint16_t p) { table.Confirm(ip, p); }};
  LobbyService service{table, [this](const std::string& ip, uint16_t p) { prober.Probe(ip, p); }};
  std::unique_ptr<LobbyServer> server;
  int port = 0;
};

TEST_F(LobbyExchangeTest, OnlyAGameThatAnswersTheProbeIsListed) {
  masterServerQuery q = QueryTo(port);
  testsupport::PongResponder game, other;
  int silent = 0;
  {
    testsupport::PongResponder closed;
    silent = closed.port();
  }
  q.sendHeartbeat(silent, 32, "Nobody", "RPG", "Default Map");
  q.sendHeartbeat(game.port(), 32, "Kai's Game!", "Carrier Battle", "Default Map");
  q.sendHeartbeat(other.port(), 8, "Second", "RPG", "Default Map");
  std::vector<masterServerQuery::tServerQueryItem> list;
  ASSERT_TRUE(testsupport::WaitFor([&] { return (list = q.requestServers()).size() == 2; }, 5s));
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(q.requestServers().size(), 2u);  // the silent port stays unlisted
  EXPECT_EQ(table.Size(), 3u);
  EXPECT_EQ(list[0].ip, "127.0.0.1");
  EXPECT_EQ(list[0].port, game.port());  // two games on one address, each on its port
  EXPECT_EQ(list[1].port, other.port());
  EXPECT_EQ(list[0].name, "Kai's Game!");
  EXPECT_EQ(list[0].game, "Carrier Battle");
  EXPECT_EQ(list[0].map, "Default Map");
  EXPECT_EQ(list[0].maxplayers, 32);
  // Anything but the lobby's address is not found: no list.
  q.path = "/elsewhere";
  EXPECT_EQ(q.sendRequestToMasterserver("request=servers"), "");
}

TEST_F(LobbyExchangeTest, HostAnnouncesItselfAnswersTheProbeAndWithdrawsWhenItEnds) {
  NetworkHandler host;
  host.lobby = QueryTo(port);
  host.InitMe(true);
  ASSERT_TRUE(host.Listen(NetworkHandler::kGamePort, NetworkHandler::kMaxPlayers));
  EXPECT_FALSE(IsAnnounced(host));
  host.SetGameStats("Zed's Game!", 2);
  EXPECT_TRUE(IsAnnounced(host));
  host.HeartBeat();
  WaitForHeartbeat();
  ASSERT_EQ(table.Size(), 1u);
  // The host's own frame loop answers the probe on its game port.
  ASSERT_TRUE(testsupport::WaitFor(
      [&] {
        while (host.ReceivePacket() != netid::NoPacket) host.ClearIncomingPacket();
        return table.Servers(LobbyClock::now()).size() == 1;
      },
      5s));
  // An unknown mode announces nothing: the row keeps its name.
  host.SetGameStats("Other", 3);
  host.HeartBeat();
  WaitForHeartbeat();
  EXPECT_EQ(table.Servers(LobbyClock::now())[0].name, "Zed's Game!");

  NetworkHandler player;
  player.lobby = QueryTo(port);
  player.InitMe(false);
  player.SetGameStats("Player's Game!", 0);
  EXPECT_FALSE(IsAnnounced(player));
  ServerMenuSet set;
  set.Fill(player.GetServers2());
  set.Fill(player.GetServers2());  // a refresh replaces the rows
  ASSERT_EQ(set.names.items.size(), 1u);
  EXPECT_EQ(set.names.items[0], "Zed's Game!");
  EXPECT_EQ(set.ips.items, std::vector<std::string>{"127.0.0.1"});
  EXPECT_EQ(set.games.items, std::vector<std::string>{"Carrier Battle"});
  EXPECT_EQ(set.maps.items, std::vector<std::string>{"Default Map"});
  EXPECT_EQ(set.maxPlayerCounts.items, std::vector<std::string>{"32"});
  EXPECT_EQ(player.servers.size(), 1u);
  EXPECT_EQ(set.ports.items, std::vector<std::string>{"60000"});

  WithdrawAnnouncement(host);
  EXPECT_FALSE(IsAnnounced(host));
  EXPECT_EQ(table.Size(), 0u);
  host.HeartBeat();  // a tick that asked just before: nothing more is sent
  WaitForHeartbeat();
  EXPECT_EQ(table.Size(), 0u);
}

TEST_F(LobbyExchangeTest, WindowThreadTickAnnouncesTheHostedGame) {
  InstallLobbyHeartbeat();
  Networking.lobby = QueryTo(port);
  Networking.InitMe(true);
  Game = 2;
  timetilheartbeat = 1;
  OnHeartbeatTick();  // hosting, but no game set up yet: nothing to announce
  WaitForHeartbeat();
  EXPECT_EQ(table.Size(), 0u);
  Networking.SetGameStats("Kai's Game!", 2);
  OnHeartbeatTick();
  WaitForHeartbeat();
  ASSERT_TRUE(table.Confirm("127.0.0.1", NetworkHandler::kGamePort));  // its announced port
  ASSERT_EQ(table.Servers(LobbyClock::now()).size(), 1u);
  EXPECT_EQ(table.Servers(LobbyClock::now())[0].game, "Carrier Battle");
  SetHeartbeatHooks(nullptr, nullptr);
}

// A TCP connection to the lobby from the loopback address `from`.
int ConnectFrom(const char* from, int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  inet_pton(AF_INET, from, &a.sin_addr);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  a.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
  connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  return fd;
}

// True when the lobby has closed `fd` (or closes it within `wait`).
bool ClosedByLobby(int fd, std::chrono::milliseconds wait) {
  char buf[4096];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(wait.count())) <= 0) return false;
    const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n <= 0) return n == 0 || errno != EAGAIN;
  }
}

TEST_F(LobbyExchangeTest, SlowManyAndOversizedClientsCannotStopTheList) {
  masterServerQuery q = QueryTo(port);
  // One address holds at most its share of connections; the rest are closed.
  std::vector<int> held;
  for (int i = 0; i < 12; ++i) held.push_back(ConnectFrom("127.0.5.5", port));
  std::this_thread::sleep_for(200ms);
  int refused = 0;
  for (int fd : held) refused += ClosedByLobby(fd, 0ms);
  EXPECT_EQ(refused, 4);
  EXPECT_NE(q.sendRequestToMasterserver("request=servers").find("<response>"), std::string::npos);

  // A head that arrives a byte at a time is cut at the deadline (1.5 s here),
  // however busy the sender keeps it.
  const int slow = ConnectFrom("127.0.6.6", port);
  const auto start = Clock::now();
  bool cut = false;
  for (const char c : std::string("GET /LobbyServer/request.php?request=servers HTTP/1.1\r\nX: ")) {
    if (send(slow, &c, 1, MSG_NOSIGNAL) < 0 || (cut = ClosedByLobby(slow, 100ms))) break;
  }
  for (int i = 0; i < 40 && !cut; ++i)
    cut = send(slow, "y", 1, MSG_NOSIGNAL) < 0 || ClosedByLobby(slow, 100ms);
  EXPECT_TRUE(cut);
  EXPECT_LT(Clock::now() - start, 2500ms);

  // A head larger than the connection's memory is refused without an answer
  // of the list, and the lobby goes on answering.
  const int big = ConnectFrom("127.0.7.7", port);
  const std::string head = "GET /LobbyServer/request.php?request=servers HTTP/1.1\r\n" +
                           std::string(64 * 1024, 'h') + ": 1\r\n\r\n";
  send(big, head.data(), head.size(), MSG_NOSIGNAL);
  char reply[64] = {};
  recv(big, reply, sizeof reply - 1, 0);
  EXPECT_EQ(std::string(reply).find("200"), std::string::npos) << reply;
  for (int fd : held) close(fd);
  close(slow);
  close(big);
  EXPECT_NE(q.sendRequestToMasterserver("request=servers").find("<response>"), std::string::npos);
}

TEST(LobbyConnectionLimitTest, AFullLobbyClosesTheOldestUnfinishedRequestAndAnswersNewOnes) {
  // Slow sockets 4 per address, four times the lobby's connection limit,
  // each with a request head that never ends: ordinary list requests from
  // another address are all answered.
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);
  LobbyTable table;
  LobbyService service(table);
  LobbyServerOptions options;
  options.port = 0;
  options.maxConnections = 250;
  LobbyServer server(service, options);
  ASSERT_TRUE(server.Start(nullptr));
  const std::string head = "GET /LobbyServer/request.php?request=servers HTTP/1.1\r\nX-Slow: ";
  std::vector<int> slow;
  for (int i = 0; i < 1000; ++i) {
    const std::string from =
        "127.1." + std::to_string(i / 4 / 200) + "." + std::to_string(i / 4 % 200 + 1);
    slow.push_back(ConnectFrom(from.c_str(), server.port()));
    send(slow.back(), head.data(), head.size(), MSG_NOSIGNAL);
  }
  masterServerQuery q = QueryTo(server.port());
  int answered = 0;
  for (int i = 0; i < 50; ++i)
    answered +=
        q.sendRequestToMasterserver("request=servers").find("<response>") != std::string::npos;
  EXPECT_EQ(answered, 50);
  int closed = 0;
  for (int fd : slow) closed += ClosedByLobby(fd, 0ms);
  EXPECT_GE(closed, 750);  // the oldest made room
  for (int fd : slow) close(fd);
}

// A master server of raw sockets that does whatever `serve` does with each
// accepted connection (or, with `accept` false, never takes the call).
class FakeMaster {
 public:
  FakeMaster(std::function<void(int)> serve, bool accept = true, int backlog = 8) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    listen(fd_, backlog);
    if (accept)
      thread_ = std::thread([this, serve] {
        const int c = ::accept(fd_, nullptr, nullptr);
        if (c < 0) return;
        serve(c);
        close(c);
      });
  }
  ~FakeMaster() {
    shutdown(fd_, SHUT_RDWR);  // wakes a pending accept
    if (thread_.joinable()) thread_.join();
    close(fd_);
  }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::thread thread_;
};

std::string ReadRequest(int c) {
  std::string request;
  char buf[512];
  while (request.find("\r\n\r\n") == std::string::npos) {
    const ssize_t n = recv(c, buf, sizeof buf, 0);
    if (n <= 0) break;
    request.append(buf, static_cast<size_t>(n));
  }
  return request;
}

void SendText(int c, const std::string& text) { send(c, text.data(), text.size(), MSG_NOSIGNAL); }

TEST(MasterServerClientTest, SendsOneHttp10RequestAndReturnsTheBody) {
  std::string request;
  FakeMaster master([&](int c) {
    request = ReadRequest(c);
    SendText(c, "HTTP/1.0 200 OK\r\n\r\n<response><server name=\"x\"/></response>");
  });
  masterServerQuery q = QueryTo(master.port());
  EXPECT_EQ(q.requestServers().size(), 1u);
  EXPECT_EQ(request, "GET /LobbyServer/request.php?request=servers HTTP/1.0\r\nHost: 127.0.0.1:" +
                         std::to_string(master.port()) +
                         "\r\nAccept: text/html, image/jpeg, image/gif, */*\r\n\r\n");
}

// Milliseconds an exchange with `q` takes, and its result.
std::string Exchange(masterServerQuery& q, long* ms) {
  const auto start = Clock::now();
  std::string body = q.sendRequestToMasterserver("request=servers");
  *ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  return body;
}

// Several lobbies: one that accepts and never answers, then two real ones.
// The list comes from the first that answers; a host announces itself there
// and moves on to the next when that one stops.
TEST(MasterServerClientTest, SeveralLobbiesAreAskedInTurnAndAHostMovesOnWhenOneStops) {
  FakeMaster silent(nullptr, false);
  testsupport::LobbyRig first, second;
  ASSERT_TRUE(first.Start() && second.Start());
  masterServerQuery q;
  q.setMasterserver(
      "127.0.0.1:" + std::to_string(silent.port()) + "," + first.Master() + "," + second.Master(),
      NetworkHandler::kMasterPath);
  q.timeoutMs = 300;
  testsupport::PongResponder game;
  q.sendHeartbeat(game.port(), 8, "Moving", "RPG", "Default Map");
  ASSERT_TRUE(
      testsupport::WaitFor([&] { return first.table.Servers(Clock::now()).size() == 1; }, 5s));
  bool fetched = false;
  EXPECT_EQ(q.requestServers(&fetched).size(), 1u);
  EXPECT_TRUE(fetched);
  q.sendHeartbeat(game.port(), 8, "Moving", "RPG", "Default Map");
  EXPECT_EQ(second.table.Size(), 0u);  // the lobby that answered is kept

  first.server.reset();
  q.sendHeartbeat(game.port(), 8, "Moving", "RPG", "Default Map");
  ASSERT_TRUE(
      testsupport::WaitFor([&] { return second.table.Servers(Clock::now()).size() == 1; }, 5s));
  EXPECT_EQ(q.requestServers(&fetched).size(), 1u);
  second.server.reset();
  EXPECT_TRUE(q.requestServers(&fetched).empty());
  EXPECT_FALSE(fetched);
}

TEST(MasterServerClientTest, SilentOrSlowServersTimeOut) {
  long ms = 0;
  {  // Accepted by the kernel, never answered.
    FakeMaster master(nullptr, false);
    masterServerQuery q = QueryTo(master.port());
    q.timeoutMs = 800;
    EXPECT_EQ(Exchange(q, &ms), "");
    EXPECT_GE(ms, 700);
    EXPECT_LT(ms, 2500);
  }
  {  // Dribbles one byte at a time: the deadline covers the whole exchange.
    FakeMaster master([](int c) {
      ReadRequest(c);
      for (int i = 0; i < 40; ++i) {
        if (send(c, "H", 1, MSG_NOSIGNAL) < 0) break;
        std::this_thread::sleep_for(100ms);
      }
    });
    masterServerQuery q = QueryTo(master.port());
    q.timeoutMs = 800;
    EXPECT_EQ(Exchange(q, &ms), "");
    EXPECT_LT(ms, 2500);
  }
}

TEST(MasterServerClientTest, NoServerMeansAnEmptyReplyAtOnce) {
  int port = 0;
  {
    FakeMaster closed(nullptr, false);
    port = closed.port();
  }
  masterServerQuery q = QueryTo(port);
  long ms = 0;
  EXPECT_EQ(Exchange(q, &ms), "");
  EXPECT_LT(ms, 1000);
  q.host = "";
  EXPECT_EQ(q.sendRequestToMasterserver("request=servers"), "");
}

TEST(MasterServerClientTest, HugeAndGarbageRepliesGiveNoList) {
  {
    FakeMaster master([](int c) {
      ReadRequest(c);
      std::string flood = "HTTP/1.0 200 OK\r\n\r\n<r>";
      while (flood.size() < 3 * masterServerQuery::kMaxReplyBytes) flood += "<server name=\"n\"/>";
      SendText(c, flood);
    });
    masterServerQuery q = QueryTo(master.port());
    EXPECT_EQ(q.sendRequestToMasterserver("request=servers"), "");
  }
  {
    FakeMaster master([](int c) {
      ReadRequest(c);
      std::string junk = "HTTP/1.0 200 OK\r\n\r\n";
      for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
      SendText(c, junk);
    });
    masterServerQuery q = QueryTo(master.port());
    testing::internal::CaptureStderr();
    EXPECT_TRUE(q.requestServers().empty());
    testing::internal::GetCapturedStderr();
  }
}

}  // namespace
