#include "ui/controls.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/keycodes.h"

namespace {

constexpr ActionInfo kInfo[kActions] = {
    {"turn-left", "Turn left", vk::Left, "stick or d-pad left"},
    {"turn-right", "Turn right", vk::Right, "stick or d-pad right"},
    {"thrust", "Thrust", vk::Up, "stick or d-pad up"},
    {"brake", "Brake", vk::Down, "stick or d-pad down"},
    {"fire-1", "Fire slot 1", 'Z', "A"},
    {"fire-2", "Fire slot 2", 'X', "B"},
    {"fire-3", "Fire slot 3", 'C', "X"},
    {"fire-4", "Fire slot 4", 'V', "Y"},
    {"utility", "Utility item", vk::Shift, "either shoulder"},
    {"chat", "Chat line", vk::Return, "-"},
    {"scoreboard", "Scoreboard (hold)", vk::Tab, "-"},
    {"log-up", "Message log back", vk::PageUp, "-"},
    {"log-down", "Message log on", vk::PageDown, "-"},
};

bool Reserved(int key) {
  return key == vk::Escape || key == vk::Back || key == vk::F1 || key == vk::Alt ||
         key == vk::PadBack || key == vk::PadAccept || key == vk::PadPrevious || key == vk::PadNext;
}

}  // namespace

const ActionInfo& InfoOf(Action action) { return kInfo[static_cast<int>(action)]; }

std::string KeyName(int key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
  switch (key) {
    case vk::Left: return "Left";
    case vk::Right: return "Right";
    case vk::Up: return "Up";
    case vk::Down: return "Down";
    case vk::Shift: return "Shift";
    case vk::Control: return "Ctrl";
    case vk::Return: return "Enter";
    case vk::Tab: return "Tab";
    case vk::Space: return "Space";
    case vk::PageUp: return "Page Up";
    case vk::PageDown: return "Page Down";
    case vk::Delete: return "Delete";
    default: return "?";
  }
}

void Controls::RestoreDefaults() {
  for (int i = 0; i < kActions; ++i) keys_[i] = kInfo[i].defaultKey;
}

bool Controls::Bind(Action action, int key, std::string* refusal) {
  const int index = static_cast<int>(action);
  // Enter also sends the chat line, names and confirms: only the chat may
  // have it.
  if (Reserved(key) || KeyName(key) == "?" || (key == vk::Return && action != Action::kChat)) {
    if (refusal) *refusal = "That key is kept by the game; choose another.";
    return false;
  }
  for (int i = 0; i < kActions; ++i) {
    if (i == index || keys_[i] != key) continue;
    if (refusal) *refusal = KeyName(key) + " is already used by " + kInfo[i].label + ".";
    return false;
  }
  keys_[index] = key;
  return true;
}

std::array<int, 256> Controls::KeyTable() const {
  std::array<int, 256> table{};
  for (int key = 0; key < 256; ++key) table[key] = key;
  for (int i = 0; i < kActions; ++i)
    if (kInfo[i].defaultKey != vk::Return) table[kInfo[i].defaultKey] = 0;
  for (int i = 0; i < kActions; ++i) table[keys_[i]] = kInfo[i].defaultKey;
  return table;
}

std::string Controls::Text() const {
  std::ostringstream out;
  for (int i = 0; i < kActions; ++i) out << kInfo[i].id << ' ' << keys_[i] << '\n';
  out << "music-volume " << musicVolume << '\n';
  out << "effects-volume " << effectsVolume << '\n';
  out << "fullscreen " << (fullscreen ? 1 : 0) << '\n';
  return out.str();
}

void Controls::Parse(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  Controls wanted;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string name;
    long value = 0;
    if (!(words >> name >> value)) continue;
    const int clamped = static_cast<int>(std::clamp(value, 0L, 100L));
    if (name == "music-volume") musicVolume = StepVolume(clamped, 0);
    if (name == "effects-volume") effectsVolume = StepVolume(clamped, 0);
    if (name == "fullscreen") fullscreen = value != 0;
    for (int i = 0; i < kActions; ++i)
      if (name == kInfo[i].id && value > 0 && value < 256)
        wanted.keys_[i] = static_cast<int>(value);
  }
  // Taken as a whole: keys swapped between two actions are valid together
  // but not one at a time. A set with a duplicate or a kept key (a hand
  // edit) gives way to the defaults.
  for (int i = 0; i < kActions; ++i) {
    Controls rest = wanted;
    rest.keys_[i] = 0;
    if (!rest.Bind(static_cast<Action>(i), wanted.keys_[i], nullptr)) return;
  }
  keys_ = wanted.keys_;
}

std::string ControlsFileBeside(const std::string& settingsFile) {
  return (std::filesystem::path(settingsFile).parent_path() / "Controls.cfg").string();
}

Controls LoadControls(const std::string& path) {
  Controls controls;
  std::ifstream in(path, std::ios::binary);
  if (!in) return controls;
  std::ostringstream text;
  text << in.rdbuf();
  controls.Parse(text.str());
  return controls;
}

bool SaveControls(const Controls& controls, const std::string& path, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  bool written = f != nullptr;
  if (f) {
    const std::string text = controls.Text();
    written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    written = std::fclose(f) == 0 && written;
  }
  if (!written && error) *error = std::string(std::strerror(errno)) + " (" + path + ")";
  return written;
}

int StepVolume(int percent, int step) {
  const int rounded = (std::clamp(percent, 0, 100) + 5) / 10 * 10;
  return std::clamp(rounded + 10 * step, 0, 100);
}
