// What the end-to-end tests that play a game share: where the title's Play
// button and the in-game menu rows are, and the ship's own report in the
// state trace (--trace-states), which says whether it is in play, where it
// is and how many of its projectiles fly.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "base/screenstate.h"

namespace testsupport {

// The line the state trace prints when a frame runs in `state`. The numbers
// are read outside the tests too: a screen must keep its number.
static_assert(TraceNumber(ScreenState::Playing) == 1 && TraceNumber(ScreenState::Title) == 2 &&
              TraceNumber(ScreenState::LanSearch) == 4 &&
              TraceNumber(ScreenState::FetchServerList) == 5 &&
              TraceNumber(ScreenState::ServerList) == 6 &&
              TraceNumber(ScreenState::GameStart) == 7 && TraceNumber(ScreenState::Options) == 9 &&
              TraceNumber(ScreenState::NameEntry) == 10 &&
              TraceNumber(ScreenState::NameEntryDone) == 11 &&
              TraceNumber(ScreenState::QuitConfirm) == 12 &&
              TraceNumber(ScreenState::Notice) == 13);
inline std::string StateLine(ScreenState state) {
  return "state: " + std::to_string(TraceNumber(state)) + "\n";
}

class GameProcess;
class GlyphReader;

// Frame positions of the title's Play button and of the in-game menu rows
// (the page is drawn at y 96, 16 pixels a row, row 0 its title).
constexpr int kPlayX = 950, kPlayY = 125;
constexpr int kMenuX = 100;
constexpr int MenuRowY(int row) { return 96 + 16 * row + 8; }
// Whether the in-game menu page titled `title` is on the screen: a
// screenshot of `window` saved at `shotPath`, read with the game's font.
bool MenuPageShown(unsigned long window, const GlyphReader& reader, const std::string& title,
                   const std::string& shotPath);

struct ShipReport {
  bool alive = false;
  float x = 0, y = 0;
  int projectiles = 0;
};

// Occurrences of `part` in `text`.
int CountOf(const std::string& text, const std::string& part);
// The n-th (from 1) "ship:" line of a trace; nullopt while there are fewer.
std::optional<ShipReport> NthShipReport(const std::string& trace, int n);
// Waits until the game has written its n-th ship report.
std::optional<ShipReport> WaitForShipReport(
    const GameProcess& game, int n, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Waits until the game has written `text` at least n times.
bool WaitForCount(const GameProcess& game, const std::string& text, int n,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace testsupport
