#include "ui/servermenuset.h"

#include <string>

void ServerMenuSet::Fill(const std::vector<masterServerQuery::tServerQueryItem>& servers) {
  for (Menu* column : {&ips, &ports, &names, &games, &maps, &maxPlayerCounts, &playerCounts})
    column->ResetMenu();
  for (const masterServerQuery::tServerQueryItem& item : servers) {
    maxPlayerCounts.AddItem(std::to_string(item.maxplayers));
    playerCounts.AddItem((item.players ? std::to_string(*item.players) : std::string("?")) + "/" +
                         std::to_string(item.maxplayers));
    ports.AddItem(std::to_string(item.port));
    games.AddItem(item.game);
    ips.AddItem(item.ip);
    maps.AddItem(item.map);
    names.AddItem(item.name);
  }
}
