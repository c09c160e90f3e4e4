// Start-up of the game thread: takes the GL context, sets the fixed GL state,
// loads every picture, frame sequence and sound into its slot, builds the
// level and makes every subsystem object ready in its fixed order. Returns
// the tick count taken as the start of the first frame.
#pragma once

#include <cstdint>

uint32_t StartUp();

// Everything a game set up (connections, opponent table, projectiles,
// explosions, the ship, the protocol's state, the message log) goes back to
// how start-up left it, so that another game can start in the same run.
void ResetGame();
