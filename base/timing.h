// The game's clock. Every copy of a match (a player's game, the host without
// a window, the computer players) runs one frame of the simulation per step,
// and every speed, drag and count of frames in the game is per step: copies
// that disagree on these numbers drift apart. Part of the motion library's
// headers, so every simulation folder may include it; it includes nothing.
#pragma once

// The fixed step: one frame every 25 ms, 40 frames a second.
inline constexpr int kFrameStepMs = 25;
inline constexpr int kFramesPerSecond = 1000 / kFrameStepMs;

// A projectile adds its weapon's acceleration to its drift during its first
// frames of age only; the shooter, the host that relays it and every copy
// that moves it on must stop at the same age.
inline constexpr int kAccelerationFrames = 30;
