// Process entry: the window thread. Opens the window and its GL context,
// hands the context to the game thread, then pumps events and ticks the
// heartbeat until the program ends; joins the game thread before leaving.
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "app/gameloop.h"
#include "app/gameobjects.h"
#include "app/globals.h"
#include "app/heartbeat.h"
#include "app/inputhandler.h"
#include "app/platform.h"
#include "render/glwrapper.h"

namespace {

struct Options {
  bool windowed = false;
  bool printStartupTime = false;
  bool traceStates = false;
  bool help = false;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--windowed") == 0) {
      options->windowed = true;
    } else if (std::strcmp(argv[i], "--print-startup-time") == 0) {
      options->printStartupTime = true;
    } else if (std::strcmp(argv[i], "--trace-states") == 0) {
      options->traceStates = true;
    } else if (std::strcmp(argv[i], "--help") == 0) {
      options->help = true;
    } else {
      std::fprintf(stderr, "voidrake2: unknown option %s (try --help)\n", argv[i]);
      return false;
    }
  }
  return true;
}

const char kUsage[] =
    "usage: voidrake2 [--windowed] [--print-startup-time] [--trace-states]\n"
    "  --windowed            a 1024x768 window instead of desktop full screen\n"
    "  --print-startup-time  print the time to the first title frame on stderr\n"
    "  --trace-states        print every change of screen state on stderr\n";

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) return 2;
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  inloop = 2;
  timetilheartbeat = 1;
  quitall = false;

  std::string error;
  platform::WindowOptions window;
  window.windowed = options.windowed;
  if (!platform::OpenWindow(window, &error)) {
    platform::ShowMessageBox("Could not open the window: " + error, "Error");
    return 1;
  }
  Utility.EnableOpenGL();
  if (!options.windowed) Utility.ChangeToFullscreen();
  platform::ReleaseContext();

  GameThreadOptions gameOptions;
  gameOptions.printStartupTime = options.printStartupTime;
  gameOptions.traceStates = options.traceStates;
  std::thread game;
  try {
    game = std::thread([gameOptions] { GameProc(gameOptions); });
  } catch (const std::system_error&) {
    platform::ShowMessageBox("Create Game Thread Failed!", "Error");
    Utility.DisableOpenGL();
    return 0;
  }

  platform::RunEventLoop(&HandleInputEvent, &OnHeartbeatTick);
  quitall = true;
  game.join();
  Utility.DisableOpenGL();
  return 0;
}
