// The master-server client's pure parts: URL encoding, the heartbeat query,
// the HTTP reply split and the XML list parser facing odd and hostile replies.
#include "net/masterserverquery.h"

#include <gtest/gtest.h>

#include <string>

#include "net/serverlistcache.h"
#include "tests/support/testenv.h"

namespace {

using Query = masterServerQuery;

TEST(MasterServerQueryTest, UrlEncodingPrintsEveryByteAsSignedHex) {
  EXPECT_EQ(Query::strURLEncode("Bob"), "%42%6f%62");
  EXPECT_EQ(Query::strURLEncode(" \n"), "%20%a");
  EXPECT_EQ(Query::strURLEncode("\xE9"), "%ffffffe9");
  EXPECT_EQ(Query::strURLEncode(""), "");
}

TEST(MasterServerQueryTest, HeartbeatQueryCarriesEncodedFieldsAndStaysBounded) {
  EXPECT_EQ(Query::HeartbeatQuery(9928, 32, "Bob", "RPG", "M"),
            "request=heartbeat&port=9928&maxplayers=32&game=%52%50%47&map=%4d&name=%42%6f%62");
  // A very long name of high bytes (nine characters each once encoded) is
  // cut at an escape boundary, never inside one.
  const std::string query = Query::HeartbeatQuery(9928, 32, std::string(5000, '\xE9'), "g", "m");
  EXPECT_LT(query.size(), 1200u);
  const std::string name = query.substr(query.find("&name=") + 6);
  EXPECT_EQ(name.size() % 9, 0u);
}

TEST(MasterServerQueryTest, SetMasterserverSplitsAnOptionalPort) {
  Query q;
  q.setMasterserver("lobby.example:8080", "/p");
  EXPECT_EQ(q.host, "lobby.example");
  EXPECT_EQ(q.port, 8080);
  q.setMasterserver("127.0.0.1", "/p");
  EXPECT_EQ(q.host, "127.0.0.1");
  EXPECT_EQ(q.port, 80);
  q.setMasterserver("h:99999", "/p");
  EXPECT_EQ(q.port, 80);
  q.setMasterserver(" a:1, ,b ,c:3,", "/p");
  EXPECT_EQ(q.Describe(), "a:1,b:80,c:3");
  EXPECT_EQ(q.host, "a");
}

// The saved list comes back as it was saved; what is not one of ours is
// no list (and never a crash).
TEST(ServerListCacheTest, KeepsTheLastListAndIgnoresCorruptOrOversizedFiles) {
  testsupport::TempDir dir;
  const std::string path = dir.File("cache/voidrake2/servers.xml");
  const ServerListCache cache(path);
  EXPECT_FALSE(cache.Load());
  Query::tServerQueryItem game{"10.0.0.1", 9928, "<Kai & \"Co\">\xE9", "RPG", "Default Map", 16,
                               3,          1};
  ASSERT_TRUE(cache.Save({game, game}, 1000));
  const auto saved = cache.Load();
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->savedAt, 1000);
  ASSERT_EQ(saved->servers.size(), 2u);
  EXPECT_EQ(saved->servers[1].name, game.name);
  EXPECT_EQ(saved->servers[1].port, 9928);
  EXPECT_EQ(saved->servers[1].players, 3);
  for (const std::string& bad :
       {std::string("garbage"), std::string("voidrake2 saved server list 1 x\n<response/>"),
        std::string("voidrake2 saved server list 1 5\n<a><<<"),
        "voidrake2 saved server list 1 5\n<response>" + std::string(2 << 20, ' ')}) {
    testsupport::WriteFile(path, bad);
    EXPECT_FALSE(cache.Load()) << bad.substr(0, 40);
  }
  EXPECT_EQ(ServerListCache::AgeText(59), "less than a minute ago");
  EXPECT_EQ(ServerListCache::AgeText(12 * 60 + 5), "12 minutes ago");
  EXPECT_EQ(ServerListCache::AgeText(3600), "1 hour ago");
}

TEST(MasterServerQueryTest, BodyOfReplyOnlyFromA200Answer) {
  EXPECT_EQ(Query::BodyOfReply("HTTP/1.0 200 OK\r\nA: b\r\n\r\n<r/>"), "<r/>");
  EXPECT_EQ(Query::BodyOfReply("HTTP/1.1 200 OK\r\n\r\n"), "");
  EXPECT_EQ(Query::BodyOfReply("HTTP/1.1 404 Not Found\r\n\r\n<r/>"), "");
  EXPECT_EQ(Query::BodyOfReply("HTTP/1.0 200 OK\r\n<r/>"), "");  // no blank line
  EXPECT_EQ(Query::BodyOfReply("<r/>\r\n\r\n<r/>"), "");
  EXPECT_EQ(Query::BodyOfReply(""), "");
}

TEST(MasterServerQueryTest, ParsesServersInDocumentOrder) {
  const auto list = Query::ParseServerList(
      "<?xml version=\"1.0\"?><response>"
      "<server ip=\"10.0.0.1\" port=\"60000\" name=\"A &amp; B\" game=\"RPG\" map=\"M\" "
      "maxplayers=\"32\"/><other/>"
      "<server ip=\"10.0.0.2\" name=\"Second\"/></response>");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].ip, "10.0.0.1");
  EXPECT_EQ(list[0].port, 60000);
  EXPECT_EQ(list[0].name, "A & B");
  EXPECT_EQ(list[0].game, "RPG");
  EXPECT_EQ(list[0].map, "M");
  EXPECT_EQ(list[0].maxplayers, 32);
  // Missing attributes: empty texts, zero numbers.
  EXPECT_EQ(list[1].name, "Second");
  EXPECT_EQ(list[1].game, "");
  EXPECT_EQ(list[1].port, 0);
  EXPECT_EQ(list[1].maxplayers, 0);
}

TEST(MasterServerQueryTest, ReadsTheListBehindADeclarationAndSingleQuotes) {
  const auto list = Query::ParseServerList(
      "  <?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<response>\n"
      "<server name='Caf\xE9' ip = \"1.2.3.4\" port='7'/>\n</response>\n");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name, "Caf\xE9");
  EXPECT_EQ(list[0].ip, "1.2.3.4");
  EXPECT_EQ(list[0].port, 7);
}

TEST(MasterServerQueryTest, EmptyRootIsAnEmptyListWithoutError) {
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Query::ParseServerList("<response></response>").empty());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Query::ParseServerList("").empty());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: Couldn't parse the masterserver response\n");
}

TEST(MasterServerQueryTest, HostileRepliesNeverCrashAndStayBounded) {
  testing::internal::CaptureStderr();
  // Numbers out of range or not numbers read as 0 instead of wrapping.
  auto odd = Query::ParseServerList(
      "<r><server port=\"70000\" maxplayers=\"-1\"/><server port=\"x\" maxplayers=\"1e9\"/></r>");
  ASSERT_EQ(odd.size(), 2u);
  EXPECT_EQ(odd[0].port, 0);
  EXPECT_EQ(odd[0].maxplayers, 0);
  EXPECT_EQ(odd[1].port, 0);
  // Garbage, cut-off documents and binary bytes.
  EXPECT_TRUE(Query::ParseServerList("<<<>>>&&&;\x01\xff").empty());
  EXPECT_TRUE(Query::ParseServerList(std::string("\0\0<r>", 5)).empty());
  EXPECT_LE(Query::ParseServerList("<r><server name=\"cut").size(), 1u);
  // Nesting deep enough to exhaust the parser's stack is refused, also when
  // hidden behind stray end tags or quoted "/>" in attribute values.
  std::string deep;
  for (int i = 0; i < 200000; ++i) deep += "<a>";
  EXPECT_TRUE(Query::ParseServerList(deep).empty());
  std::string stray;
  for (int i = 0; i < 1000; ++i) stray += "</x>";
  EXPECT_TRUE(Query::ParseServerList(stray + deep).empty());
  std::string quoted;
  for (int i = 0; i < 200000; ++i) quoted += "<a x=\"/>\">";
  EXPECT_TRUE(Query::ParseServerList(quoted).empty());
  // Constructs whose extent the parser judges differently (unknown nodes,
  // processing instructions with quotes) cannot hide end tags either.
  std::string hidden;
  for (int i = 0; i < 50000; ++i) hidden += "<a><a><?xml version=\"?></a></a>\"?><'></a>";
  EXPECT_TRUE(Query::ParseServerList(hidden).empty());
  // A huge list is cut at the cap.
  std::string many = "<r>";
  for (size_t i = 0; i < Query::kMaxListedServers + 500; ++i) many += "<server name=\"n\"/>";
  EXPECT_EQ(Query::ParseServerList(many + "</r>").size(), Query::kMaxListedServers);
  testing::internal::GetCapturedStderr();
}

}  // namespace
