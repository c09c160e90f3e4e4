// First start-up: enough for the title, options and name screens. The full
// loading order (sounds, frame sequences, the level and every game object)
// replaces this file and then sets gameReady.
#include "app/startup.h"

#include <FreeImage.h>
#include <GL/gl.h>

#include <ctime>

#include "app/assetslots.h"
#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/globals.h"
#include "app/platform.h"
#include "render/glwrapper.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "ui/settings.h"

bool gameReady = false;

uint32_t StartUp() {
  Game = 0;
  inloop = 2;
  multiplayer = true;
  FreeImage_Initialise();
  onmenu = 0;
  typing = false;
  {
    std::lock_guard<std::mutex> lock(textMutex);
    typingmessage.clear();
  }
  GameSeed(static_cast<unsigned>(std::time(nullptr)));
  platform::MakeContextCurrent();
  Utility.SetFixedGlState();
  ShowLoadingPicture();
  LoadShipPictureIntoSlotZero();
  LoadTextureSlots();
  CameraHeight = 768;
  CameraWidth = 1024;
  myGUID = Utility.GenerateGUID();
  SetUpText(&Textures, &Shaders);
  AddMessage("Welcome to Voidrake!");
  AddMessage("Use the arrows to fly, and Z,X,C, and V to shoot!");
  AddMessage("Most Importantly - Have fun!");
  uint32_t firstFrame = platform::Ticks();
  InitFrontEndButtons(&Textures);
  gotin = true;
  rdyforgame = false;
  for (Menu* page : {&ServerList.ips, &ServerList.ports, &ServerList.names, &ServerList.games,
                     &ServerList.maps, &ServerList.maxPlayerCounts}) {
    page->InitMe(&Textures, static_cast<int>(base));
  }
  WriteDefaultSettingsIfMissing();
  return firstFrame;
}
