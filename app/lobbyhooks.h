// Connects the window thread's heartbeat tick (app/heartbeat.h) to the
// global network handler: once this copy hosts a networked game, the tick
// announces it to the master server.
#pragma once

void InstallLobbyHeartbeat();

// The program is ending: a hosted game leaves the master server's list now
// rather than when its heartbeats have been missed.
void WithdrawLobbyAnnouncement();
