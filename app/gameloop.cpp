#include "app/gameloop.h"

#include <cstdio>

#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/inputhandler.h"
#include "app/startup.h"
#include "app/timedemo.h"
#include "net/networkhandler.h"
#include "platform/globals.h"
#include "platform/platform.h"

namespace {

bool reportStartup = false;

void ReportFirstTitleFrame() {
  if (!reportStartup) return;
  reportStartup = false;
  std::fprintf(stderr, "startup: first title frame presented after %u ms\n",
               static_cast<unsigned>(platform::Ticks()));
}

}  // namespace

bool FrameDue(uint32_t now, uint32_t lastStart) { return now - lastStart > kFrameStepMs; }

uint32_t MsUntilFrame(uint32_t now, uint32_t lastStart) {
  if (FrameDue(now, lastStart)) return 0;
  return lastStart + kFrameStepMs + 1 - now;
}

int GameProc(const GameThreadOptions& options) {
  reportStartup = options.printStartupTime;
  SetTitlePresentedHook(&ReportFirstTitleFrame);
  SetStateTrace(options.traceStates);
  StartUp();
  SetHostSettings(options.host);
  Networking.connectionsPerAddress = options.host.connectionsPerAddress;
  if (!options.connectHost.empty()) JoinDirectly(options.connectHost, options.connectPort);
  if (timedemoOptions.enabled) {
    RunTimedemo(timedemoOptions);
  } else {
    RunMainLoop();
  }
  platform::ReleaseContext();
  // Whatever ended the game thread ends the window thread too.
  platform::PostQuit();
  return 0;
}

void RunMainLoop() {
  // The loading picture has been showing since early in start-up: the title
  // replaces it at once, without waiting out a frame step.
  bool first = true;
  uint32_t frameStart = 0;
  // quitall ends the game; a quit request means the window was closed.
  while (!quitall && !platform::QuitRequested()) {
    uint32_t now = platform::Ticks();
    if (!first && !FrameDue(now, frameStart)) {
      platform::SleepMs(MsUntilFrame(now, frameStart));
      continue;
    }
    first = false;
    frameStart = platform::Ticks();
    BeginFrameInput();
    RunStateFrame();
    EndFrameInput();
  }
}
