// What the lobby answers at its one address, "/LobbyServer/request.php":
//   request=heartbeat&port=P&maxplayers=M&game=G&map=A&name=N
//     records (or refreshes) the sender's game;
//   request=servers
//     lists every live game as <response><server ip=.. port=.. name=..
//     game=.. map=.. maxplayers=../>...</response>.
// Values may be percent-encoded in the usual way or as the game does it
// (every byte, bytes of 128 and more as "%ffffffXX").
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "lobby/lobbytable.h"

namespace httplib {
class Server;
}

constexpr const char* kLobbyPath = "/LobbyServer/request.php";

// Longest stored texts; longer ones are cut. Control characters are dropped.
constexpr size_t kMaxNameLength = 64;
constexpr size_t kMaxGameLength = 32;
constexpr size_t kMaxMapLength = 32;

std::string DecodeQueryValue(std::string_view encoded);
// Name to decoded value; the first occurrence of a name wins.
std::map<std::string, std::string> ParseQuery(std::string_view query);

struct LobbyReply {
  int status = 200;
  std::string body;
};

// The answer to one request with the raw query string `query` from `remoteAddress`.
LobbyReply HandleLobbyRequest(std::string_view query, const std::string& remoteAddress,
                              LobbyTable& table, LobbyClock::time_point now);

std::string ServerListXml(const std::vector<LobbyEntry>& servers);

// Routes the lobby's address on `server` to `table` (borrowed) and bounds
// what a client may send and how long it may take.
void InstallLobbyRoutes(httplib::Server& server, LobbyTable& table);
