// DedicatedHost: the host's side of the game protocol without a player of
// its own, for a machine with no screen. It admits players, relays every
// message to the other clients with the sender's latency corrected, lets
// players leave, and ends the match by telling everyone; it has no ship, no
// row anyone sees and no kills booked to it.
//
// The player's hosting copy (GameProtocol) applies what it relays to its own
// game objects; this host keeps what the relay needs: who each connection
// speaks for, each player's name and speed limit, and the speed of each live
// projectile (the short projectile message leaves it out). For its computer
// players (ComputerPlayers, as the hosting copy runs them) it also keeps the
// arena and a table of every ship, fed from the states it relays by the
// rules the player's copy applies them with; their messages take the same
// way through Handle as a client's, from a seat of their own. The bounds on
// untrusted input are the protocol's own.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "game/explosionmanager.h"
#include "game/gameutilities.h"
#include "net/chatbudget.h"
#include "net/gameprotocol.h"
#include "net/messages.h"
#include "net/networkhandler.h"
#include "opponents/computerplayers.h"
#include "opponents/enemymanager.h"
#include "world/world.h"

class DedicatedHost final : private ComputerPlayers::Host {
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
  // One 25 ms frame: every waiting packet handled, the relays put on the wire.
  void Frame();
  // Ends the match: every client is told at once (the connections close).
  void End();

  // Clients and computer players.
  size_t PlayerCount() const { return players.size(); }
  int BotCount() const { return bots.Count(); }
  // Computer player k (0 .. BotCount()-1), for tests and benchmarks.
  AiPlayer& BotPlayer(int k) { return bots.Player(k); }
  // The identity the host's leave speaks for: never a player's.
  float Guid() const { return guid; }

 private:
  struct Shot {
    float guid = 0, speed = 0;
  };
  struct Player {
    PlayerID connection;
    float guid = 0;
    std::string name;
    float maxSpeed = 0;      // 0 until the first full state says it
    std::vector<Shot> shots; // live projectiles, oldest first
    // Its last full state, for players who join later (their prediction
    // needs its speed limit and hull from the start).
    msg::FullState lastState;
    bool hasState = false;
    ChatBudget chat;
    long long rosterFrame = -GameProtocol::kRosterReplyFrames;  // last join answered
  };

  void Handle(char id);
  void Join();
  void FullState();
  void ShortState();
  void Damage();
  void Kill();
  void Chat();
  void Explosion();
  void Freeze();
  void Leave();
  void ProjectileFull();
  void ProjectileRemove();
  void ProjectileNew();
  void ProjectileShort();
  void ConnectionClosed();
  void HandleAs(PlayerID seat, const unsigned char* data, size_t size) override;
  void SeatClosed(PlayerID) override {}

  Player* Sender();
  Player* SenderAs(float playerGuid);
  Player* Find(float playerGuid);
  int CorrectionFrames();
  void Remember(Player& owner, float shotGuid, float speed);
  void Remove(float playerGuid);
  void AnswerJoin(Player& joiner);
  std::string NameOf(float playerGuid);
  void Event(const std::string& line);

  NetworkHandler& network;
  std::vector<Player> players;
  unsigned short maxPlayers = NetworkHandler::kMaxPlayers;
  // What the computer players need: the arena, every ship, the blasts they
  // announce, and the seat of the one whose message is being handled.
  GameUtilities utilities;
  World world;
  EnemyManager table;
  ExplosionManager blasts;
  ComputerPlayers bots;
  bool botSpeaking = false;
  PlayerID speakingSeat;
  float guid = 0;
  long long frame = 0;
  int explosions = 0;  // this frame's
};
