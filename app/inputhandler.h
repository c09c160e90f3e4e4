// What the window thread does with each input event: the key table, the chat
// line, name entry, enter and escape, and the left button. Kept apart from
// SDL (the platform layer hands over translated events) so it can be driven
// directly by tests.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "base/screenstate.h"
#include "platform/platform.h"

// Applies one event to the input globals of platform/globals.h.
void HandleInputEvent(const platform::InputEvent& event);

// Called by the game thread right before and right after each frame. A press
// and release of the left button or of a key that both arrive before a frame
// begins would otherwise never be seen (a touchpad tap delivers both at once;
// a quick tap of enter is shorter than a frame): the release is held back
// until a frame has run from start to end with the button or key down.
void BeginFrameInput();
void EndFrameInput();

// Chat lines finished with enter on the window thread, waiting to be
// prefixed with the player's name and sent by the game thread (the network
// handler is used from the game thread only). Takes them out of the queue.
std::vector<std::string> TakeTypedChat();

// The controls screen asks for the next key pressed: it is taken whole (the
// key the keyboard has, before the player's own keys apply) instead of
// acting. TakeCapturedKey gives it once, 0 while none came.
void StartKeyCapture();
void StopKeyCapture();
int TakeCapturedKey();

// Where the controls screen goes back to (escape): the options or the game.
extern std::atomic<ScreenState> controlsReturn;

// Clears the press latches and the chat queue (tests, new runs).
void ResetInputState();
