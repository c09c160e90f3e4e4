#include "tests/support/gametrace.h"

#include <cstdio>

#include "tests/support/gameprocess.h"
#include "tests/support/glyphreader.h"

namespace testsupport {

bool MenuPageShown(unsigned long window, const GlyphReader& reader, const std::string& title,
                   const std::string& shotPath) {
  Shell("import -window " + std::to_string(window) + " '" + shotPath + "'");
  return reader.Read(ReadPicture(shotPath), 0, 96, static_cast<int>(title.size())) == title;
}

int CountOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::optional<ShipReport> NthShipReport(const std::string& trace, int n) {
  size_t at = std::string::npos;
  for (int i = 0; i < n; ++i) {
    at = trace.find("ship: ", at == std::string::npos ? 0 : at + 1);
    if (at == std::string::npos) return std::nullopt;
  }
  ShipReport ship;
  int alive = 0;
  if (std::sscanf(trace.c_str() + at, "ship: alive=%d x=%f y=%f projectiles=%d", &alive, &ship.x,
                  &ship.y, &ship.projectiles) != 4)
    return std::nullopt;
  ship.alive = alive != 0;
  return ship;
}

std::optional<ShipReport> WaitForShipReport(const GameProcess& game, int n,
                                            std::chrono::milliseconds timeout) {
  std::optional<ShipReport> ship;
  WaitFor([&] { return (ship = NthShipReport(game.Stderr(), n)).has_value(); }, timeout);
  return ship;
}

bool WaitForCount(const GameProcess& game, const std::string& text, int n,
                  std::chrono::milliseconds timeout) {
  return WaitFor([&] { return CountOf(game.Stderr(), text) >= n; }, timeout);
}

}  // namespace testsupport
