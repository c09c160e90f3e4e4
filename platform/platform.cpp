// SDL2 behind the narrow platform interface. The window thread owns the
// window and the event queue; the game thread owns the GL context. Values
// both threads need (window size, cursor position, requests) are atomics.
#include "platform/platform.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <thread>

#include "base/keycodes.h"
#include "base/version.h"
#include "platform/gamepadmapper.h"
#include "platform/glextensions.h"
#include "platform/globals.h"

namespace platform {
namespace {

SDL_Window* gWindow = nullptr;
SDL_GLContext gContext = nullptr;

// Window size in points (mouse coordinates) and drawable size in pixels.
std::atomic<int> gWindowW{kFrameWidth}, gWindowH{kFrameHeight};
std::atomic<int> gDrawableW{kFrameWidth}, gDrawableH{kFrameHeight};
std::atomic<int> gCursorX{0}, gCursorY{0};
std::atomic<bool> gCursorWanted{true};
std::atomic<bool> gPadChoosing{false};
std::atomic<bool> gQuit{false};
std::atomic<bool> gRedraw{true};
Uint32 gWakeEvent = 0;  // user event that only wakes the window thread
std::array<std::atomic<int>, 256> gKeyTable;
std::atomic<bool> gKeyTableSet{false};
std::atomic<int> gFullscreenRequest{-1};  // -1 none, 0 windowed, 1 full screen
// A letter key that opened the chat line (the chat bound to it) must not
// also type its letter into the line.
bool gSwallowText = false;
bool gFullscreenAtCreation = false;

// Off-screen frame (game thread, context current).
GLuint gFrameFbo = 0, gFrameColour = 0, gFrameDepth = 0;
bool gOffscreen = false;

const auto kStart = std::chrono::steady_clock::now();

// Creates the 1024x768 off-screen frame; false when the driver cannot.
bool CreateFrameFbo() {
  if (gFrameFbo) return true;
  if (!Gl().framebuffers) return false;
  const GlExtensions& gl = Gl();
  gl.glGenFramebuffers(1, &gFrameFbo);
  gl.glGenRenderbuffers(1, &gFrameColour);
  gl.glGenRenderbuffers(1, &gFrameDepth);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, gFrameColour);
  gl.glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kFrameWidth, kFrameHeight);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, gFrameDepth);
  gl.glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kFrameWidth, kFrameHeight);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, 0);
  gl.glBindFramebuffer(GL_FRAMEBUFFER, gFrameFbo);
  gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gFrameColour);
  gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                               gFrameDepth);
  bool complete = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!complete) {
    gl.glDeleteFramebuffers(1, &gFrameFbo);
    gl.glDeleteRenderbuffers(1, &gFrameColour);
    gl.glDeleteRenderbuffers(1, &gFrameDepth);
    gFrameFbo = gFrameColour = gFrameDepth = 0;
  }
  return complete;
}

void DestroyFrameFbo() {
  if (!gFrameFbo) return;
  const GlExtensions& gl = Gl();
  gl.glDeleteFramebuffers(1, &gFrameFbo);
  gl.glDeleteRenderbuffers(1, &gFrameColour);
  gl.glDeleteRenderbuffers(1, &gFrameDepth);
  gFrameFbo = gFrameColour = gFrameDepth = 0;
}

std::string WindowTitle() { return std::string("Voidrake 2 ") + kVersion; }

void StoreWindowSize() {
  int w = 0, h = 0;
  SDL_GetWindowSize(gWindow, &w, &h);
  gWindowW = w;
  gWindowH = h;
  SDL_GL_GetDrawableSize(gWindow, &w, &h);
  gDrawableW = w;
  gDrawableH = h;
}

void WakeWindowThread() {
  if (gWakeEvent == 0 || gWakeEvent == static_cast<Uint32>(-1)) return;
  SDL_Event ev{};
  ev.type = gWakeEvent;
  SDL_PushEvent(&ev);
}

void StoreCursor(int wx, int wy) {
  int fx = 0, fy = 0;
  WindowToFrame(wx, wy, gWindowW, gWindowH, &fx, &fy);
  StoreCursorPosition(fx, fy);
}

// Translates one SDL event; returns false when the event means nothing to
// the game. Keys and game controllers go through the mapper instead.
bool Translate(const SDL_Event& ev, std::string* text, InputEvent* out) {
  switch (ev.type) {
    case SDL_TEXTINPUT:
      if (gSwallowText && typing) {
        gSwallowText = false;
        return false;
      }
      gSwallowText = false;
      *text = Utf8ToLatin1(ev.text.text);
      out->kind = InputEvent::kChar;
      return !text->empty();
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      StoreCursor(ev.button.x, ev.button.y);
      if (ev.button.button != SDL_BUTTON_LEFT) return false;
      out->kind = ev.type == SDL_MOUSEBUTTONDOWN ? InputEvent::kButtonDown : InputEvent::kButtonUp;
      return true;
    case SDL_MOUSEMOTION: StoreCursor(ev.motion.x, ev.motion.y); return false;
    case SDL_WINDOWEVENT:
      if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
          ev.window.event == SDL_WINDOWEVENT_RESIZED) {
        StoreWindowSize();
      }
      if (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SHOWN ||
          ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
          ev.window.event == SDL_WINDOWEVENT_RESTORED) {
        gRedraw = true;
      }
      return false;
    case SDL_QUIT: out->kind = InputEvent::kClose; return true;
    default: return false;
  }
}

// ---- Game controllers (window thread) ----

GamepadMapper gPads;
std::map<SDL_JoystickID, SDL_GameController*> gControllers;

void OpenController(int deviceIndex) {
  SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
  if (!pad) return;
  SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
  if (gControllers.count(id)) {
    SDL_GameControllerClose(pad);  // already open (added at start and again by the event)
    return;
  }
  gControllers[id] = pad;
}

void CloseController(SDL_JoystickID id, const GamepadMapper::Emit& emit) {
  gPads.PadRemoved(id, emit);
  auto it = gControllers.find(id);
  if (it == gControllers.end()) return;
  SDL_GameControllerClose(it->second);
  gControllers.erase(it);
}

void CloseControllers() {
  for (auto& [id, pad] : gControllers) SDL_GameControllerClose(pad);
  gControllers.clear();
  gPads = GamepadMapper{};
}

// Keys and game controllers; false when the event is neither.
bool DispatchDevice(const SDL_Event& ev, const GamepadMapper::Emit& emit) {
  const bool menus = gCursorWanted;
  gPads.SetChoosing(gPadChoosing);
  switch (ev.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const int key = ScancodeToVirtualKey(ev.key.keysym.scancode);
      const bool printable =
          (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == vk::Space;
      // Letters typed into the chat line or the name are text, not actions.
      const bool text = printable && (typing || inloop == ScreenState::NameEntry);
      const int action = gKeyTableSet && !text ? gKeyTable[key].load() : key;
      if (ev.type == SDL_KEYDOWN && !ev.key.repeat) gSwallowText = printable && action != key;
      gPads.Key(key, ev.type == SDL_KEYDOWN, ev.key.repeat != 0, emit, action);
      return true;
    }
    case SDL_CONTROLLERDEVICEADDED: OpenController(ev.cdevice.which); return true;
    case SDL_CONTROLLERDEVICEREMOVED: CloseController(ev.cdevice.which, emit); return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      gPads.PadButton(ev.cbutton.which, ev.cbutton.button, ev.type == SDL_CONTROLLERBUTTONDOWN,
                      menus, emit);
      return true;
    case SDL_CONTROLLERAXISMOTION:
      gPads.PadAxis(ev.caxis.which, ev.caxis.axis, ev.caxis.value, menus, emit);
      return true;
    default: return false;
  }
}

// Moves the cursor by the left sticks' deflection (menus only), both the
// game's frame position and the system cursor the player sees.
void MoveCursorByStick() {
  if (!gCursorWanted || !gWindow) return;
  const auto [dx, dy] = gPads.CursorStep();
  if (dx == 0 && dy == 0) return;
  const int fx = std::clamp(gCursorX + dx, 0, kFrameWidth - 1);
  const int fy = std::clamp(gCursorY + dy, 0, kFrameHeight - 1);
  StoreCursorPosition(fx, fy);
  const int ww = gWindowW, wh = gWindowH;
  const double scale =
      std::min(static_cast<double>(ww) / kFrameWidth, static_cast<double>(wh) / kFrameHeight);
  const double ox = (ww - kFrameWidth * scale) / 2.0, oy = (wh - kFrameHeight * scale) / 2.0;
  SDL_WarpMouseInWindow(gWindow, static_cast<int>(ox + (fx + 0.5) * scale),
                        static_cast<int>(oy + (fy + 0.5) * scale));
}

// ---- Test gamepad ----
// VOIDRAKE_TEST_GAMEPAD=FILE attaches one of SDL's virtual game controllers
// and plays the lines appended to FILE on it, so that tests drive the whole
// controller path (SDL's mapping, hot-plug events, the mapper) without
// hardware: "attach", "detach", "button NAME 0|1", "axis NAME VALUE", with
// SDL's names ("a", "start", "dpup", "leftx", ...).
struct TestGamepad {
  int commands = -1;    // file descriptor of FILE
  std::string partial;  // a line not yet finished by its writer
  SDL_JoystickID id = -1;
  SDL_Joystick* joystick = nullptr;
} gTestPad;

void AttachTestGamepad() {
  if (gTestPad.joystick) return;
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
  desc.name = "Voidrake test gamepad";
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0) {
    std::fprintf(stderr, "voidrake2: no test gamepad: %s\n", SDL_GetError());
    return;
  }
  gTestPad.joystick = SDL_JoystickOpen(index);
  gTestPad.id = gTestPad.joystick ? SDL_JoystickInstanceID(gTestPad.joystick) : -1;
}

void DetachTestGamepad() {
  if (!gTestPad.joystick) return;
  SDL_JoystickClose(gTestPad.joystick);
  gTestPad.joystick = nullptr;
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == gTestPad.id) SDL_JoystickDetachVirtual(i);
  }
  gTestPad.id = -1;
}

void RunTestGamepadCommand(const std::string& line) {
  std::istringstream words(line);
  std::string verb, name;
  int value = 0;
  words >> verb >> name >> value;
  if (verb == "attach") AttachTestGamepad();
  if (verb == "detach") DetachTestGamepad();
  if (!gTestPad.joystick) return;
  if (verb == "button") {
    const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
    if (button != SDL_CONTROLLER_BUTTON_INVALID)
      SDL_JoystickSetVirtualButton(gTestPad.joystick, button, value ? SDL_PRESSED : SDL_RELEASED);
  } else if (verb == "axis") {
    const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name.c_str());
    if (axis != SDL_CONTROLLER_AXIS_INVALID)
      SDL_JoystickSetVirtualAxis(gTestPad.joystick, axis,
                                 static_cast<Sint16>(std::clamp(value, -32768, 32767)));
  }
}

void OpenTestGamepad() {
  const char* path = std::getenv("VOIDRAKE_TEST_GAMEPAD");
  if (!path || !*path) return;
  gTestPad.commands = open(path, O_RDONLY | O_CLOEXEC);
  if (gTestPad.commands < 0) std::fprintf(stderr, "voidrake2: cannot read %s\n", path);
  AttachTestGamepad();
}

void PlayTestGamepad() {
  if (gTestPad.commands < 0) return;
  // A regular file: read gives what was appended since, 0 at its end.
  char buffer[512];
  ssize_t got;
  while ((got = read(gTestPad.commands, buffer, sizeof buffer)) > 0) {
    gTestPad.partial.append(buffer, static_cast<size_t>(got));
  }
  // One command per call, so that SDL's next event pump turns each into its
  // event: a press and a release set between two pumps (a busy machine that
  // read both at once) would leave only the release, and the tap was lost.
  const size_t end = gTestPad.partial.find('\n');
  if (end == std::string::npos) return;
  RunTestGamepadCommand(gTestPad.partial.substr(0, end));
  gTestPad.partial.erase(0, end + 1);
}

void CloseTestGamepad() {
  DetachTestGamepad();
  if (gTestPad.commands >= 0) close(gTestPad.commands);
  gTestPad.commands = -1;
  gTestPad.partial.clear();
}

void Dispatch(const SDL_Event& ev, void (*onEvent)(const InputEvent&)) {
  if (DispatchDevice(ev, onEvent)) return;
  std::string text;
  InputEvent in;
  if (!Translate(ev, &text, &in)) return;
  if (in.kind != InputEvent::kChar) {
    onEvent(in);
    return;
  }
  for (char c : text) {
    in.ch = c;
    onEvent(in);
  }
}

// Leaving full screen gives the 1024x768 window back, centred.
void ApplyFullscreenRequest() {
  const int want = gFullscreenRequest.exchange(-1);
  if (want < 0 || !gWindow) return;
  if (want == 1) {
    SDL_SetWindowFullscreen(gWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(gWindow, 0);
    SDL_SetWindowBordered(gWindow, SDL_TRUE);
    SDL_SetWindowSize(gWindow, kFrameWidth, kFrameHeight);
    SDL_SetWindowPosition(gWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  StoreWindowSize();
  gRedraw = true;
}

void ApplyCursorVisibility() {
  int want = gCursorWanted ? SDL_ENABLE : SDL_DISABLE;
  if (SDL_ShowCursor(SDL_QUERY) != want) SDL_ShowCursor(want);
}

}  // namespace

bool InitVideo(std::string* error) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error) *error = SDL_GetError();
    return false;
  }
  // Without a display SDL falls back to drivers that draw nowhere: the game
  // would run with no window a player could see. Only a driver the user
  // asked for by name is taken.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  const std::string name = driver ? driver : "";
  if ((name == "offscreen" || name == "dummy") && !(chosen && *chosen)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (error)
      *error = "no X11 or Wayland display found (SDL offered only its " + name + " driver)";
    return false;
  }
  return true;
}

bool OpenWindow(const WindowOptions& options, std::string* error) {
  if (!InitVideo(error)) return false;
  gQuit = false;
  gWakeEvent = SDL_RegisterEvents(1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  Uint32 flags = SDL_WINDOW_OPENGL | (options.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
  SDL_Rect place{static_cast<int>(SDL_WINDOWPOS_CENTERED), static_cast<int>(SDL_WINDOWPOS_CENTERED),
                 kFrameWidth, kFrameHeight};
  if (gFullscreenAtCreation) {
    // Full screen is a request to the window manager; the borderless window
    // already covering the display is what a bare X server (no manager)
    // shows.
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    if (SDL_GetDisplayBounds(0, &place) != 0) place = SDL_Rect{0, 0, kFrameWidth, kFrameHeight};
  }
  gWindow = SDL_CreateWindow(WindowTitle().c_str(), place.x, place.y, place.w, place.h, flags);
  if (!gWindow) {
    if (error) *error = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  gContext = SDL_GL_CreateContext(gWindow);
  if (!gContext) {
    if (error) *error = SDL_GetError();
    SDL_DestroyWindow(gWindow);
    gWindow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  // The 25 ms frame step paces the game; waiting for the vertical blank
  // would only add latency (and llvmpipe may refuse: harmless).
  SDL_GL_SetSwapInterval(0);
  StoreWindowSize();
  if (!options.hidden) {
    SDL_StartTextInput();
    // Without game controllers the game still plays with keys and mouse.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) OpenTestGamepad();
  }
  return true;
}

void ReleaseContext() {
  if (gWindow) SDL_GL_MakeCurrent(gWindow, nullptr);
}

bool MakeContextCurrent() {
  return gWindow && gContext && SDL_GL_MakeCurrent(gWindow, gContext) == 0;
}

void CloseWindow() {
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) {
    CloseTestGamepad();
    CloseControllers();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
  if (gContext && SDL_GL_GetCurrentContext() == gContext) DestroyFrameFbo();
  gFrameFbo = gFrameColour = gFrameDepth = 0;
  gOffscreen = false;
  gFullscreenAtCreation = false;
  if (gContext) SDL_GL_DeleteContext(gContext);
  gContext = nullptr;
  if (gWindow) SDL_DestroyWindow(gWindow);
  gWindow = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
}

FullscreenResult EnterFullscreen() {
  if (!InitVideo(nullptr)) return FullscreenResult::kNoDisplayMode;
  SDL_DisplayMode mode;
  int display = gWindow ? SDL_GetWindowDisplayIndex(gWindow) : 0;
  if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) {
    return FullscreenResult::kNoDisplayMode;
  }
  if (!gWindow) {
    gFullscreenAtCreation = true;
    return FullscreenResult::kOk;
  }
  if (SDL_SetWindowFullscreen(gWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    return FullscreenResult::kModeFailed;
  }
  StoreWindowSize();
  return FullscreenResult::kOk;
}

void BeginFrame() {
  bool wantOffscreen = gDrawableW != kFrameWidth || gDrawableH != kFrameHeight;
  // Without frame buffer objects the frame is drawn straight to the window
  // (bottom-left part of a larger one): playable, just not centred.
  gOffscreen = wantOffscreen && CreateFrameFbo();
  if (Gl().framebuffers) Gl().glBindFramebuffer(GL_FRAMEBUFFER, gOffscreen ? gFrameFbo : 0);
  glViewport(0, 0, kFrameWidth, kFrameHeight);
}

unsigned int FrameFramebuffer() { return gOffscreen ? gFrameFbo : 0; }

bool FrameIsOffscreen() { return gOffscreen; }

bool TakeRedrawRequest() { return gRedraw.exchange(false); }

void SwapBuffers() {
  if (gOffscreen) {
    int dw = gDrawableW, dh = gDrawableH;
    int fx = 0, fy = 0, fw = dw, fh = dh;
    // Largest 4:3 rectangle centred in the drawable.
    if (static_cast<long>(dw) * kFrameHeight > static_cast<long>(dh) * kFrameWidth) {
      fw = dh * kFrameWidth / kFrameHeight;
      fx = (dw - fw) / 2;
    } else {
      fh = dw * kFrameHeight / kFrameWidth;
      fy = (dh - fh) / 2;
    }
    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glDisable(GL_SCISSOR_TEST);
    const GlExtensions& gl = Gl();
    gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, gFrameFbo);
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, dw, dh);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    gl.glBlitFramebuffer(0, 0, kFrameWidth, kFrameHeight, fx, fy, fx + fw, fy + fh,
                         GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
  }
  SDL_GL_SwapWindow(gWindow);
  if (gOffscreen) BeginFrame();
}

void* GetProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

uint32_t Ticks() {
  auto elapsed = std::chrono::steady_clock::now() - kStart;
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void CursorPosition(int* x, int* y) {
  *x = gCursorX;
  *y = gCursorY;
}

void StoreCursorPosition(int x, int y) {
  gCursorX = x;
  gCursorY = y;
}

void WindowToFrame(int wx, int wy, int windowW, int windowH, int* fx, int* fy) {
  double scale = 1.0, ox = 0.0, oy = 0.0;
  if (windowW > 0 && windowH > 0) {
    scale = std::min(static_cast<double>(windowW) / kFrameWidth,
                     static_cast<double>(windowH) / kFrameHeight);
    ox = (windowW - kFrameWidth * scale) / 2.0;
    oy = (windowH - kFrameHeight * scale) / 2.0;
  }
  int x = static_cast<int>((wx - ox) / scale);
  int y = static_cast<int>((wy - oy) / scale);
  *fx = std::clamp(x, 0, kFrameWidth - 1);
  *fy = std::clamp(y, 0, kFrameHeight - 1);
}

void SetCursorVisible(bool visible) {
  if (gCursorWanted.exchange(visible) != visible) WakeWindowThread();
}

bool CursorVisible() { return gCursorWanted; }

void SetPadChoosing(bool choosing) { gPadChoosing = choosing; }

void SetKeyTable(const std::array<int, 256>& table) {
  for (size_t k = 0; k < table.size(); ++k) gKeyTable[k] = table[k];
  gKeyTableSet = true;
}

void RequestFullscreen(bool on) {
  gFullscreenRequest = on ? 1 : 0;
  WakeWindowThread();
}

bool IsFullscreen() {
  return gWindow && (SDL_GetWindowFlags(gWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                        SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void ShowMessageBox(const std::string& text, const std::string& caption) {
  const char* noDialogs = std::getenv("VOIDRAKE_NO_DIALOGS");
  if (noDialogs && std::string(noDialogs) == "1") {
    std::fprintf(stderr, "Error: %s\n", text.c_str());
    return;
  }
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), gWindow) != 0) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
}

void PostQuit() {
  gQuit = true;
  WakeWindowThread();
}

bool QuitRequested() { return gQuit; }

int ScancodeToVirtualKey(int scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return '1' + (scancode - SDL_SCANCODE_1);
  }
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_BACKSPACE: return vk::Back;
    case SDL_SCANCODE_TAB: return vk::Tab;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return vk::Return;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return vk::Shift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return vk::Control;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return vk::Alt;
    case SDL_SCANCODE_ESCAPE: return vk::Escape;
    case SDL_SCANCODE_SPACE: return vk::Space;
    case SDL_SCANCODE_PAGEUP: return vk::PageUp;
    case SDL_SCANCODE_PAGEDOWN: return vk::PageDown;
    case SDL_SCANCODE_LEFT: return vk::Left;
    case SDL_SCANCODE_UP: return vk::Up;
    case SDL_SCANCODE_RIGHT: return vk::Right;
    case SDL_SCANCODE_DOWN: return vk::Down;
    case SDL_SCANCODE_DELETE: return vk::Delete;
    case SDL_SCANCODE_F1: return vk::F1;
    default: return 0;
  }
}

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      if (c >= 0x20 && c != 0x7F) out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    // Two-byte sequences C2/C3 xx cover U+0080..U+00FF; everything else is
    // outside the font and skipped whole.
    size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
      unsigned char c2 = static_cast<unsigned char>(utf8[i + 1]);
      unsigned code = ((c & 0x1Fu) << 6) | (c2 & 0x3Fu);
      if ((c2 & 0xC0) == 0x80 && code >= 0xA0) out.push_back(static_cast<char>(code));
    }
    i += len;
  }
  return out;
}

void RunEventLoop(void (*onEvent)(const InputEvent&), void (*onTick)(), uint32_t tickMs) {
  uint32_t lastTick = Ticks();
  while (!gQuit) {
    ApplyCursorVisibility();
    ApplyFullscreenRequest();
    uint32_t now = Ticks();
    uint32_t due = lastTick + tickMs + 1;
    int wait = now >= due ? 0 : static_cast<int>(due - now);
    SDL_Event ev;
    if (SDL_WaitEventTimeout(&ev, wait)) {
      do {
        Dispatch(ev, onEvent);
      } while (SDL_PollEvent(&ev));
    }
    PlayTestGamepad();
    now = Ticks();
    if (now - lastTick > tickMs) {
      lastTick = now;
      gPads.SetChoosing(gPadChoosing);
      gPads.Refresh(gCursorWanted, onEvent);
      MoveCursorByStick();
      if (onTick) onTick();
    }
  }
}

}  // namespace platform
