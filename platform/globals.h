// Globals shared between the window thread and the game thread, and the
// game-state globals every part reads. The strings and the message log are
// guarded by textMutex; flags and the screen state are atomics.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "base/keycodes.h"  // the codes that index keys
#include "base/screenstate.h"
#include "platform/messagelog.h"

// ---- Input and control (written by the window thread) ----
extern std::atomic<bool> keys[256];      // one flag per virtual-key code
extern std::atomic<bool> lclick;         // left button went down (cleared by the game after acting)
extern std::atomic<bool> typing;         // chat line open
extern std::atomic<bool> quitall;        // both loops end when set
extern std::atomic<ScreenState> inloop;  // the screen the game thread runs
extern int timetilheartbeat;             // heartbeat count-down (window thread only)

// Guarded by textMutex.
extern std::mutex textMutex;
extern std::string typingmessage;     // chat line being typed, starts with ">"
extern std::string newname;           // name being typed on the name-entry screen
constexpr size_t kMaxNameChars = 16;  // what the name field takes (and fits)
// What the chat line takes, its ">" included: sent behind the longest name
// it still fits the frame's 102 glyphs, so the player sees all he typed and
// every copy shows the whole line.
constexpr size_t kMaxChatLineChars = 102 - kMaxNameChars;
extern std::vector<std::string> Messages;  // on-screen message log
extern MessageLog MessageView;             // what the message area shows of it

// Appends one line to the message log (takes textMutex), which keeps its
// newest kMaxMessages lines, and to its view.
constexpr size_t kMaxMessages = 256;
void AddMessage(const std::string& line, MessageKind kind = MessageKind::System);
// A copy of the message log, safe to read without the lock.
std::vector<std::string> MessagesSnapshot();

// ---- Game state (game thread) ----
extern int Game;          // 0 "Simple Game", 1 "RPG" / against computer players, 2 "Carrier Battle"
extern bool multiplayer;  // networked game
extern int graphicslevel;    // 0 high, 1 medium, 2 low
extern bool gotin;           // the title choice leads straight into a game
extern bool rdyforgame;      // this copy may simulate
extern bool foundpong;       // a LAN server answered
extern int framestilquit;    // frames left in the LAN search
extern int framestilownage;  // frames a client waits for the join reply
extern float myGUID;         // this player's identity

// View size in world units (maintained by the ship) and the ship's velocity
// of the frame.
extern float CameraWidth, CameraHeight;
extern float xamnt, yamnt;
