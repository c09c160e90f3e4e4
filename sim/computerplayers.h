// ComputerPlayers: the computer players a host runs in a networked game,
// the player's hosting copy and the dedicated host alike. Each flies with
// the single-player game's reflex (AiPlayer) and is, to every copy, a
// player like any other: what it says is written as the message a player's
// copy would send and handed to the host, which handles it exactly as if it
// had arrived on a connection of its own (the seat: address 0.0.0.0, which
// no peer can send from, and a port of its own), applying it to the host's
// opponent table and relaying it to every client. What other players say to
// a computer player (damage, freezes, the kills it scored) the host hands to
// it instead of relaying.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "net/networkhandler.h"
#include "sim/aiplayer.h"

class EnemyManager;
class ExplosionManager;
class GameUtilities;
class SpaceShip;
class World;

class ComputerPlayers {
 public:
  static constexpr int kMaxBots = NetworkHandler::kMaxPlayers - 1;

  // What the host does with what its computer players say.
  class Host {
   public:
    // One message (its id first), handled as if `seat` had sent it.
    virtual void HandleAs(PlayerID seat, const unsigned char* data, size_t size) = 0;
    // The computer player of `seat` has left: whatever the host keeps for
    // the seat goes.
    virtual void SeatClosed(PlayerID seat) = 0;

   protected:
    ~Host() = default;
  };

  ComputerPlayers();
  ~ComputerPlayers();
  ComputerPlayers(ComputerPlayers&&) noexcept;
  ComputerPlayers& operator=(ComputerPlayers&&) noexcept;

  // The host's own player (a dedicated host has none: nullptr), whose name
  // no computer player takes and whom they hunt; `ownGuid` is the identity
  // the host speaks for (row -1 of the table).
  void InitMe(Host* host, EnemyManager* enemies, World* world, ExplosionManager* explosions,
              GameUtilities* utilities, SpaceShip* player, const float* ownGuid);
  // Keeps `count` computer players in the match while humans and computer
  // players together stay within `maxOthers` (a joining human takes the
  // place of one). 0 removes them all.
  void SetTarget(int count, int maxOthers);
  // Every computer player leaves the host's books (a new match).
  void Forget();

  // One frame of every computer player: first the seats are balanced.
  void Update();
  // Hands the host whatever they said since (their answers to messages the
  // host handled: kill lines).
  void Hear();

  int Count() const { return static_cast<int>(bots_.size()); }
  bool Has(float guid) const { return Find(guid) != nullptr; }
  AiPlayer& Player(int k);
  static bool IsSeat(PlayerID connection);

  // ---- What others say to a computer player (false: not one of ours) ----
  // Damage dealt by the player of table row `attackerRow`.
  bool Hurt(float victim, int attackerRow, float energy, float hull);
  bool Freeze(float victim, int frames);
  // The victim's copy named computer player `killer` with its bounty: the
  // killer is paid and announces the kill to everyone.
  bool Scored(float killer, float victim, int victimBounty);

 private:
  struct Bot;
  struct Utterance {
    float bot;
    PlayerID seat;
    std::vector<unsigned char> bytes;
  };

  Bot* Find(float guid) const;
  float RowGuid(int row) const;
  template <class M>
  void Say(const Bot& bot, const M& m);
  void Balance();
  bool Add();
  void Remove(size_t index);
  void SendState(Bot& bot, bool full);
  std::string FreeName() const;
  int Humans() const;
  const std::string& OwnName() const;

  Host* host_ = nullptr;
  EnemyManager* enemies_ = nullptr;
  World* world_ = nullptr;
  ExplosionManager* explosions_ = nullptr;
  GameUtilities* utilities_ = nullptr;
  SpaceShip* player_ = nullptr;
  const float* ownGuid_ = nullptr;
  std::vector<std::unique_ptr<Bot>> bots_;
  int target_ = 0, room_ = NetworkHandler::kMaxPlayers;
  // What the computer players said, in order, waiting to be handled outside
  // the handling of any packet (so that relays reach every client).
  std::vector<Utterance> said_;
};
