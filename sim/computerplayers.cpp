#include "sim/computerplayers.h"

#include <algorithm>

#include "base/gameutilities.h"
#include "base/keycodes.h"
#include "net/bitstream.h"
#include "net/messages.h"
#include "sim/bounty.h"
#include "sim/enemymanager.h"
#include "sim/killtext.h"
#include "sim/spaceship.h"

namespace {
// A computer player's seat: the address 0.0.0.0, which no peer can send
// from, and a port of its own.
constexpr uint32_t kSeatAddress = 0;
// The first team number of computer players: each has its own, apart from
// the local player's (0) and the clients' (1).
constexpr int kFirstBotTeam = 2;
// A ship's state goes out at least this often, as every copy sends its own.
constexpr int kStateFrames = 15;
constexpr int kStartBounty = 100;
const std::string kNobody;
}  // namespace

struct ComputerPlayers::Bot final : AiPlayer::Voice {
  ComputerPlayers& owner;
  AiPlayer ai;
  uint16_t seat = 0;
  int statsTimer = 0;
  bool keysSent[4] = {};
  int totalEarned = 0;

  explicit Bot(ComputerPlayers& o) : owner(o) {}

  PlayerID Seat() const { return PlayerID{kSeatAddress, seat}; }
  template <class M>
  M Projectile(const AiPlayer::Bullet& b, int life) const {
    M m;
    m.owner = ai.guid, m.texture = b.texture, m.x = b.x, m.y = b.y, m.width = b.width;
    m.height = b.height, m.direction = b.direction, m.style = static_cast<float>(b.style);
    m.lifeLeft = life, m.speed = b.speed, m.behaviour = b.behaviour, m.turnRate = b.turnRate;
    m.driftX = b.driftX, m.driftY = b.driftY, m.guid = b.guid, m.acceleration = b.acceleration;
    return m;
  }

  void Fired(const AiPlayer::Bullet& b) override {
    owner.Say(*this, Projectile<msg::ProjectileNew>(b, b.lifetime));
  }
  void Steered(const AiPlayer::Bullet& b) override {
    owner.Say(*this, msg::ProjectileShort{ai.guid, b.x, b.y, b.direction, b.lifeLeft, b.turnRate,
                                          b.driftX, b.driftY, b.guid});
  }
  void Ended(const AiPlayer::Bullet& b) override {
    owner.Say(*this, msg::ProjectileRemove{ai.guid, b.guid});
  }
  void Hurt(int victimRow, float energy, float hull) override {
    const float victim = owner.RowGuid(victimRow);
    if (victim != 0) owner.Say(*this, msg::DamageReport{ai.guid, victim, hull, energy});
  }
  void Froze(int victimRow, int frames) override {
    const float victim = owner.RowGuid(victimRow);
    if (victim != 0) owner.Say(*this, msg::Freeze{victim, frames});
  }
  // As a player's copy on its death: the killer named with our bounty (a
  // death of its own doing names nobody), then the new ship.
  void Died(int hitter) override {
    const float killer = hitter >= -1 ? owner.RowGuid(hitter) : 0;
    if (killer != 0 && killer != ai.guid)
      owner.Say(*this, msg::KillReport{ai.guid, killer, ai.bounty});
    ai.bounty = totalEarned / 10 + kStartBounty;
    owner.SendState(*this, true);
  }
};

ComputerPlayers::ComputerPlayers() = default;
ComputerPlayers::~ComputerPlayers() = default;
ComputerPlayers::ComputerPlayers(ComputerPlayers&&) noexcept = default;
ComputerPlayers& ComputerPlayers::operator=(ComputerPlayers&&) noexcept = default;

void ComputerPlayers::InitMe(Host* host, EnemyManager* enemies, World* world,
                             ExplosionManager* explosions, GameUtilities* utilities,
                             SpaceShip* player, const float* ownGuid) {
  Forget();
  host_ = host;
  enemies_ = enemies;
  world_ = world;
  explosions_ = explosions;
  utilities_ = utilities;
  player_ = player;
  ownGuid_ = ownGuid;
}

void ComputerPlayers::SetTarget(int count, int maxOthers) {
  target_ = std::clamp(count, 0, kMaxBots);
  room_ = std::clamp(maxOthers, 0, static_cast<int>(NetworkHandler::kMaxPlayers));
}

void ComputerPlayers::Forget() {
  bots_.clear();
  said_.clear();
  target_ = 0;
}

AiPlayer& ComputerPlayers::Player(int k) { return bots_.at(static_cast<size_t>(k))->ai; }

bool ComputerPlayers::IsSeat(PlayerID connection) {
  return connection.binaryAddress == kSeatAddress;
}

ComputerPlayers::Bot* ComputerPlayers::Find(float guid) const {
  for (const std::unique_ptr<Bot>& b : bots_)
    if (b->ai.guid == guid) return b.get();
  return nullptr;
}

float ComputerPlayers::RowGuid(int row) const {
  if (row == -1) return *ownGuid_;
  return enemies_->ValidRow(row) ? enemies_->players[row].guid : 0;
}

const std::string& ComputerPlayers::OwnName() const { return player_ ? player_->name : kNobody; }

// ---- Per frame ----

void ComputerPlayers::Update() {
  if (!host_ || (target_ == 0 && bots_.empty())) return;
  Balance();
  for (const std::unique_ptr<Bot>& b : bots_) {
    if (player_)
      b->ai.UpdateMe(*player_);
    else
      b->ai.UpdateMe();
    SendState(*b, false);
  }
  Hear();
}

template <class M>
void ComputerPlayers::Say(const Bot& bot, const M& m) {
  BitStream bits;
  msg::Write(bits, m);
  const unsigned char* data = bits.GetData();
  said_.push_back({bot.ai.guid, bot.Seat(),
                   std::vector<unsigned char>(data, data + bits.GetNumberOfBytesUsed())});
}

void ComputerPlayers::Hear() {
  // Handling one message may make a computer player say another (a kill
  // line after a kill): those are handled in the same pass.
  for (size_t k = 0; k < said_.size(); ++k) {
    if (!Find(said_[k].bot)) continue;  // it left since
    const Utterance u = std::move(said_[k]);
    host_->HandleAs(u.seat, u.bytes.data(), u.bytes.size());
  }
  said_.clear();
}

// Full state on joining and respawning; otherwise as a player's copy sends
// its own: when a key changes, after a bounce, and every kStateFrames.
void ComputerPlayers::SendState(Bot& bot, bool full) {
  AiPlayer& a = bot.ai;
  const bool held[4] = {a.keys[vk::Up], a.keys[vk::Down], a.keys[vk::Left], a.keys[vk::Right]};
  const bool changed = !std::equal(held, held + 4, bot.keysSent);
  std::copy(held, held + 4, bot.keysSent);
  if (++bot.statsTimer >= kStateFrames) bot.statsTimer = 0;
  if (full) {
    Say(bot,
        msg::FullState{a.guid, a.x, a.y, a.angle, true, held[0], a.frozenFrames, a.bounty, a.width,
                       a.height, a.shipTexture, a.vx, a.vy, a.maxSpeed, held[1], held[2], held[3]});
  } else if (changed || a.bounced || bot.statsTimer == 0) {
    Say(bot, msg::ShortState{a.guid, a.x, a.y, a.angle, held[0], a.bounty, a.vx, a.vy, held[1],
                             held[2], held[3]});
  }
}

// ---- Joining and leaving ----

int ComputerPlayers::Humans() const {
  int n = 0;
  for (const EnemyManager::player& p : enemies_->players) n += !Has(p.guid);
  return n;
}

// A human who joined under a computer player's name takes it: that one
// leaves (and comes back under another), as does one whose row is gone.
// Humans take the room first.
void ComputerPlayers::Balance() {
  for (size_t k = bots_.size(); k-- > 0;) {
    // By identity: a row that left since the last frame shifted the others.
    const std::string name = enemies_->GetName(enemies_->playernumbyguid(bots_[k]->ai.guid));
    const bool taken =
        name.empty() || name == OwnName() ||
        std::any_of(enemies_->players.begin(), enemies_->players.end(),
                    [&](const EnemyManager::player& p) { return p.name == name && !Has(p.guid); });
    if (taken) Remove(k);
  }
  const int want = std::clamp(std::min(target_, room_ - Humans()), 0, kMaxBots);
  while (static_cast<int>(bots_.size()) > want) Remove(bots_.size() - 1);
  while (static_cast<int>(bots_.size()) < want && Add()) {
  }
}

// The computer players' names, then the same with a number: never one a
// player in the match has.
std::string ComputerPlayers::FreeName() const {
  for (int round = 1;; ++round) {
    for (const char* base : AiPlayer::kNames) {
      std::string name = base;
      if (round > 1) name.append(1, ' ').append(std::to_string(round));
      const bool used = name == OwnName() ||
                        std::any_of(enemies_->players.begin(), enemies_->players.end(),
                                    [&](const EnemyManager::player& p) { return p.name == name; });
      if (!used) return name;
    }
  }
}

bool ComputerPlayers::Add() {
  auto made = std::make_unique<Bot>(*this);
  Bot& bot = *made;
  // The lowest free seat; its team follows from it.
  for (uint16_t seat = 1;; ++seat) {
    if (std::none_of(bots_.begin(), bots_.end(), [&](const auto& b) { return b->seat == seat; })) {
      bot.seat = seat;
      break;
    }
  }
  float guid;
  do {
    guid = utilities_->GenerateGUID();
  } while (guid == *ownGuid_ || enemies_->playernumbyguid(guid) >= 0);
  bot.ai.guid = guid;
  bots_.push_back(std::move(made));
  Say(bot, msg::Join{FreeName(), guid});
  Hear();
  bot.ai.InitNetworked(enemies_, world_, explosions_, utilities_, kFirstBotTeam + bot.seat - 1,
                       guid, &bot);
  if (bot.ai.row < 0) {  // the opponent table is full
    host_->SeatClosed(bot.Seat());
    bots_.pop_back();
    return false;
  }
  // The single-player game's start: a placeholder hull, then a random one.
  bot.ai.SetUpShip(25.0f, 400, 6000, 15, 256.0f, 256.0f, 20);
  bot.ai.MakeMeSimpleShip();
  bot.ai.bounty = kStartBounty;
  SendState(bot, true);
  Hear();
  return true;
}

void ComputerPlayers::Remove(size_t index) {
  Bot& bot = *bots_[index];
  Say(bot, msg::Leave{bot.ai.guid, false});
  Hear();
  host_->SeatClosed(bot.Seat());
  bots_.erase(bots_.begin() + static_cast<long>(index));
}

// ---- What others say to a computer player ----

bool ComputerPlayers::Hurt(float victim, int attackerRow, float energy, float hull) {
  if (!Find(victim)) return false;
  const int row = enemies_->playernumbyguid(victim);
  enemies_->AiDamagePlayer(row, std::max(energy, 0.0f), std::max(hull, 0.0f), attackerRow, 0);
  return true;
}

bool ComputerPlayers::Freeze(float victim, int frames) {
  if (!Find(victim)) return false;
  enemies_->FreezeEnergy(enemies_->playernumbyguid(victim), frames);
  return true;
}

// The killer's copy is paid and announces the kill to everyone, as a
// player's copy does with a chat line.
bool ComputerPlayers::Scored(float killerGuid, float victimGuid, int victimBounty) {
  Bot* killer = Find(killerGuid);
  if (!killer) return false;
  killer->totalEarned += std::max(KillPay(killer->ai.bounty, victimBounty), 0);
  killer->ai.bounty = RaisedBounty(killer->ai.bounty, victimBounty);
  const int victimRow = enemies_->playernumbyguid(victimGuid);
  const std::string victim =
      player_ && victimGuid == *ownGuid_ ? player_->name : enemies_->GetName(victimRow);
  const std::string name = enemies_->GetName(enemies_->playernumbyguid(killer->ai.guid));
  const int phrase = static_cast<int>(utilities_->RangedRandom(1, kKillPhrases + 1));
  Say(*killer, msg::Chat{KillText(phrase, name, victim)});
  return true;
}
