// The local ship and the opponents' rows in lines of text, for the state
// trace of the end-to-end tests.
#include <cstdio>
#include <string>

#include "app/drawall.h"
#include "app/gameobjects.h"
#include "sim/bulletmanager.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"

std::string ShipSummary() {
  int live = 0;
  for (const BulletManager::Bullet& b : Bullets.bullets) live += b.active ? 1 : 0;
  char line[128];
  std::snprintf(line, sizeof line, "alive=%d x=%.1f y=%.1f projectiles=%d", Player.alive ? 1 : 0,
                Player.x, Player.y, live);
  return line;
}

std::string OpponentRows() {
  std::string text;
  for (const EnemyManager::player& p : Enemies.players) {
    char row[200];
    std::snprintf(row, sizeof row, "opponent: %s x=%.1f y=%.1f kills=%d deaths=%d bounty=%d\n",
                  p.name.c_str(), p.x, p.y, p.wins, p.losses, p.bounty);
    text += row;
  }
  return text;
}
