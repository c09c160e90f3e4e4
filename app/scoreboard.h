// The scoreboard shown while Tab is held: every player of the match with
// kills, deaths and bounty, most kills first, the local player's line marked.
#pragma once

#include <string>
#include <vector>

class EnemyManager;
class SpaceShip;

struct ScoreRow {
  std::string name;
  int kills = 0, deaths = 0, bounty = 0;
  bool own = false;
};

// The local ship's line and one per opponent row, sorted by kills (more
// first), then deaths (fewer first); equal rows keep the table's order.
std::vector<ScoreRow> ScoreRows(const SpaceShip& ship, const EnemyManager& enemies);

// One row as printed: marker, name cut to fit, then the three figures.
std::string ScoreLine(const ScoreRow& row);

// Draws the board of the global Player and Enemies over the frame: in the
// middle, or while the ship is dead in the right half, clear of the menu
// (the payload panel there is not drawn while Tab is held).
void DrawScoreboard();
// Text x of the board's lines.
float ScoreboardLeft(bool dead);
