// ExplosionManager: every short animation in the world (blasts, smoke
// puffs, muzzle flashes). Each is a looped texture played once, frame by
// frame, as an additive quad at a fixed place (one instance: Explosions).
#pragma once

#include <cstdint>
#include <vector>

#include "game/freeslots.h"
#include "render/rendersort.h"

class GameUtilities;
class TextureLibrary;
class ShaderLibrary;
class NetworkHandler;

class ExplosionManager {
 public:
  // Kept small: a big fight holds tens of thousands of smoke puffs, and
  // every frame adds thousands of them and ages them all.
  struct Explosion {
    float x = 0, y = 0;            // centre
    float width = 0, height = 0;
    int loopSlot = 0;              // looped texture played
    std::uint8_t framesLeft = 0;
    std::uint8_t frames = 0;       // total duration, at most kMaxFrames
    bool active = false;
  };
  static constexpr int kMaxFrames = 255;

  GameUtilities* utilities = nullptr;
  TextureLibrary* textures = nullptr;
  ShaderLibrary* shaders = nullptr;
  NetworkHandler* network = nullptr;
  std::vector<Explosion> list;     // slots are reused, never removed
  RenderSort layer;                // this frame's explosions, by loop frame

  void InitMe(GameUtilities* utilities, TextureLibrary* textures, ShaderLibrary* shaders,
              NetworkHandler* network);
  // With send set, also announces it to the other peers (message 56). The
  // duration is held to 0 .. kMaxFrames.
  void AddExplosion(float x, float y, float width, float height, int loopSlot, int frames,
                    bool send);
  // The part of the world drawn (centre and size); without one every
  // explosion is drawn.
  void CameraRect(float x, float y, float width, float height);
  // Advances every explosion by one frame and draws the running ones within
  // the camera, one array draw per loop frame: an explosion of n frames
  // shows loop frames 1 .. n-1.
  void RenderExplosions();
  // Ages every explosion by one frame without drawing (RenderExplosions does
  // this too).
  void AgeExplosions();
  void Clear();

 private:
  FreeSlots free_;        // the spent slots of `list`
  bool drawingReady_ = false;  // layer set up since InitMe

  void PrepareDrawing();

  void SendExplosion(const Explosion& e);
};
