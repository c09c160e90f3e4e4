// Start-up of the game thread: takes the GL context, sets the fixed GL state,
// gives every picture and frame its slot (their pixels are decoded in the
// background), loads every sound into its slot, builds the level and makes
// every subsystem object ready in its fixed order.
#pragma once

void StartUp();

// Once per frame: uploads pictures decoded since the last call (a few
// milliseconds' worth), and draws the arena picture once all are in.
// Never blocks.
void ContinueLoading();
// Returns once every picture is uploaded and the arena picture drawn:
// everything a game draws is then there. Cheap once done.
void FinishLoading();

// Everything a game set up (connections, opponent table, projectiles,
// explosions, the ship, the protocol's state, the message log) goes back to
// how start-up left it, so that another game can start in the same run.
void ResetGame();
