// The game's one protocol, wired to the global objects on first use, and
// the calls the screens and the frame make on it.
#pragma once

#include <string>

class GameProtocol;

GameProtocol& GlobalProtocol();

// Called once per frame after the opponent table update.
void UpdateNetwork();

// The hosting copy's computer players: one frame of each (after the local
// player's projectiles).
void UpdateComputerPlayers();

// The game's protocol forgets the match (callbacks and tracing stay).
void ResetProtocol();

// Sends a chat line (message 55) to the other players.
void SendMessageA(const std::string& text);

// Joins, admissions, departures and chat lines on stderr ("net: ...").
void SetProtocolTrace(bool on);
