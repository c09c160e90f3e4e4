// The in-game menu tree's records: pages of the global Menus.
#include <utility>

#include "app/gameobjects.h"
#include "render/text.h"
#include "ui/menu.h"

void AddMenu(int width, int rows) {
  menus page;
  page.menu.InitMe(&Textures, static_cast<int>(base));
  page.width = width;
  page.rows = rows;
  Menus.push_back(std::move(page));
}

void AddMenuItem(std::string text, int cost, int action, int argument, std::string help) {
  if (Menus.empty()) return;
  menus& page = Menus.back();
  page.menu.AddItem(std::move(text));
  page.costs.push_back(cost);
  page.actions.push_back(action);
  page.arguments.push_back(argument);
  page.helpLines.push_back(std::move(help));
}
