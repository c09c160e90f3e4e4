// The master-server heartbeat tick of the window thread: every 25 ms tick
// counts down while this copy hosts a networked game; the announcement goes
// out on the first tick after hosting starts and then every 1750 ticks
// (about 44 s). Games against computer players are never announced.
#pragma once

constexpr int kHeartbeatTicks = 1750;

// One tick. Counts `timetilheartbeat` down while `hosting`; true when the
// heartbeat is to be sent now (never for game mode 1).
bool HeartbeatTick(bool hosting, int game);

// The network side of the tick, installed once the network handler is ready
// (start-up): whether this copy is the server, and the sender. Until both
// are installed the tick does nothing.
using HostingQuery = bool (*)();
using HeartbeatSender = void (*)();
void SetHeartbeatHooks(HostingQuery hosting, HeartbeatSender send);

// The window thread's 25 ms tick: HeartbeatTick over the installed hooks.
void OnHeartbeatTick();
