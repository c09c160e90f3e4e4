// The platform layer: the only code that talks to SDL. Window, GL context,
// event pump, key mapping, presentation (letterboxing), cursor, ticks and
// message boxes. Everything else sees the input globals of platform/globals.h
// and these functions.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/framesize.h"

namespace platform {

// The logical frame every projection and viewport uses.
constexpr int kFrameWidth = ::kFrameWidth;
constexpr int kFrameHeight = ::kFrameHeight;

struct WindowOptions {
  bool hidden = false;  // no visible window (tests)
};

// Initialises SDL video (OpenWindow does it too). False with the reason when
// there is no display.
bool InitVideo(std::string* error);
// Opens the window titled "Voidrake 2 <version>" - desktop full screen when
// EnterFullscreen succeeded before, otherwise 1024x768 - and creates the GL
// context (double-buffered RGBA, depth >= 16, stencil >= 1). The context is
// left current on the calling thread. Returns false and fills `error` on
// failure.
bool OpenWindow(const WindowOptions& options, std::string* error);
// Releases the context from the calling thread (so another can take it).
void ReleaseContext();
// Makes the context current on the calling thread.
bool MakeContextCurrent();
// Destroys the frame buffer objects (when the context is current on the
// caller), the context and the window, and shuts SDL down.
void CloseWindow();

enum class FullscreenResult { kOk, kNoDisplayMode, kModeFailed };
// Desktop full screen (window thread). Before the window exists it checks the
// desktop mode and has the window created full screen (which also works
// without a window manager); afterwards it switches the open window.
// kNoDisplayMode when the desktop mode cannot be read, kModeFailed when the
// switch fails.
FullscreenResult EnterFullscreen();

// Binds the 1024x768 frame target (the window itself, or the off-screen
// frame when the window has another size) and sets the frame viewport.
// Called at the start of every frame, and by drawing code that rendered
// into buffers of its own and wants to draw to the frame again.
void BeginFrame();
// The GL framebuffer name of the frame target (0 when it is the window).
unsigned int FrameFramebuffer();
// Presents the frame: letterbox blit when needed, then buffer swap. The frame
// target is bound again afterwards.
void SwapBuffers();
// True (once) when the window lost what was presented - shown, exposed,
// resized - so a screen that draws only on change must draw again.
bool TakeRedrawRequest();
// True when drawing goes to an off-screen frame rather than the window.
bool FrameIsOffscreen();

// Address of a GL entry point, or nullptr.
void* GetProcAddress(const char* name);

// Milliseconds since start-up (process start, monotonic).
uint32_t Ticks();
// Sleeps the calling thread for about `ms` milliseconds.
void SleepMs(uint32_t ms);

// Cursor position in frame coordinates (0..1023, 0..767, y down).
void CursorPosition(int* x, int* y);
// Records the cursor position in frame coordinates (the event pump does this
// on every mouse event; tests use it to place the cursor).
void StoreCursorPosition(int x, int y);
// Maps a window position (window points) to frame coordinates for a window
// of the given size, keeping the aspect (letterbox) and clamping.
void WindowToFrame(int wx, int wy, int windowW, int windowH, int* fx, int* fy);
// Shows or hides the system cursor (applied on the window thread; cheap to
// call every frame).
void SetCursorVisible(bool visible);
bool CursorVisible();
// While a choice is offered, gamepads step between its options and A takes
// the highlighted one (platform/gamepadmapper.h).
void SetPadChoosing(bool choosing);

// Shows a message box (or prints "Error: <text>" to stderr when
// VOIDRAKE_NO_DIALOGS=1 is set) and waits until it is dismissed.
void ShowMessageBox(const std::string& text, const std::string& caption);

// Asks the window loop to end (the equivalent of a posted quit message).
// Safe from any thread.
void PostQuit();
bool QuitRequested();

// One input event as the game sees it: virtual-key codes (platform/globals.h),
// characters already converted to the font's single-byte code.
struct InputEvent {
  enum Kind { kKeyDown, kKeyUp, kChar, kButtonDown, kButtonUp, kClose };
  Kind kind = kKeyDown;
  int key = 0;          // virtual-key code for kKeyDown/kKeyUp
  char ch = 0;          // Latin-1 character for kChar
  bool repeat = false;  // kKeyDown made by the keyboard's auto-repeat
  int physical = 0;     // the keyboard key itself (before SetKeyTable), 0 for others
};

// What each keyboard key is read as (the player's own keys): key -> the key
// the game sees, 0 for none. Letters, digits and space stay themselves while
// the chat line is open or the name is typed, so that typing flies nothing.
// Any thread.
void SetKeyTable(const std::array<int, 256>& table);

// Full screen or a 1024x768 window, switched on the window thread's next
// pass (any thread may ask).
void RequestFullscreen(bool on);
bool IsFullscreen();

// Maps an SDL scancode to the game's virtual-key code, or 0 when the game
// has no use for the key.
int ScancodeToVirtualKey(int scancode);
// Converts UTF-8 text to Latin-1, dropping characters outside Latin-1 and
// control characters.
std::string Utf8ToLatin1(const std::string& utf8);

// Pumps window events, handing each to `onEvent`, until a quit is requested.
// Sleeps between events; wakes every `tickMs` for the heartbeat tick `onTick`.
void RunEventLoop(void (*onEvent)(const InputEvent&), void (*onTick)(), uint32_t tickMs);

}  // namespace platform
