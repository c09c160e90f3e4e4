// The shop overlay of a dead ship: darkening, the current menu page, the
// payload panel, the cost and help lines of the line under the cursor, and
// the routing of a click to FollowLink.
#include <GL/gl.h>

#include <algorithm>
#include <string>

#include "app/drawall.h"
#include "app/drawall_internal.h"
#include "app/gameobjects.h"
#include "app/menutree.h"
#include "platform/globals.h"
#include "render/defaultsprite.h"
#include "render/text.h"
#include "sim/spaceship.h"
#include "ui/menu.h"

using drawall_detail::AlphaBlending;
using drawall_detail::PopProjection;
using drawall_detail::PushScreenProjection;

namespace {

// Lines are printed cut at the given width; the utility page's title is
// longer than the page and would end mid-sentence. The hit test keeps the
// page's own width.
int DrawWidth(const menus& page) {
  int width = page.width;
  for (const std::string& item : page.menu.items)
    width = std::max(width, static_cast<int>(item.size()));
  return width;
}

// The help line in light blue at (0, 96). One longer than the frame (the
// Matter Converter's) ends on that line and begins on the free line above,
// broken at a space, instead of running off the right edge.
void PrintHelpLine(const std::string& help) {
  constexpr size_t kFits = 102;  // glyphs across the 1024-pixel frame
  size_t cut = help.size() > kFits ? help.rfind(' ', kFits) : std::string::npos;
  if (cut == 0) cut = std::string::npos;
  const float r = 0.17647f, g = 0.67451f, b = 0.96471f;
  if (cut != std::string::npos) PrintTextColor(0, 112, help.substr(0, cut).c_str(), r, g, b);
  const std::string last = cut == std::string::npos ? help : help.substr(cut + 1);
  PrintTextColor(0, 96, last.c_str(), r, g, b);
}

}  // namespace

void DrawShopOverlay() {
  PushScreenProjection(-1, 1);
  glPushMatrix();
  glLoadIdentity();
  AlphaBlending(true);
  FullscreenFX.RenderMeQuads(0, 0, 0, 0, 0.6f, 0, 0, 0, 39);
  AlphaBlending(false);
  glPopMatrix();
  PopProjection();

  // No tree yet (a game not chosen through the front end) or a page number
  // past the tree: only the darkening is shown.
  if (onmenu < 0 || onmenu >= static_cast<int>(Menus.size())) return;
  menus& page = Menus[onmenu];
  page.menu.RenderMe(0, 96, DrawWidth(page), page.rows, 0, false);
  // The scoreboard held with Tab takes the payload panel's place.
  if (!keys[vk::Tab]) Weapons.RenderMe(512, 112, 40, false);
  const int i = page.menu.ItemClicked(0, 96, page.width, page.rows, 0);
  if (i < 0 || i >= static_cast<int>(page.costs.size())) return;
  const int price = page.costs[i];
  if (price != 0) {
    PrintText(0, 64, ("Cost: " + std::to_string(price)).c_str());
    // A negative balance read as a debt the shop would allow.
    const int left = Player.GetCredits() - price;
    PrintText(
        0, 80,
        left < 0 ? "Not enough credits" : ("Remaining Credits: " + std::to_string(left)).c_str());
  }
  PrintHelpLine(page.helpLines[i]);
  if (lclick) {
    lclick = false;
    // Copies: FollowLink may rebuild menus and invalidate the page reference.
    const int action = page.actions[i], argument = page.arguments[i];
    FollowLink(price, action, argument);
  }
}
