// Process entry: the window thread. Opens the window and its GL context,
// hands the context to the game thread, then pumps events and ticks the
// heartbeat until the program ends; joins the game thread before leaving.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/assetslots.h"
#include "app/commandline.h"
#include "app/gameloop.h"
#include "app/gameobjects.h"
#include "app/gamepaths.h"
#include "app/heartbeat.h"
#include "app/inputhandler.h"
#include "app/lobbyhooks.h"
#include "app/playercontrols.h"
#include "app/timedemo.h"
#include "base/version.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "render/glwrapper.h"

namespace {

// The dedicated host is a program of its own, beside this one (or on the
// PATH), so that hosting without a screen loads no GL, sound or SDL code.
int RunDedicatedHost(const std::vector<std::string>& args) {
  constexpr const char* kProgram = "voidrake2-dedicated";
  std::vector<std::string> kept = {kProgram};
  for (const std::string& a : args)
    if (a != "--dedicated") kept.push_back(a);
  std::vector<char*> argv;
  for (std::string& a : kept) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::error_code ignored;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ignored);
  const std::string beside = (self.parent_path() / kProgram).string();
  execv(beside.c_str(), argv.data());
  execvp(kProgram, argv.data());
  std::fprintf(stderr, "voidrake2: cannot run %s: not beside %s nor on the PATH\n", kProgram,
               self.c_str());
  return 127;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (WantsDedicatedHost(args)) return RunDedicatedHost(args);
  CommandLine options;
  std::string error;
  if (!ParseCommandLine(args, options, error)) {
    std::fprintf(stderr, "voidrake2: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(CommandLineUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("voidrake2 %s\n", kVersion);
    return 0;
  }
  if (!ChooseGamePaths(options.dataDir, &error)) {
    std::fprintf(stderr, "voidrake2: %s\n", error.c_str());
    return 2;
  }
  PrefetchFirstPictures();
  timedemoOptions = options.timedemo;
  inloop = ScreenState::Title;
  timetilheartbeat = 1;
  quitall = false;

  if (!platform::InitVideo(&error)) {
    platform::ShowMessageBox("No display: " + error, "Error");
    return 1;
  }
  LoadPlayerControls();
  if (!options.windowed && PlayerControls().fullscreen) {
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
  gameOptions.host = options.host;
  gameOptions.connectHost = options.connectHost;
  gameOptions.connectPort = options.connectPort;
  std::thread game;
  try {
    game = std::thread([gameOptions] { GameProc(gameOptions); });
  } catch (const std::system_error&) {
    platform::ShowMessageBox("Create Game Thread Failed!", "Error");
    Utility.DisableOpenGL();
    return 0;
  }

  // The heartbeat counts the game's frames: the window thread ticks at its step.
  platform::RunEventLoop(&HandleInputEvent, &OnHeartbeatTick, kFrameStepMs);
  quitall = true;
  game.join();
  WithdrawLobbyAnnouncement();
  Utility.DisableOpenGL();
  return 0;
}
