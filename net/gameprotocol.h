// The per-frame network exchange of the in-game frame and the chat sender.
// The per-message handling of the game protocol comes with the protocol
// work; until then every waiting packet is drained and released each frame
// so nothing piles up in the queue.
#pragma once

#include <string>

// Called once per frame after the opponent table update.
void UpdateNetwork();

// Sends a chat line (message 55) to the other players.
void SendMessageA(const std::string& text);
