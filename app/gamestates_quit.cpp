// The in-game quit confirmation: leave to the title or quit the program,
// chosen with the mouse, the keys shown on the choices, or a gamepad (the
// stick or d-pad steps, A takes, Back returns to the game). A game against
// the computer stands still meanwhile; a networked one goes on.
#include <string>

#include "app/drawall.h"
#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/gamestates_internal.h"
#include "app/lobbyhooks.h"
#include "app/protocolhooks.h"
#include "app/startup.h"
#include "net/networkhandler.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "protocol/gameprotocol.h"
#include "render/defaultsprite.h"
#include "render/text.h"
#include "render/textureslots.h"
#include "sim/enemymanager.h"

using namespace screens;

namespace {

enum Choice { kLeave, kQuit, kChoices };

constexpr int kBoxTop = 420, kBoxHeight = 32, kBoxWidth = 300;
constexpr LabelBox kBoxes[kChoices] = {
    {512 - 10 - kBoxWidth, kBoxTop, kBoxWidth, kBoxHeight, "L: Leave to the title"},
    {512 + 10, kBoxTop, kBoxWidth, kBoxHeight, "Enter: Quit the program"},
};

int highlighted = kLeave;
bool padStepHeld[2] = {false, false};  // previous, next: one step per press

// Players a hosting copy's leaving drops (computer players are its own).
int DroppedPlayers() {
  if (!multiplayer || !Networking.isServer) return 0;
  return static_cast<int>(Enemies.players.size()) - GlobalProtocol().BotCount();
}

void DrawQuestion() {
  DarkenScreen();
  PrintTextColor(67, 376,
                 "Are you sure you want to quit?  Press enter to quit, and escape to return to "
                 "the game.",
                 1, 1, 1);
  const int dropped = DroppedPlayers();
  if (dropped > 0) {
    const std::string warning = std::to_string(dropped) + (dropped == 1 ? " player" : " players") +
                                " will be dropped: your game ends for everyone in it.";
    PrintTextColor(67, 400, warning.c_str(), 1, 0.6f, 0.2f);
  }
  for (int i = 0; i < kChoices; ++i) DrawLabelBox(kBoxes[i], i == highlighted);
  PrintTextColor(67, TextY(kBoxTop + kBoxHeight + 16),
                 "Gamepad: the stick or d-pad chooses, A takes it, Back returns to the game.", 0.7f,
                 0.7f, 0.7f);
}

// The game ends for this copy: the others are told (a host's leave ends the
// match for its clients), the lobby forgets a hosted game, and the title
// comes back with everything reset, as after a lost host.
void LeaveToTitle() {
  GlobalProtocol().SendLeave();
  if (multiplayer && Networking.isServer) WithdrawLobbyAnnouncement();
  QuitConfirmClosed();
  ResetGame();
  lclick = false;
  inloop = ScreenState::Title;
}

void QuitProgram() {
  GlobalProtocol().SendLeave();
  quitall = true;
  platform::PostQuit();
}

// One step per press of the gamepad's previous / next.
void StepHighlight() {
  const bool now[2] = {keys[vk::PadPrevious], keys[vk::PadNext]};
  if (now[0] && !padStepHeld[0]) highlighted = (highlighted + kChoices - 1) % kChoices;
  if (now[1] && !padStepHeld[1]) highlighted = (highlighted + 1) % kChoices;
  padStepHeld[0] = now[0];
  padStepHeld[1] = now[1];
}

// The choice taken this frame, or -1.
int TakenChoice() {
  if (keys[vk::Return]) return kQuit;
  if (!typing && keys['L']) return kLeave;
  if (keys[vk::PadAccept]) {
    keys[vk::PadAccept] = false;
    return highlighted;
  }
  int x = 0, y = 0;
  platform::CursorPosition(&x, &y);
  for (int i = 0; i < kChoices; ++i) {
    if (!kBoxes[i].Contains(x, y)) continue;
    highlighted = i;  // the mouse points at it
    if (lclick) {
      lclick = false;
      return i;
    }
  }
  return -1;
}

}  // namespace

void QuitConfirmClosed() {
  SetSimulationPaused(false);
  highlighted = kLeave;
}

void QuitConfirmFrame() {
  // Escape while still joining gives the join up: there is no game yet to
  // return to, and the join may wait minutes for a host that went quiet.
  if (multiplayer && !rdyforgame) {
    ShowNotice("Stopped joining " + joiningName + ".", kFailedNoticeFrames);
    return;
  }
  // The choices take clicks; so does a dead ship's menu under the question.
  platform::SetCursorVisible(true);
  SetSimulationPaused(!multiplayer);
  PlayingPrelude();
  StepHighlight();
  const int taken = TakenChoice();
  if (taken == kQuit) QuitProgram();
  if (taken == kLeave) return LeaveToTitle();
  if (keys[vk::Escape]) inloop = ScreenState::Playing;
  DrawAll(graphicslevel);
  DrawQuestion();
  platform::SwapBuffers();
}
