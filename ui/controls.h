// Controls.cfg, beside Settings.cfg: the key of every action a player can
// set, the music and effects volume and full screen or windowed. One
// "name value" line each, so the file reads and edits by hand; a line that
// is unknown or malformed is ignored and its setting keeps the default, so a
// damaged file never stops the game. Settings.cfg keeps its four lines and
// is not touched.
//
// The game reads its key table by the default keys (vk::Up is thrust, Z the
// first slot ...): a key the player set is turned into the default key of
// its action before the game sees it (KeyTable), so the rest of the game
// never learns of rebinding.
#pragma once

#include <array>
#include <string>

enum class Action {
  kTurnLeft,
  kTurnRight,
  kThrust,
  kBrake,
  kFire1,
  kFire2,
  kFire3,
  kFire4,
  kUtility,
  kChat,
  kScoreboard,
  kLogUp,
  kLogDown,
};
constexpr int kActions = 13;

struct ActionInfo {
  const char* id;       // its name in Controls.cfg
  const char* label;    // what the controls screen calls it
  int defaultKey;       // the key the game reads it by
  const char* gamepad;  // what does it on a game controller
};
const ActionInfo& InfoOf(Action action);

// "Left", "Page Up", "W", ...; "?" for a key without a name.
std::string KeyName(int key);

class Controls {
 public:
  Controls() { RestoreDefaults(); }

  int Key(Action action) const { return keys_[static_cast<int>(action)]; }
  // Sets the key of `action`. Refused (false, with the reason for the
  // player) when another action has it or the game keeps it for itself
  // (Escape, Enter beyond the chat, Backspace, F1, Alt) or it has no name.
  bool Bind(Action action, int key, std::string* refusal);
  void RestoreDefaults();

  // Physical key -> the key the game reads (0: nothing). A default key
  // another action took is dropped; keys no action has pass unchanged.
  std::array<int, 256> KeyTable() const;

  int musicVolume = 100;    // percent, steps of 10
  int effectsVolume = 100;  // percent, steps of 10
  bool fullscreen = true;

  std::string Text() const;
  // Reads what it can of `text` (see the top of this file).
  void Parse(const std::string& text);

 private:
  std::array<int, kActions> keys_{};
};

// The file beside the given Settings.cfg path.
std::string ControlsFileBeside(const std::string& settingsFile);
// A missing or unreadable file leaves the defaults.
Controls LoadControls(const std::string& path);
// False with the reason ("<why> (<file>)") when the file cannot be written.
bool SaveControls(const Controls& controls, const std::string& path, std::string* error);
// Volume steps: 0..100 in tens.
int StepVolume(int percent, int step);
