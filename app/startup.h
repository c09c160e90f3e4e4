// Start-up of the game thread: takes the GL context, sets the fixed GL state,
// loads every picture, frame sequence and sound into its slot, builds the
// level and makes every subsystem object ready in its fixed order. Returns
// the tick count taken as the start of the first frame.
#pragma once

#include <cstdint>

uint32_t StartUp();
