// Start-up of the game thread: takes the GL context, sets the fixed GL state,
// loads every picture, frame sequence and sound into its slot, builds the
// level and makes every subsystem object ready in its fixed order. Returns
// the tick count taken as the start of the first frame.
#pragma once

#include <cstdint>

uint32_t StartUp();

// Set by start-up once every subsystem a game needs is ready. Until then the
// title screen's game choices say so on stderr and stay on the title.
extern bool gameReady;
