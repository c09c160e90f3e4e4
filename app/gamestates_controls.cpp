// The controls screen: every action with its key and gamepad button, a key
// set by clicking the action and pressing it, the volumes and full screen.
// Reached from the options screen and with F1 in a game, where it is drawn
// over the game (a game against the computer stands still meanwhile).
#include <string>

#include "app/drawall.h"
#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/gamestates_internal.h"
#include "app/inputhandler.h"
#include "app/playercontrols.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "render/text.h"

using namespace screens;

namespace {

constexpr int kRowTop = 96, kRowHeight = 22, kRowLeft = 60, kRowWidth = 904;
constexpr int kKeyX = 340, kPadX = 520;

LabelBox RowBox(int row) {
  return {kRowLeft, kRowTop + kRowHeight * row, kRowWidth, kRowHeight, ""};
}

// What the game keeps for itself, shown under the actions.
constexpr const char* kFixedLines[][3] = {
    {"Back / quit confirmation", "Escape", "Start; Back opens and closes it"},
    {"This screen", "F1", "-"},
    {"Full screen or window", "Alt+Enter", "-"},
};

constexpr int kOptionsTop = kRowTop + kRowHeight * (kActions + 3) + 12;
constexpr LabelBox kMusicDown{560, kOptionsTop, 40, 26, "-"};
constexpr LabelBox kMusicUp{610, kOptionsTop, 40, 26, "+"};
constexpr LabelBox kEffectsDown{560, kOptionsTop + 32, 40, 26, "-"};
constexpr LabelBox kEffectsUp{610, kOptionsTop + 32, 40, 26, "+"};
constexpr LabelBox kFullscreen{560, kOptionsTop + 64, 200, 26, ""};
constexpr LabelBox kDefaults{262, 690, 240, 32, "Restore defaults"};
constexpr LabelBox kBack{522, 690, 240, 32, "Back (Escape)"};

int capturing = -1;  // the action waiting for its key, or -1
std::string message;

void Line(int top, float x, const std::string& text, float grey = 1) {
  PrintTextColor(x, TextY(top), text.c_str(), grey, grey, grey);
}

void Saved() {
  std::string error;
  if (!SavePlayerControls(&error)) message = "Controls could not be saved: " + error;
}

void TakeKey() {
  const int key = TakeCapturedKey();
  if (key == 0) return;
  const Action action = static_cast<Action>(capturing);
  capturing = -1;
  if (key == vk::Escape) {
    message.clear();
    return;
  }
  std::string refusal;
  if (!PlayerControls().Bind(action, key, &refusal)) {
    message = refusal;
    return;
  }
  message = std::string(InfoOf(action).label) + ": " + KeyName(key) + ".";
  Saved();
}

void StartCapture(int row) {
  capturing = row;
  StartKeyCapture();
  message = std::string("Press a key for ") + InfoOf(static_cast<Action>(row)).label +
            " (Escape keeps " + KeyName(PlayerControls().Key(static_cast<Action>(row))) + ").";
}

void Leave() {
  StopKeyCapture();
  capturing = -1;
  message.clear();
  lclick = false;
  inloop = controlsReturn.load();
}

void Click() {
  Controls& c = PlayerControls();
  for (int row = 0; row < kActions; ++row)
    if (RowBox(row).Hovered()) return StartCapture(row);
  const int musicStep = kMusicUp.Hovered() - kMusicDown.Hovered();
  const int effectsStep = kEffectsUp.Hovered() - kEffectsDown.Hovered();
  if (musicStep || effectsStep) {
    c.musicVolume = StepVolume(c.musicVolume, musicStep);
    c.effectsVolume = StepVolume(c.effectsVolume, effectsStep);
    message.clear();
    return Saved();
  }
  if (kFullscreen.Hovered()) {
    c.fullscreen = !platform::IsFullscreen();
    platform::RequestFullscreen(c.fullscreen);
    message.clear();
    return Saved();
  }
  if (kDefaults.Hovered()) {
    c.RestoreDefaults();
    message = "Every key is back to its default.";
    return Saved();
  }
  if (kBack.Hovered()) Leave();
}

void HandleInput() {
  if (capturing >= 0) {
    TakeKey();
  } else if (keys[vk::Escape]) {
    keys[vk::Escape] = false;
    return Leave();
  }
  if (lclick) {
    lclick = false;
    if (capturing < 0) Click();
  }
}

void DrawList() {
  const Controls& c = PlayerControls();
  Line(40, kRowLeft, "CONTROLS - click an action, then press its new key");
  Line(kRowTop - kRowHeight, kRowLeft + 10, "Action", 0.6f);
  Line(kRowTop - kRowHeight, kKeyX, "Key", 0.6f);
  Line(kRowTop - kRowHeight, kPadX, "Gamepad", 0.6f);
  for (int row = 0; row < kActions; ++row) {
    const Action action = static_cast<Action>(row);
    const LabelBox box = RowBox(row);
    if (row == capturing || (capturing < 0 && box.Hovered())) DrawLabelBox(box, true, " ");
    const int top = box.top + 3;
    Line(top, kRowLeft + 10, InfoOf(action).label);
    Line(top, kKeyX, row == capturing ? "..." : KeyName(c.Key(action)), 1);
    Line(top, kPadX, InfoOf(action).gamepad, 0.8f);
  }
  int top = kRowTop + kRowHeight * kActions + 8;
  for (const auto& fixed : kFixedLines) {
    Line(top, kRowLeft + 10, fixed[0], 0.6f);
    Line(top, kKeyX, fixed[1], 0.6f);
    Line(top, kPadX, fixed[2], 0.6f);
    top += kRowHeight;
  }
  Line(kMusicDown.top + 5, kRowLeft + 10, "Music volume: " + std::to_string(c.musicVolume) + " %");
  Line(kEffectsDown.top + 5, kRowLeft + 10,
       "Effects volume: " + std::to_string(c.effectsVolume) + " %");
  Line(kFullscreen.top + 5, kRowLeft + 10, "Display:");
  for (const LabelBox* box :
       {&kMusicDown, &kMusicUp, &kEffectsDown, &kEffectsUp, &kDefaults, &kBack})
    DrawLabelBox(*box, box->Hovered());
  DrawLabelBox(kFullscreen, kFullscreen.Hovered(),
               platform::IsFullscreen() ? "Full screen" : "Window");
  if (!message.empty()) PrintTextColor(0, 16, message.c_str(), 0.17647f, 0.67451f, 0.96471f);
}

}  // namespace

void ControlsFrame() {
  platform::SetCursorVisible(true);
  const bool overGame = controlsReturn == ScreenState::Playing;
  HandleInput();
  if (inloop != ScreenState::Controls) return;
  if (overGame) {
    SetSimulationPaused(!multiplayer);
    PlayingPrelude();
    DrawAll(graphicslevel);
    DarkenScreen();
  } else {
    ScreenProjection();
    ClearScreen();
  }
  DrawList();
  platform::SwapBuffers();
}
