// Process entry: the window thread. Opens the window and its GL context,
// hands the context to the game thread, then pumps events and ticks the
// heartbeat until the program ends; joins the game thread before leaving.
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/gameloop.h"
#include "app/gameobjects.h"
#include "app/globals.h"
#include "app/heartbeat.h"
#include "app/inputhandler.h"
#include "app/lobbyhooks.h"
#include "app/platform.h"
#include "app/timedemo.h"
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
    } else if (std::strcmp(argv[i], "--timedemo") == 0 || std::strcmp(argv[i], "--level") == 0 ||
               std::strcmp(argv[i], "--seed") == 0) {
      ++i;  // the value is read by ParseTimedemoOptions below
    } else {
      std::fprintf(stderr, "voidrake2: unknown option %s (try --help)\n", argv[i]);
      return false;
    }
  }
  std::string error;
  if (!ParseTimedemoOptions(std::vector<std::string>(argv + 1, argv + argc), timedemoOptions,
                            error)) {
    std::fprintf(stderr, "voidrake2: %s\n", error.c_str());
    return false;
  }
  return true;
}

const char kUsage[] =
    "usage: voidrake2 [--windowed] [--print-startup-time] [--trace-states]\n"
    "                 [--timedemo N [--level L] [--seed S]]\n"
    "  --windowed            a 1024x768 window instead of desktop full screen\n"
    "  --print-startup-time  print the time to the first title frame on stderr\n"
    "  --trace-states        print every change of screen state on stderr\n"
    "  --timedemo N          play N frames against the computer players on autopilot\n"
    "                        as fast as possible, print the figures and exit\n"
    "  --level L             graphics level of the timedemo: 0 high, 1 medium, 2 low\n"
    "                        (default 2)\n"
    "  --seed S              random seed of the timedemo: the same seed, the same fight\n";

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
  if (!platform::InitVideo(&error)) {
    platform::ShowMessageBox("No display: " + error, "Error");
    return 1;
  }
  if (!options.windowed) {
    Utility.ChangeToFullscreen();
    if (platform::QuitRequested()) return 0;
  }
  if (!platform::OpenWindow(platform::WindowOptions{}, &error)) {
    platform::ShowMessageBox(
        options.windowed ? "Could not open the window: " + error : "Display Mode Not Compatible",
        "Error");
    return options.windowed ? 1 : 0;
  }
  Utility.EnableOpenGL();
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
  WithdrawLobbyAnnouncement();
  Utility.DisableOpenGL();
  return 0;
}
