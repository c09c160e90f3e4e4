// The heads-up display: score and wallet figures, the chat line and the last
// messages, then the mini-map (ship alive) or the shop overlay (ship dead).
#include <GL/gl.h>

#include <mutex>
#include <string>
#include <vector>

#include "app/gameobjects.h"
#include "app/globals.h"
#include "game/spaceship.h"
#include "opponents/enemymanager.h"
#include "render/defaultsprite.h"
#include "app/drawall.h"
#include "app/drawall_internal.h"
#include "render/text.h"
#include "render/textureslots.h"

using drawall_detail::AlphaBlending;
using drawall_detail::PopProjection;
using drawall_detail::PushScreenProjection;

std::vector<HudLine> HudLines() {
  std::vector<HudLine> lines;
  if (Game == 0) {
    lines.push_back({0, 720, "Bounty: (" + std::to_string(Player.bounty) + ")"});
    lines.push_back({0, 704, "Credits: " + std::to_string(Player.GetCredits())});
  }
  lines.push_back({0, 752, "Losses: "});
  lines.push_back({0, 736, "Wins: "});
  lines.push_back({0, 752, "        " + std::to_string(Player.deaths)});
  lines.push_back({0, 736, "        " + std::to_string(Player.kills)});
  std::string chat;
  std::vector<std::string> log;
  {
    std::lock_guard<std::mutex> lock(textMutex);
    chat = typingmessage;
    const size_t n = Messages.size();
    for (size_t i = n >= 3 ? n - 3 : 0; i < n; ++i) log.push_back(Messages[i]);
  }
  lines.push_back({0, 48, chat});
  // Oldest of the three on top; the newest line sits at the bottom edge.
  float y = 16.0f * static_cast<float>(log.size() - 1);
  for (const std::string& line : log) {
    lines.push_back({0, y, line});
    y -= 16.0f;
  }
  return lines;
}

void DrawHud() {
  for (const HudLine& line : HudLines()) PrintText(line.x, line.y, line.text.c_str());
  if (Player.alive)
    DrawMiniMap();
  else
    DrawShopOverlay();
  glFlush();
}

void DrawMiniMap() {
  PushScreenProjection(-1, 1);
  glPushMatrix();
  glLoadIdentity();
  AlphaBlending(true);
  MiniMap.ChangeSize(256, 256);
  MiniMap.RenderMeQuads(896, 128, 0, 0, 0.6f, 1, 1, 1, 40);
  Enemies.DrawMiniMapPlayers(Player.x, Player.y, Player.minimapValue, false, Player.team);
  // The own dot is opaque and drawn last: at 60 % it looked just like the
  // stars that show through the panel, and the player could not find himself.
  MiniMap.ChangeSize(3, 3);
  MiniMap.RenderMeQuads(768 + Player.x / 81.125f, Player.y / 81.125f, 0, 0, 1.0f, 1, 1, 1,
                         kWhiteQuadTexture);
  AlphaBlending(false);
  glPopMatrix();
  PopProjection();
}
