// The glow's off-screen passes on the real driver: capture, horizontal blur,
// vertical blur added over the frame - the way the high level draws them -
// must brighten around a bright sprite and hand the frame back bound as it
// was, even when the frame is itself an off-screen buffer.
#include "render/shaderhelper.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include "platform/glextensions.h"
#include "platform/platform.h"
#include "render/defaultsprite.h"
#include "render/shaderlibrary.h"
#include "render/texturelibrary.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"
#include "tests/support/testenv.h"

namespace {

template <typename T>
T Entry(const char* name) {
  return reinterpret_cast<T>(platform::GetProcAddress(name));
}

GLint Binding(GLenum which) {
  GLint name = -1;
  glGetIntegerv(which, &name);
  return name;
}

// Mean of red, green and blue at frame position (x, y), y down, read from
// whatever framebuffer is bound for reading.
int Brightness(int x, int y) {
  unsigned char c[4] = {};
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, platform::kFrameHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, c);
  return (c[0] + c[1] + c[2]) / 3;
}

// A 1024x768 framebuffer standing in for the letterboxed window's frame.
class StandInFrame {
 public:
  StandInFrame() {
    auto genF = Entry<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
    auto genR = Entry<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
    auto bindR = Entry<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
    auto storage = Entry<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
    auto attach = Entry<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
    genR(1, &colour_);
    bindR(GL_RENDERBUFFER, colour_);
    storage(GL_RENDERBUFFER, GL_RGBA8, platform::kFrameWidth, platform::kFrameHeight);
    genF(1, &framebuffer_);
    bind_(GL_FRAMEBUFFER, framebuffer_);
    attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  ~StandInFrame() {
    platform::BeginFrame();
    Entry<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers")(1, &framebuffer_);
    Entry<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers")(1, &colour_);
  }
  GLuint name() const { return framebuffer_; }

 private:
  PFNGLBINDFRAMEBUFFERPROC bind_ = Entry<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
  GLuint framebuffer_ = 0, colour_ = 0;
};

class ShaderHelperTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    testsupport::GlTest::SetUp();
    helper.InitMe();
    shaders.directory = testsupport::SourceDir() + "/data/Shaders/";
    shaders.SetBlurFallOff(0.1f);
  }
  void TearDown() override {
    if (Gl().shaderObjects) Gl().glUseProgramObjectARB(0);
    platform::BeginFrame();
  }
  // The high level's glow, as the frame draws it: a bright square captured
  // into ping, blurred along x into pong, then along y added over the frame.
  void Glow(float squareX, float squareY) {
    drawingtest::Picture white(4, 4, {255, 255, 255});
    ASSERT_TRUE(drawingtest::WritePng(white, dir.File("white.png")));
    unsigned int name = 0;
    ASSERT_TRUE(utility.LoadPNG(dir.File("white.png"), name));
    const int slot = library.AddTexture(name);
    DefaultSprite square, screen;
    square.InitMe(0, 0, 40, 40, 0.5f, 0.5f, 1, 1, &library);
    screen.InitMe(512, 384, 1024, 768, 0.5f, 0.5f, 1, 1, &library);

    helper.RenderOffScreenPing();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    square.RenderMe(squareX, squareY, 0, 0, 1, 1, 1, 1, slot, false, false);
    helper.RenderPBufferToTexturePing(1);
    helper.RenderOffScreenPong();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    helper.BindScreen(1, 0);
    shaders.ShaderHorizBlur2(512);
    screen.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, -1, false, false);
    helper.RenderPBufferToTexturePong(2);
    helper.RenderToScreen();

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    helper.BindScreen(2, 0);
    shaders.ShaderVertBlur2(512);
    screen.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, -1, false, false);
    glDisable(GL_BLEND);
    shaders.ShadersOff();
  }
  ShaderHelper helper;
  ShaderLibrary shaders;
  TextureLibrary library;
  drawingtest::TempDir dir;
};

TEST_F(ShaderHelperTest, GlowSpreadsAroundABrightSpriteAndFadesWithDistance) {
  shaders.BuildMe();
  ASSERT_TRUE(shaders.UsingShaders());
  ASSERT_TRUE(helper.InitPBuffers());
  StandInFrame frame;
  Glow(300, 200);
  EXPECT_EQ(Binding(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(frame.name()));
  EXPECT_EQ(Binding(GL_READ_FRAMEBUFFER_BINDING), static_cast<GLint>(frame.name()));
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 1024);
  EXPECT_EQ(viewport[3], 768);
  // The square covers 280..320 x 180..220; the glow reaches beyond it in
  // both directions and dies out.
  EXPECT_GT(Brightness(300, 200), 120);
  const int nearRight = Brightness(322, 200), farRight = Brightness(328, 200);
  const int nearBelow = Brightness(300, 222), farBelow = Brightness(300, 228);
  EXPECT_GT(nearRight, 40);
  EXPECT_GT(nearBelow, 40);
  EXPECT_GT(nearRight, farRight);
  EXPECT_GT(nearBelow, farBelow);
  EXPECT_EQ(Brightness(300, 300), 0);
  EXPECT_EQ(Brightness(450, 200), 0);
  EXPECT_EQ(Brightness(700, 600), 0);
  EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(ShaderHelperTest, OffScreenBuffersAreMadeOnceAndKeepTheFrameBound) {
  StandInFrame frame;
  ASSERT_TRUE(helper.InitPBuffers());
  EXPECT_EQ(Binding(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(frame.name()));
  const GLuint ping = helper.pingFramebuffer;
  EXPECT_NE(ping, 0u);
  EXPECT_NE(helper.pongFramebuffer, 0u);
  EXPECT_TRUE(helper.InitPBuffers());
  EXPECT_EQ(helper.pingFramebuffer, ping);
  // Ping, then pong, then back: the frame, not the ping buffer, comes back.
  helper.RenderOffScreenPing();
  EXPECT_EQ(Binding(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(ping));
  helper.RenderOffScreenPong();
  helper.RenderToScreen();
  EXPECT_EQ(Binding(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(frame.name()));
  // RenderToScreen on the frame changes no binding.
  helper.RenderToScreen();
  EXPECT_EQ(Binding(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(frame.name()));
  EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(ShaderHelperTest, ScreenCopiesAreTheLowerLeftOfTheBufferDrawnInto) {
  ASSERT_TRUE(helper.InitPBuffers());
  helper.RenderOffScreenPing();
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 1);
  helper.RenderPBufferToTexturePing(5);
  helper.RenderToScreen();
  int w = 0, h = 0;
  const auto bytes = drawingtest::TextureBytes(helper.screens[4], &w, &h);
  ASSERT_EQ(w, 512);
  ASSERT_EQ(h, 512);
  EXPECT_EQ(bytes[1], 255);
  EXPECT_EQ(bytes[bytes.size() - 3], 255);
  // Screens never copied into stay black.
  const auto other = drawingtest::TextureBytes(helper.screens[5], &w, &h);
  EXPECT_EQ(other[1], 0);
}

TEST_F(ShaderHelperTest, BindScreenLeavesUnitZeroActive) {
  helper.BindScreen(3, 2);
  EXPECT_EQ(Binding(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
  glActiveTexture(GL_TEXTURE2);
  EXPECT_EQ(Binding(GL_TEXTURE_BINDING_2D), static_cast<GLint>(helper.screens[2]));
  glBindTexture(GL_TEXTURE_2D, 0);
  glActiveTexture(GL_TEXTURE0);
  // An out-of-range unit binds to the active unit.
  helper.BindScreen(4, 9);
  EXPECT_EQ(Binding(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
  EXPECT_EQ(Binding(GL_TEXTURE_BINDING_2D), static_cast<GLint>(helper.screens[3]));
}

}  // namespace
