// masterServerQuery: the client of the master server, the web service that
// lists running games. A host announces itself with a heartbeat; a player
// looking for a game fetches the list (XML over HTTP/1.0).
//
// The master server is untrusted: every exchange ends within `timeoutMs`,
// replies larger than kMaxReplyBytes are refused, and no reply can make the
// parser run away (nesting and list length are bounded).
//
// Several lobbies may be named (comma-separated): a list is asked of each
// in turn until one answers, and a host announces itself to the first one
// that answers and moves on when it stops answering.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class masterServerQuery {
 public:
  // One listed game.
  struct tServerQueryItem {
    std::string ip;
    uint16_t port = 0;
    std::string name;
    std::string game;
    std::string map;
    uint16_t maxplayers = 0;
    // In the game now, computer players included, and how many of them are
    // computer players; absent when the host did not tell.
    std::optional<uint16_t> players;
    std::optional<uint16_t> bots;
  };

  static constexpr size_t kMaxReplyBytes = 1 << 20;
  static constexpr size_t kMaxListedServers = 1024;
  static constexpr int kMaxXmlDepth = 64;
  static constexpr int kDefaultTimeoutMs = 2000;

  struct Lobby {
    std::string host;
    uint16_t port = 80;
  };

  std::string path;  // request path on the master server
  // The lobby asked first (VOIDRAKE_MASTER=host[:port][,host[:port]...]
  // overrides); a request sent to `host` and `port` when no list was set.
  std::string host;
  uint16_t port = 80;
  std::vector<Lobby> lobbies;
  int timeoutMs = kDefaultTimeoutMs;  // each lobby's whole exchange: connect, send, receive

  // A comma-separated list of lobbies; each may carry a port ("name:8080"),
  // without one the port is 80. Empty entries are skipped.
  void setMasterserver(std::string hosts, std::string path);
  // The lobbies as given, "host:port" joined by commas.
  std::string Describe() const;
  // Every byte as "%" and its lower-case hex value taken as a signed 8-bit
  // number ("%20" for a space, "%ffffffe9" for the byte E9).
  static std::string strURLEncode(std::string s);
  // One HTTP exchange with the lobby a host announces itself to (the first
  // that answers, kept until it stops answering): the reply body, or "" when
  // no lobby answered (in time, with a 200 reply of bounded size).
  std::string sendRequestToMasterserver(std::string query);
  // One exchange with one lobby.
  std::string Exchange(const Lobby& lobby, const std::string& query) const;
  // The heartbeat's query (each encoded field bounded in length); the
  // counts are sent when `players` is not negative.
  static std::string HeartbeatQuery(int port, int maxPlayers, const std::string& name,
                                    const std::string& game, const std::string& map,
                                    int players = -1, int bots = 0);
  void sendHeartbeat(int port, int maxPlayers, std::string name, std::string game, std::string map,
                     int players = -1, int bots = 0);
  // Tells the master server that the game on `port` of this address has ended.
  void sendRemove(int port);
  // The listed games; `fetched` (when given) tells whether the master server
  // answered with a list at all (an empty list is an answer).
  std::vector<tServerQueryItem> requestServers(bool* fetched = nullptr);
  // The list in an XML reply body (empty, with an error line and `parsed`
  // false, when unparsable).
  static std::vector<tServerQueryItem> ParseServerList(const std::string& body,
                                                       bool* parsed = nullptr);
  // The body of a whole HTTP reply: what follows the first blank line of a
  // 200 answer; "" for anything else.
  static std::string BodyOfReply(const std::string& reply);

 private:
  // Which lobby answered last: shared by the copies a background exchange
  // works on, so that the next heartbeat starts where the last one ended.
  std::shared_ptr<std::atomic<size_t>> current_ = std::make_shared<std::atomic<size_t>>(0);
};
