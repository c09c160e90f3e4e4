// The screen states of the game thread (base/screenstate.h), one function per
// state, and the frame dispatcher that runs the state held in inloop; a
// number no screen has becomes Playing.
#pragma once

#include <string>

#include "net/hostsettings.h"
#include "ui/servermenuset.h"

class TextureLibrary;

// The game thread's internet server list (six columns, filled by FetchServerList).
extern ServerMenuSet ServerList;

// The options screen's copy of Settings.cfg. Before the first successful
// read it holds the first-start defaults.
struct SettingsCopy {
  std::string name = "Player";
  int level = 0;
  int music = 1;
  int mode = 0;
  int bots = 0;  // computer players in games this copy hosts (Settings.cfg's fifth line)
};
extern SettingsCopy localSettings;

// Places the title and options buttons (centre x, centre y, 90 x 35).
void InitFrontEndButtons(TextureLibrary* textures);

// Sets the 1024x768 orthographic projection (y down) the screens draw in.
void ScreenProjection();

// Prints "state: N" on stderr whenever a frame runs in a new state (the
// end-to-end tests follow the screens with it).
void SetStateTrace(bool on);

// One frame of the current state: sends the chat lines typed since the last
// frame, then runs the state's function.
void RunStateFrame();

// Chat lines finished on the window thread: each goes out as the player's
// name followed by the line (which starts with ">"), into the log and to the
// other players.
void DeliverTypedChat();

// One frame of each ScreenState, by its name.
void PlayingFrame();
void TitleFrame();
void LanSearchFrame();
void FetchServersFrame();
void ServerListFrame();
void GameStartFrame();
void OptionsFrame();
void NameEntryFrame();
void NameEntryDoneFrame();
void QuitConfirmFrame();
// Any other screen runs: the paused game goes on, the choice starts over.
void QuitConfirmClosed();
void NoticeFrame();
void ControlsFrame();

// Shows `text` alone on screen for `frames` frames (or until a key or a
// click), then the title. The game that ended (if any) is reset first.
void ShowNotice(const std::string& text, int frames);

// The title choice that needs the network or the game parts, after the click:
// `server` hosts (or plays against computer players when not multiplayer),
// `lan` searches the local network, otherwise the internet list is fetched.
void StartTitleChoice(bool server, bool lan);

// The port, the most players and the computer players of networked games
// hosted from the title (without --bots, Settings.cfg's line says how many).
void SetHostSettings(const HostSettings& settings);

// Joins the game at `host` (address or name) and `port` at once, as a
// choice from the server list does (--connect).
void JoinDirectly(const std::string& host, unsigned short port);

// Called after every presented frame of the title screen; the first one is
// what start-up time is measured to.
using FramePresentedHook = void (*)();
void SetTitlePresentedHook(FramePresentedHook hook);

// The graphics set-up of a game start for level L (0 high, 1 medium; low
// sets nothing up, and a level outside 0..2 becomes low), lowering
// graphicslevel with a message when the shaders or off-screen buffers are
// missing.
void SetUpGraphicsLevel(int level);
