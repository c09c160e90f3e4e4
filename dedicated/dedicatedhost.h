// DedicatedHost: the host core (protocol/hostcore.h) without a player of
// its own, for a machine with no screen. It admits players, relays every
// message to the other clients with the sender's latency corrected, runs
// computer players, lets players leave, and ends the match by telling
// everyone; it has no ship, no row anyone sees and no kills booked to it.
// What it adds to the core is its event lines, the arena and opponent table
// its computer players fly in, and the blasts they announce.
#pragma once

#include <functional>
#include <string>

#include "base/gameutilities.h"
#include "net/networkhandler.h"
#include "net/outbox.h"
#include "protocol/hostcore.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "world/world.h"

class DedicatedHost final : private HostCore::Shell {
 public:
  // Every event as one line: "join: NAME (ADDRESS)", "leave: NAME",
  // "kill: KILLER killed VICTIM", "chat: LINE". A computer player's ADDRESS
  // reads "computer player".
  std::function<void(const std::string&)> onEvent;
  // Half the round trip to the current sender in ms; empty = the handler's
  // measurement. Tests set a latency.
  std::function<int()> latencyMs;

  explicit DedicatedHost(NetworkHandler& network);

  // Listens on UDP `port` for up to `maxPlayers` clients; false when the port
  // cannot be opened.
  bool Start(unsigned short port, unsigned short maxPlayers);
  // Keeps `count` computer players (0 to 31) in the match while they and the
  // clients stay within the `maxPlayers` of Start: a joining client takes
  // the place of one, which comes back when a client leaves. They are not
  // connections (no address limit counts them).
  void SetBots(int count);
  // One frame of kFrameStepMs (base/timing.h): every waiting packet handled, the relays put on the
  // wire.
  void Frame();
  // Ends the match: every client is told at once (the connections close).
  void End();

  // Clients and computer players.
  size_t PlayerCount() const { return core.SeatCount(); }
  int BotCount() const { return core.BotCount(); }
  // Computer player k (0 .. BotCount()-1), for tests and benchmarks.
  AiPlayer& BotPlayer(int k) { return core.BotPlayer(k); }
  // The identity the host's leave speaks for: never a player's.
  float Guid() const { return guid; }
  long long MessagesHandled() const { return core.messagesHandled; }

 private:
  msg::Roster::Entry RosterTail(const msg::Roster::Entry& joiner) const override;
  void Joined(const std::string& name, const std::string& from) override;
  void Left(const std::string& name) override;
  void Killed(const std::string& killer, const std::string& victim) override;
  void Chatted(const std::string& line) override;
  void Event(const std::string& line);

  NetworkHandler& network;
  unsigned short maxPlayers = NetworkHandler::kMaxPlayers;
  GameUtilities utilities;
  World world;
  EnemyManager table;
  ExplosionManager blasts;
  Outbox outbox;  // the blasts' announcements, sent at the end of each frame
  HostCore core;
  float guid = 0;
};
