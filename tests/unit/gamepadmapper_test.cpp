// Keyboard and gamepads held together: a key goes up only when its last
// holder lets go, an unplugged pad lets go of everything it held, and the
// meaning of A and of the stick follows the screen.
#include "platform/gamepadmapper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/globals.h"

namespace {

using Pad = GamepadMapper;

class GamepadMapperTest : public ::testing::Test {
 protected:
  // "+38" key down, "-38" key up, "+click" / "-click".
  std::vector<std::string> seen;
  GamepadMapper::Emit emit = [this](const platform::InputEvent& e) {
    using K = platform::InputEvent;
    const bool down = e.kind == K::kKeyDown || e.kind == K::kButtonDown;
    const bool click = e.kind == K::kButtonDown || e.kind == K::kButtonUp;
    seen.push_back(
        std::string(down ? "+" : "-").append(click ? std::string("click") : std::to_string(e.key)));
  };
  GamepadMapper mapper;
};

TEST_F(GamepadMapperTest, AKeyStaysDownWhileAnyDeviceHoldsIt) {
  mapper.Key(vk::Up, true, false, emit);
  mapper.PadButton(7, Pad::kDpadUp, true, false, emit);
  mapper.PadAxis(7, Pad::kLeftY, -30000, false, emit);
  mapper.PadButton(7, Pad::kDpadUp, false, false, emit);
  mapper.Key(vk::Up, false, false, emit);
  EXPECT_EQ(seen, std::vector<std::string>{"+38"}) << "the stick still thrusts";
  mapper.PadAxis(7, Pad::kLeftY, -13000, false, emit);  // inside the release gap: held
  mapper.PadAxis(7, Pad::kLeftY, -5000, false, emit);
  EXPECT_EQ(seen, (std::vector<std::string>{"+38", "-38"}));
}

TEST_F(GamepadMapperTest, UnpluggingLetsGoOfWhatThePadHeld) {
  mapper.PadButton(3, Pad::kB, true, false, emit);
  mapper.PadButton(3, Pad::kRightShoulder, true, false, emit);
  mapper.PadAxis(3, Pad::kLeftX, 32767, false, emit);
  mapper.Key('X', true, false, emit);
  mapper.PadRemoved(3, emit);
  EXPECT_EQ(seen, (std::vector<std::string>{"+88", "+16", "+39", "-16", "-39"}))
      << "X stays down: the keyboard holds it";
  mapper.Key('X', false, false, emit);
  EXPECT_EQ(seen.back(), "-88");
}

TEST_F(GamepadMapperTest, MenusClickWithAAndMoveTheCursorWithTheStick) {
  mapper.PadButton(1, Pad::kA, true, /*menus=*/true, emit);
  mapper.Refresh(/*menus=*/false, emit);             // the ship came alive meanwhile
  mapper.PadButton(1, Pad::kA, false, false, emit);  // releases what the press took
  mapper.PadButton(1, Pad::kA, true, false, emit);
  mapper.PadButton(1, Pad::kA, false, false, emit);
  EXPECT_EQ(seen, (std::vector<std::string>{"+click", "-click", "+90", "-90"}));

  seen.clear();
  mapper.PadAxis(1, Pad::kLeftX, -32768, true, emit);
  mapper.PadAxis(1, Pad::kLeftY, 4000, true, emit);
  EXPECT_TRUE(seen.empty()) << "no arrow keys in menus";
  EXPECT_EQ(mapper.CursorStep(), std::make_pair(-Pad::kCursorFullSpeed, 0));
  mapper.Refresh(false, emit);  // in flight the deflected stick turns at once
  EXPECT_EQ(seen, std::vector<std::string>{"+37"});
}

}  // namespace
