// The local ship in one line, for the state trace of the end-to-end tests.
#include <cstdio>
#include <string>

#include "app/gameobjects.h"
#include "game/bulletmanager.h"
#include "game/spaceship.h"
#include "app/drawall.h"

std::string ShipSummary() {
  int live = 0;
  for (const BulletManager::Bullet& b : Bullets.bullets) live += b.active ? 1 : 0;
  char line[128];
  std::snprintf(line, sizeof line, "alive=%d x=%.1f y=%.1f projectiles=%d", Player.alive ? 1 : 0,
                Player.x, Player.y, live);
  return line;
}
