#include "ui/menu.h"

#include <GL/gl.h>

#include <cstdlib>
#include <utility>

#include "platform/platform.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "render/textureslots.h"

namespace {
// The hit area is the narrower of 12 pixels per character plus 32 and 16
// pixels per character.
constexpr int kHitPerChar = 12;
constexpr int kHitExtra = 32;
constexpr int kMaxHitPerChar = 16;

// |scroll| mod count without overflow for any int.
int FirstLine(int scroll, int count) {
  long long s = scroll;
  if (s < 0) s = -s;
  return static_cast<int>(s % count);
}
}  // namespace

void Menu::InitMe(TextureLibrary* lib, int font) {
  textures = lib;
  fontBase = font;
}

void Menu::AddItem(std::string item) { items.push_back(std::move(item)); }

void Menu::ResetMenu() { items.clear(); }

void Menu::RenderMe(int x, int y, int width, bool) {
  RenderRows(x, y, width, static_cast<int>(items.size()), 0);
}

void Menu::RenderMe(int x, int y, int width, int rows, int scroll, bool) {
  if (items.empty()) return;
  RenderRows(x, y, width, rows, FirstLine(scroll, static_cast<int>(items.size())));
}

void Menu::RenderRows(int x, int y, int width, int rows, int first) {
  if (items.empty() || rows <= 0) return;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, platform::kFrameWidth, 0, platform::kFrameHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  const int count = static_cast<int>(items.size());
  for (int r = 0; r < rows; ++r) {
    const std::string& line = items[(first + r) % count];
    // Menu positions are y-down; text origins are y-up.
    const float top = static_cast<float>(y + kRowHeight + kRowHeight * r);
    PrintText(static_cast<float>(x), platform::kFrameHeight - top, line.c_str(), width);
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

int Menu::ItemClicked(int x, int y, int width, int rows, int scroll) {
  if (items.empty()) return -1;
  int cx = 0, cy = 0;
  platform::CursorPosition(&cx, &cy);
  return ItemAt(cx, cy, x, y, width, rows, scroll);
}

int Menu::ItemAt(int cx, int cy, int x, int y, int width, int rows, int scroll) const {
  if (items.empty()) return -1;
  if (cx < x || cy < y) return -1;
  if (cx > x + kHitPerChar * width + kHitExtra || cy > y + kRowHeight * rows) return -1;
  if (cx - x > kMaxHitPerChar * width) return -1;
  const int count = static_cast<int>(items.size());
  const int row = (cy - y) / kRowHeight;
  return (row + FirstLine(scroll, count)) % count;
}

void Menu::PrintText(float x, float y, const char* text, int width) {
  if (!text || width <= 0) return;
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  if (textures) textures->BindTexture(kFontTexture);
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(x, y, 0);
  DrawGlyphs(text, width);
  glDisable(GL_BLEND);
  glPopMatrix();
}
