#include "app/scoreboard.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "app/drawall_internal.h"
#include "app/gameobjects.h"
#include "render/defaultsprite.h"
#include "render/text.h"
#include "render/textureslots.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"

namespace {

// A full match (32 peers and the host) fits: header and 33 rows, 16 high,
// from just below the Wins/Losses lines down to above the message area.
constexpr int kRowHeight = 16;
constexpr float kLeft = 252, kTop = 688;  // text coordinates of the header
// A dead ship's menu pages are 36 characters wide from the left edge: the
// board goes to the right half instead, where the payload panel makes way.
constexpr float kDeadLeft = 512;
constexpr int kNameChars = 24;
constexpr float kPanelWidth = 520;

void DarkPanel(int rows, float left) {
  using namespace drawall_detail;
  const float height = static_cast<float>((rows + 1) * kRowHeight + 16);
  PushScreenProjection(-1, 1);
  glPushMatrix();
  glLoadIdentity();
  AlphaBlending(true);
  // The frame's y runs down here; the header's top is at 768 - kTop - 16.
  const float top = 768 - kTop - 16 - 8;
  // The mini-map sprite: centred on the frame origin, resized per use.
  MiniMap.ChangeSize(kPanelWidth, height);
  MiniMap.RenderMeQuads(left - 10 + kPanelWidth / 2, top + height / 2, 0, 0, 0.7f, 0, 0, 0,
                        kWhiteQuadTexture);
  AlphaBlending(false);
  glPopMatrix();
  PopProjection();
}

}  // namespace

std::vector<ScoreRow> ScoreRows(const SpaceShip& ship, const EnemyManager& enemies) {
  std::vector<ScoreRow> rows;
  rows.push_back({ship.name, ship.kills, ship.deaths, ship.bounty, true});
  for (const EnemyManager::player& p : enemies.players)
    rows.push_back({p.name, p.wins, p.losses, p.bounty, false});
  std::stable_sort(rows.begin(), rows.end(), [](const ScoreRow& a, const ScoreRow& b) {
    return a.kills != b.kills ? a.kills > b.kills : a.deaths < b.deaths;
  });
  return rows;
}

std::string ScoreLine(const ScoreRow& row) {
  char line[96];
  std::snprintf(line, sizeof line, "%s%-*.*s%7d%8d%9d", row.own ? "> " : "  ", kNameChars,
                kNameChars, row.name.c_str(), row.kills, row.deaths, row.bounty);
  return line;
}

float ScoreboardLeft(bool dead) { return dead ? kDeadLeft : kLeft; }

void DrawScoreboard() {
  const float left = ScoreboardLeft(!Player.alive);
  const std::vector<ScoreRow> rows = ScoreRows(Player, Enemies);
  DarkPanel(static_cast<int>(rows.size()), left);
  char header[96];
  std::snprintf(header, sizeof header, "  %-*s%7s%8s%9s", kNameChars, "Pilot", "Kills", "Deaths",
                "Bounty");
  PrintTextOutlined(left, kTop, header, 0.6f, 0.85f, 1.0f);
  float y = kTop;
  for (const ScoreRow& row : rows) {
    y -= kRowHeight;
    // Own line in yellow beside the marker.
    if (row.own)
      PrintTextOutlined(left, y, ScoreLine(row).c_str(), 1.0f, 0.9f, 0.3f);
    else
      PrintTextOutlined(left, y, ScoreLine(row).c_str());
  }
}
