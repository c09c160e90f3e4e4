// The master-server client against the lobby's request handling served by
// cpp-httplib on 127.0.0.1, and against raw sockets that misbehave: silence,
// floods, garbage. Ephemeral ports only; run inside the private network
// namespace (scripts/with-netns.sh) like every network test.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/gameobjects.h"
#include "app/globals.h"
#include "app/heartbeat.h"
#include "app/lobbyhooks.h"
#include "lobby/lobbyservice.h"
#include "lobby/lobbytable.h"
#include "net/lobbyheartbeat.h"
#include "net/masterserverquery.h"
#include "net/networkhandler.h"
#include "net/servermenuset.h"

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
    InstallLobbyRoutes(server, table);
    port = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    thread = std::thread([this] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(1ms);
  }
  void TearDown() override {
    server.stop();
    thread.join();
  }

  LobbyTable table;
  httplib::Server server;
  std::thread thread;
  int port = 0;
};

TEST_F(LobbyExchangeTest, HeartbeatRegistersAndTheListReturnsIt) {
  masterServerQuery q = QueryTo(port);
  q.sendHeartbeat(9928, 32, "Kai's Game!", "Carrier Battle", "Default Map");
  const auto list = q.requestServers();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].ip, "127.0.0.1");
  EXPECT_EQ(list[0].port, 9928);
  EXPECT_EQ(list[0].name, "Kai's Game!");
  EXPECT_EQ(list[0].game, "Carrier Battle");
  EXPECT_EQ(list[0].map, "Default Map");
  EXPECT_EQ(list[0].maxplayers, 32);
  // Anything but the lobby's address is not found: no list.
  q.path = "/elsewhere";
  EXPECT_EQ(q.sendRequestToMasterserver("request=servers"), "");
}

TEST_F(LobbyExchangeTest, HostAnnouncesItselfAndPlayerSeesOneRowPerGame) {
  NetworkHandler host;
  host.lobby = QueryTo(port);
  host.InitMe(true);
  EXPECT_FALSE(IsAnnounced(host));
  host.SetGameStats("Zed's Game!", 2);
  EXPECT_TRUE(IsAnnounced(host));
  host.HeartBeat();
  WaitForHeartbeat();
  ASSERT_EQ(table.Size(), 1u);
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
  NetworkHandler::ServerMenuSet set;
  player.GetServers2(set);
  player.GetServers2(set);  // a refresh replaces the rows
  ASSERT_EQ(set.names.items.size(), 1u);
  EXPECT_EQ(set.names.items[0], "Zed's Game!");
  EXPECT_EQ(set.ips.items, std::vector<std::string>{"127.0.0.1"});
  EXPECT_EQ(set.ports.items, std::vector<std::string>{"9928"});
  EXPECT_EQ(set.games.items, std::vector<std::string>{"Carrier Battle"});
  EXPECT_EQ(set.maps.items, std::vector<std::string>{"Default Map"});
  EXPECT_EQ(set.maxPlayerCounts.items, std::vector<std::string>{"32"});
  EXPECT_EQ(player.servers.size(), 1u);
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
  ASSERT_EQ(table.Size(), 1u);
  EXPECT_EQ(table.Servers(LobbyClock::now())[0].game, "Carrier Battle");
  SetHeartbeatHooks(nullptr, nullptr);
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
  { FakeMaster closed(nullptr, false); port = closed.port(); }
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
