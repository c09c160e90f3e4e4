// One in-game frame: kill announcements, the simulation step, the world in
// the pass order of the graphics level, and the heads-up display with the
// mini-map (ship alive) or the shop overlay (ship dead).
#pragma once

#include <string>

// Runs one frame at graphics level 2 (low), 1 (medium) or 0 (high). Any
// other level only announces kills. Returns 0.
int DrawAll(int level);

// The announcement of a kill: killer, first phrase, victim, second phrase.
// Phrase numbers outside 1..14 take the last row of the table.
std::string KillText(int phrase, const std::string& killer, const std::string& victim);

// Step A: announces every kill the local player scored since the last frame
// (one line each, appended to the log; sent to the others only in a
// networked game).
void AnnounceKills();

// The HUD lines of the current state (counters, chat line, last messages).
void DrawHud();
// Top-right mini-map panel with the player's and the opponents' dots.
void DrawMiniMap();
// Darkening, the current menu page, the payload panel, cost and help lines,
// and routing of a click to FollowLink.
void DrawShopOverlay();

// Time spent in the simulation step of the last DrawAll, in milliseconds
// (read by the timedemo).
double LastSimulationMs();
