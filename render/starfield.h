// Starfield: white square stars in camera-normalised coordinates that drift
// against the ship's motion with parallax (bigger stars are faster) and are
// recycled at the opposite edge (one instance: Sprite3).
#pragma once

#include <vector>

class BatchRenderer;
class TextureLibrary;
class GlWrapper;

class Starfield {
 public:
  struct Star {
    float x = 0, y = 0;  // fraction of the camera's width and height, 0..1
    float speed = 0;     // parallax factor: size / maxSize * depthScale
    float size = 0;      // edge length in camera units
  };

  BatchRenderer* renderer = nullptr;
  TextureLibrary* library = nullptr;
  GlWrapper* utilities = nullptr;
  // The camera size in world units (the globals CameraWidth/CameraHeight).
  float* cameraWidth = nullptr;
  float* cameraHeight = nullptr;
  float maxSize = 0;
  float depthScale = 0;
  std::vector<Star> stars;

  void InitMe(int count, float& cameraWidth, float& cameraHeight, float maxSize, float depthScale,
              GlWrapper* utilities, TextureLibrary* library, BatchRenderer* renderer);
  // Moves every star by the ship's velocity of this frame and recycles those
  // that left the view. Afterwards every star has 0 <= x, y <= 1.
  void UpdateMe(float vx, float vy);
  // Blending off; one quad per star into path 0 of the batch renderer.
  void RenderMeLight();
  // Pushes the projection and loads a camera-sized orthographic view (y
  // down); the caller draws path 0 and pops the projection.
  void StarCamera();

 private:
  void NewSize(Star& star, float low);
};
