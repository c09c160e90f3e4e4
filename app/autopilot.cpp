#include "app/autopilot.h"

#include <vector>

#include "base/heading.h"
#include "platform/globals.h"
#include "sim/aiplayer.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"

void AutopilotKeys(const SpaceShip& ship, EnemyManager& enemies, bool* keys) {
  for (int i = 0; i < 256; ++i) keys[i] = false;
  if (!ship.alive) return;

  int target = -1;
  float best = 1000000.0f;
  const std::vector<float> distances = enemies.GetDistances(ship.x, ship.y);
  for (int i = 0; i < static_cast<int>(distances.size()); ++i)
    if (distances[i] < best && enemies.GetTeam(i) != ship.team) {
      target = i;
      best = distances[i];
    }

  if (best > 600)
    keys[vk::Up] = true;
  else
    keys[vk::Down] = true;
  if (target < 0) return;

  float tx = 0, ty = 0;
  enemies.GetCoords(tx, ty, target);
  AiPlayer::TurnKeys(HeadingTowards(ship.x, ship.y, tx, ty, ship.angle), ship.angle, keys[vk::Left],
                     keys[vk::Right]);
  for (int slot = 0; slot < 4; ++slot)
    keys[vk::Fire[slot]] = AiPlayer::FiresAt(ship.weapons[slot].category, best);
}
