// The seven columns of the internet server list; entry i of every column
// belongs to listed game i.
#pragma once

#include <vector>

#include "net/masterserverquery.h"
#include "ui/menu.h"

struct ServerMenuSet {
  Menu ips;
  Menu ports;
  Menu names;
  Menu games;
  Menu maps;
  Menu maxPlayerCounts;
  Menu playerCounts;  // "3/16"; "?/16" when the host did not tell

  // Replaces the rows with the master server's list.
  void Fill(const std::vector<masterServerQuery::tServerQueryItem>& servers);
};
