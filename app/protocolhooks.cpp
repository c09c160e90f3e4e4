#include "app/protocolhooks.h"

#include "app/gameobjects.h"
#include "app/globals.h"
#include "app/platform.h"
#include "net/gameprotocol.h"

GameProtocol& GlobalProtocol() {
  static GameProtocol protocol = [] {
    GameProtocol p;
    p.InitMe(&Networking, &Enemies, &Player, &Explosions, &rdyforgame, &framestilownage, &myGUID);
    return p;
  }();
  return protocol;
}

void UpdateNetwork() { GlobalProtocol().UpdateNetwork(); }

void UpdateComputerPlayers() { GlobalProtocol().UpdateBots(); }

void ResetProtocol() {
  GlobalProtocol().InitMe(&Networking, &Enemies, &Player, &Explosions, &rdyforgame,
                          &framestilownage, &myGUID);
}

void SendMessageA(const std::string& text) { GlobalProtocol().SendMessageA(text); }

void SetProtocolTrace(bool on) { GlobalProtocol().trace = on; }
