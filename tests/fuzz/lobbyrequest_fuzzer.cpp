// libFuzzer target for the lobby's requests, which come from anyone on the
// internet: each line of the input is one query from one of a few addresses
// (games answer the probe at once). After every request the list reply must
// read back, through the game's own parser, as exactly the listed games with
// their names, modes and maps unchanged: the escaping cannot be broken.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lobby/lobbyservice.h"
#include "lobby/lobbytable.h"
#include "net/masterserverquery.h"

namespace {

void Check(bool promise) {
  if (!promise) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LobbyTable table(LobbyLimits{8, 3, std::chrono::seconds(100)});
  LobbyService service(table,
                       [&table](const std::string& ip, uint16_t port) { table.Confirm(ip, port); });
  std::string_view input(reinterpret_cast<const char*>(data), size);
  LobbyClock::time_point now{};
  for (int line = 0; !input.empty() && line < 16; ++line) {
    const size_t end = input.find('\n');
    const std::string_view query = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    const std::string from = "10.0.0." + std::to_string(line % 3 + 1);
    now += std::chrono::seconds(line % 4 == 3 ? 60 : 1);
    Check(service.Handle(query, from, now).body != nullptr);
    const auto rows = table.Servers(now);
    const auto listed =
        masterServerQuery::ParseServerList(*service.Handle("request=servers", "", now).body);
    Check(listed.size() == rows.size() && rows.size() <= 8);
    for (size_t i = 0; i < rows.size(); ++i) {
      Check(listed[i].ip == rows[i].ip && listed[i].port == rows[i].port);
      Check(listed[i].name == rows[i].name && listed[i].game == rows[i].game);
      Check(listed[i].map == rows[i].map && listed[i].maxplayers == rows[i].maxplayers);
    }
  }
  return 0;
}
