// The platform layer: the only code that talks to SDL. Window, GL context,
// event pump, key mapping, presentation (letterboxing), cursor, ticks and
// message boxes. Everything else sees the input globals of app/globals.h
// and these functions.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The logical frame every projection and viewport uses.
constexpr int kFrameWidth = 1024;
constexpr int kFrameHeight = 768;

struct WindowOptions {
  bool windowed = false;  // 1024x768 window instead of desktop full screen
  bool hidden = false;    // no visible window (tests)
};

// Initialises SDL video, opens the window and creates the GL context
// (double-buffered RGBA, depth >= 16, stencil >= 1). The context is left
// current on the calling thread. Returns false and fills `error` on failure.
bool OpenWindow(const WindowOptions& options, std::string* error);
// Releases the context from the calling thread (so another can take it).
void ReleaseContext();
// Makes the context current on the calling thread.
bool MakeContextCurrent();
// Destroys the context and the window and shuts SDL video down.
void CloseWindow();

// Binds the 1024x768 frame target (the window itself, or the off-screen
// frame when the window has another size). Called at the start of drawing.
void BeginFrame();
// Presents the frame: letterbox blit when needed, then buffer swap.
void SwapBuffers();
// True when drawing goes to an off-screen frame rather than the window.
bool FrameIsOffscreen();

// Address of a GL entry point, or nullptr.
void* GetProcAddress(const char* name);

// Milliseconds since start-up.
uint32_t Ticks();
// Sleeps the calling thread for about `ms` milliseconds.
void SleepMs(uint32_t ms);

// Cursor position in frame coordinates (0..1023, 0..767, y down).
void CursorPosition(int* x, int* y);
// Shows or hides the system cursor (applied on the window thread).
void SetCursorVisible(bool visible);

// Shows a message box (or prints "Error: <text>" to stderr when
// VOIDRAKE_NO_DIALOGS=1 is set) and waits until it is dismissed.
void ShowMessageBox(const std::string& text, const std::string& caption);

// Asks the window loop to end (the equivalent of a posted quit message).
void PostQuit();
bool QuitRequested();

// Pumps window events into the input globals until a quit is requested,
// waking at least every 25 ms for the heartbeat tick `onTick`.
void RunEventLoop(void (*onTick)());

}  // namespace platform
