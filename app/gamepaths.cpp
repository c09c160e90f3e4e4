#include "app/gamepaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "ui/settings.h"

namespace fs = std::filesystem;

namespace {

std::string gDataDir;  // "" while the data is the working directory

bool IsDirectory(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// The home directory: $HOME, else the password database's entry.
std::string HomeDirectory(const char* home) {
  if (home && *home) return home;
  const passwd* entry = getpwuid(getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

// Makes the folder of the settings file; a failure is only reported, as the
// file's writes then fail quietly and the game plays with its defaults.
void MakeSettingsFolder(const std::string& file) {
  const fs::path folder = fs::path(file).parent_path();
  if (folder.empty()) return;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    std::fprintf(stderr, "voidrake2: cannot create %s (%s); settings will not be saved\n",
                 folder.c_str(), ec.message().c_str());
  }
}

}  // namespace

bool HoldsGameData(const std::string& dir) {
  const fs::path base = dir.empty() ? fs::path(".") : fs::path(dir);
  for (const char* folder : {"Images", "LoopedTextures", "Sounds", "sounds", "Shaders"}) {
    if (IsDirectory(base / folder)) return true;
  }
  return false;
}

bool FindDataDirectory(const std::string& option, const std::string& installed, std::string* dir,
                       std::string* error, std::string* warning) {
  dir->clear();
  if (!option.empty()) {
    if (!HoldsGameData(option)) {
      *error = "--data " + option +
               ": no Images, LoopedTextures, Sounds, sounds or Shaders folder there";
      return false;
    }
    *dir = option;
    return true;
  }
  if (HoldsGameData("")) return true;
  if (!installed.empty() && HoldsGameData(installed)) {
    *dir = installed;
    return true;
  }
  *warning = "no data folders in the working directory";
  if (!installed.empty()) warning->append(" or in ").append(installed);
  warning->append("; pictures and sounds will be missing (--data DIR names them)");
  return true;
}

std::string InstalledDataDirectory() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec || self.empty()) return "";
  return (self.parent_path().parent_path() / "share" / "voidrake2").lexically_normal().string();
}

std::string FindSettingsFile(const char* xdgConfigHome, const char* home) {
  std::error_code ec;
  if (fs::exists("Settings.cfg", ec)) return "Settings.cfg";
  fs::path config;
  // Relative values are to be ignored (they would depend on where the game
  // was started from).
  if (xdgConfigHome && fs::path(xdgConfigHome).is_absolute()) {
    config = xdgConfigHome;
  } else {
    const std::string homeDir = HomeDirectory(home);
    if (homeDir.empty()) return "Settings.cfg";
    config = fs::path(homeDir) / ".config";
  }
  return (config / "voidrake2" / "Settings.cfg").string();
}

bool ChooseGamePaths(const std::string& dataOption, std::string* error) {
  std::string dir, warning;
  if (!FindDataDirectory(dataOption, InstalledDataDirectory(), &dir, error, &warning)) return false;
  if (!warning.empty()) std::fprintf(stderr, "voidrake2: %s\n", warning.c_str());
  gDataDir = dir;
  const std::string settings =
      FindSettingsFile(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  MakeSettingsFolder(settings);
  SetSettingsFile(settings);
  return true;
}

std::string DataFile(const std::string& relative) {
  if (gDataDir.empty()) return relative;
  return (fs::path(gDataDir) / relative).string();
}
