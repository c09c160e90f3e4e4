// The lobby's request handling: query decoding (the game's own escapes and
// the usual ones), heartbeat validation and the list XML the game parses.
#include "lobby/lobbyservice.h"

#include <gtest/gtest.h>

#include <string>

#include "net/masterserverquery.h"

namespace {

const LobbyClock::time_point t0{};

TEST(LobbyServiceTest, DecodesTheGamesEncodingOfEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(DecodeQueryValue(masterServerQuery::strURLEncode(all)), all);
}

TEST(LobbyServiceTest, DecodesUsualEncodingsAndKeepsStrayPercents) {
  EXPECT_EQ(DecodeQueryValue("A%20b+c%41BC"), "A b cABC");
  EXPECT_EQ(DecodeQueryValue("100%"), "100%");
  EXPECT_EQ(DecodeQueryValue("%zz"), "%zz");
  EXPECT_EQ(DecodeQueryValue("%ffffff"), "\xff" "ffff");  // too short for the wide form
  const auto q = ParseQuery("request=servers&x&request=heartbeat&&n=%42");
  EXPECT_EQ(q.at("request"), "servers");
  EXPECT_EQ(q.at("x"), "");
  EXPECT_EQ(q.at("n"), "B");
}

TEST(LobbyServiceTest, HeartbeatIsListedWithTheSendersAddress) {
  LobbyTable table;
  const std::string query = masterServerQuery::HeartbeatQuery(9928, 32, "Kai's Game!", "RPG",
                                                              "Default Map");
  EXPECT_EQ(HandleLobbyRequest(query, "::ffff:127.0.0.5", table, t0).status, 200);
  const LobbyReply list = HandleLobbyRequest("request=servers", "10.9.9.9", table, t0);
  EXPECT_EQ(list.status, 200);
  const auto servers = masterServerQuery::ParseServerList(list.body);
  ASSERT_EQ(servers.size(), 1u);
  EXPECT_EQ(servers[0].ip, "127.0.0.5");
  EXPECT_EQ(servers[0].port, 9928);
  EXPECT_EQ(servers[0].name, "Kai's Game!");
  EXPECT_EQ(servers[0].game, "RPG");
  EXPECT_EQ(servers[0].map, "Default Map");
  EXPECT_EQ(servers[0].maxplayers, 32);
}

TEST(LobbyServiceTest, BadRequestsAreRefusedAndStoreNothing) {
  LobbyTable table(LobbyLimits{1, 1, std::chrono::seconds(120)});
  for (const char* q : {"", "request=nope", "request=heartbeat", "request=heartbeat&port=0",
                        "request=heartbeat&port=65536", "request=heartbeat&port=12x"}) {
    EXPECT_EQ(HandleLobbyRequest(q, "1.2.3.4", table, t0).status, 400) << q;
  }
  EXPECT_EQ(table.Size(), 0u);
  EXPECT_EQ(HandleLobbyRequest("request=heartbeat&port=1", "1.2.3.4", table, t0).status, 200);
  EXPECT_EQ(HandleLobbyRequest("request=heartbeat&port=1", "5.6.7.8", table, t0).status, 503);
}

TEST(LobbyServiceTest, HostileNamesAreCleanedBoundedAndEscaped) {
  LobbyTable table;
  const std::string name = "<a href=\"x\">&'\r\n\x01\xE9" + std::string(500, 'n');
  HandleLobbyRequest(masterServerQuery::HeartbeatQuery(1, 99999, name, "g", "m"), "1.2.3.4",
                     table, t0);
  const auto servers =
      masterServerQuery::ParseServerList(HandleLobbyRequest("request=servers", "", table, t0).body);
  ASSERT_EQ(servers.size(), 1u);
  const std::string expected = ("<a href=\"x\">&'\xE9" + std::string(500, 'n')).substr(0, kMaxNameLength);
  EXPECT_EQ(servers[0].name, expected);  // control characters gone, Latin-1 kept
  EXPECT_EQ(servers[0].maxplayers, 0);   // out of range
}

}  // namespace
