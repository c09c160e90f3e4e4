#include "app/protocolhooks.h"

#include "app/gameobjects.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "protocol/gameprotocol.h"

GameProtocol& GlobalProtocol() {
  static GameProtocol protocol;
  static const bool bound = [] {
    protocol.InitMe(&Networking, &Outgoing, &Enemies, &Player, &Explosions, &rdyforgame,
                    &framestilownage, &myGUID);
    return true;
  }();
  (void)bound;
  return protocol;
}

void UpdateNetwork() { GlobalProtocol().UpdateNetwork(); }

void UpdateComputerPlayers() { GlobalProtocol().UpdateBots(); }

void ResetProtocol() {
  GlobalProtocol().InitMe(&Networking, &Outgoing, &Enemies, &Player, &Explosions, &rdyforgame,
                          &framestilownage, &myGUID);
}

void SendMessageA(const std::string& text) { GlobalProtocol().SendMessageA(text); }

void SetProtocolTrace(bool on) { GlobalProtocol().trace = on; }
