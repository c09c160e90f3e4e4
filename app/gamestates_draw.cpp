// The drawing the screen states share: menu screens that are presented only
// when what they show changes, and the overlays of the playing frame.
#include <GL/gl.h>

#include <optional>

#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/gamestates_internal.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "render/defaultsprite.h"
#include "render/text.h"
#include "render/textureslots.h"
#include "ui/button.h"

namespace screens {
namespace {

void HelpLine(const char* text) { PrintTextColor(0, 16, text, 0.17647f, 0.67451f, 0.96471f); }

// The name inside the PILOT field of the options and name pictures, at most
// kMaxNameChars characters (a longer name of an old file is shown cut),
// with the caret after it while it is being typed.
void NameLine(const std::string& text, bool caret) {
  const std::string shown = text.substr(0, kMaxNameChars);
  PrintTextColor(772, 607, shown.c_str(), 0, 1, 0);
  if (caret)
    PrintTextColor(772 + kGlyphAdvance * static_cast<float>(shown.size()), 607, "_", 0, 1, 0);
}

// A bright frame around a button: the choice in force on the options screen.
// Drawn with the mini-map sprite, which is centred on the frame's origin.
void Highlight(const Button& button) {
  const float w = static_cast<float>(button.width) + 6, h = static_cast<float>(button.height) + 6;
  const float x = static_cast<float>(button.x), y = static_cast<float>(button.y);
  const float edges[4][4] = {{x, y - h / 2, w + 3, 3},
                             {x, y + h / 2, w + 3, 3},
                             {x - w / 2, y, 3, h + 3},
                             {x + w / 2, y, 3, h + 3}};
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  for (const auto& e : edges) {
    MiniMap.ChangeSize(e[2], e[3]);
    MiniMap.RenderMeQuads(e[0], e[1], 0, 0, 1, 1.0f, 0.9f, 0.35f, kWhiteQuadTexture);
  }
  glDisable(GL_BLEND);
}

// What a menu screen shows. It is drawn again only when this changes or the
// window asks for it (exposed, resized): an idle menu then costs almost
// nothing instead of redrawing the same picture 40 times a second.
struct ScreenView {
  std::optional<ScreenState> state;  // none: draw
  unsigned hovered = 0;
  unsigned chosen = 0;
  std::string name;
  std::string line;
  std::string idleHelp;
  bool operator==(const ScreenView&) const = default;
};
ScreenView shownView;

}  // namespace

void ClearScreen() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void DrawPicture(int slot) { FullscreenFX.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, slot, false, false); }

bool DrawMenuScreen(int picture, std::span<const HelpFor> help, const std::string* name,
                    std::span<const Button* const> chosen, bool caret, const std::string* line,
                    const std::string* idleHelp, std::span<const LabelBox> boxes) {
  ScreenView view;
  view.state = inloop;
  for (size_t i = 0; i < help.size(); ++i) {
    if (help[i].button->IsClicked()) view.hovered |= 1u << i;
  }
  for (size_t i = 0; i < chosen.size(); ++i) {
    if (chosen[i]) view.chosen |= 1u << i;
  }
  if (name) view.name = *name;
  if (line) view.line = *line;
  if (idleHelp && view.hovered == 0) view.idleHelp = *idleHelp;
  bool redraw = platform::TakeRedrawRequest();
  if (!redraw && view == shownView) return false;
  shownView = view;
  ScreenProjection();
  ClearScreen();
  DrawPicture(picture);
  for (const Button* button : chosen)
    if (button) Highlight(*button);
  for (const LabelBox& box : boxes) DrawLabelBox(box, box.Hovered());
  if (name) NameLine(*name, caret);
  if (line) PrintTextColor(712, 563, line->c_str(), 0, 1, 0);
  for (size_t i = 0; i < help.size(); ++i) {
    if (view.hovered & (1u << i)) HelpLine(help[i].text);
  }
  if (!view.idleHelp.empty()) HelpLine(view.idleHelp.c_str());
  platform::SwapBuffers();
  return true;
}

void ForgetShownScreen() { shownView = ScreenView{}; }

bool LabelBox::Hovered() const {
  int x = 0, y = 0;
  platform::CursorPosition(&x, &y);
  return Contains(x, y);
}

float TextY(int top) { return static_cast<float>(platform::kFrameHeight - top - 16); }

namespace {
// Flat quads over the finished frame, in window pixels (top-left origin),
// blended; EndOverlay restores what was there.
void BeginOverlay() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, platform::kFrameWidth, platform::kFrameHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void EndOverlay() {
  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void Quad(float left, float top, float w, float h, float r, float g, float b, float a) {
  MiniMap.ChangeSize(w, h);
  MiniMap.RenderMeQuads(left + w / 2, top + h / 2, 0, 0, a, r, g, b, kWhiteQuadTexture);
}
}  // namespace

void DrawLabelBox(const LabelBox& box, bool lit, const std::string& label) {
  BeginOverlay();
  const float l = static_cast<float>(box.left), t = static_cast<float>(box.top);
  const float w = static_cast<float>(box.width), h = static_cast<float>(box.height);
  Quad(l, t, w, h, 0.1f, 0.25f, 0.45f, lit ? 0.9f : 0.5f);
  const float edge = lit ? 1.0f : 0.5f;
  Quad(l, t, w, 2, edge, edge * 0.9f, edge * 0.35f, 1);
  Quad(l, t + h - 2, w, 2, edge, edge * 0.9f, edge * 0.35f, 1);
  Quad(l, t, 2, h, edge, edge * 0.9f, edge * 0.35f, 1);
  Quad(l + w - 2, t, 2, h, edge, edge * 0.9f, edge * 0.35f, 1);
  EndOverlay();
  const std::string text = label.empty() ? std::string(box.label) : label;
  const float width = kGlyphAdvance * static_cast<float>(text.size());
  PrintTextColor(l + (w - width) / 2, TextY(box.top + (box.height - 16) / 2), text.c_str(), 1, 1,
                 1);
}

void DrawCentredText(const std::string& text) {
  ScreenProjection();
  ClearScreen();
  const float width = kGlyphAdvance * static_cast<float>(text.size());
  PrintTextColor((platform::kFrameWidth - width) / 2, platform::kFrameHeight / 2.0f, text.c_str(),
                 1, 1, 1);
  platform::SwapBuffers();
}

// (Backspace in the chat line is handled as the key arrives,
// app/inputhandler.cpp.)
void PlayingPrelude() {
  if (graphicslevel == 2) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
  }
}

void DarkenScreen() {
  BeginOverlay();
  FullscreenFX.RenderMeQuads(0, 0, 0, 0, 0.6f, 0, 0, 0, kWhiteQuadTexture);
  EndOverlay();
}

}  // namespace screens

void ScreenProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, platform::kFrameWidth, platform::kFrameHeight, 0, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
