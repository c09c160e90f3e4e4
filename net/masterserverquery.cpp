#include "net/masterserverquery.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <tinyxml.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

using Clock = std::chrono::steady_clock;

// The heartbeat's query is bounded: a long host name must not make the
// request line unbounded (every byte of it becomes up to nine characters).
constexpr size_t kMaxEncodedField = 1024;

std::string Bounded(std::string encoded) {
  if (encoded.size() <= kMaxEncodedField) return encoded;
  encoded.resize(kMaxEncodedField);
  const size_t cut = encoded.rfind('%');  // never end inside an escape
  if (cut != std::string::npos) encoded.resize(cut);
  return encoded;
}

int MillisLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until `fd` is ready for `events`; false on time-out or error.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const int left = MillisLeft(deadline);
    if (left == 0) return false;
    pollfd p{fd, events, 0};
    const int r = poll(&p, 1, left);
    if (r > 0) return true;
    if (r == 0 || errno != EINTR) return false;
  }
}

// A non-blocking connect that gives up at the deadline; the socket or -1.
int ConnectBefore(const addrinfo* a, Clock::time_point deadline) {
  const int fd =
      socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
  if (fd < 0) return -1;
  if (connect(fd, a->ai_addr, a->ai_addrlen) == 0) return fd;
  int error = errno;
  if (error == EINPROGRESS && WaitFor(fd, POLLOUT, deadline)) {
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error == 0) return fd;
  }
  close(fd);
  return -1;
}

// Resolves the host (a dotted address or a name, IPv4) and connects to the
// first address that answers before the deadline.
int Connect(const std::string& host, uint16_t port, Clock::time_point deadline) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return -1;
  int fd = -1;
  for (const addrinfo* a = found; a && fd < 0 && MillisLeft(deadline) > 0; a = a->ai_next)
    fd = ConnectBefore(a, deadline);
  freeaddrinfo(found);
  return fd;
}

bool SendAll(int fd, const std::string& data, Clock::time_point deadline) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      if (!WaitFor(fd, POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

// Reads until the peer closes; false on error, time-out or an oversized reply.
bool ReceiveAll(int fd, std::string& reply, Clock::time_point deadline) {
  char chunk[1024];
  for (;;) {
    const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
    if (n == 0) return true;
    if (n > 0) {
      reply.append(chunk, static_cast<size_t>(n));
      if (reply.size() > masterServerQuery::kMaxReplyBytes) return false;
    } else if (errno == EAGAIN || errno == EINTR) {
      if (!WaitFor(fd, POLLIN, deadline)) return false;
    } else {
      return false;
    }
  }
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// ASCII only: the parser takes every byte above 126 for a letter, and the
// scan refuses what it cannot be sure of.
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsNameStart(char c) { return IsLetter(c) || c == '_'; }
bool IsNameChar(char c) {
  return IsLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ':';
}

size_t SkipSpace(const std::string& s, size_t i) {
  while (i < s.size() && IsSpace(s[i])) ++i;
  return i;
}

size_t SkipName(const std::string& s, size_t i) {
  while (i < s.size() && IsNameChar(s[i])) ++i;
  return i;
}

// Scans the start tag at s[i] ('<' and a name): where it ends (past '>'),
// whether it closes itself, or npos when it is anything but plain
// name="value" attributes.
size_t ScanStartTag(const std::string& s, size_t i, bool& selfClosing) {
  size_t j = SkipName(s, i + 1);
  for (;;) {
    j = SkipSpace(s, j);
    if (j >= s.size()) return std::string::npos;
    if (s[j] == '>') {
      selfClosing = false;
      return j + 1;
    }
    if (s[j] == '/') {
      selfClosing = true;
      return j + 1 < s.size() && s[j + 1] == '>' ? j + 2 : std::string::npos;
    }
    if (!IsNameStart(s[j])) return std::string::npos;
    j = SkipSpace(s, SkipName(s, j));
    if (j >= s.size() || s[j] != '=') return std::string::npos;
    j = SkipSpace(s, j + 1);
    if (j >= s.size() || (s[j] != '"' && s[j] != '\'')) return std::string::npos;
    const size_t close = s.find(s[j], j + 1);
    if (close == std::string::npos) return std::string::npos;
    j = close + 1;
  }
}

// The XML parser recurses once per nested element, so a hostile reply of
// nothing but opening tags could exhaust the stack. The list needs only
// elements with quoted attributes, text and end tags; anything else
// (comments, CDATA, processing instructions, unquoted or odd attributes) is
// refused here, which keeps this scan's view of the tags the parser's own.
// False when the body holds such things or nests deeper than `limit`.
bool PlainAndShallow(const std::string& s, int limit) {
  int depth = 0;
  for (size_t i = s.find('<'); i != std::string::npos; i = s.find('<', i)) {
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    if (next == '/') {
      depth = depth > 0 ? depth - 1 : 0;  // stray end tags never buy depth
      i = s.find('>', i);
      if (i == std::string::npos) return true;  // the parser stops there too
      continue;
    }
    if (!IsNameStart(next)) return false;
    bool selfClosing = false;
    i = ScanStartTag(s, i, selfClosing);
    if (i == std::string::npos || depth + 1 > limit) return false;
    if (!selfClosing) ++depth;
  }
  return true;
}

// The body without a leading XML declaration, which the scan above refuses:
// the list is read the same with or without it (single-byte texts).
std::string WithoutDeclaration(const std::string& body) {
  const size_t first = SkipSpace(body, 0);
  if (body.compare(first, 2, "<?") != 0) return body;
  const size_t end = body.find("?>", first);
  return end == std::string::npos ? std::string() : body.substr(end + 2);
}

std::string TextAttribute(const TiXmlElement* e, const char* name) {
  const char* v = e->Attribute(name);
  return std::string(v ? v : "");
}

// A number out of the 16-bit range (or missing) reads as 0 rather than wrapping.
uint16_t NumberAttribute(const TiXmlElement* e, const char* name) {
  int v = 0;
  if (e->QueryIntAttribute(name, &v) != TIXML_SUCCESS || v < 0 || v > 65535) return 0;
  return static_cast<uint16_t>(v);
}

void ParseError() { std::cerr << "Error: Couldn't parse the masterserver response" << std::endl; }

}  // namespace

void masterServerQuery::setMasterserver(std::string hosts, std::string requestPath) {
  path = std::move(requestPath);
  lobbies.clear();
  size_t start = 0;
  while (start <= hosts.size()) {
    const size_t comma = std::min(hosts.find(',', start), hosts.size());
    std::string hostAndPort = hosts.substr(start, comma - start);
    start = comma + 1;
    while (!hostAndPort.empty() && IsSpace(hostAndPort.back())) hostAndPort.pop_back();
    hostAndPort.erase(0, SkipSpace(hostAndPort, 0));
    if (hostAndPort.empty()) continue;
    Lobby lobby;
    const size_t colon = hostAndPort.rfind(':');
    if (colon != std::string::npos) {
      const int p = std::atoi(hostAndPort.c_str() + colon + 1);
      if (p > 0 && p < 65536) lobby.port = static_cast<uint16_t>(p);
      hostAndPort.resize(colon);
    }
    lobby.host = std::move(hostAndPort);
    lobbies.push_back(std::move(lobby));
  }
  host = lobbies.empty() ? std::string() : lobbies[0].host;
  port = lobbies.empty() ? 80 : lobbies[0].port;
  current_->store(0);
}

std::string masterServerQuery::Describe() const {
  std::string text;
  for (const Lobby& lobby : lobbies)
    text += (text.empty() ? "" : ",") + lobby.host + ":" + std::to_string(lobby.port);
  return text;
}

std::string masterServerQuery::strURLEncode(std::string s) {
  std::string out;
  char hex[16];
  for (char c : s) {
    // The value is the character taken as a signed byte, printed as an
    // unsigned int: bytes of 128 and more give eight digits.
    std::snprintf(hex, sizeof hex, "%%%x", static_cast<unsigned>(static_cast<int>(c)));
    out += hex;
  }
  return out;
}

std::string masterServerQuery::sendRequestToMasterserver(std::string query) {
  if (lobbies.empty()) return Exchange(Lobby{host, port}, query);
  const size_t first = current_->load() % lobbies.size();
  for (size_t i = 0; i < lobbies.size(); ++i) {
    const size_t at = (first + i) % lobbies.size();
    std::string body = Exchange(lobbies[at], query);
    if (body.empty()) continue;
    current_->store(at);
    return body;
  }
  return "";
}

std::string masterServerQuery::Exchange(const Lobby& lobby, const std::string& query) const {
  const std::string& host = lobby.host;
  const uint16_t port = lobby.port;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const int fd = Connect(host, port, deadline);
  if (fd < 0) return "";
  const std::string hostHeader = port == 80 ? host : host + ":" + std::to_string(port);
  const std::string request = "GET " + path + "?" + query + " HTTP/1.0\r\nHost: " + hostHeader +
                              "\r\nAccept: text/html, image/jpeg, image/gif, */*\r\n\r\n";
  std::string reply;
  bool ok = SendAll(fd, request, deadline);
  if (ok && !ReceiveAll(fd, reply, deadline)) {
    std::cout << "Error in answer receive" << std::endl;
    ok = false;
  }
  close(fd);
  return ok ? BodyOfReply(reply) : "";
}

std::string masterServerQuery::BodyOfReply(const std::string& reply) {
  // "HTTP/1.x 200 ...": anything else (an error page, a redirect) has no list.
  if (reply.compare(0, 7, "HTTP/1.") != 0 || reply.size() < 12 || reply.compare(8, 4, " 200") != 0)
    return "";
  const size_t blank = reply.find("\r\n\r\n");
  return blank == std::string::npos ? "" : reply.substr(blank + 4);
}

std::string masterServerQuery::HeartbeatQuery(int gamePort, int maxPlayers, const std::string& name,
                                              const std::string& game, const std::string& map,
                                              int players, int bots) {
  std::string query = "request=heartbeat&port=" + std::to_string(gamePort) +
                      "&maxplayers=" + std::to_string(maxPlayers) +
                      "&game=" + Bounded(strURLEncode(game)) +
                      "&map=" + Bounded(strURLEncode(map)) + "&name=" + Bounded(strURLEncode(name));
  if (players >= 0)
    query += "&players=" + std::to_string(players) + "&bots=" + std::to_string(bots);
  return query;
}

void masterServerQuery::sendHeartbeat(int gamePort, int maxPlayers, std::string name,
                                      std::string game, std::string map, int players, int bots) {
  sendRequestToMasterserver(HeartbeatQuery(gamePort, maxPlayers, name, game, map, players, bots));
}

void masterServerQuery::sendRemove(int gamePort) {
  sendRequestToMasterserver("request=remove&port=" + std::to_string(gamePort));
}

std::vector<masterServerQuery::tServerQueryItem> masterServerQuery::requestServers(bool* fetched) {
  // A lobby that answers with something other than a list counts as not
  // answering: the next one is asked.
  std::vector<Lobby> order = lobbies;
  if (order.empty()) order.push_back({host, port});
  bool parsed = false;
  std::vector<tServerQueryItem> list;
  for (const Lobby& lobby : order) {
    const std::string body = Exchange(lobby, "request=servers");
    if (body.empty()) continue;
    list = ParseServerList(body, &parsed);
    if (parsed) break;
  }
  if (fetched) *fetched = parsed;
  return list;
}

std::vector<masterServerQuery::tServerQueryItem> masterServerQuery::ParseServerList(
    const std::string& body, bool* parsed) {
  std::vector<tServerQueryItem> list;
  if (parsed) *parsed = false;
  const std::string xml = WithoutDeclaration(body);
  if (!PlainAndShallow(xml, kMaxXmlDepth)) {
    ParseError();
    return list;
  }
  TiXmlDocument doc;
  doc.Parse(xml.c_str());
  const TiXmlElement* root = doc.FirstChildElement();
  if (!root) {
    ParseError();
    return list;
  }
  for (const TiXmlElement* e = root->FirstChildElement("server");
       e && list.size() < kMaxListedServers; e = e->NextSiblingElement("server")) {
    // A missing attribute leaves the text empty and the number 0.
    tServerQueryItem item;
    item.name = TextAttribute(e, "name");
    item.map = TextAttribute(e, "map");
    item.ip = TextAttribute(e, "ip");
    item.game = TextAttribute(e, "game");
    item.port = NumberAttribute(e, "port");
    item.maxplayers = NumberAttribute(e, "maxplayers");
    // Older lobbies send no counts: absent rather than 0.
    if (e->Attribute("players")) item.players = NumberAttribute(e, "players");
    if (e->Attribute("bots")) item.bots = NumberAttribute(e, "bots");
    list.push_back(item);
  }
  if (parsed) *parsed = true;
  return list;
}
