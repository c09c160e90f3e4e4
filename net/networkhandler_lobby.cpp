// The handler's master-server entry points: the heartbeat a host sends, the
// word that its game has ended, and the server list a player fetches.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <future>
#include <iostream>
#include <mutex>
#include <optional>
#include <system_error>

#include "net/lobbyheartbeat.h"
#include "net/networkhandler.h"
#include "net/serverlistcache.h"

namespace {

// serverName and gameType are written on the game thread when hosting starts
// and read by the heartbeat on the window thread.
std::mutex statsMutex;
std::atomic<const NetworkHandler*> announced{nullptr};
std::atomic<int> hostedPlayers{-1}, hostedBots{0};

// At most one heartbeat is in flight; a tick that finds the previous one
// still waiting for the master server skips its turn.
std::mutex flightMutex;
std::future<void> inFlight;

// Ending the game must not wait long for a lobby that does not answer.
constexpr int kWithdrawTimeoutMs = 1000;

}  // namespace

bool IsAnnounced(const NetworkHandler& handler) { return announced.load() == &handler; }

void WaitForHeartbeat() {
  std::lock_guard<std::mutex> lock(flightMutex);
  if (inFlight.valid()) inFlight.wait();
}

void NetworkHandler::SetGameStats(std::string name, int type) {
  std::lock_guard<std::mutex> lock(statsMutex);
  serverName = std::move(name);
  gameType = type;
  if (isServer) announced = this;
}

void NetworkHandler::SetPlayerCounts(int players, int bots) {
  hostedPlayers = players;
  hostedBots = bots;
}

void NetworkHandler::HeartBeat() {
  static const char* const kModeNames[] = {"Simple Game", "RPG", "Carrier Battle"};
  std::string name;
  int type = 0;
  {
    std::lock_guard<std::mutex> lock(statsMutex);
    name = serverName;
    type = gameType;
  }
  if (type < 0 || type > 2) return;
  std::lock_guard<std::mutex> lock(flightMutex);
  if (!IsAnnounced(*this)) return;  // withdrawn since the tick asked
  using namespace std::chrono_literals;
  if (inFlight.valid() && inFlight.wait_for(0s) != std::future_status::ready) return;
  // The exchange works on copies: it may outlive this call by the time-out.
  masterServerQuery query = lobby;
  const char* mode = kModeNames[type];
  // The lobby lists and probes the port the host listens on.
  const int port = HostedPort(), most = HostedMaxPlayers();
  const int players = hostedPlayers, bots = hostedBots;
  try {
    inFlight =
        std::async(std::launch::async, [query, name, mode, port, most, players, bots]() mutable {
          query.sendHeartbeat(port, most, name, mode, "Default Map", players, bots);
        });
  } catch (const std::system_error&) {
    // No thread to spare: this heartbeat is lost, the next tick tries again.
  }
}

void WithdrawAnnouncement(NetworkHandler& handler) {
  std::lock_guard<std::mutex> lock(flightMutex);
  const NetworkHandler* expected = &handler;
  if (!announced.compare_exchange_strong(expected, nullptr)) return;
  // A heartbeat still on its way would list the game again after the removal.
  if (inFlight.valid()) inFlight.wait();
  masterServerQuery query = handler.lobby;
  query.timeoutMs = std::min(query.timeoutMs, kWithdrawTimeoutMs);
  query.sendRemove(handler.HostedPort());
}

const std::vector<masterServerQuery::tServerQueryItem>& NetworkHandler::GetServers2(bool* fetched) {
  bool answered = false;
  servers = lobby.requestServers(&answered);
  if (fetched) *fetched = answered;
  savedListAge = -1;
  const ServerListCache cache;
  const std::time_t now = std::time(nullptr);
  if (answered) {
    cache.Save(servers, now);
  } else if (const std::optional<ServerListCache::Saved> saved = cache.Load()) {
    servers = saved->servers;
    // A clock set back since the saving shows the list as new, not as negative.
    savedListAge = std::max<long long>(0, static_cast<long long>(now - saved->savedAt));
    std::cerr << "net: no lobby answered; the saved list of " << servers.size() << " games from "
              << ServerListCache::AgeText(savedListAge) << std::endl;
  }
  return servers;
}
