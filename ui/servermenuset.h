// The six columns of the internet server list; entry i of every column
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

  // Replaces the rows with the master server's list.
  void Fill(const std::vector<masterServerQuery::tServerQueryItem>& servers);
};
