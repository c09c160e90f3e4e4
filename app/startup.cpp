// Start-up of the game thread: music, the loading picture, every texture,
// loop and sound slot, the level, every subsystem object in its order with
// its arguments, the welcome lines, the buttons and the server-list pages.
// Pictures are decoded in the background and the title shows once its own
// are in; the rest arrive while it shows (ContinueLoading), and a game
// start waits for all of them (FinishLoading).
#include "app/startup.h"

#include <FreeImage.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <string>

#include "app/assetslots.h"
#include "app/gameobjects.h"
#include "app/gamepaths.h"
#include "app/gamestates.h"
#include "app/lobbyhooks.h"
#include "app/protocolhooks.h"
#include "app/timedemo.h"
#include "draw/bulletmanager_draw.h"
#include "draw/enemymanager_draw.h"
#include "draw/explosionmanager_draw.h"
#include "draw/spaceship_draw.h"
#include "draw/world_draw.h"
#include "net/networkhandler.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "platform/soundmanager.h"
#include "render/batchrenderer.h"
#include "render/defaultsprite.h"
#include "render/glwrapper.h"
#include "render/pictureloader.h"
#include "render/shaderlibrary.h"
#include "render/starfield.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "sim/aiplayer.h"
#include "sim/bulletmanager.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"
#include "ui/menu.h"
#include "ui/settings.h"
#include "world/capship.h"
#include "world/world.h"

namespace {

// Every later random sequence differs per run, except in a seeded timedemo,
// where the same seed must give the same fight.
// Whole seconds alone would give two copies started in the same second the
// same identity, and a host refuses a join by an identity it already has;
// the microseconds and the process id keep such copies apart.
unsigned ClockSeed() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  return static_cast<unsigned>(micros) ^ (static_cast<unsigned>(micros >> 32) * 2654435761u) ^
         (static_cast<unsigned>(getpid()) << 16);
}

void SeedFromClock() {
  if (timedemoOptions.enabled && timedemoOptions.seeded)
    GameSeed(timedemoOptions.seed);
  else
    GameSeed(ClockSeed());
}

void ResetFrontEndState() {
  onmenu = 0;
  typing = false;
  std::lock_guard<std::mutex> lock(textMutex);
  typingmessage.clear();
}

// The level and the first capital ship. The arena picture for the mini-map
// is drawn later, from the level's pictures (DrawArenaPicture).
void BuildLevel() {
  Level.InitMe(&Utility);
  LevelView.InitMe(&Level, &Textures, &SortedRenderer);
  Level.BuildDefaultMap();
  // The arena is laid out from a fixed seed and re-seeds from the clock.
  SeedFromClock();
  Carrier.InitMe(4096, 8192, 10000, 10000, 30.0f);
}

bool arenaPictureDrawn = false;

// Drawn with the first capital ship once every picture is in: waiting for
// the level's pictures before the title would hold the title back.
void DrawArenaPicture() {
  LevelView.GetLevelTexture(10384, 10384, 20768, 20768, 3, Carrier);
  arenaPictureDrawn = true;
}

// What one game changes: the explosions, projectiles, the ship (with a new
// identity) and the opponent table.
void InitMatchObjects() {
  Explosions.InitMe(&Outgoing);
  ExplosionsView.InitMe(&Explosions, &Textures, &Shaders);
  Bullets.InitMe(&Utility, &Level, &Explosions, &Enemies, &Sounds, &Outgoing);
  BulletsView.InitMe(&Bullets, &Textures, &Shaders, &SortedRenderer);
  myGUID = Utility.GenerateGUID();
  Player.InitMe(600, 600, 20.0f, 1500, 12, &Utility, &Level, &Bullets, &Enemies, &Sounds, &Outgoing,
                0, myGUID, 9216, 100);
  PlayerView.InitMe(&Player, &Textures, &SortedRenderer, &CameraWidth, &CameraHeight);
  // The table's lines go to the on-screen log (through its lock: the window
  // thread appends chat lines to it too).
  Enemies.InitMe(&Utility, AddMessage, &Sounds, &Outgoing, &Explosions);
  EnemiesView.InitMe(&Enemies, &Textures, &Shaders, &SortedRenderer, &CameraWidth, &CameraHeight);
}

void InitGameObjects() {
  RenderScence.InitMe(platform::kFrameWidth / 2, platform::kFrameHeight / 2, platform::kFrameWidth,
                      platform::kFrameHeight, 0.5f, 0.5f, 1, 1, &Textures);
  MiniMap.InitMe(0, 0, 256, 256, 0.5f, 0.5f, 1, 1, &Textures);
  CameraHeight = platform::kFrameHeight;
  CameraWidth = platform::kFrameWidth;
  Sprite3.InitMe(400, CameraWidth, CameraHeight, 6.0f, 3.0f, &Utility, &Textures, &Renderer);
  Carrier2.InitMe(4096, 8192, 10000, 10000, 120.0f);
  SetUpText(&Textures, &Shaders);
  InitMatchObjects();
}

void Welcome() {
  AddMessage("Welcome to Voidrake!");
  AddMessage("Use the arrows to fly, and Z,X,C, and V to shoot!");
  AddMessage("Most Importantly - Have fun!");
}

void InitServerListPages() {
  for (Menu* page : {&ServerList.ips, &ServerList.ports, &ServerList.names, &ServerList.games,
                     &ServerList.maps, &ServerList.maxPlayerCounts}) {
    page->InitMe(&Textures, static_cast<int>(base));
  }
}

}  // namespace

void ResetGame() {
  Networking.Close();
  const std::string name = Player.name;
  Explosions = ExplosionManager{};
  Bullets = BulletManager{};
  Player = SpaceShip{};
  Enemies = EnemyManager{};
  for (AiPlayer& bot : Bot) bot = AiPlayer{};
  InitMatchObjects();
  Player.name = name;
  ResetProtocol();
  ResetFrontEndState();
  Game = 0;
  multiplayer = true;
  gotin = true;
  rdyforgame = false;
  foundpong = false;
  framestilownage = 0;
  {
    std::lock_guard<std::mutex> lock(textMutex);
    Messages.clear();
  }
  Welcome();
}

void ContinueLoading() {
  // A few milliseconds of uploads a frame keep the menus responsive.
  constexpr int kUploadBudgetMs = 8;
  if (!arenaPictureDrawn && Pictures.UploadDecoded(kUploadBudgetMs)) DrawArenaPicture();
}

void FinishLoading() {
  if (arenaPictureDrawn) return;
  Pictures.FinishAll();
  DrawArenaPicture();
}

void StartUp() {
  Game = 0;
  inloop = ScreenState::Title;
  multiplayer = true;
  FreeImage_Initialise();
  Shaders.directory = DataFile("Shaders/");
  // The pictures are queued first: they decode while the sound starts.
  platform::MakeContextCurrent();
  Utility.SetFixedGlState();
  arenaPictureDrawn = false;
  const unsigned int shipPicture = QueueAllPictures();
  Sounds.InitMe();
  StartMusic();
  ResetFrontEndState();
  SeedFromClock();
  platform::SetCursorVisible(false);
  ShowLoadingPicture();
  Textures.ReplaceTexture(shipPicture, 0);
  BuildLevel();
  LoadEffectSounds();
  InitGameObjects();
  Welcome();
  Renderer.InitMe(&Textures);
  InitFrontEndButtons(&Textures);
  gotin = true;
  rdyforgame = false;
  InitServerListPages();
  InstallLobbyHeartbeat();
  // Without a settings file a game start would skip the player's settings
  // and the computer players: write the defaults first.
  WriteDefaultSettingsIfMissing();
}
