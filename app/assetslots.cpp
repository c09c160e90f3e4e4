#include "app/assetslots.h"

#include <GL/gl.h>

#include "app/gameobjects.h"
#include "app/gamepaths.h"
#include "app/platform.h"
#include "app/soundmanager.h"
#include "render/defaultsprite.h"
#include "render/glwrapper.h"
#include "render/texturelibrary.h"

const std::array<TextureFile, 56> kTextureFiles = {{
    {"Images/PureWhite.PNG", 'P', 1},         // 1
    {"Images/tsf_gunship.png", 'K', 1},       // 2
    {"Images/RedBorder.PNG", 'K', 1},         // 3
    {"Images/Barrier.PNG", 'K', 1},           // 4
    {"Images/Laser.PNG", 'K', 1},             // 5
    {"Images/Rocket.PNG", 'K', 1},            // 6
    {"Images/YellowLaser.PNG", 'K', 1},       // 7
    {"Images/BlueLaser.PNG", 'K', 1},         // 8
    {"Images/lit1.PNG", 'K', 1},              // 9
    {"Images/lit2.PNG", 'K', 1},              // 10
    {"Images/GaussTrail.PNG", 'K', 1},        // 11
    {"Images/Mine.PNG", 'K', 1},              // 12
    {"Images/BigBullet.PNG", 'K', 1},         // 13
    {"Images/LowHealth.PNG", 'K', 1},         // 14
    {"Images/MidHealth.PNG", 'K', 1},         // 15
    {"Images/GoodHealth.PNG", 'K', 1},        // 16
    {"Images/Arrow.PNG", 'K', 1},             // 17
    {"Images/Font.PNG", 'K', 1},              // 18
    {"Images/PLanetDestroyer.PNG", 'K', 1},   // 19
    {"Images/tsf_stealth.PNG", 'K', 1},       // 20
    {"Images/BigBullet3.PNG", 'K', 1},        // 21
    {"Images/EngineTrail.PNG", 'E', 1},       // 22
    {"Images/InDep1.PNG", 'E', 1},            // 23: the capital ship's tiles 23..30
    {"Images/InDep2.PNG", 'E', 1},
    {"Images/InDep3.PNG", 'E', 1},
    {"Images/InDep4.PNG", 'E', 1},
    {"Images/InDep5.PNG", 'E', 1},
    {"Images/InDep6.PNG", 'E', 1},
    {"Images/InDep7.PNG", 'E', 1},            // 29
    {"Images/InDep8.PNG", 'E', 3},            // 30, 31, 32
    {"Images/Gauss.PNG", 'K', 4},             // 33..36
    {"Images/ArrowUp.PNG", 'K', 1},           // 37
    {"Images/ArrowDown.PNG", 'K', 1},         // 38
    {"Images/PureWhite.PNG", 'P', 2},         // 39, 40 (40 becomes the arena picture)
    {"Images/Shrapnel.PNG", 'K', 1},          // 41
    {"Images/quadscout1_linked.PNG", 'K', 1}, // 42
    {"Images/screenintro4s.PNG", 'P', 1},     // 43 options screen
    {"Images/Join Screen.PNG", 'P', 1},       // 44 internet server list
    {"Images/back.PNG", 'P', 1},              // 45
    {"Images/horz.PNG", 'K', 1},              // 46 horizontal wall
    {"Images/vert.PNG", 'K', 1},              // 47 vertical wall
    {"Images/joint.PNG", 'K', 1},             // 48 wall corner
    {"Images/spot.PNG", 'K', 1},              // 49
    {"Images/spot3.PNG", 'K', 1},             // 50
    {"Images/spot4.PNG", 'K', 1},             // 51
    {"Images/spot5.PNG", 'K', 1},             // 52
    {"Images/spot6.PNG", 'K', 1},             // 53
    {"Images/screenintro3s.PNG", 'P', 1},     // 54 title screen
    {"Images/block01.PNG", 'K', 1},           // 55
    {"Images/block02.PNG", 'K', 1},           // 56
    {"Images/block03.PNG", 'K', 1},           // 57
    {"Images/gauss2.PNG", 'K', 1},            // 58
    {"Images/screenintro5s.PNG", 'P', 1},     // 59 name entry screen
    {"Images/smoke001.PNG", 'K', 1},          // 60
    {"Images/smoke002.PNG", 'K', 1},          // 61
    {"Images/smoke003.PNG", 'K', 1},          // 62
}};

const std::array<LoopFile, 5> kLoopFiles = {{
    {false, "LoopedTextures/Explosion1/", 1, 30},
    {true, "LoopedTextures/Smoke/Smoke_00", 0, 39},
    {true, "LoopedTextures/SpaceExplosion/SpaceExplosion128_00", 0, 29},
    {true, "LoopedTextures/Flame/TorchFlameBase_00", 0, 19},
    {true, "LoopedTextures/BlueCrap/ShockRifle_00", 0, 19},
}};

const std::array<const char*, 7> kEffectSounds = {
    "Sounds/RL.wav",      "Sounds/thunder.wav", "Sounds/blasters.wav", "Sounds/Big_Lasers.wav",
    "Sounds/Minigun.wav", "Sounds/Sniper.wav",  "Sounds/Crash.wav",
};

namespace {

unsigned int LoadPicture(const char* file, char kind) {
  const std::string path = DataFile(file);
  unsigned int name = 0;
  if (kind == 'P')
    Utility.LoadPNG(path, name);
  else if (kind == 'E')
    Utility.LoadPNGColorKeyEdgeClamp(path, name);
  else
    Utility.LoadPNGColorKey(path, name);
  return name;
}

}  // namespace

void ShowLoadingPicture() {
  Textures.ReplaceTexture(LoadPicture(kLoadingPicture, 'K'), 0);
  FullscreenFX.InitMe(512, 384, 1024, 768, 0.5f, 0.5f, 1, 1, &Textures);
  FullscreenFX.ChangeSize(1024, 768);
  platform::BeginFrame();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  FullscreenFX.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, 0, false, false);
  platform::SwapBuffers();
}

void LoadShipPictureIntoSlotZero() { Textures.ReplaceTexture(LoadPicture(kShipPicture, 'K'), 0); }

void LoadLoopSlots() {
  for (const LoopFile& loop : kLoopFiles) {
    if (loop.withZero)
      Textures.AddLoopTexture(Utility.LoadAnimWithZero(DataFile(loop.prefix), loop.first, loop.last));
    else
      Textures.AddLoopTexture(Utility.LoadAnim(DataFile(loop.prefix), loop.first, loop.last));
  }
}

void LoadTextureSlots() {
  for (const TextureFile& file : kTextureFiles) {
    const unsigned int name = LoadPicture(file.path, file.kind);
    for (int i = 0; i < file.registrations; ++i) Textures.AddTexture(name);
  }
}

void StartMusic() {
  const int slot = Sounds.LoadSoundLooping(DataFile(kMusicFile).c_str());
  Sounds.HighVolume(slot);
  Sounds.PlaySoundA(slot);
}

void LoadEffectSounds() {
  for (const char* path : kEffectSounds) Sounds.DefaultVolume(Sounds.LoadSound(DataFile(path).c_str()));
}
