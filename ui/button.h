// Button: an invisible hot rectangle on a full-screen picture (the picture
// shows the button). Positions are frame pixels, origin top left, y down.
#pragma once

class TextureLibrary;

class Button {
 public:
  TextureLibrary* textures = nullptr;  // borrowed
  int x = 0, y = 0;                    // centre of the rectangle
  int width = 0, height = 0;

  void InitMe(int x, int y, int width, int height, TextureLibrary* textures);
  // True while the cursor lies inside the rectangle, border included. It does
  // not look at the mouse button: callers combine it with lclick.
  bool IsClicked() const;
  // The same test for a given cursor position.
  bool Contains(int cx, int cy) const;
};
