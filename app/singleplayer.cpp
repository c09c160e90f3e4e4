#include "app/singleplayer.h"

#include "app/gameobjects.h"
#include "platform/globals.h"
#include "render/glwrapper.h"
#include "sim/aiplayer.h"
#include "sim/enemymanager.h"

void SetUpComputerPlayers() {
  for (int i = 0; i < kBotCount; ++i) {
    Bot[i].InitMe(&CameraWidth, &CameraHeight, &Enemies, &Level, &Explosions, &Utility, i + 2);
    Bot[i].SetUpShip(25.0f, 400, 6000, 15, 256.0f, 256.0f, 20);
    Bot[i].MakeMeSimpleShip();
    Enemies.DamagePlayer(i, 1000.0f, 5.0f);
    Enemies.DamagePlayer(i, 1000.0f, 5.0f);
  }
}
