// The hosting copy's announcement to the master server. The window thread's
// heartbeat tick asks IsAnnounced and then calls NetworkHandler::HeartBeat,
// whose exchange runs on a thread of its own: the window thread never waits
// for the master server.
#pragma once

class NetworkHandler;

// True once `handler` hosts a game whose name and mode are set
// (SetGameStats in the server role): from then on the tick announces it.
bool IsAnnounced(const NetworkHandler& handler);

// The hosted game has ended: no more heartbeats, and the master server is
// told at once (waiting at most a second) so that it stops listing the game.
// Does nothing unless `handler` is announced.
void WithdrawAnnouncement(NetworkHandler& handler);

// Waits until the heartbeat in flight, if any, has finished its exchange.
void WaitForHeartbeat();
