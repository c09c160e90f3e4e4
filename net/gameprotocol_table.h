// What the messages say about players, applied to an opponent table: one
// set of rules for the player's hosting copy, its clients and the dedicated
// host (whose table is what its computer players see).
#pragma once

#include <string>

class EnemyManager;
namespace msg {
struct FullState;
struct ShortState;
}  // namespace msg

namespace protocol_table {

// A player first heard of: a row of the final size, its hit box `size`
// until its first full state. Returns the row, or -1 when the player has
// one already or the table is full.
int AddPlayer(EnemyManager& table, const std::string& name, float guid, float size);
// A ship's state, already corrected for latency, applied to its row when it
// has one. Returns the row (-1: nobody).
int ApplyState(EnemyManager& table, const msg::FullState& m);
int ApplyState(EnemyManager& table, const msg::ShortState& m);

}  // namespace protocol_table
