#include "app/lobbyhooks.h"

#include "app/gameobjects.h"
#include "app/heartbeat.h"
#include "net/lobbyheartbeat.h"
#include "net/networkhandler.h"

void InstallLobbyHeartbeat() {
  SetHeartbeatHooks([] { return IsAnnounced(Networking); }, [] { Networking.HeartBeat(); });
}

void WithdrawLobbyAnnouncement() { WithdrawAnnouncement(Networking); }
