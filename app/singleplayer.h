// The six computer players of a game against the computer.
#pragma once

// Sets up Bot[0..5] on teams 2 to 7 (the local player is team 0), each with a
// random hull and a row in the opponent table that starts with 2000 energy
// and 10 hull damage booked as if from the local player.
void SetUpComputerPlayers();
