// Step A of the frame: the local player's kills of the last frame, each
// announced with a random phrase in the log and sent to the other players.
#include <string>
#include <vector>

#include "app/drawall.h"
#include "app/gameobjects.h"
#include "app/protocolhooks.h"
#include "platform/globals.h"
#include "protocol/gameprotocol.h"
#include "render/glwrapper.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"

void AnnounceKills() {
  std::vector<int> killed;
  Enemies.GetKills(killed);
  for (int victim : killed) {
    const int phrase = static_cast<int>(Utility.RangedRandom(1, 16));
    const std::string line = KillText(phrase, Player.name, Enemies.GetName(victim));
    AddMessage(line);
    // Against computer players nobody is listening; the line stays local.
    if (multiplayer) SendMessageA(line);
  }
}
