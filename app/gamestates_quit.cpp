// The in-game quit confirmation: leave to the title or quit the program,
// chosen with the mouse, the keys shown on the choices, or a gamepad (the
// stick or d-pad steps, A takes, Back returns to the game). A game against
// the computer stands still meanwhile; a networked one goes on.
#include <GL/gl.h>

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

// A choice's box in frame pixels (y down) and its label.
struct ChoiceBox {
  int left, top, width, height;
  const char* label;
  bool Contains(int x, int y) const {
    return x >= left && x < left + width && y >= top && y < top + height;
  }
};
constexpr int kBoxTop = 420, kBoxHeight = 32, kBoxWidth = 300;
constexpr ChoiceBox kBoxes[kChoices] = {
    {512 - 10 - kBoxWidth, kBoxTop, kBoxWidth, kBoxHeight, "L: Leave to the title"},
    {512 + 10, kBoxTop, kBoxWidth, kBoxHeight, "Enter: Quit the program"},
};

int highlighted = kLeave;
bool padStepHeld[2] = {false, false};  // previous, next: one step per press

// Text-space y (origin bottom left) of a line whose top is at frame y.
float TextY(int top) { return static_cast<float>(platform::kFrameHeight - top - 16); }

void Quad(float left, float top, float w, float h, float r, float g, float b, float a) {
  MiniMap.ChangeSize(w, h);
  MiniMap.RenderMeQuads(left + w / 2, top + h / 2, 0, 0, a, r, g, b, kWhiteQuadTexture);
}

void DrawBox(const ChoiceBox& box, bool lit) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, platform::kFrameWidth, platform::kFrameHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  const float l = static_cast<float>(box.left), t = static_cast<float>(box.top);
  const float w = static_cast<float>(box.width), h = static_cast<float>(box.height);
  Quad(l, t, w, h, 0.1f, 0.25f, 0.45f, lit ? 0.9f : 0.5f);
  const float edge = lit ? 1.0f : 0.5f;
  Quad(l, t, w, 2, edge, edge * 0.9f, edge * 0.35f, 1);
  Quad(l, t + h - 2, w, 2, edge, edge * 0.9f, edge * 0.35f, 1);
  Quad(l, t, 2, h, edge, edge * 0.9f, edge * 0.35f, 1);
  Quad(l + w - 2, t, 2, h, edge, edge * 0.9f, edge * 0.35f, 1);
  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  const float labelWidth = kGlyphAdvance * static_cast<float>(std::string(box.label).size());
  PrintTextColor(l + (w - labelWidth) / 2, TextY(box.top + (box.height - 16) / 2), box.label, 1, 1,
                 1);
}

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
  for (int i = 0; i < kChoices; ++i) DrawBox(kBoxes[i], i == highlighted);
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
