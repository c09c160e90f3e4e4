#include "app/inputhandler.h"

#include <array>
#include <mutex>

#include "platform/globals.h"

namespace {

// Press latch for the left button and every key: a press must be seen by at
// least one whole frame, or a tap shorter than a frame (a touchpad tap, a
// quick enter on the quit confirmation) is lost. Guarded by latchMutex:
// presses, releases and the frame's start and end read and write the flags.
struct Latch {
  bool unseen = false;           // pressed after the current frame began
  bool releaseDeferred = false;  // released again before any frame began
  bool releaseAtEnd = false;     // the running frame sees the press; release after it
};
std::mutex latchMutex;
Latch clickLatch;
std::array<Latch, 256> keyLatch;

void Press(Latch& latch) {
  latch.unseen = true;
  latch.releaseDeferred = false;
}

// True when the release may take effect now.
bool Release(Latch& latch) {
  if (!latch.unseen) return true;
  latch.releaseDeferred = true;
  return false;
}

void FrameBegins(Latch& latch) {
  latch.unseen = false;
  if (latch.releaseDeferred) latch.releaseAtEnd = true;
  latch.releaseDeferred = false;
}

// True when a deferred release is due at the end of this frame.
bool FrameEnds(Latch& latch) {
  bool due = latch.releaseAtEnd;
  latch.releaseAtEnd = false;
  return due;
}

std::vector<std::string> typedChat;  // guarded by textMutex
std::atomic<bool> captureWanted{false};
std::atomic<int> capturedKey{0};

// A line with nothing typed after the ">" only closes: enter pressed twice
// by mistake would otherwise put a bare "Name>" on every player's screen.
void FinishChatLine() {
  typing = false;
  std::lock_guard<std::mutex> lock(textMutex);
  if (typingmessage.size() > 1) typedChat.push_back(typingmessage);
  typingmessage.clear();
}

// Enter finishes name entry, and opens the chat line only where one is shown
// and sent (in a game): a line opened on the menus would greet the player
// open in the next game, where it swallows the fire keys until enter sends
// an empty line. On the quit confirmation enter means quit (the frame reads
// the key), so it opens nothing there.
void EnterPressed() {
  const ScreenState state = inloop;
  if (state == ScreenState::NameEntry) {
    inloop = ScreenState::NameEntryDone;
    return;
  }
  if (state != ScreenState::Playing) return;
  typing = true;
  std::lock_guard<std::mutex> lock(textMutex);
  typingmessage.assign(1, '>');
}

void Escape() {
  switch (inloop.load()) {
    case ScreenState::Title:
      quitall = true;
      platform::PostQuit();
      break;
    case ScreenState::Playing:
      inloop = ScreenState::QuitConfirm;
      keys[vk::Escape] = false;
      break;
    case ScreenState::QuitConfirm:
      inloop = ScreenState::Playing;
      keys[vk::Escape] = false;
      break;
    case ScreenState::Controls:
      // The controls screen goes back itself (escape may end a key capture).
      break;
    case ScreenState::Notice:
      // The notice frame ends it on any key once it has reset the ended
      // game; going to the title here could skip that reset.
      break;
    default: inloop = ScreenState::Title; break;
  }
}

// A gamepad's Back opens the quit confirmation from the game and closes it
// again: the pad-only way out, Start being escape.
void PadBack() {
  if (inloop == ScreenState::Playing)
    inloop = ScreenState::QuitConfirm;
  else if (inloop == ScreenState::QuitConfirm)
    inloop = ScreenState::Playing;
}

// Backspace edits where the player is typing: the name on the name-entry
// screen, the chat line (never its leading ">") while playing or confirming
// the quit. Done here, once per key-down and per key repeat, so a tap removes
// exactly one character and the order with typed characters is kept.
void Backspace() {
  std::lock_guard<std::mutex> lock(textMutex);
  const ScreenState state = inloop;
  const bool chatShown = state == ScreenState::Playing || state == ScreenState::QuitConfirm;
  if (state == ScreenState::NameEntry && !newname.empty()) newname.pop_back();
  if (typing && chatShown && typingmessage.size() > 1) typingmessage.pop_back();
}

// F1: the controls screen over the game, and back.
void HelpKey() {
  if (inloop == ScreenState::Playing) {
    controlsReturn = ScreenState::Playing;
    inloop = ScreenState::Controls;
  } else if (inloop == ScreenState::Controls) {
    inloop = controlsReturn.load();
  }
}

void KeyDown(int key, bool repeat) {
  // Auto-repeat only edits text: a held escape would otherwise flicker
  // between the game and the quit confirmation, or go back to the title and
  // then end the program; a held enter would send empty chat lines.
  if (repeat) {
    if (key == vk::Back) Backspace();
    return;
  }
  // An enter that finishes the chat line is not an enter for the screen
  // either: the quit confirmation would otherwise send the line and quit.
  if (typing && key == vk::Return) {
    for (int fire : vk::Fire) keys[fire] = false;
    FinishChatLine();
    return;
  }
  {
    std::lock_guard<std::mutex> lock(latchMutex);
    keys[key] = true;
    Press(keyLatch[key]);
  }
  if (key == vk::Back) Backspace();
  if (typing) {
    // Letters typed into the chat line must not fire the weapons.
    for (int fire : vk::Fire) keys[fire] = false;
  } else if (key == vk::Return) {
    EnterPressed();
  }
  if (key == vk::Escape) Escape();
  if (key == vk::PadBack) PadBack();
  if (key == vk::F1) HelpKey();
}

void KeyUp(int key) {
  std::lock_guard<std::mutex> lock(latchMutex);
  if (Release(keyLatch[key])) keys[key] = false;
}

void Character(char ch) {
  std::lock_guard<std::mutex> lock(textMutex);
  if (inloop == ScreenState::NameEntry && newname.size() < kMaxNameChars) newname.push_back(ch);
  if (typing && typingmessage.size() < kMaxChatLineChars) typingmessage.push_back(ch);
}

void ButtonDown() {
  std::lock_guard<std::mutex> lock(latchMutex);
  lclick = true;
  Press(clickLatch);
}

void ButtonUp() {
  std::lock_guard<std::mutex> lock(latchMutex);
  if (Release(clickLatch)) lclick = false;
}

}  // namespace

void HandleInputEvent(const platform::InputEvent& event) {
  switch (event.kind) {
    case platform::InputEvent::kKeyDown:
      if (event.physical > 0 && !event.repeat && captureWanted.exchange(false)) {
        capturedKey = event.physical;
        break;
      }
      // Alt+Enter switches between full screen and the window; it opens no
      // chat line and confirms nothing.
      if (event.key == vk::Return && keys[vk::Alt] && !event.repeat) {
        platform::RequestFullscreen(!platform::IsFullscreen());
        break;
      }
      if (event.key > 0 && event.key < 256) KeyDown(event.key, event.repeat);
      break;
    case platform::InputEvent::kKeyUp:
      if (event.key > 0 && event.key < 256) KeyUp(event.key);
      break;
    case platform::InputEvent::kChar: Character(event.ch); break;
    case platform::InputEvent::kButtonDown: ButtonDown(); break;
    case platform::InputEvent::kButtonUp: ButtonUp(); break;
    case platform::InputEvent::kClose: platform::PostQuit(); break;
  }
}

std::atomic<ScreenState> controlsReturn{ScreenState::Options};

void StartKeyCapture() {
  capturedKey = 0;
  captureWanted = true;
}

void StopKeyCapture() { captureWanted = false; }

int TakeCapturedKey() { return capturedKey.exchange(0); }

void BeginFrameInput() {
  std::lock_guard<std::mutex> lock(latchMutex);
  FrameBegins(clickLatch);
  for (Latch& latch : keyLatch) FrameBegins(latch);
}

void EndFrameInput() {
  std::lock_guard<std::mutex> lock(latchMutex);
  if (FrameEnds(clickLatch)) lclick = false;
  for (size_t key = 0; key < keyLatch.size(); ++key) {
    if (FrameEnds(keyLatch[key])) keys[key] = false;
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
    clickLatch = Latch{};
    keyLatch.fill(Latch{});
  }
  std::lock_guard<std::mutex> lock(textMutex);
  typedChat.clear();
}
