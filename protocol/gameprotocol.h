// The game protocol over the network handler: the per-frame exchange of the
// in-game frame for both roles, the client's join handshake and the chat
// sender.
//
// A match is a star. Every copy is the authority for its own ship and
// projectiles and announces them (net/messages.h); a client talks only to
// the host, and the host applies what concerns it and relays the rest to the
// other clients, advancing positions by the sender's latency on the way. A
// client advances what it receives by its own latency to the host, so each
// hop corrects its own delay. The host's side is the host core
// (protocol/hostcore.h), which the dedicated host shares; this copy plugs
// in its own player: its roster entry, the damage, freezes and kills aimed
// at it, and the explosions it draws.
//
// A deliberate disconnection counts as a leave: a copy that quits sends its
// leave and closes at once, and the library drops whatever arrived
// undelivered when the close does, so the leave itself may never be seen.
//
// Everything that arrives is untrusted: malformed messages are dropped whole
// (the catalogue's readers refuse cut-short and non-finite ones), a
// connection speaks only for the player it joined as, and names, chat lines,
// explosions, freezes, bounties and the extrapolation are bounded so that no
// peer can make a copy hold or compute without limit.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/networkhandler.h"
#include "protocol/hostcore.h"
#include "protocol/protocollimits.h"
#include "sim/aiplayer.h"

class EnemyManager;
class Outbox;
class ExplosionManager;
class GameUtilities;
class SpaceShip;
class World;

class GameProtocol : public ProtocolLimits, private HostCore::Shell {
 public:
  // The join wait asks again when this many frames are left (its verdict
  // comes at 0).
  static constexpr int kJoinRetryAt = 330;

  NetworkHandler* network = nullptr;
  Outbox* outbox = nullptr;  // the simulation's messages, sent by Flush
  EnemyManager* enemies = nullptr;
  SpaceShip* player = nullptr;  // name, bounty and wallet of the local player
  ExplosionManager* explosions = nullptr;
  bool* ready = nullptr;    // admitted (rdyforgame)
  int* joinWait = nullptr;  // frames left to wait for admission (framestilownage)
  const float* myGuid = nullptr;
  // The match is over for this client: the host ended it or was lost. The
  // argument is the notice to show the player.
  std::function<void(const std::string& notice)> hostLeft;
  std::function<void()> giveUp;  // never admitted: the host could not be reached
  // Half the round trip to the current sender (host) or to the host
  // (client), in ms; empty = the handler's measurement. Tests set a latency.
  std::function<int()> latencyMs;
  bool trace = false;             // joins, admissions, leaves and chat on stderr
  long long messagesHandled = 0;  // catalogue messages taken as a client (benchmarks)

  GameProtocol() = default;
  GameProtocol(const GameProtocol&) = delete;
  GameProtocol& operator=(const GameProtocol&) = delete;

  // `outbox` is where the simulation objects post what they have to say.
  void InitMe(NetworkHandler* network, Outbox* outbox, EnemyManager* enemies, SpaceShip* player,
              ExplosionManager* explosions, bool* ready, int* joinWait, const float* myGuid);

  // ---- Computer players (host only; sim/computerplayers.*) ----
  // Each is a player of the match like any other: it joins under a name no
  // one else has, and everything it says (states, projectiles, damage,
  // kills, kill lines, its leave) goes through the host core's handling of
  // a player's messages, as if it had arrived on a connection of its own.
  // Keeps `count` computer players in the match while clients and computer
  // players together stay within `maxOthers` (a joining human takes the
  // place of one). 0 removes them all.
  void SetBots(int count, int maxOthers, World* world, GameUtilities* utilities);
  // One frame of every computer player, after the local player's
  // projectiles (whose hits on them it takes) and before the local ship.
  void UpdateBots();
  int BotCount() const { return host_.BotCount(); }
  // Computer player k (0 .. BotCount()-1), for tests and benchmarks.
  AiPlayer& BotPlayer(int k) { return host_.BotPlayer(k); }
  // Catalogue messages taken in either role, dropped ones too (benchmarks).
  long long MessagesHandled() const { return messagesHandled + host_.messagesHandled; }

  // Once per frame, after the opponent table's update: the host's or the
  // client's receive loop once admitted; otherwise one frame of the join
  // wait and another join request.
  void UpdateNetwork();
  void ServerUpdate();
  void ClientUpdate();
  void WaitForJoinMSG();

  // Last in every frame: what the simulation posted goes to the network, in
  // posting order, and the frame's sends go on the wire together.
  void Flush();

  // Message 49 with the local name and GUID.
  void SendJoin();
  // Message 55: one complete chat line.
  void SendMessageA(const std::string& text);
  // Message 58 for the local player (the host's ends the match), put on the
  // wire at once: the connection closes right after.
  void SendLeave();

  // One message of the packet being handled (its id already taken).
  void HandleClientMessage(char id);

 private:
  int CorrectionFrames();
  int AddRemotePlayer(const std::string& name, float guid, float size);
  bool TakeExplosion();
  void PayForKill(int victimBounty);
  void RemovePlayer(float guid);
  void ClientHostClosed();
  void ClientHostLost();
  void EndMatch(const std::string& notice);
  void Trace(const std::string& line) const;

  // What this copy adds to the host core: its own player.
  msg::Roster::Entry RosterTail(const msg::Roster::Entry& joiner) const override;
  void SendOwnState() override;
  void OwnDamage(float energy, float hull, int attackerRow) override;
  void OwnFreeze(int frames) override;
  void OwnKill(int victimRow, int victimBounty) override;
  void Joined(const std::string& name, const std::string& from) override;
  void Left(const std::string& name) override;
  void Chatted(const std::string& line) override;
  void Exploded(const msg::Explosion& m) override;
  void Noted(const std::string& line) override { Trace(line); }

  void ClientJoin();
  bool ClientRoster();
  void ClientFullState();
  void ClientDamage();
  void ClientKill();
  void ClientChat();
  void ClientExplosion();
  void ClientFreeze();
  void ClientLeave();
  void ClientProjectileFull();
  void ClientProjectileRemove();
  void ClientProjectileNew();
  void ClientShortState();
  void ClientProjectileShort();

  HostCore host_;
  float hostGuid = 0;     // client: the last entry of the admitting roster
  std::string hostName;   // client: its name in that roster
  bool hostGone = false;  // client: the match has ended
  int explosionsThisFrame = 0;
};
