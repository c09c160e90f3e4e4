// End-to-end helpers: run the real game binary in a working directory of its
// own under the test's X display, drive it with real X input (xdotool) and
// take screenshots (ImageMagick's import).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Fills `dir` with what the game reads at start-up: every data directory of
// the run directory is linked in (whatever exists; a build without generated
// pictures still runs, it just draws blank screens).
void PrepareRunDirectory(const std::string& dir);

class GameProcess {
 public:
  GameProcess() = default;
  ~GameProcess();  // kills the game if it still runs
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Starts the binary with `args` in `workDir`; standard error goes to
  // `workDir`/stderr.txt. VOIDRAKE_NO_DIALOGS=1 is always set,
  // XDG_CONFIG_HOME is `workDir`/config, and `env` adds or overrides
  // variables.
  bool Start(const std::string& workDir, const std::vector<std::string>& args,
             const std::map<std::string, std::string>& env = {});
  // Runs another copy of the game (an installed one) instead of the build's.
  void UseBinary(const std::string& path) { binary_ = path; }
  pid_t pid() const { return pid_; }
  bool Running();
  // Waits for the process to end; its exit status, or nullopt on time-out
  // (the process is left running) or when it was killed by a signal.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  // Waits until standard error contains `text`.
  bool WaitForStderr(const std::string& text, std::chrono::milliseconds timeout);
  std::string Stderr() const;
  void Kill();

  // The game's X window (searched by its pid and title), 0 if not found.
  unsigned long Window(std::chrono::milliseconds timeout = std::chrono::seconds(10));

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = 0;
  std::string workDir_;
  std::string binary_;
};

// An Xvfb of its own (a screen size other than the test display's), started
// on a free display number and stopped with the object. While it lives,
// DISPLAY names it, so the game and the X helpers below use it.
class PrivateXServer {
 public:
  PrivateXServer(int width, int height);
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;
  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
  std::string previousDisplay_;
  bool hadDisplay_ = false;
};

// Runs a command line through the shell; its exit status.
int Shell(const std::string& command);
// Standard output of a command line.
std::string ShellOutput(const std::string& command);

// X input through xdotool. Positions are frame coordinates; the game runs
// with the frame at the window's origin in these tests.
void MoveMouse(unsigned long window, int x, int y);
void Click(unsigned long window, int x, int y);
void TypeText(unsigned long window, const std::string& text);
void PressKey(unsigned long window, const std::string& keysym);
// Asks the window to close, as the window manager's close button would.
void CloseWindow(unsigned long window);
// Saves a picture of the whole screen.
bool Screenshot(const std::string& pngPath);

// A decoded picture: RGBA bytes, rows from the top.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;
  bool Empty() const { return rgba.empty(); }
  // Red, green, blue of (x, y), y down, packed as 0xRRGGBB.
  unsigned Rgb(int x, int y) const;
};
// Reads a PNG (or any picture FreeImage knows); empty when it cannot.
Picture ReadPicture(const std::string& path);

// Polls `condition` every 20 ms until it holds or `timeout` passes.
template <typename F>
bool WaitFor(F condition, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    struct timespec ts {
      0, 20 * 1000 * 1000
    };
    nanosleep(&ts, nullptr);
  }
  return condition();
}

}  // namespace testsupport
