// The last server list a lobby gave, kept on disk so that a player whose
// lobbies are all down still sees the games that were running (marked as
// saved, with their age) and can try to join them. The file lives under
// $XDG_CACHE_HOME/voidrake2/ (~/.cache when unset) and is read as untrusted
// input: a missing file is no list, an unreadable, corrupt or oversized one
// is no list and a message, never a crash.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "net/masterserverquery.h"

class ServerListCache {
 public:
  using Item = masterServerQuery::tServerQueryItem;
  struct Saved {
    std::vector<Item> servers;
    std::time_t savedAt = 0;
  };

  // "" when neither XDG_CACHE_HOME nor HOME is set: nothing is kept.
  static std::string DefaultPath();
  explicit ServerListCache(std::string path = DefaultPath());

  // Replaces the saved list (written aside and renamed, so a crash leaves
  // the old one whole); false, with a message, when it cannot.
  bool Save(const std::vector<Item>& servers, std::time_t now) const;
  std::optional<Saved> Load() const;

  // "less than a minute ago", "12 minutes ago", "3 hours ago", "2 days ago".
  static std::string AgeText(long long seconds);

 private:
  std::string path_;
};
