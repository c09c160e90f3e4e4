#include "app/autopilot.h"

#include <cmath>
#include <vector>

#include "app/globals.h"
#include "game/heading.h"
#include "game/spaceship.h"
#include "opponents/aiplayer.h"
#include "opponents/enemymanager.h"

namespace {

constexpr int kFireKeys[4] = {'Z', 'X', 'C', 'V'};

// The weapon categories each range class fires, as the computer players do.
bool CategoryFits(int rangeClass, int category) {
  switch (rangeClass) {
    case 1: return category == 2 || category == 3 || category == 5 || category == 6;
    case 2: return category == 1 || category == 3 || category == 4 || category == 5;
    case 3: return category == 0 || category == 4 || category == 5 || category == 6;
    default: return category == 0 || category == 6;
  }
}

int RangeClass(float distance) {
  if (distance < 350) return 1;
  if (distance < 1000) return 2;
  if (distance < 5000) return 3;
  return 4;
}

void TurnTowards(float theta, float angle, bool* keys) {
  const float m = std::min(std::fabs(theta - angle), std::fabs(theta - 360 - angle));
  if (angle > theta) {
    if (angle - theta > m)
      keys[vk::Left] = true;
    else
      keys[vk::Right] = true;
  } else if (theta > angle) {
    if (theta - angle > m)
      keys[vk::Right] = true;
    else
      keys[vk::Left] = true;
  }
}

}  // namespace

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
  TurnTowards(HeadingTowards(ship.x, ship.y, tx, ty, ship.angle), ship.angle, keys);

  const int rangeClass = RangeClass(best);
  for (int slot = 0; slot < 4; ++slot)
    if (CategoryFits(rangeClass, ship.weapons[slot].category)) keys[kFireKeys[slot]] = true;
}
