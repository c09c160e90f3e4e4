// Pieces the screen states share: the drawing of a menu screen and of the
// playing frame's overlays (app/gamestates_draw.cpp), and the pictures and
// waits of the screens.
#pragma once

#include <span>
#include <string>

#include "render/textureslots.h"

class Button;

namespace screens {

// A clickable box drawn with its label centred: the quit confirmation's
// choices and the controls screen. Frame pixels, y down.
struct LabelBox {
  int left, top, width, height;
  const char* label;
  bool Contains(int x, int y) const {
    return x >= left && x < left + width && y >= top && y < top + height;
  }
  bool Hovered() const;  // the cursor is on it
};

// A help line shown while the cursor is on its button.
struct HelpFor {
  const Button* button;
  const char* text;
};

void ClearScreen();
// A screen picture: the full-screen sprite at (0, 0) with texture slot N.
void DrawPicture(int slot);
// Draws the picture, a frame around each of the `chosen` buttons (the
// choices in force), the name line (when given, with a caret after it when
// asked) and the help of the hovered buttons, and presents it - unless the
// window already shows exactly that. True when a frame was presented.
// `line` (options only) is drawn under the name field; `idleHelp`, when not
// empty, takes the help line while no button is hovered.
bool DrawMenuScreen(int picture, std::span<const HelpFor> help, const std::string* name,
                    std::span<const Button* const> chosen = {}, bool caret = false,
                    const std::string* line = nullptr, const std::string* idleHelp = nullptr,
                    std::span<const LabelBox> boxes = {});
// The next menu frame draws even when nothing changed (another screen drew
// over the window).
void ForgetShownScreen();
// Low graphics masks with the alpha test.
void PlayingPrelude();
// Dims the whole frame (behind the quit question).
void DarkenScreen();
// The menus of the game about to start.
void PrepareGameMenus();
// A line of text centred on a cleared screen, presented.
void DrawCentredText(const std::string& text);

// `lit`: highlighted (chosen, or under the cursor).
void DrawLabelBox(const LabelBox& box, bool lit, const std::string& label = "");
// Text-space y (origin bottom left) of a line whose top is at frame y.
float TextY(int top);

// Frames of a notice: a game that ended, a failed search or join.
constexpr int kEndedNoticeFrames = 120;  // 3 s
constexpr int kFailedNoticeFrames = 80;  // 2 s

// What the player is joining: the listed name, or the address of a game
// found on the LAN.
extern std::string joiningName;
// While waiting to be admitted: the join wait of the protocol and
// "Joining <name>..." on screen.
void JoiningFrame();
// Tells the protocol what ends a match or a join on this copy.
void InstallProtocolCallbacks();

}  // namespace screens
