// Where the game finds its data folders (Images/, LoopedTextures/, Sounds/,
// sounds/, Shaders/) and keeps Settings.cfg.
//
// Data, first that applies: `--data DIR`; the working directory when it
// holds data folders (a build's run directory, an unpacked copy); the
// installed data beside the program, <prefix>/share/voidrake2 for
// <prefix>/bin/voidrake2.
//
// Settings.cfg: the working directory's when there is one (setups from
// before keep theirs); otherwise $XDG_CONFIG_HOME/voidrake2/Settings.cfg,
// ~/.config/voidrake2/ when that variable is unset or not an absolute path.
// The folder is made on first start.
#pragma once

#include <string>

// Chooses both places and applies them (data files, Settings.cfg, the
// shader folder is read through DataFile). `dataOption` is the --data value
// or "". False with a message in `error` when --data names no data.
bool ChooseGamePaths(const std::string& dataOption, std::string* error);

// A data file's path: `relative` (e.g. "Images/Font.PNG") under the chosen
// data directory; unchanged while the data is the working directory.
std::string DataFile(const std::string& relative);

// ---- The choices themselves (pure; tests call them with made-up places) ----

// True when `dir` holds at least one of the data folders.
bool HoldsGameData(const std::string& dir);
// The data directory: `option` when given (it must hold data), else "" for
// the working directory when it holds data, else `installed` when it does,
// else "" (the pictures and sounds will be missing; `warning` says so).
bool FindDataDirectory(const std::string& option, const std::string& installed, std::string* dir,
                       std::string* error, std::string* warning);
// <directory of the running program>/../share/voidrake2, or "" when the
// program's own path cannot be read.
std::string InstalledDataDirectory();
// "Settings.cfg" when the working directory has one, else the per-user file
// from the two variables' values (nullptr when unset).
std::string FindSettingsFile(const char* xdgConfigHome, const char* home);
