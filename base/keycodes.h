// The game's key codes: the virtual-key numbers the platform layer maps
// physical keys to (platform/platform.cpp) and every reader of a key table
// indexes by. Digits and letters are their characters: '0'..'9', 'A'..'Z'.
#pragma once

namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Alt = 18;
constexpr int Escape = 27, Space = 32, PageUp = 33, PageDown = 34, Delete = 46;
constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
constexpr int F1 = 112;
// Gamepad controls with meanings of their own (no keyboard key makes them):
// Back/Select, and A and the directions while a choice is offered.
constexpr int PadBack = 0xE0, PadAccept = 0xE1, PadPrevious = 0xE2, PadNext = 0xE3;
// The keys of the four weapon slots: where Z X C V sit on a US keyboard.
constexpr int Fire[4] = {'Z', 'X', 'C', 'V'};
}  // namespace vk
