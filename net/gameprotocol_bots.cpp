// The host's computer players. Each flies with the single-player game's
// reflex (opponents/aiplayer.*) and is, to every copy, a player like any
// other: what it says is written as the message a player's copy would send
// and handled by this host exactly as if it had arrived on a connection of
// its own (gameprotocol_server.cpp), which applies it here and relays it to
// every client. What other players say to it (damage, freezes, the kills it
// scored) the host's handling hands to it instead of relaying.
#include <algorithm>
#include <string>

#include "app/keycodes.h"
#include "game/spaceship.h"
#include "net/gameprotocol.h"
#include "net/messages.h"
#include "opponents/enemymanager.h"
#include "opponents/killtext.h"
#include "game/gameutilities.h"

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
}  // namespace

struct GameProtocol::Bot final : AiPlayer::Voice {
  GameProtocol& host;
  AiPlayer ai;
  uint16_t seat = 0;
  int statsTimer = 0;
  bool keysSent[4] = {};
  int totalEarned = 0;

  explicit Bot(GameProtocol& h) : host(h) {}

  float RowGuid(int row) const {
    if (row == -1) return *host.myGuid;
    return host.enemies->ValidRow(row) ? host.enemies->players[row].guid : 0;
  }
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
    host.FromBot(*this, Projectile<msg::ProjectileNew>(b, b.lifetime));
  }
  void Steered(const AiPlayer::Bullet& b) override {
    host.FromBot(*this, msg::ProjectileShort{ai.guid, b.x, b.y, b.direction, b.lifeLeft, b.turnRate,
                                             b.driftX, b.driftY, b.guid});
  }
  void Ended(const AiPlayer::Bullet& b) override {
    host.FromBot(*this, msg::ProjectileRemove{ai.guid, b.guid});
  }
  void Hurt(int victimRow, float energy, float hull) override {
    const float victim = RowGuid(victimRow);
    if (victim != 0) host.FromBot(*this, msg::DamageReport{ai.guid, victim, hull, energy});
  }
  void Froze(int victimRow, int frames) override {
    const float victim = RowGuid(victimRow);
    if (victim != 0) host.FromBot(*this, msg::Freeze{victim, frames});
  }
  // As a player's copy on its death: the killer named with our bounty (a
  // death of its own doing names nobody), then the new ship.
  void Died(int hitter) override {
    const float killer = hitter >= -1 ? RowGuid(hitter) : 0;
    if (killer != 0 && killer != ai.guid)
      host.FromBot(*this, msg::KillReport{ai.guid, killer, ai.bounty});
    ai.bounty = totalEarned / 10 + kStartBounty;
    host.SendBotState(*this, true);
  }
};

GameProtocol::GameProtocol() = default;
GameProtocol::~GameProtocol() = default;
GameProtocol::GameProtocol(GameProtocol&&) noexcept = default;
GameProtocol& GameProtocol::operator=(GameProtocol&&) noexcept = default;

PlayerID GameProtocol::BotSeat(const Bot& bot) { return PlayerID{kSeatAddress, bot.seat}; }

bool GameProtocol::IsBotSeat(PlayerID connection) {
  return connection.binaryAddress == kSeatAddress;
}

AiPlayer& GameProtocol::BotPlayer(int k) { return bots.at(static_cast<size_t>(k))->ai; }

GameProtocol::Bot* GameProtocol::FindBot(float guid) const {
  for (const std::unique_ptr<Bot>& b : bots)
    if (b->ai.guid == guid) return b.get();
  return nullptr;
}

void GameProtocol::SetBots(int count, int maxOthers, World* world, GameUtilities* utilities) {
  botTarget = std::clamp(count, 0, kMaxBots);
  botRoom = std::clamp(maxOthers, 0, static_cast<int>(NetworkHandler::kMaxPlayers));
  botWorld = world;
  botUtilities = utilities;
  // The local player's death by a computer player is reported by the
  // opponent table straight to the network; the killer hears of it here.
  enemies->ownDeathReported = [this](const msg::KillReport& r) {
    if (Bot* killer = FindBot(r.killer)) BotScored(*killer, r.victim, r.bounty);
  };
}

// A new match starts without computer players (the host sets them again).
void GameProtocol::ForgetBots() {
  bots.clear();
  botSaid.clear();
  botTarget = 0;
  if (enemies) enemies->ownDeathReported = nullptr;
}

// ---- Per frame ----

void GameProtocol::UpdateBots() {
  if (!network->isServer || (botTarget == 0 && bots.empty())) return;
  BalanceBots();
  for (const std::unique_ptr<Bot>& b : bots) {
    b->ai.UpdateMe(*player);
    SendBotState(*b, false);
  }
  HearBots();
}

// The messages are read back exactly as a packet from the computer player's
// own connection would be; nothing is relayed back to it (it has no peer).
template <class M>
void GameProtocol::FromBot(const Bot& bot, const M& m) {
  BitStream bits;
  msg::Write(bits, m);
  const unsigned char* data = bits.GetData();
  botSaid.push_back(
      {bot.ai.guid, std::vector<unsigned char>(data, data + bits.GetNumberOfBytesUsed())});
}

void GameProtocol::HearBots() {
  // Handling one message may make a computer player say another (a kill
  // line after a kill): those are handled in the same pass.
  for (size_t k = 0; k < botSaid.size(); ++k) {
    const Bot* bot = FindBot(botSaid[k].bot);
    if (!bot) continue;  // it left since
    const std::vector<unsigned char> bytes = std::move(botSaid[k].bytes);
    char id = 0;
    network->incoming.SetReadView(bytes.data(), bytes.size());
    if (!network->incoming.Read(id)) continue;
    speakingBot = bot;
    HandleServerMessage(id);
    speakingBot = nullptr;
  }
  network->incoming.SetReadView(nullptr, 0);
  botSaid.clear();
}

// Full state on joining and respawning; otherwise as a player's copy sends
// its own: when a key changes, after a bounce, and every kStateFrames.
void GameProtocol::SendBotState(Bot& bot, bool full) {
  AiPlayer& a = bot.ai;
  const bool held[4] = {a.keys[vk::Up], a.keys[vk::Down], a.keys[vk::Left], a.keys[vk::Right]};
  const bool changed = !std::equal(held, held + 4, bot.keysSent);
  std::copy(held, held + 4, bot.keysSent);
  if (++bot.statsTimer >= kStateFrames) bot.statsTimer = 0;
  if (full) {
    FromBot(bot, msg::FullState{a.guid, a.x, a.y, a.angle, true, held[0], a.frozenFrames, a.bounty,
                                a.width, a.height, a.shipTexture, a.vx, a.vy, a.maxSpeed, held[1],
                                held[2], held[3]});
  } else if (changed || a.bounced || bot.statsTimer == 0) {
    FromBot(bot, msg::ShortState{a.guid, a.x, a.y, a.angle, held[0], a.bounty, a.vx, a.vy, held[1],
                                 held[2], held[3]});
  }
}

// ---- Joining and leaving ----

int GameProtocol::Humans() const {
  int n = 0;
  for (const EnemyManager::player& p : enemies->players) n += !IsBot(p.guid);
  return n;
}

// A human who joined under a computer player's name takes it: that one
// leaves (and comes back under another), as does one whose row is gone.
// Humans take the room first.
void GameProtocol::BalanceBots() {
  for (size_t k = bots.size(); k-- > 0;) {
    // By identity: a row that left since the last frame shifted the others.
    const std::string name = enemies->GetName(enemies->playernumbyguid(bots[k]->ai.guid));
    const bool taken = name.empty() || name == player->name ||
                       std::any_of(enemies->players.begin(), enemies->players.end(),
                                   [&](const EnemyManager::player& p) {
                                     return p.name == name && !IsBot(p.guid);
                                   });
    if (taken) RemoveBot(k);
  }
  const int want = std::clamp(std::min(botTarget, botRoom - Humans()), 0, kMaxBots);
  while (static_cast<int>(bots.size()) > want) RemoveBot(bots.size() - 1);
  while (static_cast<int>(bots.size()) < want && AddBot()) {
  }
}

// The computer players' names, then the same with a number: never one a
// player in the match has.
std::string GameProtocol::FreeBotName() const {
  for (int round = 1;; ++round) {
    for (const char* base : AiPlayer::kNames) {
      std::string name = base;
      if (round > 1) name += " " + std::to_string(round);
      const bool used = name == player->name ||
                        std::any_of(enemies->players.begin(), enemies->players.end(),
                                    [&](const EnemyManager::player& p) { return p.name == name; });
      if (!used) return name;
    }
  }
}

bool GameProtocol::AddBot() {
  auto made = std::make_unique<Bot>(*this);
  Bot& bot = *made;
  // The lowest free seat; its team follows from it.
  for (uint16_t seat = 1;; ++seat) {
    if (std::none_of(bots.begin(), bots.end(), [&](const auto& b) { return b->seat == seat; })) {
      bot.seat = seat;
      break;
    }
  }
  float guid;
  do {
    guid = botUtilities->GenerateGUID();
  } while (guid == *myGuid || enemies->playernumbyguid(guid) >= 0);
  bot.ai.guid = guid;
  bots.push_back(std::move(made));
  FromBot(bot, msg::Join{FreeBotName(), guid});
  HearBots();
  bot.ai.InitNetworked(enemies, botWorld, explosions, botUtilities, kFirstBotTeam + bot.seat - 1,
                       guid, &bot);
  if (bot.ai.row < 0) {  // the opponent table is full
    Unbind(BotSeat(bot));
    bots.pop_back();
    return false;
  }
  // The single-player game's start: a placeholder hull, then a random one.
  bot.ai.SetUpShip(25.0f, 400, 6000, 15, 256.0f, 256.0f, 20);
  bot.ai.MakeMeSimpleShip();
  bot.ai.bounty = kStartBounty;
  SendBotState(bot, true);
  HearBots();
  return true;
}

void GameProtocol::RemoveBot(size_t index) {
  Bot& bot = *bots[index];
  FromBot(bot, msg::Leave{bot.ai.guid, false});
  HearBots();
  Unbind(BotSeat(bot));
  bots.erase(bots.begin() + static_cast<long>(index));
}

// ---- What others say to a computer player ----

void GameProtocol::BotHurt(Bot& victim, int attackerRow, float energy, float hull) {
  const int row = enemies->playernumbyguid(victim.ai.guid);
  enemies->AiDamagePlayer(row, std::max(energy, 0.0f), std::max(hull, 0.0f), attackerRow, 0);
}

// The killer's copy is paid and announces the kill to everyone, as a
// player's copy does with a chat line.
void GameProtocol::BotScored(Bot& killer, float victimGuid, int victimBounty) {
  killer.totalEarned += std::max(KillPay(killer.ai.bounty, victimBounty), 0);
  killer.ai.bounty = RaisedBounty(killer.ai.bounty, victimBounty);
  const int victimRow = enemies->playernumbyguid(victimGuid);
  const std::string victim = victimGuid == *myGuid ? player->name : enemies->GetName(victimRow);
  const std::string name = enemies->GetName(enemies->playernumbyguid(killer.ai.guid));
  const int phrase = static_cast<int>(botUtilities->RangedRandom(1, kKillPhrases + 1));
  FromBot(killer, msg::Chat{KillText(phrase, name, victim)});
}
