// One in-game frame: kill announcements, the simulation step, the world in
// the pass order of the graphics level, and the heads-up display with the
// mini-map (ship alive) or the shop overlay (ship dead).
//
// drawall.cpp holds the frame order, drawall_kills.cpp the kill
// announcements, drawall_hud.cpp the HUD and the mini-map, drawall_shop.cpp
// the shop overlay with its click routing, drawall_trace.cpp the test trace.
#pragma once

#include <string>
#include <vector>

// Runs one frame at graphics level 2 (low), 1 (medium) or 0 (high). Any
// other level only announces kills. Returns 0.
int DrawAll(int level);
// While paused (a game against the computer behind the quit confirmation)
// frames draw the world as it stands and nothing moves.
void SetSimulationPaused(bool paused);

#include "sim/killtext.h"

// Step A: announces every kill the local player scored since the last frame
// (one line each, appended to the log; sent to the others only in a
// networked game).
void AnnounceKills();

// One HUD text line, in text coordinates (origin bottom-left, y up).
struct HudLine {
  float x, y;
  std::string text;
};
// The HUD lines of the current state: bounty and credits (mode 0 only),
// losses and wins, the chat line being typed and the last three messages.
std::vector<HudLine> HudLines();
// Draws the HUD lines, then the mini-map or the shop overlay.
void DrawHud();
// The fight's feedback (app/drawall_feedback.cpp): TrackFightFeedback reads
// this frame's hits once per frame; DrawFightFeedback draws the slot line, the
// hit marker and the hurt flash of a ship in play.
void TrackFightFeedback();
void DrawFightFeedback();
// Top-right mini-map panel with the player's and the opponents' dots.
void DrawMiniMap();
// Darkening, the current menu page, the payload panel, cost and help lines,
// and routing of a click to FollowLink.
void DrawShopOverlay();

// Fills the 256-entry key table the local ship flies with this frame. By
// default the keyboard; the timedemo installs its autopilot here.
using KeyProvider = void (*)(bool* keys);
void SetKeyProvider(KeyProvider provider);
// The key table of the current frame.
const bool* FrameKeys();

// The local ship in one line ("alive=1 x=... y=... projectiles=N"), for the
// state trace of the end-to-end tests.
std::string ShipSummary();
// One line per opponent row ("opponent: NAME x=... y=... kills=... deaths=...
// bounty=..."), for the same trace.
std::string OpponentRows();

// Time spent in the simulation step of the last DrawAll, in milliseconds
// (read by the timedemo).
double LastSimulationMs();
