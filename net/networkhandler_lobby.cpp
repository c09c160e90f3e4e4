// The handler's master-server entry points: the heartbeat a host sends and
// the server list a player fetches.
#include "net/networkhandler.h"
#include "net/servermenuset.h"

void NetworkHandler::SetGameStats(std::string name, int type) {
  serverName = std::move(name);
  gameType = type;
}

void NetworkHandler::HeartBeat() {
  static const char* const kModeNames[] = {"Simple Game", "RPG", "Carrier Battle"};
  if (gameType < 0 || gameType > 2) return;
  lobby.sendHeartbeat(9928, 32, serverName, kModeNames[gameType], "Default Map");
}

void NetworkHandler::GetServers2(ServerMenuSet& set) {
  for (Menu* column : {&set.ips, &set.ports, &set.names, &set.games, &set.maps,
                       &set.maxPlayerCounts})
    column->ResetMenu();
  servers = lobby.requestServers();
  for (const masterServerQuery::tServerQueryItem& item : servers) {
    set.maxPlayerCounts.AddItem(std::to_string(item.maxplayers));
    set.ports.AddItem(std::to_string(item.port));
    set.games.AddItem(item.game);
    set.ips.AddItem(item.ip);
    set.maps.AddItem(item.map);
    set.names.AddItem(item.name);
  }
}

