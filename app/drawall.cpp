// The frame order: the simulation step and the world drawn in the pass order
// of the graphics level, between the kill announcements and the HUD.
#include "app/drawall.h"

#include <GL/gl.h>

#include <chrono>

#include "app/drawall_internal.h"
#include "app/gameobjects.h"
#include "app/protocolhooks.h"
#include "draw/bulletmanager_draw.h"
#include "draw/enemymanager_draw.h"
#include "draw/explosionmanager_draw.h"
#include "draw/spaceship_draw.h"
#include "draw/world_draw.h"
#include "net/networkhandler.h"
#include "platform/globals.h"
#include "protocol/gameprotocol.h"
#include "render/batchrenderer.h"
#include "render/defaultsprite.h"
#include "render/glowpass.h"
#include "render/rendersort.h"
#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"
#include "render/starfield.h"
#include "render/textureslots.h"
#include "sim/aiplayer.h"
#include "sim/bulletmanager.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"
#include "world/capship.h"
#include "world/world.h"

namespace {

using drawall_detail::AlphaBlending;

// The key table the ship flies with this frame: the player's keyboard, or the
// timedemo's autopilot when one is installed.
bool frameKeys[256];
KeyProvider keyProvider = nullptr;
double lastSimulationMs = 0.0;
bool simulationPaused = false;

void TakeFrameKeys() {
  if (keyProvider != nullptr) {
    keyProvider(frameKeys);
    return;
  }
  for (int i = 0; i < 256; ++i) frameKeys[i] = keys[i].load(std::memory_order_relaxed);
}

// Simulation step: every game object advances one frame.
void Simulate() {
  if (simulationPaused) return PlayerView.ResetCamera();
  const auto start = std::chrono::steady_clock::now();
  Enemies.MainLoop(myGUID);
  UpdateNetwork();
  Bullets.UpdateMe(Player.x, Player.y, Player.hp, Player.energy, Player.team, myGUID);
  Bullets.PostProjectiles(myGUID);
  if (Game == 1)
    for (AiPlayer& bot : Bot) bot.UpdateMe(Player);
  if (multiplayer) UpdateComputerPlayers();
  TakeFrameKeys();
  Player.UpdateMe(frameKeys, xamnt, yamnt, Player.width, Player.height, Player.shipTexture);
  Player.PostState();
  Sprite3.UpdateMe(xamnt, yamnt);
  PlayerView.ResetCamera();
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
  PlayerView.GetCamera(x, y, w, h);
  SortedRenderer.CameraRect(x, y, w, h);
  ExplosionsView.CameraRect(x, y, w, h);
}

void RenderCarrier() {
  LevelView.RenderCapShip(Carrier, kCarrierTile1, kCarrierTile2, kCarrierTile3, kCarrierTile4,
                          kCarrierTile5, kCarrierTile6, kCarrierTile7, kCarrierTile8);
}

void RenderEngineIfThrusting() {
  if (frameKeys[vk::Up]) PlayerView.RenderEngine(0);
}

void RenderOpponents(bool glow) {
  EnemiesView.RenderAll(glow, Player.x, Player.y, Player.team, Game);
}

void ClearAll() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT); }

void LowOrder() {
  ClearAll();
  glLoadIdentity();
  ShaderUtility.RenderToScreen();
  Simulate();
  Stars(true);
  StartSorting();
  LevelView.RenderBackGroundObjects();
  LevelView.RenderBackGroundObjects2();
  RenderCarrier();
  RenderEngineIfThrusting();
  PlayerView.RenderMe();
  RenderOpponents(false);
  BulletsView.RenderMe(false);
  LevelView.RenderObjects();
  AlphaBlending(true);
  Shaders.ShaderFireRender();
  SortedRenderer.RenderSlow();
  Shaders.ShadersOff();
  PlayerView.RenderFrozenEnergy();
  EnemiesView.RenderFrozenFrames();
  AlphaBlending(false);
  ExplosionsView.RenderExplosions();
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
  LevelView.RenderBackGroundObjects();
  AlphaBlending(false);
  Shaders.ShaderMasking();
}

// The medium and high orders close alike: the frozen-energy overlays through
// the masking program, still blended, then the explosions.
void FrozenOverlaysAndExplosions() {
  Shaders.ShaderMasking();
  PlayerView.RenderFrozenEnergy();
  EnemiesView.RenderFrozenFrames();
  Shaders.ShadersOff();
  AlphaBlending(false);
  ExplosionsView.RenderExplosions();
}

void MediumOrder() {
  ClearAll();
  glLoadIdentity();
  Shaders.ShadersOff();
  LayeredBackdrop();
  StartSorting();
  LevelView.RenderBackGroundObjects2();
  RenderCarrier();
  RenderEngineIfThrusting();
  PlayerView.RenderMe();
  Shaders.ShadersOff();
  RenderOpponents(false);
  BulletsView.RenderMe(false);
  LevelView.RenderObjects();
  AlphaBlending(true);
  Shaders.ShaderFireRender();
  SortedRenderer.RenderFast();
  FrozenOverlaysAndExplosions();
}

GlowPass glow;

// Glow capture: last frame's glowing objects into the ping buffer, blurred
// where they lit it (render/glowpass.h).
void GlowCapture() {
  glLoadIdentity();
  PlayerView.ResetCamera();
  glow.BeginCapture(ShaderUtility);
  StartSorting();
  BulletsView.RenderMe(true);
  RenderOpponents(true);
  RenderEngineIfThrusting();
  AlphaBlending(true);
  Shaders.ShaderFireRender();
  SortedRenderer.RenderFast();
  AlphaBlending(false);
  Shaders.ShadersOff();
  glow.EndCapture(ShaderUtility, Shaders);
}

void GlowComposite() { glow.Composite(ShaderUtility); }

void HighOrder() {
  GlowCapture();
  ClearAll();
  Shaders.ShaderMasking();
  Shaders.ShadersOff();
  LayeredBackdrop();
  RenderCarrier();
  StartSorting();
  RenderEngineIfThrusting();
  LevelView.RenderBackGroundObjects2();
  PlayerView.RenderMe();
  Shaders.ShadersOff();
  BulletsView.RenderMe(false);
  RenderOpponents(false);
  AlphaBlending(true);
  LevelView.RenderObjects();
  Shaders.ShaderFireRender();
  SortedRenderer.RenderFast();
  Shaders.ShadersOff();
  FrozenOverlaysAndExplosions();
  GlowComposite();
}

}  // namespace

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
  GlobalProtocol().Flush();
  return 0;
}

double LastSimulationMs() { return lastSimulationMs; }

void SetKeyProvider(KeyProvider provider) { keyProvider = provider; }

void SetSimulationPaused(bool paused) { simulationPaused = paused; }

const bool* FrameKeys() { return frameKeys; }
