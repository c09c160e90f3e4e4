// Connects the window thread's heartbeat tick (app/heartbeat.h) to the
// global network handler: once this copy hosts a networked game, the tick
// announces it to the master server.
#pragma once

void InstallLobbyHeartbeat();
