// libFuzzer target for the rows a lobby reads back from a shared Redis
// store, which anyone with access to the store may have written: the input
// is a key's game id, a zero byte, and the value. A row that is taken must
// list, through the game's own parser, as exactly what was read.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lobby/lobbyservice.h"
#include "lobby/redislobbystore.h"
#include "net/masterserverquery.h"

namespace {

void Check(bool promise) {
  if (!promise) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t zero = input.find('\0');
  if (zero == std::string_view::npos) return 0;
  std::string why;
  const std::optional<LobbyEntry> row = RedisLobbyStore::ParseStored(
      std::string(input.substr(0, zero)), std::string(input.substr(zero + 1)), &why);
  Check(row.has_value() == why.empty());
  if (!row) return 0;
  Check(row->name.size() <= kMaxNameLength && row->port != 0);
  const auto listed = masterServerQuery::ParseServerList(ServerListXml({*row}));
  Check(listed.size() == 1);
  Check(listed[0].ip == row->ip && listed[0].port == row->port);
  Check(listed[0].name == row->name && listed[0].game == row->game && listed[0].map == row->map);
  Check(listed[0].maxplayers == row->maxplayers);
  return 0;
}
