// A real lobby inside the test's own process, on a free loopback port: it
// lists a game once the game answers the probe, as the lobby program does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lobby/lobbyprober.h"
#include "lobby/lobbyserver.h"
#include "lobby/lobbyservice.h"
#include "lobby/lobbytable.h"

namespace testsupport {

struct LobbyRig {
  LobbyTable table;
  LobbyProber prober{[this](const std::string& ip, uint16_t p) { table.Confirm(ip, p); }};
  LobbyService service{table, [this](const std::string& ip, uint16_t p) { prober.Probe(ip, p); }};
  std::unique_ptr<LobbyServer> server;

  bool Start() {
    if (!prober.Start(nullptr)) return false;
    LobbyServerOptions options;
    options.port = 0;
    server = std::make_unique<LobbyServer>(service, options);
    return server->Start(nullptr);
  }
  // The master-server address games and queries are given.
  std::string Master() const { return "127.0.0.1:" + std::to_string(server->port()); }
};

}  // namespace testsupport
