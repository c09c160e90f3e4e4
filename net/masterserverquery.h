// masterServerQuery: the client of the master server, the web service that
// lists running games. A host announces itself with a heartbeat; a player
// looking for a game fetches the list (XML over HTTP/1.0).
#pragma once

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

  std::string path;  // request path on the master server
  std::string host;  // master server host name (VOIDRAKE_MASTER=host[:port] overrides)
  uint16_t port = 80;

  void setMasterserver(std::string host, std::string path);
  // Every byte as "%" and its lower-case hex value taken as a signed 8-bit
  // number ("%20" for a space, "%ffffffe9" for the byte E9).
  static std::string strURLEncode(std::string s);
  // One HTTP exchange; the reply body, or "" on any failure.
  std::string sendRequestToMasterserver(std::string query);
  void sendHeartbeat(int port, int maxPlayers, std::string name, std::string game,
                     std::string map);
  std::vector<tServerQueryItem> requestServers();
  // The list in an XML reply body (empty, with an error line, when unparsable).
  static std::vector<tServerQueryItem> ParseServerList(const std::string& body);
};
