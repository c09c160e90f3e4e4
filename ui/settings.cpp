#include "ui/settings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>

#include "platform/globals.h"

namespace {

std::string& File() {
  static std::string path = "Settings.cfg";
  return path;
}

// One line without its line feed, or nothing when the file has ended.
std::optional<std::string> ReadLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) return std::nullopt;
  return line;
}

// A number line, or `fallback` when the line is missing.
int ReadNumber(std::istream& in, int fallback) {
  const std::optional<std::string> line = ReadLine(in);
  return line ? SettingsNumber(*line) : fallback;
}

}  // namespace

void SetSettingsFile(const std::string& path) { File() = path; }

const std::string& SettingsFile() { return File(); }

int SettingsNumber(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
  bool negative = false;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
  long long value = 0;
  for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
    value = value * 10 + (line[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

namespace {

// What this run chose but could not write (a read-only file or folder): the
// game plays on with it instead of the file's older values, and the options
// screen says why it was not kept.
struct Unsaved {
  std::string name;
  int level, music, mode;
  std::optional<std::string> fifth;
};
std::optional<Unsaved> unsaved;
std::string saveError;

// The fifth line as it stands (nothing when the file has none).
std::optional<std::string> FifthLine() {
  if (unsaved) return unsaved->fifth;
  std::ifstream in(File(), std::ios::binary);
  std::optional<std::string> line;
  for (int k = 0; k < 5 && in; ++k) line = ReadLine(in);
  return line;
}

void Write(const std::string& name, int level, int music, int mode,
           const std::optional<std::string>& fifth) {
  std::FILE* f = std::fopen(File().c_str(), "wb");
  bool written = f != nullptr;
  if (f) {
    std::fprintf(f, "%s\n%d\n%d\n%d", name.c_str(), level, mode, music);
    if (fifth) std::fprintf(f, "\n%s", fifth->c_str());
    written = !std::ferror(f);
    written = std::fclose(f) == 0 && written;
  }
  if (written) {
    unsaved.reset();
    saveError.clear();
    return;
  }
  saveError = std::string(std::strerror(errno)) + " (" + File() + ")";
  unsaved = Unsaved{name, level, music, mode, fifth};
  std::fprintf(stderr, "voidrake2: settings could not be saved: %s\n", saveError.c_str());
}

}  // namespace

void WriteSettings(std::string name, int level, int music, int mode) {
  Write(name, level, music, mode, FifthLine());
}

int ReadHostBots() {
  const std::optional<std::string> line = FifthLine();
  return line ? std::clamp(SettingsNumber(*line), 0, kMaxHostBots) : 0;
}

int NextHostBots(int count) {
  constexpr int kSteps[] = {1, 2, 3, 4, 6, 8, 12, 16, 24, kMaxHostBots};
  for (int step : kSteps)
    if (step > count) return step;
  return 0;
}

void WriteHostBots(int count) {
  std::string name;
  int level = kDefaultLevel, music = kDefaultMusic, mode = kDefaultMode;
  ReadSettings(name, level, music, mode);
  if (name.empty() && !std::ifstream(File())) name = kDefaultName;
  Write(name, level, music, mode, std::to_string(std::clamp(count, 0, kMaxHostBots)));
}

const std::string& SettingsSaveError() { return saveError; }

bool ReadSettings(std::string& name, int& level, int& music, int& mode) {
  if (unsaved) {
    name = unsaved->name;
    graphicslevel = level = unsaved->level;
    music = unsaved->music;
    mode = unsaved->mode;
    return true;
  }
  std::ifstream in(File(), std::ios::binary);
  if (!in) return false;
  // A file cut short (an old version, a hand edit) keeps the defaults of its
  // missing lines: reading them as empty stopped the music and lost the name.
  name = ReadLine(in).value_or(kDefaultName).substr(0, kMaxSettingsName);
  level = ReadNumber(in, kDefaultLevel);
  graphicslevel = level;
  mode = ReadNumber(in, kDefaultMode);
  music = ReadNumber(in, kDefaultMusic);
  return true;
}

void WriteDefaultSettingsIfMissing() {
  if (std::ifstream(File())) return;
  WriteSettings(kDefaultName, kDefaultLevel, kDefaultMusic, kDefaultMode);
}
