// Gamepads and the keyboard as one set of inputs. A game controller's left
// stick or d-pad turns and thrusts/brakes, the face buttons A B X Y fire the
// four weapon slots (the keys Z X C V), either shoulder button fires the
// utility item (shift), Start is escape and Back (Select) is a key of its
// own (vk::PadBack). On the screens used with the mouse (the system cursor is
// shown) the left stick moves the cursor and A clicks instead. While a choice
// is offered (SetChoosing) the stick and d-pad step between its options
// (vk::PadPrevious, vk::PadNext) and A takes the one highlighted
// (vk::PadAccept).
//
// Every key or button of every device is a source of its own, and the game
// sees a key go up only when the last source holding it lets go: a gamepad
// releasing "up" must not stop the thrust the keyboard still holds.
//
// Free of SDL: the platform layer hands over SDL's game-controller numbers,
// which Button and Axis follow.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <utility>

#include "platform/platform.h"

class GamepadMapper {
 public:
  // In the order of SDL_GameControllerButton.
  enum Button {
    kA,
    kB,
    kX,
    kY,
    kBack,
    kGuide,
    kStart,
    kLeftStick,
    kRightStick,
    kLeftShoulder,
    kRightShoulder,
    kDpadUp,
    kDpadDown,
    kDpadLeft,
    kDpadRight,
  };
  // In the order of SDL_GameControllerAxis.
  enum Axis { kLeftX, kLeftY, kRightX, kRightY, kTriggerLeft, kTriggerRight };

  // A stick direction is pressed beyond kPressAt and let go below kReleaseAt
  // (the gap keeps a stick resting near the edge from chattering); the
  // cursor moves beyond kCursorDeadZone.
  static constexpr int kPressAt = 16000;
  static constexpr int kReleaseAt = 12000;
  static constexpr int kCursorDeadZone = 8000;
  // Cursor speed at full deflection, frame pixels per 25 ms tick.
  static constexpr int kCursorFullSpeed = 20;

  using Emit = std::function<void(const platform::InputEvent&)>;

  // A keyboard key (virtual-key code) went down or up; it holds `action`
  // (the key the game reads it as; the key itself when negative) until its
  // release. The events carry the key itself as `physical`.
  void Key(int vk, bool down, bool repeat, const Emit& emit, int action = -1);
  // A button of gamepad `pad`; `menus` is true on the screens used with the
  // mouse.
  void PadButton(int pad, int button, bool down, bool menus, const Emit& emit);
  // An axis of gamepad `pad` moved to `value` (-32768..32767).
  void PadAxis(int pad, int axis, int value, bool menus, const Emit& emit);
  // Gamepad `pad` was unplugged: whatever it held is let go.
  void PadRemoved(int pad, const Emit& emit);
  // The stick directions follow the kind of screen: in menus the stick
  // moves the cursor and holds no key. Called every tick.
  void Refresh(bool menus, const Emit& emit);
  // The cursor movement of one tick from the left sticks, in frame pixels.
  std::pair<int, int> CursorStep() const;
  // Whether a choice is offered (overrides the menus' meaning of A and the
  // stick).
  void SetChoosing(bool choosing) { choosing_ = choosing; }
  bool Choosing() const { return choosing_; }

 private:
  static constexpr int kKeyboard = -1;
  static constexpr int kClick = 256;  // the left mouse button as an action
  // Stick directions as controls of their own, after the buttons.
  enum StickDirection { kStickLeft = 100, kStickRight, kStickUp, kStickDown };

  using Source = std::pair<int, int>;  // (pad or kKeyboard, button, direction or key)

  void Press(Source source, int action, const Emit& emit);
  void Release(Source source, const Emit& emit);
  void RefreshPad(int pad, bool menus, const Emit& emit);
  int ButtonAction(int button, bool menus) const;

  std::map<Source, int> held_;                // source -> the action it holds
  std::array<int, kClick + 1> holders_{};     // action -> how many sources hold it
  std::map<int, std::array<int, 2>> sticks_;  // pad -> left stick x, y
  bool choosing_ = false;
};
