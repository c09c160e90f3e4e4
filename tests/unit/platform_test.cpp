// The pure parts of the platform layer: key mapping, text conversion and the
// letterbox mapping of the cursor.
#include "platform/platform.h"

#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(ScancodeMappingTest, GameKeysMapToTheirVirtualKeyCodes) {
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_A), 'A');
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_Z), 'Z');
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_X), 'X');
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_C), 'C');
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_V), 'V');
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_1), '1');
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_9), '9');
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_0), '0');
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_BACKSPACE), 8);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_RETURN), 13);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_KP_ENTER), 13);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_LSHIFT), 16);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_RSHIFT), 16);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_ESCAPE), 27);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_SPACE), 32);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_LEFT), 37);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_UP), 38);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_RIGHT), 39);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_DOWN), 40);
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_F1), 112);  // the controls screen
  EXPECT_EQ(platform::ScancodeToVirtualKey(SDL_SCANCODE_F2), 0);
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
    int vk = platform::ScancodeToVirtualKey(sc);
    ASSERT_GE(vk, 0);
    ASSERT_LT(vk, 256);
  }
}

TEST(Utf8ToLatin1Test, KeepsLatin1AndDropsTheRest) {
  EXPECT_EQ(platform::Utf8ToLatin1("Kai 42!"), "Kai 42!");
  EXPECT_EQ(platform::Utf8ToLatin1("J\xC3\xBCrgen"), "J\xFCrgen");  // u umlaut
  EXPECT_EQ(platform::Utf8ToLatin1("\xC2\xA9"), "\xA9");            // copyright
  EXPECT_EQ(platform::Utf8ToLatin1("a\xE2\x82\xAC"
                                   "b"),
            "ab");  // euro sign
  EXPECT_EQ(platform::Utf8ToLatin1("a\xF0\x9F\x98\x80"
                                   "b"),
            "ab");                                          // emoji
  EXPECT_EQ(platform::Utf8ToLatin1("a\tb\r\n\x7F"), "ab");  // controls
  EXPECT_EQ(platform::Utf8ToLatin1("\xC2\x85"), "");        // C1 control
  EXPECT_EQ(platform::Utf8ToLatin1("\xC3"), "");            // cut short
}

TEST(WindowToFrameTest, IdentityForAFrameSizedWindow) {
  int x = -1, y = -1;
  platform::WindowToFrame(100, 200, 1024, 768, &x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 200);
}

TEST(WindowToFrameTest, LetterboxedWideScreen) {
  // 1920x1080: the frame is scaled by 1.40625 and centred with 240-pixel bars.
  int x = -1, y = -1;
  platform::WindowToFrame(240, 0, 1920, 1080, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  platform::WindowToFrame(960, 540, 1920, 1080, &x, &y);
  EXPECT_EQ(x, 512);
  EXPECT_EQ(y, 384);
  platform::WindowToFrame(10, 10, 1920, 1080, &x, &y);  // in the left bar
  EXPECT_EQ(x, 0);
  platform::WindowToFrame(1919, 1079, 1920, 1080, &x, &y);  // in the right bar
  EXPECT_EQ(x, 1023);
  EXPECT_EQ(y, 767);
}

TEST(WindowToFrameTest, LetterboxedTallScreen) {
  // 1024x1024: bars above and below, 128 pixels each.
  int x = -1, y = -1;
  platform::WindowToFrame(512, 128, 1024, 1024, &x, &y);
  EXPECT_EQ(x, 512);
  EXPECT_EQ(y, 0);
  platform::WindowToFrame(512, 895, 1024, 1024, &x, &y);
  EXPECT_EQ(y, 767);
}

TEST(MessageBoxTest, NoDialogsPrintsTheErrorLine) {
  setenv("VOIDRAKE_NO_DIALOGS", "1", 1);
  testing::internal::CaptureStderr();
  platform::ShowMessageBox("Switching to low graphics due to video card issues...", "Error");
  std::string err = testing::internal::GetCapturedStderr();
  unsetenv("VOIDRAKE_NO_DIALOGS");
  EXPECT_EQ(err, "Error: Switching to low graphics due to video card issues...\n");
}

}  // namespace
