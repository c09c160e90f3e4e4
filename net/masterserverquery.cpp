#include "net/masterserverquery.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {
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
}  // namespace

void masterServerQuery::setMasterserver(std::string hostAndPort, std::string requestPath) {
  path = std::move(requestPath);
  port = 80;
  const size_t colon = hostAndPort.rfind(':');
  if (colon != std::string::npos) {
    const int p = std::atoi(hostAndPort.c_str() + colon + 1);
    if (p > 0 && p < 65536) port = static_cast<uint16_t>(p);
    hostAndPort.resize(colon);
  }
  host = std::move(hostAndPort);
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

std::string masterServerQuery::sendRequestToMasterserver(std::string) {
  return "";  // the HTTP exchange with the lobby service comes with the lobby work
}

void masterServerQuery::sendHeartbeat(int gamePort, int maxPlayers, std::string name,
                                      std::string game, std::string map) {
  const std::string query = "request=heartbeat&port=" + std::to_string(gamePort) +
                            "&maxplayers=" + std::to_string(maxPlayers) +
                            "&game=" + Bounded(strURLEncode(game)) +
                            "&map=" + Bounded(strURLEncode(map)) +
                            "&name=" + Bounded(strURLEncode(name));
  sendRequestToMasterserver(query);
}

std::vector<masterServerQuery::tServerQueryItem> masterServerQuery::requestServers() {
  return ParseServerList(sendRequestToMasterserver("request=servers"));
}

std::vector<masterServerQuery::tServerQueryItem> masterServerQuery::ParseServerList(
    const std::string& body) {
  std::vector<tServerQueryItem> list;
  TiXmlDocument doc;
  doc.Parse(body.c_str());
  const TiXmlElement* root = doc.FirstChildElement();
  if (!root) {
    std::cerr << "Error: Couldn't parse the masterserver response" << std::endl;
    return list;
  }
  for (const TiXmlElement* e = root->FirstChildElement("server"); e;
       e = e->NextSiblingElement("server")) {
    // A missing attribute leaves the text empty and the number 0.
    auto text = [e](const char* name) {
      const char* v = e->Attribute(name);
      return std::string(v ? v : "");
    };
    auto number = [e](const char* name) {
      int v = 0;
      e->QueryIntAttribute(name, &v);
      return static_cast<uint16_t>(v);
    };
    tServerQueryItem item;
    item.name = text("name");
    item.map = text("map");
    item.ip = text("ip");
    item.game = text("game");
    item.port = number("port");
    item.maxplayers = number("maxplayers");
    list.push_back(item);
  }
  return list;
}
