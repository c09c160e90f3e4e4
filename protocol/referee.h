// Referee: what a host checks of each player's reports before it applies or
// relays them. Every copy decides the hits of its own projectiles and
// reports them, which keeps shooting responsive; the referee holds each
// report to what the game allows:
//  - damage only after projectiles of the attacker ended, and never more
//    than those projectiles can do;
//  - kills only of a victim the killer hurt lately, once a life, at no
//    higher a bounty than the host reckons the victim has;
//  - ships inside the arena, no faster than the fastest engine (a teleport
//    now and then), with no better engine than the shop sells;
//  - projectiles of the weapon table, fired near the ship (or where the
//    owner's projectile burst) at the rate four weapons can fire.
// Its limits come from the weapon table with generous slack: honest play,
// late and lossy, stays far inside them. Every refused or clamped report is
// a strike against its sender; a sender who keeps striking is to be removed.
#pragma once

#include <deque>
#include <string>
#include <vector>

class Referee {
 public:
  enum Fault { kDamage, kKill, kMovement, kShots, kFaults };

  // The fastest engine the shop sells (units a frame), and the afterburners'
  // share above it.
  static constexpr float kFastestEngine = 75.0f;
  static constexpr float kBoostFactor = 1.2f;
  // A life's bounty before any kill.
  static constexpr int kStartBounty = 100;
  // Strikes of one kind within kStrikeWindow frames that remove a player.
  static constexpr int kStrikesToRemove = 12;
  static constexpr int kStrikeWindow = 400;

  // A ship's or a projectile's box: centre and size.
  struct Box {
    float x = 0, y = 0, width = 0, height = 0;
  };

  // Off, every report is taken as sent (tests of what the relay does with
  // reports that stand for hits they do not stage).
  bool enabled = true;

  // A new match: nothing known of anyone. `arenaSize` is the outer edge of
  // the arena's walls on both axes.
  void Reset(float arenaSize);
  void Forget(float guid);
  // Once per host frame, before its messages.
  void Tick() { ++frame_; }

  // A ship's state as sent: the position is held inside the arena and to a
  // step the ship could have flown since its last state; the speed limit to
  // the fastest engine; the bounty to what the host reckons. `full` states
  // are the reliable ones a copy sends on death and respawn; `alive` is what
  // it says of its ship. False when anything had to be clamped.
  bool State(float guid, float& x, float& y, float& maxSpeed, int& bounty, bool alive, bool full);

  // What a projectile message says of the projectile.
  struct ShotFacts {
    float owner = 0;
    int texture = 0, lifeLeft = 0;
    float x = 0, y = 0, width = 0, height = 0, speed = 0, driftX = 0, driftY = 0;
  };
  // A projectile's full state: false when it is not one of the weapon
  // table's. A new one (`isNew`) must also start near its owner and come
  // within the rate its owner's four weapons can fire.
  bool Shot(const ShotFacts& m, bool isNew);
  // A projectile of `owner` ended at `where` (the host's own copy of it).
  // `texture` tells what it could have done.
  void ShotEnded(float owner, const Box& where, int texture);

  // A damage report: the attacker must have projectiles that ended lately
  // and have not paid for damage to this victim yet, and the damage must be
  // within what they can do. Recorded for the kill that may follow when true.
  bool Damage(float attacker, float victimGuid, float hull, float energy);
  // Damage the host's own player dealt (its copy decided it): a kill of
  // that victim may name the host.
  void OwnDamage(float attacker, float victim);
  // A kill report: `bounty` is held to what the host reckons the victim's
  // bounty is. False when the victim is dead already or the killer has not
  // hurt it lately.
  // A `trusted` report (the host's own computer players) is booked as sent.
  bool Kill(float victim, float killer, int& bounty, bool trusted = false);
  // A chat line that announces a kill of `victim` by `killer` is genuine when
  // the host booked that kill lately; it is taken (announced once).
  bool TakeKillAnnouncement(float killer, const std::string& line, const std::string& killerName);
  // Remembers the victim's name for its killer's announcement.
  void NameVictim(float killer, const std::string& victimName);

  // Counts a strike; true when `guid` has now struck often enough to go.
  bool Strike(float guid, Fault fault);
  // The reason line's end for a fault ("implausible damage reports").
  static const char* Reason(Fault fault);
  // Strikes counted since Reset, by kind (tests and the host's log).
  int Strikes(Fault fault) const { return total_[fault]; }

 private:
  struct End {
    Box box;
    float hull = 0, energy = 0;  // the most it could do
    long long frame = 0;
    std::vector<float> charged;  // victims whose damage it has paid for
  };
  struct Hit {
    float attacker = 0;
    long long frame = 0;
  };
  struct Announcement {
    std::string victim;
    long long frame = 0;
  };
  struct Record {
    float guid = 0;
    bool placed = false, alive = true;
    float x = 0, y = 0;
    long long stateFrame = 0, jumpFrame = -100000;
    int bountyBound = kStartBounty, earned = 0;
    float shotTokens = -1;  // -1: a full budget
    long long tokenFrame = 0;
    std::vector<End> ends;
    std::vector<Hit> hitsTaken;
    std::vector<Announcement> kills;
    std::vector<long long> strikes[kFaults];
  };

  Record& Of(float guid);
  bool NearOwner(const Record& r, float x, float y) const;
  void Prune(Record& r);

  std::deque<Record> records_;  // a deque: a record stays put while others are added
  long long frame_ = 0;
  float arena_ = 0;
  int total_[kFaults] = {};
};
