#include "app/playercontrols.h"

#include "app/gameobjects.h"
#include "platform/platform.h"
#include "platform/soundmanager.h"
#include "ui/settings.h"

namespace {
Controls controls;
}  // namespace

Controls& PlayerControls() { return controls; }

void LoadPlayerControls() {
  controls = LoadControls(ControlsFileBeside(SettingsFile()));
  ApplyPlayerControls();
}

void ApplyPlayerControls() {
  platform::SetKeyTable(controls.KeyTable());
  Sounds.SetEffectsVolume(controls.effectsVolume);
  Sounds.SetMusicVolume(controls.musicVolume);
}

bool SavePlayerControls(std::string* error) {
  ApplyPlayerControls();
  return SaveControls(controls, ControlsFileBeside(SettingsFile()), error);
}
