// The heads-up display: score and wallet figures, the chat line and the last
// messages, then the mini-map (ship alive) or the shop overlay (ship dead).
#include <GL/gl.h>

#include <mutex>
#include <string>
#include <vector>

#include "app/drawall.h"
#include "app/drawall_internal.h"
#include "app/gameobjects.h"
#include "app/scoreboard.h"
#include "draw/enemymanager_draw.h"
#include "platform/globals.h"
#include "render/defaultsprite.h"
#include "render/text.h"
#include "render/textureslots.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"

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
  int scrolled = 0;
  {
    std::lock_guard<std::mutex> lock(textMutex);
    chat = typingmessage;
    log = MessageView.Shown();
    scrolled = MessageView.Scrolled();
  }
  lines.push_back({0, 48, chat});
  if (scrolled > 0) {
    std::string note = std::to_string(scrolled);
    note += " lines back (Page Down: newer)";
    lines.push_back({0, 64, note});
  }
  // Oldest of the three on top; the newest line sits at the bottom edge.
  float y = 16.0f * static_cast<float>(log.size() - 1);
  for (const std::string& line : log) {
    lines.push_back({0, y, line});
    y -= 16.0f;
  }
  return lines;
}

void DrawHud() {
  {
    std::lock_guard<std::mutex> lock(textMutex);
    MessageView.Advance(keys[vk::PageUp], keys[vk::PageDown]);
  }
  for (const HudLine& line : HudLines()) PrintTextOutlined(line.x, line.y, line.text.c_str());
  TrackFightFeedback();
  DrawFightFeedback();
  if (Player.alive)
    DrawMiniMap();
  else
    DrawShopOverlay();
  if (keys[vk::Tab]) DrawScoreboard();
  glFlush();
}

void DrawMiniMap() {
  PushScreenProjection(-1, 1);
  glPushMatrix();
  glLoadIdentity();
  AlphaBlending(true);
  MiniMap.ChangeSize(256, 256);
  MiniMap.RenderMeQuads(896, 128, 0, 0, 0.6f, 1, 1, 1, 40);
  EnemiesView.DrawMiniMapPlayers(Player.x, Player.y, Player.minimapValue, false, Player.team);
  // The own dot is opaque and drawn last: at 60 % it looked just like the
  // stars that show through the panel, and the player could not find himself.
  MiniMap.ChangeSize(3, 3);
  MiniMap.RenderMeQuads(768 + Player.x / 81.125f, Player.y / 81.125f, 0, 0, 1.0f, 1, 1, 1,
                        kWhiteQuadTexture);
  AlphaBlending(false);
  glPopMatrix();
  PopProjection();
}
