// The six columns of the internet server list; entry i of every column
// belongs to listed game i. Filled by NetworkHandler::GetServers2.
#pragma once

#include "net/networkhandler.h"
#include "ui/menu.h"

struct NetworkHandler::ServerMenuSet {
  Menu ips;
  Menu ports;
  Menu names;
  Menu games;
  Menu maps;
  Menu maxPlayerCounts;
};
