#include "app/protocolhooks.h"

#include "app/gameobjects.h"
#include "app/globals.h"
#include "app/platform.h"
#include "net/gameprotocol.h"

GameProtocol& GlobalProtocol() {
  static GameProtocol protocol;
  static const bool bound = [] {
    protocol.InitMe(&Networking, &Enemies, &Player, &Explosions, &rdyforgame, &framestilownage,
                    &myGUID);
    return true;
  }();
  (void)bound;
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
