// HostCore: the host's side of the game protocol, for every program that
// hosts a match: the player's hosting copy (GameProtocol) and the dedicated
// host (DedicatedHost). Both are thin shells around it that plug in only
// what differs between them (the Shell below).
//
// The core owns the seats (which player each connection joined as), the
// admission of joins and their answers, the budgets and caps on what a peer
// may make the host hold or do, the latency correction, the decision of what
// is relayed to the other clients, what is applied to the host's opponent
// table, and the computer players the host runs. A computer player's
// messages take the same way as a client's, from a seat of its own.
//
// A connection speaks only for the player it joined as; a report whose
// players have no row is dropped, as nobody could be credited or hurt by it.
// Every report is held to what the game allows (protocol/referee.h); a
// player whose reports keep failing is removed, and every copy is told why.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/messages.h"
#include "net/networkhandler.h"
#include "protocol/chatbudget.h"
#include "protocol/protocollimits.h"
#include "protocol/referee.h"
#include "sim/computerplayers.h"

class EnemyManager;
class ExplosionManager;
class GameUtilities;
class SpaceShip;
class World;

class HostCore final : public ProtocolLimits, private ComputerPlayers::Host {
 public:
  // What a host program adds around the core. Each hook is called once the
  // core has checked and applied a message, before it is relayed.
  class Shell {
   public:
    // The roster's last entry, which every client takes for the host's own.
    virtual msg::Roster::Entry RosterTail(const msg::Roster::Entry& joiner) const = 0;
    // After the other players' states, to a newcomer: the host's own ship.
    virtual void SendOwnState() {}
    // Damage, a freeze or a kill report aimed at the host's own player
    // (already bounded: damage never heals, the freeze is capped).
    virtual void OwnDamage(float /*energy*/, float /*hull*/, int /*attackerRow*/) {}
    virtual void OwnFreeze(int /*frames*/) {}
    // The victim in `victimRow` named the host's player its killer.
    virtual void OwnKill(int /*victimRow*/, int /*victimBounty*/) {}
    // What happened, for the player's log or the host's event lines. `from`
    // is the joiner's address, or "computer player".
    virtual void Joined(const std::string& /*name*/, const std::string& /*from*/) {}
    virtual void Left(const std::string& /*name*/) {}
    virtual void Killed(const std::string& /*killer*/, const std::string& /*victim*/) {}
    virtual void Chatted(const std::string& /*line*/) {}
    virtual void Exploded(const msg::Explosion&) {}
    // The name the host's own player plays under (none: no own player).
    virtual std::string OwnName() const { return {}; }
    // A player was removed for cheating; `line` says who and why.
    virtual void Removed(const std::string& /*line*/) {}
    // Connections coming and going, speed limits learnt (for tracing).
    virtual void Noted(const std::string& /*line*/) {}

   protected:
    ~Shell() = default;
  };

  // Half the round trip to the current sender in ms; empty = the handler's
  // measurement. Tests set a latency.
  std::function<int()> latencyMs;
  long long messagesHandled = 0;  // catalogue messages taken, dropped ones too (benchmarks)

  HostCore() = default;
  HostCore(const HostCore&) = delete;
  HostCore& operator=(const HostCore&) = delete;

  // A new match: no seats, no computer players. `ownGuid` is the identity the
  // host speaks for (a player's hosting copy: its player's; a dedicated
  // host: one no player can take); `table` holds a row for every player.
  void InitMe(Shell* shell, NetworkHandler* network, EnemyManager* table, const float* ownGuid);

  // One frame of the host: every waiting packet handled (relays queued, the
  // table updated), then what the computer players answered.
  void Receive();
  // One message of the packet being handled (its id already taken).
  void Handle(char id);

  // ---- Computer players ----
  // Keeps `count` computer players in the match while clients and computer
  // players together stay within `maxOthers` (a joining human takes the
  // place of one). `player` is the host's own (nullptr: none).
  void SetBots(int count, int maxOthers, World* world, ExplosionManager* explosions,
               GameUtilities* utilities, SpaceShip* player);
  // One frame of every computer player.
  void UpdateBots() { bots_.Update(); }
  void ForgetBots();
  int BotCount() const { return bots_.Count(); }
  AiPlayer& BotPlayer(int k) { return bots_.Player(k); }

  // Players with a seat (clients and computer players).
  size_t SeatCount() const { return seats_.size(); }
  // What the checks refused or clamped so far.
  const Referee& Checks() const { return referee_; }
  void SetChecks(bool on) { referee_.enabled = on; }

 private:
  struct Seat {
    PlayerID connection;
    float guid = 0;
    ChatBudget chat;
    long long rosterFrame = -kRosterReplyFrames;  // when its join was last answered
    bool stated = false;                          // has sent a full state
  };

  PlayerID Sender() const;
  Seat* SenderSeat();
  Seat* SenderAs(float guid);
  Seat* SeatOf(float guid);
  bool BindSender(float guid);
  void Unbind(PlayerID connection);
  int CorrectionFrames();
  int Row(float guid) const;
  std::string NameOf(float guid) const;
  template <class M>
  void Relay(const M& m, bool reliable);
  void ConnectionChanged(char id);
  void RemovePlayer(float guid);
  void Refuse(float guid, Referee::Fault fault);
  std::string UniqueName(const std::string& wanted) const;
  std::string Attributed(float guid, const std::string& text);
  template <class M>
  bool ShotPlausible(const M& m, bool isNew);

  void HandleAs(PlayerID seat, const unsigned char* data, size_t size) override;
  void SeatClosed(PlayerID seat) override { Unbind(seat); }

  void Join();
  void AnswerJoin(Seat& joiner, const msg::Join& join);
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

  Shell* shell_ = nullptr;
  NetworkHandler* network_ = nullptr;
  EnemyManager* table_ = nullptr;
  const float* ownGuid_ = nullptr;
  std::vector<Seat> seats_;
  ComputerPlayers bots_;
  Referee referee_;
  bool botSpeaking_ = false;  // a computer player's message is being handled
  PlayerID speakingSeat_;     // and this is its seat
  long long frame_ = 0;       // frames run, for the budgets
  int explosionsThisFrame_ = 0;
};
