// masterServerQuery: the client of the master server, the web service that
// lists running games. A host announces itself with a heartbeat; a player
// looking for a game fetches the list (XML over HTTP/1.0).
//
// The master server is untrusted: every exchange ends within `timeoutMs`,
// replies larger than kMaxReplyBytes are refused, and no reply can make the
// parser run away (nesting and list length are bounded).
#pragma once

#include <cstddef>
#include <cstdint>
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
  };

  static constexpr size_t kMaxReplyBytes = 1 << 20;
  static constexpr size_t kMaxListedServers = 1024;
  static constexpr int kMaxXmlDepth = 64;
  static constexpr int kDefaultTimeoutMs = 2000;

  std::string path;  // request path on the master server
  std::string host;  // master server host name (VOIDRAKE_MASTER=host[:port] overrides)
  uint16_t port = 80;
  int timeoutMs = kDefaultTimeoutMs;  // the whole exchange: connect, send, receive

  // `host` may carry a port ("name:8080"); without one the port is 80.
  void setMasterserver(std::string host, std::string path);
  // Every byte as "%" and its lower-case hex value taken as a signed 8-bit
  // number ("%20" for a space, "%ffffffe9" for the byte E9).
  static std::string strURLEncode(std::string s);
  // One HTTP exchange; the reply body, or "" on any failure (no answer in
  // time, a reply that is too large or is not a 200 answer).
  std::string sendRequestToMasterserver(std::string query);
  // The heartbeat's query (each encoded field bounded in length).
  static std::string HeartbeatQuery(int port, int maxPlayers, const std::string& name,
                                    const std::string& game, const std::string& map);
  void sendHeartbeat(int port, int maxPlayers, std::string name, std::string game, std::string map);
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
};
