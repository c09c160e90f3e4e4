// What the messages say about players and their projectiles, applied to an
// opponent table: one set of rules for the hosts (the player's hosting copy
// and the dedicated host, whose table is what its computer players see) and
// the clients.
#pragma once

#include <string>

#include "net/messages.h"
#include "sim/enemymanager.h"

namespace protocol_table {

// A player first heard of: a row of the final size, its hit box `size`
// until its first full state. Returns the row, or -1 when the player has
// one already or the table is full.
int AddPlayer(EnemyManager& table, const std::string& name, float guid, float size);
// A ship's state, already corrected for latency, applied to its row when it
// has one. Returns the row (-1: nobody).
int ApplyState(EnemyManager& table, const msg::FullState& m);
int ApplyState(EnemyManager& table, const msg::ShortState& m);

// The projectile `guid` of the player in `row`, or nullptr.
const EnemyManager::bullet* FindProjectile(const EnemyManager& table, int row, float guid);
// A projectile's full state, already corrected, applied to its owner's row
// (made there when the row does not hold it yet).
void ApplyProjectile(EnemyManager& table, int row, const msg::ProjectileFull& m);
// A newly fired projectile. A shot's new message travels unreliably, its
// full state reliably: a full state that overtook it already made the shot,
// and a second one of the same GUID would fly on as a ghost no message
// updates, so a known GUID is left alone.
void AddProjectile(EnemyManager& table, int row, const msg::ProjectileNew& m);
// The moving parts of a projectile the row holds (nothing otherwise).
void ApplyProjectile(EnemyManager& table, int row, const msg::ProjectileShort& m);

}  // namespace protocol_table
