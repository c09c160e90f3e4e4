#include "app/gamestates.h"

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "app/drawall.h"
#include "app/gameobjects.h"
#include "app/gamestates_internal.h"
#include "app/inputhandler.h"
#include "app/menutree.h"
#include "app/protocolhooks.h"
#include "app/shop.h"
#include "app/singleplayer.h"
#include "app/startup.h"
#include "base/timing.h"
#include "net/networkhandler.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "platform/soundmanager.h"
#include "protocol/gameprotocol.h"
#include "render/defaultsprite.h"
#include "render/glwrapper.h"
#include "render/rendersort.h"
#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "sim/aiplayer.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"
#include "ui/button.h"
#include "ui/menu.h"
#include "ui/settings.h"

using namespace screens;

SettingsCopy localSettings;

namespace {

constexpr int kLanSearchFrames = 120;
HostSettings hosting;

FramePresentedHook titlePresented = nullptr;
bool traceStates = false;
std::optional<ScreenState> lastTracedState;
int tracedFrames = 0;
constexpr int kOpponentTraceFrames = kFramesPerSecond;  // once a second while playing
// Whether the options screen ran last frame: Settings.cfg is read as the
// screen opens, not again every frame.
bool optionsOpen = false;

}  // namespace

void screens::PrepareGameMenus() {
  // Each game its own tree: a game that ended (a join given up, a host gone)
  // left its tree behind, and the pages shown are counted from the first -
  // a game against the computer after a networked one showed the shop.
  Menus.clear();
  onmenu = 0;
  CreateMenus(Game);
  UpdateWeaponMenu();
}

void InitFrontEndButtons(TextureLibrary* textures) {
  cmdInternet.InitMe(755, 29, 90, 35, textures);
  cmdLan.InitMe(853, 29, 90, 35, textures);
  cmdHost.InitMe(950, 29, 90, 35, textures);
  cmdOptions.InitMe(755, 125, 90, 35, textures);
  cmdPlay.InitMe(950, 125, 90, 35, textures);
  cmdHighGraphics.InitMe(755, 29, 90, 35, textures);
  cmdMediumGraphics.InitMe(853, 29, 90, 35, textures);
  cmdLowGraphics.InitMe(950, 29, 90, 35, textures);
  cmdName.InitMe(755, 120, 90, 35, textures);
  cmdMusicOn.InitMe(853, 120, 90, 35, textures);
  cmdMusicOff.InitMe(950, 120, 90, 35, textures);
  cmdBots.InitMe(860, 196, 300, 28, textures);  // the line under the PILOT field
  cmdControls.InitMe(860, 250, 300, 30, textures);
}

void SetTitlePresentedHook(FramePresentedHook hook) { titlePresented = hook; }

void DeliverTypedChat() {
  for (const std::string& typed : TakeTypedChat()) {
    std::string line = Player.name + typed;
    AddMessage(line, MessageKind::Chat);
    SendMessageA(line);
  }
}

void SetStateTrace(bool on) {
  traceStates = on;
  SetProtocolTrace(on);  // joins, admissions, departures and chat lines too
}

namespace {

void RunScreen(ScreenState state) {
  using enum ScreenState;
  switch (state) {
    case Playing: return PlayingFrame();
    case Title: return TitleFrame();
    case LanSearch: return LanSearchFrame();
    case FetchServerList: return FetchServersFrame();
    case ServerList: return ServerListFrame();
    case GameStart: return GameStartFrame();
    case Options: return OptionsFrame();
    case NameEntry: return NameEntryFrame();
    case NameEntryDone: return NameEntryDoneFrame();
    case QuitConfirm: return QuitConfirmFrame();
    case Notice: return NoticeFrame();
    case Controls: return ControlsFrame();
  }
  inloop = Playing;  // a number no screen has
}

}  // namespace

void RunStateFrame() {
  const ScreenState state = inloop;
  if (traceStates && state != lastTracedState) {
    lastTracedState = state;
    std::fprintf(stderr, "state: %d\n", TraceNumber(state));
    if (state == ScreenState::Playing || state == ScreenState::QuitConfirm)
      std::fprintf(stderr, "ship: %s\n", ShipSummary().c_str());
  }
  if (traceStates && state == ScreenState::Playing && ++tracedFrames % kOpponentTraceFrames == 0)
    std::fputs(OpponentRows().c_str(), stderr);
  DeliverTypedChat();
  platform::BeginFrame();
  // A game draws every picture; the screens before it only their own, and
  // take the rest in after they are drawn.
  const bool inGame = state == ScreenState::Playing || state == ScreenState::GameStart;
  if (inGame) FinishLoading();
  if (state != ScreenState::Options) optionsOpen = false;
  platform::SetPadChoosing(state == ScreenState::QuitConfirm);
  if (state != ScreenState::QuitConfirm) QuitConfirmClosed();
  RunScreen(state);
  if (!inGame) ContinueLoading();
  // Any other screen drew over the window: the next menu frame must draw.
  const ScreenState now = inloop;
  if (now != ScreenState::Title && now != ScreenState::Options && now != ScreenState::NameEntry)
    ForgetShownScreen();
}

void PlayingFrame() {
  if (multiplayer && !rdyforgame) return JoiningFrame();
  // Flying hides the cursor; the in-game panel of a dead ship needs it.
  platform::SetCursorVisible(!Player.alive);
  PlayingPrelude();
  DrawAll(graphicslevel);
  platform::SwapBuffers();
}

void TitleFrame() {
  platform::SetCursorVisible(true);
  const HelpFor help[] = {
      {&cmdOptions, "Change your name, graphics level, and turn music on/off."},
      {&cmdInternet, "Find other people hosting games on the internet."},
      {&cmdLan, "Joins the first game found being hosted on your LAN."},
      {&cmdHost, "Host a game on the internet, and for people to join over your LAN."},
      {&cmdPlay, "Play a game against some computer players..."},
  };
  if (DrawMenuScreen(kTitleScreenTexture, help, nullptr) && titlePresented) titlePresented();
  if (!lclick) return;
  multiplayer = true;
  bool server = false, lan = false, chosen = false;
  if (cmdOptions.IsClicked()) {
    lclick = false;
    inloop = ScreenState::Options;
  }
  if (cmdInternet.IsClicked()) chosen = true;
  if (cmdLan.IsClicked()) chosen = lan = true;
  if (cmdHost.IsClicked()) chosen = server = true;
  if (cmdPlay.IsClicked()) {
    chosen = server = true;
    multiplayer = false;
  }
  if (chosen) StartTitleChoice(server, lan);
}

void StartTitleChoice(bool server, bool lan) {
  InstallProtocolCallbacks();
  Networking.InitMe(server);
  if (server) {
    gotin = true;
    // A game that cannot take connections is no hosted game: nobody could
    // join it, and the lobby would list whichever game holds the port.
    if (multiplayer && !Networking.Listen(hosting.port, hosting.maxPlayers)) {
      std::fprintf(stderr, "voidrake2: cannot host on UDP port %u (in use?)\n", hosting.port);
      ShowNotice("Cannot host on UDP port " + std::to_string(hosting.port) +
                     ": another program is using it.",
                 kEndedNoticeFrames);
      return;
    }
    if (multiplayer)
      GlobalProtocol().SetBots(hosting.bots ? *hosting.bots : ReadHostBots(), hosting.maxPlayers,
                               &Level, &Utility);
    rdyforgame = true;
    if (!multiplayer) Game = 1;
    PrepareGameMenus();
    inloop = ScreenState::GameStart;
  } else if (!lan) {
    lclick = false;
    gotin = false;
    inloop = ScreenState::FetchServerList;
  } else {
    gotin = false;
    inloop = ScreenState::LanSearch;
    framestilquit = kLanSearchFrames;
    foundpong = false;
    Networking.PingLAN();
  }
}

void SetHostSettings(const HostSettings& settings) { hosting = settings; }

namespace {
std::string noticeText;
int noticeFramesLeft = 0;
bool noticeResetPending = false;
bool keysAtNotice[256];
}  // namespace

// The game is reset on the notice's first frame, not here: this may be
// called from inside the frame of the game that ended.
void ShowNotice(const std::string& text, int frames) {
  noticeText = text;
  noticeFramesLeft = frames;
  noticeResetPending = true;
  inloop = ScreenState::Notice;
}

void NoticeFrame() {
  if (noticeResetPending) {
    noticeResetPending = false;
    if (traceStates) std::fprintf(stderr, "notice: %s\n", noticeText.c_str());
    ResetGame();
    lclick = false;
    for (int i = 0; i < 256; ++i) keysAtNotice[i] = keys[i];
  }
  platform::SetCursorVisible(true);
  DrawCentredText(noticeText);
  // Only a key pressed since the notice appeared cuts it short (the ship's
  // thrust may still be held).
  bool pressed = lclick;
  for (int i = 0; i < 256; ++i) {
    const bool down = keys[i];
    pressed = pressed || (down && !keysAtNotice[i]);
    keysAtNotice[i] = down;
  }
  if (--noticeFramesLeft <= 0 || pressed) {
    lclick = false;
    inloop = ScreenState::Title;
  }
}

void SetUpGraphicsLevel(int level) {
  // A level the game does not know (a hand-edited settings file) would draw
  // nothing and never simulate, leaving the last screen frozen: such a game
  // plays on the low level, which runs everywhere.
  if (level < 0 || level > 2) graphicslevel = 2;
  if (level != 0 && level != 1) return;
  Shaders.BuildMe();
  ShaderUtility.InitMe();
  Shaders.SetBlurFallOff(0.1f);
  if (level == 1) {
    lclick = false;
  } else if (!ShaderUtility.InitPBuffers()) {
    graphicslevel = 1;
    platform::ShowMessageBox(
        "Your computer doesn't seem to be able to support high graphics.  Switching to medium!",
        "Error");
  } else {
    ShaderUtility.RenderToScreen();
  }
  if (!Shaders.UsingShaders()) {
    graphicslevel = 2;
    platform::ShowMessageBox("Switching to low graphics due to video card issues...", "Error");
  }
}

void GameStartFrame() {
  std::string name;
  int level = 0, music = 1, mode = 0;
  if (ReadSettings(name, level, music, mode)) {
    Player.name = name;
    SetUpGraphicsLevel(graphicslevel);
    Game = mode;
    if (!multiplayer) {
      Game = 1;
      SetUpComputerPlayers();
    }
    if (music == 0) Sounds.StopAll();
  }
  Networking.SetGameStats(Player.name + "'s Game!", Game);
  platform::SetCursorVisible(false);
  inloop = ScreenState::Playing;
  SortedRenderer.InitMe(&Textures, &Shaders);
}

void OptionsFrame() {
  platform::SetCursorVisible(true);
  SettingsCopy& s = localSettings;
  if (!optionsOpen) {
    ReadSettings(s.name, s.level, s.music, s.mode);
    s.bots = ReadHostBots();
  }
  optionsOpen = true;
  const HelpFor help[] = {
      {&cmdLowGraphics,
       "No shaders, so it should run almost anywhere.  It is better to run medium on better "
       "cards."},
      {&cmdMediumGraphics,
       "High without the real-time glow.  Has optimization shaders, but it only works with new "
       "cards."},
      {&cmdHighGraphics,
       "The boat.  Pretty glowing objects...  That eat video card memory.  If it's slow go to "
       "medium."},
      {&cmdName,
       "Change your name!  It helps to tell people apart, and you don't want to be a newbie!"},
      {&cmdMusicOff, "The music will turn off when you go into a game."},
      {&cmdBots, "Computer players in the games you host: click for more (after 31, none)."},
      {&cmdControls, "Every key and gamepad button; set your own keys, the volumes, full screen."},
  };
  const Button* levels[] = {&cmdHighGraphics, &cmdMediumGraphics, &cmdLowGraphics};
  const Button* const chosen[] = {s.level >= 0 && s.level <= 2 ? levels[s.level] : nullptr,
                                  s.music == 1   ? &cmdMusicOn
                                  : s.music == 0 ? &cmdMusicOff
                                                 : nullptr};
  const std::string botsLine = "BOTS WHEN HOSTING: " + std::to_string(s.bots);
  const std::string unsaved = SettingsSaveError().empty()
                                  ? std::string()
                                  : "Settings could not be saved: " + SettingsSaveError();
  const LabelBox controlsBox[] = {{cmdControls.x - cmdControls.width / 2,
                                   cmdControls.y - cmdControls.height / 2, cmdControls.width,
                                   cmdControls.height, "CONTROLS, KEYS AND SOUND"}};
  DrawMenuScreen(kOptionsScreenTexture, help, &s.name, chosen, false, &botsLine, &unsaved,
                 controlsBox);
  if (!lclick) return;
  // The count steps up on the screen itself, so that several clicks reach it.
  if (cmdBots.IsClicked()) {
    s.bots = NextHostBots(s.bots);
    WriteHostBots(s.bots);
    lclick = false;
    return;
  }
  if (cmdControls.IsClicked()) {
    controlsReturn = ScreenState::Options;
    inloop = ScreenState::Controls;
    lclick = false;
    return;
  }
  if (cmdLowGraphics.IsClicked()) s.level = 2, inloop = ScreenState::Title;
  if (cmdMediumGraphics.IsClicked()) s.level = 1, inloop = ScreenState::Title;
  if (cmdHighGraphics.IsClicked()) s.level = 0, inloop = ScreenState::Title;
  if (cmdName.IsClicked()) {
    std::lock_guard<std::mutex> lock(textMutex);
    newname.clear();
    inloop = ScreenState::NameEntry;
  }
  if (cmdMusicOn.IsClicked()) s.music = 1, inloop = ScreenState::Title;
  if (cmdMusicOff.IsClicked()) s.music = 0, inloop = ScreenState::Title;
  if (inloop == ScreenState::Title) {
    WriteSettings(s.name, s.level, s.music, s.mode);
    lclick = false;
  }
}

void NameEntryFrame() {
  platform::SetCursorVisible(true);
  std::string shown;
  {
    std::lock_guard<std::mutex> lock(textMutex);
    shown = newname;
  }
  DrawMenuScreen(kNameScreenTexture, {}, &shown, {}, true);
}

void NameEntryDoneFrame() {
  SettingsCopy& s = localSettings;
  ReadSettings(s.name, s.level, s.music, s.mode);
  std::string name;
  {
    std::lock_guard<std::mutex> lock(textMutex);
    name = newname;
  }
  WriteSettings(name, s.level, s.music, s.mode);
  inloop = ScreenState::Title;
}
