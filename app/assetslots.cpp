#include "app/assetslots.h"

#include <GL/gl.h>

#include <string>
#include <vector>

#include "app/gameobjects.h"
#include "app/gamepaths.h"
#include "platform/platform.h"
#include "platform/soundmanager.h"
#include "render/defaultsprite.h"
#include "render/glwrapper.h"
#include "render/pictureloader.h"
#include "render/texturelibrary.h"

constexpr std::array<TextureFile, 56> kTextureFiles = {{
    {kWhiteTexture, "Images/PureWhite.PNG", 'P', 1},
    {kGunshipTexture, "Images/tsf_gunship.png", 'K', 1},
    {kRedBorderTexture, "Images/RedBorder.PNG", 'K', 1},
    {kBarrierTexture, "Images/Barrier.PNG", 'K', 1},
    {kLaserTexture, "Images/Laser.PNG", 'K', 1},
    {kRocketTexture, "Images/Rocket.PNG", 'K', 1},
    {kYellowLaserTexture, "Images/YellowLaser.PNG", 'K', 1},
    {kBlueLaserTexture, "Images/BlueLaser.PNG", 'K', 1},
    {kLightning1Texture, "Images/lit1.PNG", 'K', 1},
    {kLightning2Texture, "Images/lit2.PNG", 'K', 1},
    {kGaussTrailTexture, "Images/GaussTrail.PNG", 'K', 1},
    {kMineTexture, "Images/Mine.PNG", 'K', 1},
    {kBigBulletTexture, "Images/BigBullet.PNG", 'K', 1},
    {kLowHealthTexture, "Images/LowHealth.PNG", 'K', 1},
    {kMidHealthTexture, "Images/MidHealth.PNG", 'K', 1},
    {kGoodHealthTexture, "Images/GoodHealth.PNG", 'K', 1},
    {kArrowTexture, "Images/Arrow.PNG", 'K', 1},
    {kFontTexture, "Images/Font.PNG", 'K', 1},
    {kPlanetDestroyerTexture, "Images/PLanetDestroyer.PNG", 'K', 1},
    {kStealthTexture, "Images/tsf_stealth.PNG", 'K', 1},
    {kBigBullet3Texture, "Images/BigBullet3.PNG", 'K', 1},
    {kEngineTrailTexture, "Images/EngineTrail.PNG", 'E', 1},
    {kCarrierTile1, "Images/InDep1.PNG", 'E', 1},
    {kCarrierTile2, "Images/InDep2.PNG", 'E', 1},
    {kCarrierTile3, "Images/InDep3.PNG", 'E', 1},
    {kCarrierTile4, "Images/InDep4.PNG", 'E', 1},
    {kCarrierTile5, "Images/InDep5.PNG", 'E', 1},
    {kCarrierTile6, "Images/InDep6.PNG", 'E', 1},
    {kCarrierTile7, "Images/InDep7.PNG", 'E', 1},
    {kCarrierTile8, "Images/InDep8.PNG", 'E', 3},
    {kGaussTexture, "Images/Gauss.PNG", 'K', 4},
    {kArrowUpTexture, "Images/ArrowUp.PNG", 'K', 1},
    {kArrowDownTexture, "Images/ArrowDown.PNG", 'K', 1},
    {kWhiteQuadTexture, "Images/PureWhite.PNG", 'P', 2},  // and kArenaPictureTexture
    {kShrapnelTexture, "Images/Shrapnel.PNG", 'K', 1},
    {kQuadScoutTexture, "Images/quadscout1_linked.PNG", 'K', 1},
    {kOptionsScreenTexture, "Images/screenintro4s.PNG", 'P', 1},
    {kServerListScreenTexture, "Images/Join Screen.PNG", 'P', 1},
    {kBackTexture, "Images/back.PNG", 'P', 1},
    {kHorizontalWallTexture, "Images/horz.PNG", 'K', 1},
    {kVerticalWallTexture, "Images/vert.PNG", 'K', 1},
    {kWallJointTexture, "Images/joint.PNG", 'K', 1},
    {kSpot1Texture, "Images/spot.PNG", 'K', 1},
    {kSpot3Texture, "Images/spot3.PNG", 'K', 1},
    {kSpot4Texture, "Images/spot4.PNG", 'K', 1},
    {kSpot5Texture, "Images/spot5.PNG", 'K', 1},
    {kSpot6Texture, "Images/spot6.PNG", 'K', 1},
    {kTitleScreenTexture, "Images/screenintro3s.PNG", 'P', 1},
    {kBlock1Texture, "Images/block01.PNG", 'K', 1},
    {kBlock2Texture, "Images/block02.PNG", 'K', 1},
    {kBlock3Texture, "Images/block03.PNG", 'K', 1},
    {kGauss2Texture, "Images/gauss2.PNG", 'K', 1},
    {kNameScreenTexture, "Images/screenintro5s.PNG", 'P', 1},
    {kSmoke1Texture, "Images/smoke001.PNG", 'K', 1},
    {kSmoke2Texture, "Images/smoke002.PNG", 'K', 1},
    {kSmoke3Texture, "Images/smoke003.PNG", 'K', 1},
}};

// Each entry fills the slot it names and the slots its extra registrations
// take, so the table and the slot list cannot drift apart.
constexpr bool EntriesFillTheirSlots() {
  int next = 1;
  for (const TextureFile& file : kTextureFiles) {
    if (file.slot != next) return false;
    next += file.registrations;
  }
  return next == kTextureSlotCount;
}
static_assert(EntriesFillTheirSlots());

const std::array<LoopFile, 5> kLoopFiles = {{
    {false, "LoopedTextures/Explosion1/", 1, 30},
    {true, "LoopedTextures/Smoke/Smoke_00", 0, 39},
    {true, "LoopedTextures/SpaceExplosion/SpaceExplosion128_00", 0, 29},
    {true, "LoopedTextures/Flame/TorchFlameBase_00", 0, 19},
    {true, "LoopedTextures/BlueCrap/ShockRifle_00", 0, 19},
}};

// The weapons and explosions name their sounds by slot: new ones go last.
const std::array<const char*, 8> kEffectSounds = {
    "Sounds/RL.wav",      "Sounds/thunder.wav", "Sounds/blasters.wav", "Sounds/Big_Lasers.wav",
    "Sounds/Minigun.wav", "Sounds/Sniper.wav",  "Sounds/Crash.wav",    "Sounds/Hurt.wav",
};

namespace {

// What the title and the other front-end screens draw: decoded first, so the
// title shows while the rest still loads.
constexpr TextureSlot kFrontEndSlots[] = {kTitleScreenTexture,      kFontTexture,
                                          kOptionsScreenTexture,    kNameScreenTexture,
                                          kServerListScreenTexture, kWhiteQuadTexture};

PictureKind KindOf(char kind) {
  return kind == 'P'   ? PictureKind::kOpaque
         : kind == 'E' ? PictureKind::kColorKeyClamp
                       : PictureKind::kColorKey;
}

unsigned int QueuePicture(const std::string& file, char kind) {
  Textures.pictures = &Pictures;
  return Pictures.Queue(DataFile(file), KindOf(kind));
}

// Loop slots 0..4: every frame an opaque picture, kept in order on failure.
void QueueLoopSlots() {
  for (const LoopFile& loop : kLoopFiles) {
    std::vector<unsigned int> frames;
    for (int n = loop.first; n <= loop.last; ++n)
      frames.push_back(QueuePicture(FrameFileName(loop.prefix, n, loop.withZero), 'P'));
    Textures.AddLoopTexture(frames);
  }
}

// Texture slots 1..62.
void QueueTextureSlots() {
  for (const TextureFile& file : kTextureFiles) {
    const unsigned int name = QueuePicture(file.path, file.kind);
    for (int i = 0; i < file.registrations; ++i) Textures.AddTexture(name);
  }
}

}  // namespace

void PrefetchFirstPictures() {
  Pictures.Prefetch(DataFile(kLoadingPicture), PictureKind::kColorKey);
  for (const TextureFile& file : kTextureFiles) {
    if (file.slot == kTitleScreenTexture || file.slot == kFontTexture)
      Pictures.Prefetch(DataFile(file.path), KindOf(file.kind));
  }
}

unsigned int QueueAllPictures() {
  Textures.ReplaceTexture(QueuePicture(kLoadingPicture, 'K'), 0);
  const unsigned int ship = QueuePicture(kShipPicture, 'K');
  QueueLoopSlots();
  QueueTextureSlots();
  std::vector<unsigned int> frontEnd = {Textures.textures[0]};
  for (TextureSlot slot : kFrontEndSlots) frontEnd.push_back(Textures.textures[slot]);
  Pictures.Hurry(frontEnd);
  return ship;
}

void ShowLoadingPicture() {
  FullscreenFX.InitMe(platform::kFrameWidth / 2, platform::kFrameHeight / 2, platform::kFrameWidth,
                      platform::kFrameHeight, 0.5f, 0.5f, 1, 1, &Textures);
  FullscreenFX.ChangeSize(platform::kFrameWidth, platform::kFrameHeight);
  if (Pictures.Ready(Textures.textures[kTitleScreenTexture]) &&
      Pictures.Ready(Textures.textures[kFontTexture]))
    return;
  platform::BeginFrame();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  FullscreenFX.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, 0, false, false);
  platform::SwapBuffers();
}

void StartMusic() {
  const int slot = Sounds.LoadSoundLooping(DataFile(kMusicFile).c_str());
  Sounds.HighVolume(slot);
  Sounds.PlaySoundA(slot);
}

namespace {
int hurtSlot = -1;
}  // namespace

void LoadEffectSounds() {
  for (const char* path : kEffectSounds) {
    const int slot = Sounds.LoadSound(DataFile(path).c_str());
    Sounds.DefaultVolume(slot);
    if (std::string(path) == "Sounds/Hurt.wav") hurtSlot = slot;
  }
}

int HurtSoundSlot() { return hurtSlot; }
