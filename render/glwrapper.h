// GlWrapper: GL set-up and tear-down, the image loaders and, inherited, the
// numeric utilities used across the game (one instance: Utility).
#pragma once

#include <string>
#include <vector>

#include "base/gameutilities.h"

struct DecodedPicture;

// Makes `name` the texture of a decoded picture (GL thread): linear
// filters, clamped edges for that kind. A failed decode leaves the name
// without an image.
void UploadPicture(const DecodedPicture& picture, unsigned int name);
// A frame file of a sequence: prefix, a leading "0" below 10 when asked,
// the number, ".PNG".
std::string FrameFileName(const std::string& prefix, int n, bool padSingleDigits);

class GlWrapper : public GameUtilities {
 public:
  // ---- GL set-up (render/glwrapper_setup.cpp, over the platform layer) ----
  // On the window's freshly made context: depth clear value and function
  // (entry points beyond GL 1.1 are in the one table, platform/glextensions.h).
  // Returns the pixel-format index
  // (0 here: the platform layer chooses the format).
  int EnableOpenGL();
  // The fixed state every drawing part relies on (current context): 1024x768
  // orthographic projection with y down, identity model-view, depth test off
  // (less-or-equal, clear 1.0), back faces culled with counter-clockwise
  // fronts, nicest perspective hint, smooth shading, 2D texturing on, black
  // opaque clear colour, blending and alpha test off.
  void SetFixedGlState();
  // Releases and destroys the context and the window. Returns 1 like a
  // successful release.
  int DisableOpenGL();
  // Switches the window to desktop full screen (the 1024x768 frame is
  // letterboxed onto it); reports "Could Not Enum Display Settings" or
  // "Display Mode Not Compatible" (then asks the program to quit).
  void ChangeToFullscreen();

  // ---- Image loaders (render/glwrapper_images.cpp) ----
  bool LoadPNG(const std::string& path, unsigned int& name);
  bool LoadPNGColorKey(const std::string& path, unsigned int& name);
  bool LoadPNGColorKeyEdgeClamp(const std::string& path, unsigned int& name);
  std::vector<unsigned int> LoadAnim(const std::string& prefix, int first, int last);
  std::vector<unsigned int> LoadAnimWithZero(const std::string& prefix, int first, int last);
  // The numeric utilities are GameUtilities'.
};
