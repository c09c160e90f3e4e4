#include "render/drawall.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/gameobjects.h"
#include "app/globals.h"
#include "game/bulletmanager.h"
#include "game/explosionmanager.h"
#include "game/spaceship.h"
#include "net/gameprotocol.h"
#include "net/networkhandler.h"
#include "opponents/aiplayer.h"
#include "opponents/enemymanager.h"
#include "render/batchrenderer.h"
#include "render/defaultsprite.h"
#include "render/glwrapper.h"
#include "render/rendersort.h"
#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"
#include "render/starfield.h"
#include "render/text.h"
#include "ui/menu.h"
#include "ui/menutree.h"
#include "world/capship.h"
#include "world/world.h"

namespace {

// The key table the ship flies with this frame: the player's keyboard, or the
// timedemo's autopilot when one is installed.
bool frameKeys[256];
KeyProvider keyProvider = nullptr;
double lastSimulationMs = 0.0;

void TakeFrameKeys() {
  if (keyProvider != nullptr) {
    keyProvider(frameKeys);
    return;
  }
  for (int i = 0; i < 256; ++i) frameKeys[i] = keys[i].load(std::memory_order_relaxed);
}

void AlphaBlending(bool on) {
  if (on) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glDisable(GL_BLEND);
  }
}

// Simulation step: every game object advances one frame.
void Simulate() {
  const auto start = std::chrono::steady_clock::now();
  Enemies.MainLoop(myGUID);
  UpdateNetwork();
  Bullets.UpdateMe(Player.x, Player.y, Player.hp, Player.energy, Player.team, myGUID);
  Bullets.SendBullets(myGUID);
  if (Game == 1)
    for (AiPlayer& bot : Bot) bot.UpdateMe(Player);
  TakeFrameKeys();
  Player.UpdateMe(frameKeys, xamnt, yamnt, Player.width, Player.height, Player.shipTexture);
  Player.SendNetworkStats();
  Sprite3.UpdateMe(xamnt, yamnt);
  Player.ResetCamera();
  lastSimulationMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The stars in their own camera-sized projection. `newPath` is false for the
// first star pass of the medium and high orders, which reuses the path made
// at the start of the frame.
void Stars(bool newPath) {
  if (newPath) {
    Renderer.Reset();
    Renderer.AddPath(1);
  }
  Sprite3.RenderMeLight();
  Sprite3.StarCamera();
  Renderer.RenderPath(0, 0);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void StartSorting() {
  SortedRenderer.Reset();
  float x, y, w, h;
  Player.GetCamera(x, y, w, h);
  SortedRenderer.CameraRect(x, y, w, h);
}

void RenderCarrier() { Carrier.RenderEight(23, 24, 25, 26, 27, 28, 29, 30); }

void RenderEngineIfThrusting() {
  if (frameKeys[vk::Up]) Player.RenderEngine(0);
}

void RenderOpponents(bool glow) {
  Enemies.RenderAll(glow, Player.x, Player.y, Player.team, Game);
}

void ClearAll() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT); }

void LowOrder() {
  ClearAll();
  glLoadIdentity();
  ShaderUtility.RenderToScreen();
  Simulate();
  Stars(true);
  StartSorting();
  Level.RenderBackGroundObjects();
  Level.RenderBackGroundObjects2();
  RenderCarrier();
  RenderEngineIfThrusting();
  Player.RenderMe();
  RenderOpponents(false);
  Bullets.RenderMe(false);
  Level.RenderObjects();
  AlphaBlending(true);
  Shaders.ShaderFireRender();
  SortedRenderer.RenderSlow();
  Shaders.ShadersOff();
  Player.RenderFrozenEnergy();
  Enemies.RenderFrozenFrames();
  AlphaBlending(false);
  Explosions.RenderExplosions();
}

// The medium and high orders open alike: the star pass on the path made at
// the start of the frame, the simulation, the stars on a new path, then the
// far backdrop blended. The masking program is left on for what follows.
void LayeredBackdrop() {
  Stars(false);
  Simulate();
  Stars(true);
  AlphaBlending(true);
  Shaders.ShaderPBlend();
  Level.RenderBackGroundObjects();
  AlphaBlending(false);
  Shaders.ShaderMasking();
}

// The medium and high orders close alike: the frozen-energy overlays through
// the masking program, still blended, then the explosions.
void FrozenOverlaysAndExplosions() {
  Shaders.ShaderMasking();
  Player.RenderFrozenEnergy();
  Enemies.RenderFrozenFrames();
  Shaders.ShadersOff();
  AlphaBlending(false);
  Explosions.RenderExplosions();
}

void MediumOrder() {
  ClearAll();
  glLoadIdentity();
  Shaders.ShadersOff();
  LayeredBackdrop();
  StartSorting();
  Level.RenderBackGroundObjects2();
  RenderCarrier();
  RenderEngineIfThrusting();
  Player.RenderMe();
  Shaders.ShadersOff();
  RenderOpponents(false);
  Bullets.RenderMe(false);
  Level.RenderObjects();
  AlphaBlending(true);
  Shaders.ShaderFireRender();
  SortedRenderer.RenderFast();
  FrozenOverlaysAndExplosions();
}

void PushScreenProjection(float nearPlane, float farPlane) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, 1024, 768, 0, nearPlane, farPlane);
  glMatrixMode(GL_MODELVIEW);
}

void PopProjection() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

// Glow capture: last frame's glowing objects into the ping buffer, then a
// horizontal blur of it into the pong buffer (screen textures 1 and 2).
void GlowCapture() {
  ShaderUtility.RenderOffScreenPing();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  Player.ResetCamera();
  StartSorting();
  Bullets.RenderMe(true);
  RenderOpponents(true);
  RenderEngineIfThrusting();
  AlphaBlending(true);
  Shaders.ShaderFireRender();
  SortedRenderer.RenderFast();
  AlphaBlending(false);
  Shaders.ShadersOff();
  ShaderUtility.RenderPBufferToTexturePing(1);

  ShaderUtility.RenderOffScreenPong();
  PushScreenProjection(-10, 10);
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  ShaderUtility.BindScreen(1, 0);
  Shaders.ShaderHorizBlur2(512);
  RenderScence.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, -1, false, false);
  ShaderUtility.RenderPBufferToTexturePong(2);
  ShaderUtility.RenderToScreen();
  PopProjection();
}

void GlowComposite() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  PushScreenProjection(-10, 10);
  ShaderUtility.BindScreen(2, 0);
  Shaders.ShaderVertBlur2(512);
  RenderScence.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, -1, false, false);
  PopProjection();
  glDisable(GL_BLEND);
  Shaders.ShadersOff();
}

void HighOrder() {
  GlowCapture();
  ClearAll();
  Shaders.ShaderMasking();
  Shaders.ShadersOff();
  LayeredBackdrop();
  RenderCarrier();
  StartSorting();
  RenderEngineIfThrusting();
  Level.RenderBackGroundObjects2();
  Player.RenderMe();
  Shaders.ShadersOff();
  Bullets.RenderMe(false);
  RenderOpponents(false);
  AlphaBlending(true);
  Level.RenderObjects();
  Shaders.ShaderFireRender();
  SortedRenderer.RenderFast();
  Shaders.ShadersOff();
  FrozenOverlaysAndExplosions();
  GlowComposite();
}

}  // namespace

std::string KillText(int phrase, const std::string& killer, const std::string& victim) {
  static const char* const kPhrases[][2] = {
      {" wiped up ", "!!!!"},
      {" showed ", " who's boss!"},
      {"'s skill made ", " just look sad."},
      {" caught ", " off-guard!"},
      {" broke ", "'s life :'("},
      {" laughs at ", "'s misfortune!"},
      {" gave ", " a free ride back to respawn land."},
      {" burninated ", "'s cottage!"},
      {" made ", " look easy!"},
      {" made ", " eat his burning hot plasma!"},
      {" reduced ", " to a 3x3x3 cube!"},
      {" proved to ", " that in space, no one can hear you scream."},
      {" made ", " go run back to mommy!"},
      {" has ", " looking for a good lawyer."},
      {" destroyed ", "'s last shred of self-esteem!"},
  };
  constexpr int kCount = sizeof(kPhrases) / sizeof(kPhrases[0]);
  const int row = (phrase >= 1 && phrase <= kCount) ? phrase - 1 : kCount - 1;
  return killer + kPhrases[row][0] + victim + kPhrases[row][1];
}

void AnnounceKills() {
  std::vector<int> killed;
  Enemies.GetKills(killed);
  for (int victim : killed) {
    const int phrase = static_cast<int>(Utility.RangedRandom(1, 16));
    const std::string line = KillText(phrase, Player.name, Enemies.GetName(victim));
    AddMessage(line);
    // Against computer players nobody is listening; the line stays local.
    if (multiplayer) SendMessageA(line);
  }
}

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
  MiniMap.RenderMeQuads(768 + Player.x / 81.125f, Player.y / 81.125f, 0, 0, 1.0f, 1, 1, 1, 39);
  AlphaBlending(false);
  glPopMatrix();
  PopProjection();
}

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
  page.menu.RenderMe(0, 96, page.width, page.rows, 0, false);
  Weapons.RenderMe(512, 112, 40, false);
  const int i = page.menu.ItemClicked(0, 96, page.width, page.rows, 0);
  if (i < 0 || i >= static_cast<int>(page.costs.size())) return;
  const int price = page.costs[i];
  if (price != 0) {
    PrintText(0, 64, ("Cost: " + std::to_string(price)).c_str());
    PrintText(0, 80, ("Remaining Credits: " + std::to_string(Player.GetCredits() - price)).c_str());
  }
  PrintTextColor(0, 96, page.helpLines[i].c_str(), 0.17647f, 0.67451f, 0.96471f);
  if (lclick) {
    lclick = false;
    // Copies: FollowLink may rebuild menus and invalidate the page reference.
    const int action = page.actions[i], argument = page.arguments[i];
    FollowLink(price, action, argument);
  }
}

int DrawAll(int level) {
  AnnounceKills();
  if (level < 0 || level > 2) return 0;
  Renderer.Reset();
  Renderer.AddPath(1);
  if (level == 2) LowOrder();
  if (level == 1) MediumOrder();
  if (level == 0) HighOrder();
  DrawHud();
  // Everything this frame sent leaves together.
  Networking.Flush();
  return 0;
}

double LastSimulationMs() { return lastSimulationMs; }

void SetKeyProvider(KeyProvider provider) { keyProvider = provider; }

const bool* FrameKeys() { return frameKeys; }

std::string ShipSummary() {
  int live = 0;
  for (const BulletManager::Bullet& b : Bullets.bullets) live += b.active ? 1 : 0;
  char line[128];
  std::snprintf(line, sizeof line, "alive=%d x=%.1f y=%.1f projectiles=%d", Player.alive ? 1 : 0,
                Player.x, Player.y, live);
  return line;
}
