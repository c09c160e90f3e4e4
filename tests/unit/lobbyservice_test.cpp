// The lobby's request handling: query decoding (the game's own escapes and
// the usual ones), heartbeat validation, the probe, removal and the list XML
// the game parses.
#include "lobby/lobbyservice.h"

#include <gtest/gtest.h>

#include <string>

#include "lobby/lobbytable.h"
#include "net/masterserverquery.h"

namespace {

const LobbyClock::time_point t0{};

// A service whose probe is answered at once, as a running game answers it.
struct Lobby {
  explicit Lobby(LobbyLimits limits = {})
      : table(limits), service(table, [this](const std::string& ip, uint16_t port) {
          ++probes;
          table.Confirm(ip, port);
        }) {}
  LobbyReply Ask(const std::string& query, const std::string& from = "1.2.3.4") {
    return service.Handle(query, from, t0);
  }
  LobbyTable table;
  LobbyService service;
  int probes = 0;
};

TEST(LobbyServiceTest, DecodesTheGamesEncodingOfEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(DecodeQueryValue(masterServerQuery::strURLEncode(all)), all);
}

TEST(LobbyServiceTest, DecodesUsualEncodingsAndKeepsStrayPercents) {
  EXPECT_EQ(DecodeQueryValue("A%20b+c%41BC"), "A b cABC");
  EXPECT_EQ(DecodeQueryValue("100%"), "100%");
  EXPECT_EQ(DecodeQueryValue("%zz"), "%zz");
  EXPECT_EQ(DecodeQueryValue("%ffffff"),
            "\xff"
            "ffff");  // too short for the wide form
  const auto q = ParseQuery("request=servers&x&request=heartbeat&&n=%42");
  EXPECT_EQ(q.at("request"), "servers");
  EXPECT_EQ(q.at("x"), "");
  EXPECT_EQ(q.at("n"), "B");
}

TEST(LobbyServiceTest, HeartbeatIsProbedListedWithTheSendersAddressAndRemovedByItsSender) {
  Lobby lobby;
  const std::string query =
      masterServerQuery::HeartbeatQuery(9928, 32, "Kai's Game!", "RPG", "Default Map");
  EXPECT_EQ(lobby.Ask(query, "::ffff:127.0.0.5").status, 200);
  const LobbyReply list = lobby.Ask("request=servers", "10.9.9.9");
  EXPECT_EQ(list.status, 200);
  const auto servers = masterServerQuery::ParseServerList(*list.body);
  ASSERT_EQ(servers.size(), 1u);
  EXPECT_EQ(servers[0].ip, "127.0.0.5");
  EXPECT_EQ(servers[0].port, 9928);
  EXPECT_EQ(servers[0].name, "Kai's Game!");
  EXPECT_EQ(servers[0].game, "RPG");
  EXPECT_EQ(servers[0].map, "Default Map");
  EXPECT_EQ(servers[0].maxplayers, 32);
  // A listed game's heartbeats are not probed again; nobody else can remove it.
  lobby.Ask(query, "127.0.0.5");
  EXPECT_EQ(lobby.probes, 1);
  EXPECT_EQ(lobby.Ask("request=remove&port=9928", "127.0.0.6").status, 404);
  EXPECT_EQ(lobby.Ask("request=remove&port=9928", "127.0.0.5").status, 200);
  EXPECT_TRUE(masterServerQuery::ParseServerList(*lobby.Ask("request=servers").body).empty());
}

TEST(LobbyServiceTest, BadRequestsAreRefusedAndStoreNothing) {
  Lobby lobby(LobbyLimits{1, 1, std::chrono::seconds(120), 1, 1});
  for (const char* q : {"", "request=nope", "request=heartbeat", "request=heartbeat&port=0",
                        "request=heartbeat&port=65536", "request=heartbeat&port=12x",
                        "request=remove", "request=remove&port=-1"}) {
    EXPECT_EQ(lobby.Ask(q).status, 400) << q;
  }
  EXPECT_EQ(lobby.table.Size(), 0u);
  EXPECT_EQ(lobby.Ask("request=heartbeat&port=1").status, 200);
  EXPECT_EQ(lobby.Ask("request=heartbeat&port=1", "5.6.7.8").status, 503);
}

TEST(LobbyServiceTest, HostileNamesAreCleanedBoundedAndEscaped) {
  Lobby lobby;
  const std::string name = "<a href=\"x\">&'\r\n\x01\xE9" + std::string(500, 'n');
  lobby.Ask(masterServerQuery::HeartbeatQuery(1, 99999, name, "g", "m"));
  const auto servers = masterServerQuery::ParseServerList(*lobby.Ask("request=servers", "").body);
  ASSERT_EQ(servers.size(), 1u);
  const std::string expected =
      ("<a href=\"x\">&'\xE9" + std::string(500, 'n')).substr(0, kMaxNameLength);
  EXPECT_EQ(servers[0].name, expected);  // control characters gone, Latin-1 kept
  EXPECT_EQ(servers[0].maxplayers, 0);   // out of range
}

}  // namespace
