#include "platform/gamepadmapper.h"

#include <cstdlib>
#include <iterator>

#include "platform/globals.h"

namespace {

platform::InputEvent KeyEvent(int action, bool down) {
  platform::InputEvent event;
  event.kind = down ? platform::InputEvent::kKeyDown : platform::InputEvent::kKeyUp;
  event.key = action;
  return event;
}

// Distance past the dead zone, scaled to 1..kCursorFullSpeed pixels.
int CursorSpeed(int value) {
  const int magnitude = std::abs(value);
  if (magnitude <= GamepadMapper::kCursorDeadZone) return 0;
  const int span = 32767 - GamepadMapper::kCursorDeadZone;
  const int speed = 1 + (magnitude - GamepadMapper::kCursorDeadZone) *
                            (GamepadMapper::kCursorFullSpeed - 1) / span;
  return value < 0 ? -speed : speed;
}

}  // namespace

int GamepadMapper::ButtonAction(int button, bool menus) const {
  if (choosing_) {
    switch (button) {
      case kA: return vk::PadAccept;
      case kDpadUp:
      case kDpadLeft: return vk::PadPrevious;
      case kDpadDown:
      case kDpadRight: return vk::PadNext;
      default: break;
    }
  }
  switch (button) {
    case kA: return menus ? kClick : 'Z';
    case kB: return 'X';
    case kX: return 'C';
    case kY: return 'V';
    case kLeftShoulder:
    case kRightShoulder: return vk::Shift;
    case kStart: return vk::Escape;
    case kBack: return vk::PadBack;
    case kDpadUp: return vk::Up;
    case kDpadDown: return vk::Down;
    case kDpadLeft: return vk::Left;
    case kDpadRight: return vk::Right;
    default: return 0;
  }
}

void GamepadMapper::Press(Source source, int action, const Emit& emit) {
  if (action <= 0 || action > kClick || held_.count(source)) return;
  held_[source] = action;
  if (holders_[action]++ > 0) return;
  if (action == kClick) {
    platform::InputEvent click;
    click.kind = platform::InputEvent::kButtonDown;
    emit(click);
  } else {
    emit(KeyEvent(action, true));
  }
}

void GamepadMapper::Release(Source source, const Emit& emit) {
  auto it = held_.find(source);
  if (it == held_.end()) return;
  const int action = it->second;
  held_.erase(it);
  if (--holders_[action] > 0) return;
  if (action == kClick) {
    platform::InputEvent click;
    click.kind = platform::InputEvent::kButtonUp;
    emit(click);
  } else {
    emit(KeyEvent(action, false));
  }
}

void GamepadMapper::Key(int vk, bool down, bool repeat, const Emit& emit, int action) {
  if (vk <= 0 || vk >= kClick) return;
  const Emit tagged = [&](const platform::InputEvent& e) {
    platform::InputEvent event = e;
    event.physical = vk;
    emit(event);
  };
  if (repeat) {
    // Auto-repeat edits text; it only means something while the key is held.
    const auto held = held_.find({kKeyboard, vk});
    if (held == held_.end()) return;
    platform::InputEvent event = KeyEvent(held->second, true);
    event.repeat = true;
    tagged(event);
    return;
  }
  if (down)
    Press({kKeyboard, vk}, action < 0 ? vk : action, tagged);
  else
    Release({kKeyboard, vk}, tagged);
}

void GamepadMapper::PadButton(int pad, int button, bool down, bool menus, const Emit& emit) {
  // The release lets go of whatever the press took, even when the screen
  // changed in between (A pressed in flight fires until it is released).
  if (down)
    Press({pad, button}, ButtonAction(button, menus), emit);
  else
    Release({pad, button}, emit);
}

void GamepadMapper::PadAxis(int pad, int axis, int value, bool menus, const Emit& emit) {
  if (axis != kLeftX && axis != kLeftY) return;
  sticks_[pad][axis == kLeftX ? 0 : 1] = value;
  RefreshPad(pad, menus, emit);
}

void GamepadMapper::RefreshPad(int pad, bool menus, const Emit& emit) {
  const auto stick = sticks_.find(pad);
  if (stick == sticks_.end()) return;
  const int x = stick->second[0], y = stick->second[1];
  const bool c = choosing_;
  struct {
    int direction, value, action;
  } const directions[] = {
      {kStickLeft, -x, c ? vk::PadPrevious : vk::Left},
      {kStickRight, x, c ? vk::PadNext : vk::Right},
      {kStickUp, -y, c ? vk::PadPrevious : vk::Up},
      {kStickDown, y, c ? vk::PadNext : vk::Down},
  };
  for (const auto& d : directions) {
    const Source source{pad, d.direction};
    const bool held = held_.count(source) != 0;
    const bool want = (c || !menus) && d.value > (held ? kReleaseAt : kPressAt);
    if (want && !held) Press(source, d.action, emit);
    if (!want && held) Release(source, emit);
  }
}

void GamepadMapper::PadRemoved(int pad, const Emit& emit) {
  for (auto it = held_.begin(); it != held_.end();) {
    const Source source = it->first;
    ++it;
    if (source.first == pad) Release(source, emit);
  }
  sticks_.erase(pad);
}

void GamepadMapper::Refresh(bool menus, const Emit& emit) {
  for (const auto& stick : sticks_) RefreshPad(stick.first, menus, emit);
}

std::pair<int, int> GamepadMapper::CursorStep() const {
  int dx = 0, dy = 0;
  if (choosing_) return {dx, dy};  // the stick steps between the options
  for (const auto& stick : sticks_) {
    dx += CursorSpeed(stick.second[0]);
    dy += CursorSpeed(stick.second[1]);
  }
  return {dx, dy};
}
