// The player's controls of this run (Controls.cfg beside Settings.cfg):
// read at start, changed on the controls screen and written at once.
#pragma once

#include <string>

#include "ui/controls.h"

Controls& PlayerControls();
// Reads the file (defaults when there is none) and applies it.
void LoadPlayerControls();
// Applies the keys and the volumes (full screen is the caller's: it needs the
// window).
void ApplyPlayerControls();
// Applies and writes the file; false with the reason when it could not be
// written (the values stay for this run).
bool SavePlayerControls(std::string* error);
