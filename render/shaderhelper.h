// ShaderHelper: the eight 512x512 screen-copy textures and the two 512x512
// off-screen buffers (ping and pong) of the high graphics level's glow
// (one instance: ShaderUtility). The off-screen buffers are framebuffer
// objects in the frame's own context, so they share its textures; they draw
// straight into screens 1 (ping) and 2 (pong), which saves the glow two
// copies a frame.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

class ShaderHelper {
 public:
  static constexpr int kScreens = 8;
  static constexpr int kBufferSize = 512;

  GLuint screens[kScreens] = {};  // screen n (1..8) is screens[n - 1]

  // Ping and pong: framebuffer, the screen its colour goes to, depth
  // renderbuffer, size.
  static constexpr int kPingScreen = 1, kPongScreen = 2;
  GLuint pingFramebuffer = 0, pingDepth = 0;
  int pingWidth = kBufferSize, pingHeight = kBufferSize;
  GLuint pongFramebuffer = 0, pongDepth = 0;
  int pongWidth = kBufferSize, pongHeight = kBufferSize;
  int drawingInto = 0;  // screen the bound off-screen buffer draws into, 0 on the frame

  // The frame's draw and read framebuffers, kept while drawing goes to ping
  // or pong: the frame may itself be an off-screen buffer (a letterboxed
  // window), so RenderToScreen puts back exactly what was bound.
  bool offScreen = false;
  GLint frameDrawFramebuffer = 0, frameReadFramebuffer = 0;

  // Creates the eight screen textures (once).
  void InitMe();
  // Creates ping and pong; false at the first failure, no message. The
  // arguments of the pbuffer design are unused. The binding of the frame is
  // left as it was.
  bool InitPBuffers(void* deviceContext = nullptr, int pixelFormat = 0,
                    void* renderingContext = nullptr);
  // Drawing goes into the ping (pong) buffer, viewport 512x512. Nothing
  // happens before InitPBuffers succeeded.
  void RenderOffScreenPing();
  void RenderOffScreenPong();
  // Back to the 1024x768 frame (viewport 0, 0, 1024, 768).
  void RenderToScreen(void* deviceContext = nullptr, void* renderingContext = nullptr);
  // Binds screen n and copies the lower-left 512x512 pixels of the current
  // drawing buffer into it; nothing to copy when that buffer draws into
  // screen n itself.
  void RenderPBufferToTexturePing(int n);
  void RenderPBufferToTexturePong(int n);
  // Binds screen n on texture unit `unit` (0..8; others use the active unit)
  // and leaves unit 0 active.
  void BindScreen(int n, int unit);

 private:
  void CreateScreens();
  // One 512x512 buffer drawing into screen `screen` with a 16-bit depth
  // buffer, cleared to opaque black; false when it is not complete.
  bool CreateBuffer(GLuint& framebuffer, int screen, GLuint& depth);
  void DeleteBuffer(GLuint& framebuffer, GLuint& depth);
  void DrawInto(GLuint framebuffer, int screen, int width, int height);
};
