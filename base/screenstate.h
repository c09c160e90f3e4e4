// The screen the game thread runs a frame of (held in inloop).
#pragma once

// The numbers are what --trace-states prints ("state: N"): scripts and the
// end-to-end tests wait for them, so a screen keeps its number for good and a
// new screen takes an unused one. 3 and 8 are free.
enum class ScreenState : int {
  Playing = 1,          // in a game (or joining one: "Joining <name>...")
  Title = 2,            // the title screen's buttons
  LanSearch = 4,        // pinging the LAN for a game to join
  FetchServerList = 5,  // one frame: asks the lobby for the internet list
  ServerList = 6,       // the internet server list, click a game to join
  GameStart = 7,        // sets the chosen game up, then plays
  Options = 9,          // graphics level, name, music, bots when hosting
  NameEntry = 10,       // typing the player's name
  NameEntryDone = 11,   // one frame: writes the typed name to Settings.cfg
  QuitConfirm = 12,     // "Are you sure you want to quit?" over the game
  Notice = 13,          // a line of text (a game ended, a join failed), then the title
  Controls = 14,        // every action's key and gamepad button; keys set, volumes
};

// The number the state trace prints.
constexpr int TraceNumber(ScreenState state) { return static_cast<int>(state); }
