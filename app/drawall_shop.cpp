// The shop overlay of a dead ship: darkening, the current menu page, the
// payload panel, the cost and help lines of the line under the cursor, and
// the routing of a click to FollowLink.
#include <GL/gl.h>

#include <algorithm>
#include <string>

#include "app/gameobjects.h"
#include "app/globals.h"
#include "game/spaceship.h"
#include "render/defaultsprite.h"
#include "app/drawall.h"
#include "app/drawall_internal.h"
#include "render/text.h"
#include "ui/menu.h"
#include "ui/menutree.h"

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
  Weapons.RenderMe(512, 112, 40, false);
  const int i = page.menu.ItemClicked(0, 96, page.width, page.rows, 0);
  if (i < 0 || i >= static_cast<int>(page.costs.size())) return;
  const int price = page.costs[i];
  if (price != 0) {
    PrintText(0, 64, ("Cost: " + std::to_string(price)).c_str());
    // A negative balance read as a debt the shop would allow.
    const int left = Player.GetCredits() - price;
    PrintText(0, 80, left < 0 ? "Not enough credits"
                              : ("Remaining Credits: " + std::to_string(left)).c_str());
  }
  PrintTextColor(0, 96, page.helpLines[i].c_str(), 0.17647f, 0.67451f, 0.96471f);
  if (lclick) {
    lclick = false;
    // Copies: FollowLink may rebuild menus and invalidate the page reference.
    const int action = page.actions[i], argument = page.arguments[i];
    FollowLink(price, action, argument);
  }
}
