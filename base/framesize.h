// The logical frame every projection and viewport uses, in pixels: the
// camera starts at it and the window letterboxes it.
#pragma once

inline constexpr int kFrameWidth = 1024;
inline constexpr int kFrameHeight = 768;
