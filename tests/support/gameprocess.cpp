#include "tests/support/gameprocess.h"

#include <FreeImage.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/support/testenv.h"

namespace testsupport {

namespace fs = std::filesystem;

void PrepareRunDirectory(const std::string& dir) {
  for (const char* name : {"Images", "LoopedTextures", "Sounds", "sounds", "Shaders"}) {
    fs::path source = fs::path(RunDir()) / name;
    std::error_code ignored;
    if (fs::exists(source)) fs::create_directory_symlink(source, fs::path(dir) / name, ignored);
  }
}

GameProcess::~GameProcess() { Kill(); }

bool GameProcess::Start(const std::string& workDir, const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& env) {
  workDir_ = workDir;
  std::string binary = binary_.empty() ? BinaryPath() : binary_;
  std::string errPath = workDir + "/stderr.txt";
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    if (chdir(workDir.c_str()) != 0) _exit(127);
    int fd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 2);
      close(fd);
    }
    setenv("VOIDRAKE_NO_DIALOGS", "1", 1);
    // Settings of a working directory without Settings.cfg stay in it too.
    setenv("XDG_CONFIG_HOME", (workDir + "/config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (workDir + "/cache").c_str(), 1);  // the saved server list
    for (const auto& [key, value] : env) setenv(key.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(binary.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  exited_ = false;
  return true;
}

bool GameProcess::Running() {
  if (pid_ <= 0 || exited_) return false;
  int status = 0;
  pid_t r = waitpid(pid_, &status, WNOHANG);
  if (r == pid_) {
    exited_ = true;
    status_ = status;
    return false;
  }
  return true;
}

std::optional<int> GameProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (!WaitFor([this] { return !Running(); }, timeout)) return std::nullopt;
  if (!WIFEXITED(status_)) return std::nullopt;
  return WEXITSTATUS(status_);
}

bool GameProcess::WaitForStderr(const std::string& text, std::chrono::milliseconds timeout) {
  return WaitFor([&] { return Stderr().find(text) != std::string::npos; }, timeout);
}

std::string GameProcess::Stderr() const { return ReadFile(workDir_ + "/stderr.txt"); }

void GameProcess::Kill() {
  if (!Running()) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, &status_, 0);
  exited_ = true;
}

unsigned long GameProcess::Window(std::chrono::milliseconds timeout) {
  unsigned long window = 0;
  WaitFor(
      [&] {
        std::string out =
            // --all: every condition must hold; by default xdotool matches
            // any one, which finds another copy's window of the same title.
            ShellOutput("xdotool search --all --onlyvisible --pid " + std::to_string(pid_) +
                        " --name 'Voidrake 2' 2>/dev/null | head -n 1");
        window = std::strtoul(out.c_str(), nullptr, 10);
        return window != 0;
      },
      timeout);
  return window;
}

PrivateXServer::PrivateXServer(int width, int height) {
  int number = -1;
  for (int n = 200; n < 300 && number < 0; ++n) {
    if (!fs::exists("/tmp/.X" + std::to_string(n) + "-lock") &&
        !fs::exists("/tmp/.X11-unix/X" + std::to_string(n)))
      number = n;
  }
  if (number < 0) return;
  std::string display(1, ':');
  display += std::to_string(number);
  std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  pid_ = fork();
  if (pid_ == 0) {
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      dup2(null, 2);
    }
    execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
           "+extension", "GLX", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
  if (pid_ < 0 || !WaitFor([&] { return fs::exists(socket); }, std::chrono::seconds(10))) {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    return;
  }
  const char* previous = std::getenv("DISPLAY");
  hadDisplay_ = previous != nullptr;
  if (previous) previousDisplay_ = previous;
  setenv("DISPLAY", display.c_str(), 1);
}

PrivateXServer::~PrivateXServer() {
  if (pid_ <= 0) return;
  if (hadDisplay_) {
    setenv("DISPLAY", previousDisplay_.c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ShellOutput(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  std::array<char, 256> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  pclose(pipe);
  return out;
}

namespace {
// The layout of Xlib's XClientMessageEvent on LP64.
struct XClientMessage {
  int type;
  unsigned long serial;
  int send_event;
  void* display;
  unsigned long window;
  unsigned long message_type;
  int format;
  long data[5];
};

std::string Win(unsigned long window) { return std::to_string(window); }
void Settle() {
  // Gives the game a couple of frames to see the event.
  struct timespec ts {
    0, 80 * 1000 * 1000
  };
  nanosleep(&ts, nullptr);
}
}  // namespace

void MoveMouse(unsigned long window, int x, int y) {
  Shell("xdotool mousemove --window " + Win(window) + " " + std::to_string(x) + " " +
        std::to_string(y));
  Settle();
}

void Click(unsigned long window, int x, int y) {
  MoveMouse(window, x, y);
  Shell("xdotool click 1");
  Settle();
}

void TypeText(unsigned long window, const std::string& text) {
  Shell("xdotool windowfocus " + Win(window) + " 2>/dev/null; xdotool type --delay 40 '" + text +
        "'");
  Settle();
}

void PressKey(unsigned long window, const std::string& keysym) {
  Shell("xdotool windowfocus " + Win(window) + " 2>/dev/null; xdotool key " + keysym);
  Settle();
}

void CloseWindow(unsigned long window) {
  // Without a window manager there is no close button: send the
  // WM_DELETE_WINDOW request a window manager would send. Xlib is loaded at
  // run time so the test programs need no X development files.
  void* x11 = dlopen("libX11.so.6", RTLD_NOW);
  if (!x11) return;
  using OpenFn = void* (*)(const char*);
  using AtomFn = unsigned long (*)(void*, const char*, int);
  using SendFn = int (*)(void*, unsigned long, int, long, XClientMessage*);
  using FlushFn = int (*)(void*);
  using CloseFn = int (*)(void*);
  auto open = reinterpret_cast<OpenFn>(dlsym(x11, "XOpenDisplay"));
  auto atom = reinterpret_cast<AtomFn>(dlsym(x11, "XInternAtom"));
  auto send = reinterpret_cast<SendFn>(dlsym(x11, "XSendEvent"));
  auto flush = reinterpret_cast<FlushFn>(dlsym(x11, "XFlush"));
  auto close = reinterpret_cast<CloseFn>(dlsym(x11, "XCloseDisplay"));
  void* display = open && atom && send && flush && close ? open(nullptr) : nullptr;
  if (display) {
    XClientMessage ev{};
    ev.type = 33;  // ClientMessage
    ev.window = window;
    ev.message_type = atom(display, "WM_PROTOCOLS", 0);
    ev.format = 32;
    ev.data[0] = static_cast<long>(atom(display, "WM_DELETE_WINDOW", 0));
    ev.data[1] = 0;  // CurrentTime
    send(display, window, 0, 0, &ev);
    flush(display);
    close(display);
  }
  dlclose(x11);
}

unsigned Picture::Rgb(int x, int y) const {
  const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
  return (unsigned(p[0]) << 16) | (unsigned(p[1]) << 8) | p[2];
}

Picture ReadPicture(const std::string& path) {
  Picture picture;
  FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
  if (format == FIF_UNKNOWN) return picture;
  FIBITMAP* loaded = FreeImage_Load(format, path.c_str(), 0);
  if (!loaded) return picture;
  FIBITMAP* bitmap = FreeImage_ConvertTo32Bits(loaded);
  FreeImage_Unload(loaded);
  if (!bitmap) return picture;
  picture.width = static_cast<int>(FreeImage_GetWidth(bitmap));
  picture.height = static_cast<int>(FreeImage_GetHeight(bitmap));
  picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
  for (int y = 0; y < picture.height; ++y) {
    // FreeImage keeps the bottom row first.
    const BYTE* row = FreeImage_GetScanLine(bitmap, picture.height - 1 - y);
    for (int x = 0; x < picture.width; ++x) {
      unsigned char* out = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
      out[0] = row[x * 4 + FI_RGBA_RED];
      out[1] = row[x * 4 + FI_RGBA_GREEN];
      out[2] = row[x * 4 + FI_RGBA_BLUE];
      out[3] = row[x * 4 + FI_RGBA_ALPHA];
    }
  }
  FreeImage_Unload(bitmap);
  return picture;
}

bool Screenshot(const std::string& pngPath) {
  return Shell("import -window root '" + pngPath + "' 2>/dev/null") == 0;
}

}  // namespace testsupport
