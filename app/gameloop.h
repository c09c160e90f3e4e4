// The game thread: start-up, then one frame of the current screen state
// whenever more than the frame step (base/timing.h) has passed since the
// previous frame began, sleeping in between.
#pragma once

#include <cstdint>
#include <string>

#include "base/timing.h"
#include "net/hostsettings.h"

// True when a frame beginning at `now` is due after one that began at
// `lastStart` (strictly more than the frame step has passed).
bool FrameDue(uint32_t now, uint32_t lastStart);
// Milliseconds to sleep before the next frame is due (0 when it is due).
uint32_t MsUntilFrame(uint32_t now, uint32_t lastStart);

struct GameThreadOptions {
  bool printStartupTime = false;  // report the first presented title frame on stderr
  bool traceStates = false;       // report every change of screen state on stderr
  HostSettings host;              // networked games hosted from the title
  std::string connectHost;        // join this game at once instead of the title
  unsigned short connectPort = NetworkHandler::kGamePort;
};

// The game thread's entry. Takes the GL context, runs start-up and the main
// loop until quitall is set or the window asks to quit, releases the
// context. Returns 0.
int GameProc(const GameThreadOptions& options);

// The main loop after start-up: the first frame (the title) at once, then
// one frame of the current state whenever one is due, sleeping in between,
// until quitall is set or a quit is requested.
void RunMainLoop();
