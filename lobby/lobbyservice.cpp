#include "lobby/lobbyservice.h"

#include <cctype>
#include <charconv>
#include <utility>

#include "base/xmlescape.h"

namespace {

constexpr size_t kMaxParameters = 32;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The game prints each byte as a signed value in hex: "%ffffffe9" is E9.
bool IsWideEscape(std::string_view s, size_t at) {
  if (s.size() < at + 9 || s.substr(at + 1, 6) != "ffffff") return false;
  return HexValue(s[at + 7]) >= 0 && HexValue(s[at + 8]) >= 0;
}

// Printable text of at most `limit` bytes: control characters would break
// the list's lines, and the length bounds every reply.
std::string Clean(const std::string& text, size_t limit) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) continue;
    if (out.size() == limit) break;
    out += c;
  }
  return out;
}

// A whole decimal number in [low, high], or -1.
long Number(const std::string& text, long low, long high) {
  long value = -1;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty() || value < low || value > high) return -1;
  return value;
}

// "::ffff:1.2.3.4" (an IPv4 peer of a dual-stack socket) is listed as 1.2.3.4.
std::string PlainAddress(const std::string& address) {
  const std::string mapped = "::ffff:";
  if (address.compare(0, mapped.size(), mapped) == 0 && address.find('.') != std::string::npos)
    return address.substr(mapped.size());
  return address;
}

std::string Value(const std::map<std::string, std::string>& q, const char* name) {
  const auto it = q.find(name);
  return it == q.end() ? std::string() : it->second;
}

LobbyReply StoreUnavailable() { return LobbyResult(503, "store unavailable"); }

}  // namespace

std::string DecodeQueryValue(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '+') {
      out += ' ';
    } else if (s[i] == '%' && IsWideEscape(s, i)) {
      out += static_cast<char>(HexValue(s[i + 7]) * 16 + HexValue(s[i + 8]));
      i += 8;
    } else if (s[i] == '%' && i + 1 < s.size() && HexValue(s[i + 1]) >= 0) {
      int byte = HexValue(s[++i]);
      if (i + 1 < s.size() && HexValue(s[i + 1]) >= 0) byte = byte * 16 + HexValue(s[++i]);
      out += static_cast<char>(byte);
    } else {
      out += s[i];
    }
  }
  return out;
}

std::map<std::string, std::string> ParseQuery(std::string_view query) {
  std::map<std::string, std::string> params;
  size_t count = 0;
  while (!query.empty() && count < kMaxParameters) {
    const size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (pair.empty()) continue;
    ++count;
    const size_t eq = pair.find('=');
    std::string name = DecodeQueryValue(pair.substr(0, eq));
    std::string value =
        eq == std::string_view::npos ? std::string() : DecodeQueryValue(pair.substr(eq + 1));
    params.emplace(std::move(name), std::move(value));
  }
  return params;
}

std::string ServerListXml(const std::vector<LobbyEntry>& servers) {
  // The names are the players' single-byte texts, passed through as they came.
  std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<response>\n";
  for (const LobbyEntry& e : servers) {
    xml += "<server ip=\"" + XmlEscape(e.ip) + "\" port=\"" + std::to_string(e.port) +
           "\" name=\"" + XmlEscape(e.name) + "\" game=\"" + XmlEscape(e.game) + "\" map=\"" +
           XmlEscape(e.map) + "\" maxplayers=\"" + std::to_string(e.maxplayers) + "\"";
    if (e.players) xml += " players=\"" + std::to_string(*e.players) + "\"";
    if (e.bots) xml += " bots=\"" + std::to_string(*e.bots) + "\"";
    xml += "/>\n";
  }
  return xml + "</response>\n";
}

LobbyReply LobbyResult(int status, const char* result) {
  return {status,
          std::make_shared<const std::string>(
              std::string("<?xml version=\"1.0\"?>\n<response result=\"") + result + "\"/>\n")};
}

LobbyService::LobbyService(LobbyStore& store, Prober probe)
    : store_(store), probe_(std::move(probe)) {}

LobbyReply LobbyService::Handle(std::string_view query, const std::string& remoteAddress,
                                LobbyClock::time_point now) {
  const std::map<std::string, std::string> q = ParseQuery(query);
  const std::string request = Value(q, "request");
  if (request == "servers") return List(now);
  const std::string ip = PlainAddress(remoteAddress);
  if (ip.empty()) return LobbyResult(400, "bad request");
  if (request == "heartbeat") return Heartbeat(q, ip, now);
  if (request == "remove") return Remove(q, ip);
  return LobbyResult(400, "bad request");
}

LobbyReply LobbyService::Heartbeat(const std::map<std::string, std::string>& q,
                                   const std::string& ip, LobbyClock::time_point now) {
  const long port = Number(Value(q, "port"), 1, 65535);
  if (port < 0) return LobbyResult(400, "bad request");
  LobbyEntry entry;
  entry.ip = ip;
  entry.port = static_cast<uint16_t>(port);
  const long players = Number(Value(q, "maxplayers"), 0, 65535);
  entry.maxplayers = static_cast<uint16_t>(players < 0 ? 0 : players);
  // The counts are optional: a heartbeat without them (or with a value out
  // of range) lists the game without counts.
  const long inGame = Number(Value(q, "players"), 0, 65535);
  const long bots = Number(Value(q, "bots"), 0, 65535);
  if (inGame >= 0) entry.players = static_cast<uint16_t>(inGame);
  if (inGame >= 0 && bots >= 0 && bots <= inGame) entry.bots = static_cast<uint16_t>(bots);
  entry.name = Clean(Value(q, "name"), kMaxNameLength);
  entry.game = Clean(Value(q, "game"), kMaxGameLength);
  entry.map = Clean(Value(q, "map"), kMaxMapLength);
  switch (store_.Heartbeat(std::move(entry), now)) {
    case LobbyStore::Result::Full: return LobbyResult(503, "full");
    case LobbyStore::Result::Unavailable: return StoreUnavailable();
    case LobbyStore::Result::Added:
    case LobbyStore::Result::Waiting:
      // Every heartbeat of a game not yet heard on its own port asks again:
      // a lost probe or pong costs one heartbeat's wait, not the listing.
      if (probe_) probe_(ip, static_cast<uint16_t>(port));
      return LobbyResult(200, "ok");
    case LobbyStore::Result::ProbedElsewhere:
    case LobbyStore::Result::Refreshed: break;
  }
  return LobbyResult(200, "ok");
}

LobbyReply LobbyService::Remove(const std::map<std::string, std::string>& q,
                                const std::string& ip) {
  // Only the sender's own address: nobody can end another host's listing.
  const long port = Number(Value(q, "port"), 1, 65535);
  if (port < 0) return LobbyResult(400, "bad request");
  switch (store_.Withdraw(ip, static_cast<uint16_t>(port))) {
    case LobbyStore::Removal::Removed: break;
    case LobbyStore::Removal::NotListed: return LobbyResult(404, "not listed");
    case LobbyStore::Removal::Unavailable: return StoreUnavailable();
  }
  return LobbyResult(200, "ok");
}

LobbyReply LobbyService::List(LobbyClock::time_point now) {
  std::lock_guard<std::mutex> lock(listMutex_);
  // An unreadable store is told as such: an empty list would say that no
  // game is running.
  const std::optional<uint64_t> version = store_.ListVersion(now);
  if (!version) return StoreUnavailable();
  if (!list_ || *version != listVersion_) {
    const std::optional<LobbyList> list = store_.List(now);
    if (!list) return StoreUnavailable();
    listVersion_ = list->version;
    list_ = std::make_shared<const std::string>(ServerListXml(list->servers));
  }
  return {200, list_};
}
