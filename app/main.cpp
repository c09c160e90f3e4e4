// Process entry: the window thread. Opens the window and its GL context,
// hands the context to the game thread, then pumps events and ticks the
// heartbeat until the program ends; joins the game thread before leaving.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/commandline.h"
#include "app/gameloop.h"
#include "app/gameobjects.h"
#include "app/globals.h"
#include "app/heartbeat.h"
#include "app/inputhandler.h"
#include "app/lobbyhooks.h"
#include "app/platform.h"
#include "app/timedemo.h"
#include "render/glwrapper.h"

int main(int argc, char** argv) {
  CommandLine options;
  std::string error;
  if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "voidrake2: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(CommandLineUsage().c_str(), stdout);
    return 0;
  }
  timedemoOptions = options.timedemo;
  inloop = 2;
  timetilheartbeat = 1;
  quitall = false;

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
