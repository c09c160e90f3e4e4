#include "lobby/lobbyservice.h"

#include <httplib.h>

#include <cctype>
#include <charconv>

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
  if (address.compare(0, mapped.size(), mapped) == 0 &&
      address.find('.') != std::string::npos)
    return address.substr(mapped.size());
  return address;
}

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

LobbyReply Answer(int status, const char* result) {
  return {status, std::string("<?xml version=\"1.0\"?>\n<response result=\"") + result +
                      "\"/>\n"};
}

LobbyReply Heartbeat(const std::map<std::string, std::string>& q, const std::string& remote,
                     LobbyTable& table, LobbyClock::time_point now) {
  auto value = [&](const char* name) {
    auto it = q.find(name);
    return it == q.end() ? std::string() : it->second;
  };
  const long port = Number(value("port"), 1, 65535);
  if (port < 0 || remote.empty()) return Answer(400, "bad request");
  LobbyEntry entry;
  entry.ip = PlainAddress(remote);
  entry.port = static_cast<uint16_t>(port);
  const long players = Number(value("maxplayers"), 0, 65535);
  entry.maxplayers = static_cast<uint16_t>(players < 0 ? 0 : players);
  entry.name = Clean(value("name"), kMaxNameLength);
  entry.game = Clean(value("game"), kMaxGameLength);
  entry.map = Clean(value("map"), kMaxMapLength);
  if (table.Heartbeat(std::move(entry), now) == LobbyTable::Result::Full)
    return Answer(503, "full");
  return Answer(200, "ok");
}

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
           XmlEscape(e.map) + "\" maxplayers=\"" + std::to_string(e.maxplayers) + "\"/>\n";
  }
  return xml + "</response>\n";
}

LobbyReply HandleLobbyRequest(std::string_view query, const std::string& remoteAddress,
                              LobbyTable& table, LobbyClock::time_point now) {
  const std::map<std::string, std::string> q = ParseQuery(query);
  const auto request = q.find("request");
  if (request == q.end()) return Answer(400, "bad request");
  if (request->second == "heartbeat") return Heartbeat(q, remoteAddress, table, now);
  if (request->second == "servers") return {200, ServerListXml(table.Servers(now))};
  return Answer(400, "bad request");
}

void InstallLobbyRoutes(httplib::Server& server, LobbyTable& table) {
  server.set_read_timeout(5, 0);
  server.set_write_timeout(5, 0);
  server.set_keep_alive_max_count(1);
  server.set_payload_max_length(4096);
  server.Get(kLobbyPath, [&table](const httplib::Request& req, httplib::Response& res) {
    // The raw query: the game's own escapes are not the usual two-digit ones.
    const size_t mark = req.target.find('?');
    const std::string_view query =
        mark == std::string::npos ? std::string_view() : std::string_view(req.target).substr(mark + 1);
    const LobbyReply reply = HandleLobbyRequest(query, req.remote_addr, table, LobbyClock::now());
    res.status = reply.status;
    res.set_content(reply.body, "text/xml");
  });
}
