// EnemyManager: the table of every ship in the match other than the local
// player (remote humans and this copy's computer players), with their
// projectiles, the damage, freezes and kills the local side dealt to them,
// and the kill texts. One instance: Enemies; EnemyView
// (draw/enemymanager_draw.h) draws it.
//
// A player is addressed by its row index; indices shift down when a row is
// removed, so anything that must survive a removal keeps the GUID.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/messagekind.h"
#include "sim/guidindex.h"
#include "sim/shipgrid.h"

namespace msg {
struct KillReport;
struct DamageReport;
}  // namespace msg

class GameUtilities;
class ExplosionManager;
class SoundPlayer;
class Outbox;

class EnemyManager {
 public:
  // The table is fed by untrusted peers: bound what they can make us hold.
  static constexpr int kMaxPlayers = 64;
  static constexpr int kMaxBulletsPerPlayer = 2048;

  // One projectile of an opponent, as last reported by its shooter.
  struct bullet {
    float id = 0;       // the projectile's GUID
    float accel = 0;    // added along the heading while young; 0 = none
    int startLife = 0;  // largest life ever reported (age = startLife - life)
    int texture = 0;
    float x = 0, y = 0;
    float width = 0, height = 0;
    float angle = 0;     // degrees
    float drawKind = 0;  // the shooter's drawing style, carried as a float
    int life = 0;        // erased when it reaches -10
    int behaviour = 0;   // carried for drawing only
    float speed = 0;
    float turn = 0;        // degrees per frame
    float vx = 0, vy = 0;  // drift
  };

  // One table row.
  struct player {
    int timeoutFrames = 0;
    float maxSpeed = 0;  // 0: no thrust/drag prediction
    bool upHeld = false;
    bool leftHeld = false;
    bool rightHeld = false;
    bool downHeld = false;
    int spawned = 0;
    int frozenFrames = 0;
    bool isComputer = false;
    float guid = 0;
    float x = 0, y = 0;
    std::string name;
    int texture = 0;
    float width = 0, height = 0;
    float angle = 0;
    int pendingFreeze = 0;
    int lastHitter = 0;  // -1 = the local player, else a computer player's row
    int bounty = 0;
    float aiHullDamage = 0;
    float aiEnergyDamage = 0;
    float hullDamage = 0;
    float energyDamage = 0;
    int aiFreeze = 0;
    int team = 0;
    float vx = 0, vy = 0;
    std::vector<bullet> bullets;  // in no particular order
    GuidIndex bulletIndex;        // where each of `bullets` sits, by GUID
    // The scoreboard's figures, counted by this copy from the kills it
    // learns of (since it joined).
    int wins = 0, losses = 0;
  };

  // Where the table's lines go (joins, departures, chat and kill
  // announcements), each with its kind; empty: nowhere. Called on the thread
  // that steps the table and takes the network's messages.
  using MessageSink = std::function<void(const std::string& line, MessageKind kind)>;
  // A sink appending every line to `lines`, whatever its kind.
  static MessageSink AppendTo(std::vector<std::string>& lines);

  int lastAttacker = -1;  // row of whoever damaged the local player last; -1 nobody/self
  MessageSink messages;
  int kills = 0;
  std::vector<int> killed;
  GameUtilities* utilities = nullptr;
  ExplosionManager* explosions = nullptr;
  SoundPlayer* sounds = nullptr;
  Outbox* outbox = nullptr;  // what this object has to tell the other copies
  std::vector<player> players;
  float myEnergyDamage = 0;
  float myHullDamage = 0;
  int myFreeze = 0;
  // Also handed every kill report this copy sends about its own player: the
  // computer players a host runs live on this copy and hear of their kills
  // here.
  std::function<void(const msg::KillReport&)> ownDeathReported;
  // Handed every damage report this copy sends for its own player's hits: a
  // host checks the kill reports that name its player against them.
  std::function<void(const msg::DamageReport&)> ownDamageReported;

  void InitMe(GameUtilities* utilities, MessageSink messages, SoundPlayer* sounds, Outbox* outbox,
              ExplosionManager* explosions);

  // ---- Rows ----
  // Returns the new row, or -1 when the table is full.
  int AddPlayer(float width, float height, int texture, float guid, std::string name,
                bool isComputer, int team, int spawned);
  // Short form (computer players): no key prediction, 1750 frames of grace.
  void UpdatePlayer(int i, float x, float y, float angle, int frozenFrames, bool upHeld, int bounty,
                    float vx, float vy);
  // Long form (network state): frozenFrames -1 and maxSpeed <= 0 keep the
  // stored values; 750 frames of grace.
  void UpdatePlayer(int i, float x, float y, float angle, int frozenFrames, bool upHeld, int bounty,
                    float vx, float vy, bool downHeld, bool leftHeld, bool rightHeld,
                    float maxSpeed);
  void UpdateWeirdVars(int i, float width, float height, int texture, int spawned);
  void RemoveEnemy(int i);
  int playernumbyguid(float guid);
  bool ValidRow(int i) const { return i >= 0 && i < (int)players.size(); }

  // ---- Queries (an invalid row gives empty/zero answers) ----
  std::string GetName(int i);
  int GetTeam(int i);
  void GetCoords(float& x, float& y, int i);
  std::vector<float> GetDistances(float x, float y);

  // ---- Projectiles of opponents ----
  // Beyond kMaxBulletsPerPlayer the projectile is dropped.
  void NewBullet(int i, float x, float y, float width, float height, float angle, float drawKind,
                 int texture, int life, float speed, int behaviour, float turn, float vx, float vy,
                 float id, float accel);
  void UpdateBullet(int i, float x, float y, float width, float height, float angle, float drawKind,
                    int texture, int life, float speed, int behaviour, float turn, float vx,
                    float vy, float id, float accel);
  void UpdateBullet(int i, float x, float y, float angle, int life, float turn, float vx, float vy,
                    float id);
  void KillBullet(int i, float id);
  void ResetBullets(int i);

  // ---- Hit tests ----
  // From this many rows on, FileShips files them in the arena grid.
  static constexpr int kGridFromPlayers = 12;
  // Files every row's box in the arena grid when the table is crowded; the
  // hit tests then look only at the rows near the box, until the table next
  // changes through this class (a new, moved, resized or removed row, or
  // MainLoop). Call it before testing many projectiles.
  void FileShips();
  // True at the first row of another team than `team` overlapping the box.
  bool HitMe(float x, float y, float w, float h, int team);
  // Every overlapping row, any team, in row order.
  std::vector<int> HitMeRetPlayers(float x, float y, float w, float h);

  // ---- Damage, freeze and kills ----
  void DamagePlayer(int i, float energy, float hull);
  void AiDamagePlayer(int i, float energy, float hull, int attacker, int freeze);
  void FreezeEnergy(int i, int frames);
  float GetEngDamage(int i);
  float GetPhysDamage(int i);
  void GetDamage(int i, float& energy, float& hull);
  float GetAiEnergyDamage(int i);
  float GetAiDamages(int i);
  int GetAiFrozenFrames(int i);
  int GetEnemyFrozenFrames(int i);
  int GetAiPlayerHit(int i);

  // For the local player.
  void GetDamaged(float energy, float hull, int attacker);
  void MyDamage(float& energy, float& hull);
  void FreezePlayer(int frames);
  int GetFrozenFrames();
  int GetKills(std::vector<int>& killed);

  void AddKill(int i);
  void AddAiKill(int victim, int killer);
  void PostDeath(std::string myName, float myGuid, int myBounty);
  // A kill between two other players that this copy learns of from the
  // network: the scoreboard counts it. Unknown GUIDs count nothing.
  void CountKill(float victimGuid, float killerGuid);
  // Hands the line to the sink given at InitMe.
  void AddMessage(std::string text, MessageKind kind = MessageKind::System);
  // A chat line from the network: "Name>text" as typed, or a kill
  // announcement of another copy (about the local player `myName`, or
  // between others).
  void AddReceivedLine(const std::string& text, const std::string& myName);

  // ---- Per frame ----
  void MainLoop(float myGuid);

 private:
  bool Hits(float x, float y, float w, float h, const player& p);
  bullet* FindBullet(player& p, float id);
  void RemoveBullet(player& p, int k);
  void MoveBullets();
  void ExpireBullets();
  void MovePlayers();
  void PostDamageReports(float myGuid);
  void AddTrails();
  void AddTrail(const bullet& b);

  ShipGrid grid_;
  bool gridFiled_ = false;  // grid_ holds the rows as they are now
};
