// What the lobby answers at its one address, "/LobbyServer/request.php":
//   request=heartbeat&port=P&maxplayers=M&game=G&map=A&name=N[&players=H&bots=B]
//     records (or refreshes) the sender's game on its game port P; a new
//     game is listed once it answers the reachability probe. H and B, both
//     optional, are the players in the game and how many of them are
//     computer players; heartbeats without them are taken as before;
//   request=remove&port=P
//     the sender's game on port P has ended: it leaves the list at once;
//   request=servers
//     lists every live game as <response><server ip=.. port=.. name=..
//     game=.. map=.. maxplayers=.. [players=.. bots=..]/>...</response>;
//     players and bots are present only when the game's heartbeat told
//     them. Clients read the attributes they know by name, so older ones
//     ignore the two.
// When the store cannot be read or written every request is answered
// 503 with <response result="store unavailable"/>, never an empty list.
// Values may be percent-encoded in the usual way or as the game does it
// (every byte, bytes of 128 and more as "%ffffffXX").
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "lobby/lobbystore.h"

constexpr const char* kLobbyPath = "/LobbyServer/request.php";

std::string DecodeQueryValue(std::string_view encoded);
// Name to decoded value; the first occurrence of a name wins.
std::map<std::string, std::string> ParseQuery(std::string_view query);

std::string ServerListXml(const std::vector<LobbyEntry>& servers);

struct LobbyReply {
  int status = 200;
  // Shared: the list reply is built once per change of the table and then
  // handed to every request as it is.
  std::shared_ptr<const std::string> body;
};

// A short XML answer: <response result="..."/> with `status`.
LobbyReply LobbyResult(int status, const char* result);

class LobbyService {
 public:
  // Sends the reachability probe to a game that announced itself.
  using Prober = std::function<void(const std::string& ip, uint16_t port)>;

  explicit LobbyService(LobbyStore& store, Prober probe = nullptr);

  // The answer to one request with the raw query string `query` from `remoteAddress`.
  LobbyReply Handle(std::string_view query, const std::string& remoteAddress,
                    LobbyClock::time_point now);

 private:
  LobbyReply Heartbeat(const std::map<std::string, std::string>& q, const std::string& ip,
                       LobbyClock::time_point now);
  LobbyReply Remove(const std::map<std::string, std::string>& q, const std::string& ip);
  LobbyReply List(LobbyClock::time_point now);

  LobbyStore& store_;
  Prober probe_;
  std::mutex listMutex_;
  uint64_t listVersion_ = 0;
  std::shared_ptr<const std::string> list_;
};
