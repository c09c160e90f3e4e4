// Menu: a vertical list of text lines drawn with the bitmap font, with a row
// hit test. The menus record binds one Menu page of the in-game menu tree to
// its per-line data. Menu positions are frame pixels, origin top left, y down.
#pragma once

#include <string>
#include <vector>

class TextureLibrary;

class Menu {
 public:
  static constexpr int kRowHeight = 16;

  int fontBase = 0;                    // first glyph display list (the global base)
  TextureLibrary* textures = nullptr;  // borrowed
  std::vector<std::string> items;      // lines in display order

  void InitMe(TextureLibrary* textures, int fontBase);
  void AddItem(std::string item);
  void ResetMenu();

  // Draws every line once, 16 pixels apart, the first with its text origin at
  // frame height y + 16. An empty menu draws nothing. `arrows` adds nothing.
  void RenderMe(int x, int y, int width, bool arrows);
  // Draws exactly `rows` lines starting at line |scroll| mod count, wrapping
  // from the last line to the first (so a short menu repeats).
  void RenderMe(int x, int y, int width, int rows, int scroll, bool arrows);
  // The line under the cursor, or -1 (the cursor comes from the platform layer).
  int ItemClicked(int x, int y, int width, int rows, int scroll);
  // The hit test of ItemClicked for a given cursor position (cx, cy).
  int ItemAt(int cx, int cy, int x, int y, int width, int rows, int scroll) const;
  // Draws the first min(length, width) characters at (x, y) in text
  // coordinates (origin bottom left), additive.
  void PrintText(float x, float y, const char* text, int width);

 private:
  void RenderRows(int x, int y, int width, int rows, int first);
};

// One page of the in-game menu tree: every per-line vector has one entry per
// line of `menu`.
struct menus {
  Menu menu;
  std::vector<int> costs;              // price in credits (0 for free lines)
  std::vector<int> actions;            // action code (app/menutree.h)
  std::vector<int> arguments;          // argument of the action
  std::vector<std::string> helpLines;  // shown while the cursor is on the line
  int width = 0;                       // characters per line
  int rows = 0;                        // lines drawn
};

// Appends a page to the global Menus (app/gameobjects.h) with its Menu made
// ready on the global Textures and the font base.
void AddMenu(int width, int rows);
// Appends a line and its data to the last page of Menus (ignored while there
// is no page).
void AddMenuItem(std::string text, int cost, int action, int argument, std::string help);
