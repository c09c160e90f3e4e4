#include "net/serverlistcache.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>

#include "base/xmlescape.h"

namespace {

// The first line; the XML list as a lobby sends it follows.
constexpr const char* kMagic = "voidrake2 saved server list 1 ";

void Complain(const std::string& path, const std::string& why) {
  std::cerr << "net: saved server list " << path << " ignored: " << why << std::endl;
}

}  // namespace

std::string ServerListCache::DefaultPath() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  std::string base;
  if (cache && *cache == '/')
    base = cache;
  else if (home && *home)
    base = std::string(home) + "/.cache";
  else
    return "";
  return base + "/voidrake2/servers.xml";
}

ServerListCache::ServerListCache(std::string path) : path_(std::move(path)) {}

bool ServerListCache::Save(const std::vector<Item>& servers, std::time_t now) const {
  if (path_.empty()) return false;
  std::ostringstream xml;
  xml << kMagic << static_cast<long long>(now) << "\n<response>\n";
  for (const Item& s : servers) {
    xml << "<server ip=\"" << XmlEscape(s.ip) << "\" port=\"" << s.port << "\" name=\""
        << XmlEscape(s.name) << "\" game=\"" << XmlEscape(s.game) << "\" map=\"" << XmlEscape(s.map)
        << "\" maxplayers=\"" << s.maxplayers << "\"";
    if (s.players) xml << " players=\"" << *s.players << "\"";
    if (s.bots) xml << " bots=\"" << *s.bots << "\"";
    xml << "/>\n";
  }
  xml << "</response>\n";
  const std::filesystem::path target(path_);
  const std::string aside = path_ + ".new";
  std::error_code error;
  std::filesystem::create_directories(target.parent_path(), error);
  {
    std::ofstream out(aside, std::ios::binary | std::ios::trunc);
    out << xml.str();
    out.flush();
    if (!out) {
      std::cerr << "net: cannot save the server list to " << aside << std::endl;
      return false;
    }
  }
  std::filesystem::rename(aside, target, error);
  if (error) {
    std::cerr << "net: cannot save the server list to " << path_ << ": " << error.message()
              << std::endl;
    std::filesystem::remove(aside, error);
    return false;
  }
  return true;
}

std::optional<ServerListCache::Saved> ServerListCache::Load() const {
  if (path_.empty()) return std::nullopt;
  std::error_code error;
  const auto size = std::filesystem::file_size(path_, error);
  if (error) return std::nullopt;  // never saved
  if (size > masterServerQuery::kMaxReplyBytes) {
    Complain(path_, "larger than any list");
    return std::nullopt;
  }
  std::ifstream in(path_, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string magic = kMagic;
  const size_t newline = text.find('\n');
  char* end = nullptr;
  Saved saved;
  if (text.compare(0, magic.size(), magic) != 0 || newline == std::string::npos) {
    Complain(path_, "not a saved list");
    return std::nullopt;
  }
  const std::string stamp = text.substr(magic.size(), newline - magic.size());
  saved.savedAt = static_cast<std::time_t>(std::strtoll(stamp.c_str(), &end, 10));
  bool parsed = false;
  if (stamp.empty() || *end != '\0' || saved.savedAt < 0) {
    Complain(path_, "no time of saving");
    return std::nullopt;
  }
  saved.servers = masterServerQuery::ParseServerList(text.substr(newline + 1), &parsed);
  if (!parsed) {
    Complain(path_, "the list cannot be read");
    return std::nullopt;
  }
  return saved;
}

std::string ServerListCache::AgeText(long long seconds) {
  const auto count = [](long long n, const char* unit) {
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s") + " ago";
  };
  if (seconds < 60) return "less than a minute ago";
  if (seconds < 3600) return count(seconds / 60, "minute");
  if (seconds < 48 * 3600) return count(seconds / 3600, "hour");
  return count(seconds / 86400, "day");
}
