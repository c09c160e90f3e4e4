#include "protocol/gameprotocol_table.h"

#include "net/messages.h"
#include "sim/enemymanager.h"

namespace protocol_table {

int AddPlayer(EnemyManager& table, const std::string& name, float guid, float size) {
  if (table.playernumbyguid(guid) >= 0) return -1;
  const int row = table.AddPlayer(size, size, 0, guid, name, false, 1, 1);
  if (row < 0) return -1;  // the table is full
  table.UpdateWeirdVars(row, 128, 128, 0, 1);
  return row;
}

int ApplyState(EnemyManager& table, const msg::FullState& m) {
  const int row = table.playernumbyguid(m.guid);
  if (row < 0) return -1;
  table.UpdatePlayer(row, m.x, m.y, m.angle, m.frozenFrames, m.upHeld, m.bounty, m.vx, m.vy,
                     m.downHeld, m.leftHeld, m.rightHeld, m.maxSpeed);
  table.UpdateWeirdVars(row, m.width, m.height, m.shipTexture, 1);
  return row;
}

// The short form leaves the freeze and the speed limit as they were.
int ApplyState(EnemyManager& table, const msg::ShortState& m) {
  const int row = table.playernumbyguid(m.guid);
  if (row < 0) return -1;
  table.UpdatePlayer(row, m.x, m.y, m.angle, -1, m.upHeld, m.bounty, m.vx, m.vy, m.downHeld,
                     m.leftHeld, m.rightHeld, -1);
  return row;
}

}  // namespace protocol_table

namespace protocol_table {

const EnemyManager::bullet* FindProjectile(const EnemyManager& table, int row, float guid) {
  const EnemyManager::player& owner = table.players[row];
  const int k = owner.bulletIndex.Find(guid);
  return k < 0 ? nullptr : &owner.bullets[static_cast<size_t>(k)];
}

void ApplyProjectile(EnemyManager& table, int row, const msg::ProjectileFull& m) {
  table.UpdateBullet(row, m.x, m.y, m.width, m.height, m.direction, m.style, m.texture, m.lifeLeft,
                     m.speed, m.behaviour, m.turnRate, m.driftX, m.driftY, m.guid, m.acceleration);
}

void AddProjectile(EnemyManager& table, int row, const msg::ProjectileNew& m) {
  if (FindProjectile(table, row, m.guid)) return;
  table.NewBullet(row, m.x, m.y, m.width, m.height, m.direction, m.style, m.texture, m.lifeLeft,
                  m.speed, m.behaviour, m.turnRate, m.driftX, m.driftY, m.guid, m.acceleration);
}

void ApplyProjectile(EnemyManager& table, int row, const msg::ProjectileShort& m) {
  table.UpdateBullet(row, m.x, m.y, m.direction, m.lifeLeft, m.turnRate, m.driftX, m.driftY,
                     m.guid);
}

}  // namespace protocol_table
