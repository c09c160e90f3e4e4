#include "app/inputhandler.h"

#include <mutex>

#include "app/globals.h"

namespace {

// Click latch: guarded by latchMutex because down, up and the end of a frame
// each read and write both flags.
std::mutex latchMutex;
bool clickUnseen = false;     // the button went down after the last frame ended
bool releaseDeferred = false; // it also came up again before any frame ran

std::vector<std::string> typedChat;  // guarded by textMutex

void FinishChatLine() {
  typing = false;
  std::lock_guard<std::mutex> lock(textMutex);
  typedChat.push_back(typingmessage);
  typingmessage.clear();
}

void OpenChatLine() {
  typing = true;
  {
    std::lock_guard<std::mutex> lock(textMutex);
    typingmessage.assign(1, '>');
  }
  if (inloop == 10) inloop = 11;
}

void Escape() {
  switch (inloop.load()) {
    case 2:
      quitall = true;
      platform::PostQuit();
      break;
    case 1:
      inloop = 12;
      keys[vk::Escape] = false;
      break;
    case 12:
      inloop = 1;
      keys[vk::Escape] = false;
      break;
    default:
      inloop = 2;
      break;
  }
}

// Backspace edits where the player is typing: the name on the name-entry
// screen, the chat line (never its leading ">") while playing or confirming
// the quit. Done here, once per key-down and per key repeat, so a tap removes
// exactly one character and the order with typed characters is kept.
void Backspace() {
  std::lock_guard<std::mutex> lock(textMutex);
  int state = inloop;
  if (state == 10 && !newname.empty()) newname.pop_back();
  if (typing && (state == 1 || state == 12) && typingmessage.size() > 1) typingmessage.pop_back();
}

void KeyDown(int key) {
  keys[key] = true;
  if (key == vk::Back) Backspace();
  if (typing) {
    // Letters typed into the chat line must not fire the weapons.
    keys['Z'] = keys['X'] = keys['C'] = keys['V'] = false;
    if (key == vk::Return) {
      FinishChatLine();
      return;
    }
  } else if (key == vk::Return) {
    OpenChatLine();
  }
  if (key == vk::Escape) Escape();
}

void Character(char ch) {
  std::lock_guard<std::mutex> lock(textMutex);
  if (inloop == 10) newname.push_back(ch);
  if (typing) typingmessage.push_back(ch);
}

void ButtonDown() {
  std::lock_guard<std::mutex> lock(latchMutex);
  lclick = true;
  clickUnseen = true;
  releaseDeferred = false;
}

void ButtonUp() {
  std::lock_guard<std::mutex> lock(latchMutex);
  if (clickUnseen) {
    releaseDeferred = true;
  } else {
    lclick = false;
  }
}

}  // namespace

void HandleInputEvent(const platform::InputEvent& event) {
  switch (event.kind) {
    case platform::InputEvent::kKeyDown:
      if (event.key > 0 && event.key < 256) KeyDown(event.key);
      break;
    case platform::InputEvent::kKeyUp:
      if (event.key > 0 && event.key < 256) keys[event.key] = false;
      break;
    case platform::InputEvent::kChar:
      Character(event.ch);
      break;
    case platform::InputEvent::kButtonDown:
      ButtonDown();
      break;
    case platform::InputEvent::kButtonUp:
      ButtonUp();
      break;
    case platform::InputEvent::kClose:
      platform::PostQuit();
      break;
  }
}

void EndFrameInput() {
  std::lock_guard<std::mutex> lock(latchMutex);
  clickUnseen = false;
  if (releaseDeferred) {
    releaseDeferred = false;
    lclick = false;
  }
}

std::vector<std::string> TakeTypedChat() {
  std::lock_guard<std::mutex> lock(textMutex);
  std::vector<std::string> lines;
  lines.swap(typedChat);
  return lines;
}

void ResetInputState() {
  {
    std::lock_guard<std::mutex> lock(latchMutex);
    clickUnseen = releaseDeferred = false;
  }
  std::lock_guard<std::mutex> lock(textMutex);
  typedChat.clear();
}
