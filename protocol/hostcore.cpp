#include "protocol/hostcore.h"

#include <algorithm>
#include <cmath>

#include "protocol/extrapolation.h"
#include "protocol/gameprotocol_internal.h"
#include "protocol/gameprotocol_table.h"
#include "sim/enemymanager.h"
#include "world/world.h"

using namespace protocol_detail;

namespace {
// Stale bindings whose disconnection notice was lost are let go beyond this.
constexpr size_t kMaxSeats = 4 * NetworkHandler::kMaxPlayers;

msg::FullState FullStateOf(const EnemyManager::player& p) {
  return msg::FullState{p.guid,         p.x,        p.y,        p.angle,    p.x > -29000, p.upHeld,
                        p.frozenFrames, p.bounty,   p.width,    p.height,   p.texture,    p.vx,
                        p.vy,           p.maxSpeed, p.downHeld, p.leftHeld, p.rightHeld};
}
}  // namespace

void HostCore::InitMe(Shell* shell, NetworkHandler* network, EnemyManager* table,
                      const float* ownGuid) {
  shell_ = shell;
  network_ = network;
  table_ = table;
  ownGuid_ = ownGuid;
  seats_.clear();
  frame_ = 0;
  referee_.Reset(World::kArenaSize);
  // The host's own hits, which make its player's kills plausible.
  table_->ownDamageReported = [this](const msg::DamageReport& r) {
    referee_.OwnDamage(r.attacker, r.victim);
  };
  ForgetBots();
}

// ---- Per frame ----

void HostCore::Receive() {
  ++frame_;
  referee_.Tick();
  explosionsThisFrame_ = 0;
  for (Seat& s : seats_) s.chat.Refill();
  for (char id; (id = network_->ReceivePacket()) != netid::NoPacket;) {
    Handle(id);
    network_->ClearIncomingPacket();
  }
  bots_.Hear();  // what the computer players answered (their kill lines)
}

void HostCore::Handle(char id) {
  if (id == netid::NewIncomingConnection || id == netid::Disconnection ||
      id == netid::ConnectionLost)
    return ConnectionChanged(id);
  if (msg::IsGameMessage(id)) ++messagesHandled;
  switch (id) {
    case msg::kJoin: return Join();
    case msg::kFullState: return FullState();
    case msg::kDamageReport: return Damage();
    case msg::kKillReport: return Kill();
    case msg::kChat: return Chat();
    case msg::kExplosion: return Explosion();
    case msg::kFreeze: return Freeze();
    case msg::kLeave: return Leave();
    case msg::kProjectileFull: return ProjectileFull();
    case msg::kProjectileRemove: return ProjectileRemove();
    case msg::kProjectileNew: return ProjectileNew();
    case msg::kShortState: return ShortState();
    case msg::kProjectileShort: return ProjectileShort();
    default: return;  // 51, 54 (only a host sends it) and foreign ids
  }
}

// ---- Computer players ----

void HostCore::SetBots(int count, int maxOthers, World* world, ExplosionManager* explosions,
                       GameUtilities* utilities, SpaceShip* player) {
  bots_.InitMe(this, table_, world, explosions, utilities, player, ownGuid_);
  bots_.SetTarget(count, maxOthers);
  // The host's own player's death by a computer player is reported by the
  // opponent table straight to the network; the killer hears of it here.
  table_->ownDeathReported = [this](const msg::KillReport& r) {
    bots_.Scored(r.killer, r.victim, r.bounty);
  };
}

void HostCore::ForgetBots() {
  bots_.Forget();
  if (table_) table_->ownDeathReported = nullptr;
}

// A computer player's message, read exactly as one from a connection, with
// no delay to correct and nobody to answer.
void HostCore::HandleAs(PlayerID seat, const unsigned char* data, size_t size) {
  char id = 0;
  network_->incoming.SetReadView(data, size);
  if (network_->incoming.Read(id)) {
    speakingSeat_ = seat;
    botSpeaking_ = true;
    Handle(id);
    botSpeaking_ = false;
  }
  network_->incoming.SetReadView(nullptr, 0);
}

// ---- Who speaks ----

PlayerID HostCore::Sender() const { return botSpeaking_ ? speakingSeat_ : network_->GetLastID(); }

HostCore::Seat* HostCore::SenderSeat() {
  const PlayerID sender = Sender();
  for (Seat& s : seats_)
    if (s.connection == sender) return &s;
  return nullptr;
}

// The sender's seat when it joined as `guid`: a connection speaks only for
// the player it joined as.
HostCore::Seat* HostCore::SenderAs(float guid) {
  Seat* s = SenderSeat();
  return s && s->guid == guid ? s : nullptr;
}

HostCore::Seat* HostCore::SeatOf(float guid) {
  for (Seat& s : seats_)
    if (s.guid == guid) return &s;
  return nullptr;
}

// A connection joins as one player, and no two connections (nor a client
// and the host) as the same one: otherwise a client could speak for others,
// or fill the table with made-up players.
bool HostCore::BindSender(float guid) {
  if (!std::isfinite(guid) || guid == *ownGuid_) return false;
  if (Seat* known = SenderSeat()) return known->guid == guid;
  if (SeatOf(guid)) return false;
  if (seats_.size() >= kMaxSeats) {
    // The oldest connection's binding goes; a computer player's never does.
    auto stale = std::find_if(seats_.begin(), seats_.end(),
                              [](const Seat& s) { return !ComputerPlayers::IsSeat(s.connection); });
    if (stale != seats_.end()) seats_.erase(stale);
  }
  Seat seat;
  seat.connection = Sender();
  seat.guid = guid;
  seats_.push_back(seat);
  return true;
}

void HostCore::Unbind(PlayerID connection) {
  std::erase_if(seats_, [&](const Seat& s) { return s.connection == connection; });
}

int HostCore::CorrectionFrames() {
  if (botSpeaking_) return 0;
  return CorrectionFramesFor(latencyMs ? latencyMs() : network_->HalfRoundTripMs());
}

int HostCore::Row(float guid) const { return table_->playernumbyguid(guid); }

std::string HostCore::NameOf(float guid) const {
  const int row = Row(guid);
  return row < 0 ? "?" : table_->players[row].name;
}

template <class M>
void HostCore::Relay(const M& m, bool reliable) {
  msg::Send(*network_, m, reliable ? Delivery::RelayReliable : Delivery::RelayUnreliable);
}

template <class M>
bool HostCore::ShotPlausible(const M& m, bool isNew) {
  return botSpeaking_ || referee_.Shot({m.owner, m.texture, m.lifeLeft, m.x, m.y, m.width, m.height,
                                        m.speed, m.driftX, m.driftY},
                                       isNew);
}

// ---- Joining and leaving ----

// A join is answered to its connection only (a waiting client asks every
// frame until the answer arrives; a repeated join is answered at most every
// kRosterReplyFrames). Only a new player gets a row and is announced; a full
// table still admits, but adds nobody.
void HostCore::Join() {
  msg::Join m;
  if (!msg::Read(*network_, m)) return;
  if (m.name.size() > kMaxNameLength) m.name.resize(kMaxNameLength);
  // Every copy reads a chat line's sender up to its first '>'.
  std::replace(m.name.begin(), m.name.end(), '>', '-');
  if (!BindSender(m.guid)) return;
  const std::string wanted = m.name;
  if (Row(m.guid) < 0) m.name = UniqueName(m.name);
  const bool added = protocol_table::AddPlayer(*table_, m.name, m.guid, 64) >= 0;
  if (!botSpeaking_) {  // a computer player has nobody to answer
    network_->AdmitSender();
    Seat& seat = *SenderSeat();
    if (frame_ - seat.rosterFrame >= kRosterReplyFrames) AnswerJoin(seat, m);
    // A join naming the joiner itself tells it the name it plays under.
    if (added && m.name != wanted) msg::Send(*network_, m, Delivery::Reply);
  }
  if (!added) return;
  shell_->Joined(m.name, botSpeaking_ ? "computer player" : network_->GetIP(Sender()));
  Relay(m, true);
}

// The roster (every player's row, the host's entry last), then the state of
// every player who has sent one, so that the newcomer predicts everyone's
// motion with their real speed limits from its first frame (the states
// follow the roster in the same flush and on the same ordered channel).
void HostCore::AnswerJoin(Seat& joiner, const msg::Join& join) {
  joiner.rosterFrame = frame_;
  msg::Roster roster;
  for (const EnemyManager::player& p : table_->players)
    if (p.guid != join.guid) roster.entries.push_back({p.name, p.guid});
  roster.entries.push_back(shell_->RosterTail({join.name, join.guid}));
  msg::Send(*network_, roster, Delivery::Reply);
  for (const EnemyManager::player& p : table_->players) {
    const Seat* seat = SeatOf(p.guid);
    if (p.guid != join.guid && seat && seat->stated)
      msg::Send(*network_, FullStateOf(p), Delivery::Reply);
  }
  shell_->SendOwnState();
}

// Names are unique in a match, the host's own included: a taken name gets
// " (2)", " (3)", ... (within the name length limit). A computer player's
// name is free: it gives the name up to the human (ComputerPlayers::Balance).
std::string HostCore::UniqueName(const std::string& wanted) const {
  auto taken = [&](const std::string& name) {
    if (name == shell_->OwnName()) return true;
    return std::any_of(
        table_->players.begin(), table_->players.end(),
        [&](const EnemyManager::player& p) { return p.name == name && !bots_.Has(p.guid); });
  };
  std::string name = wanted;
  for (int n = 2; taken(name); ++n) {
    const std::string tail = " (" + std::to_string(n) + ")";
    name = wanted.substr(0, kMaxNameLength - tail.size()) + tail;
  }
  return name;
}

void HostCore::RemovePlayer(float guid) {
  referee_.Forget(guid);
  const int row = Row(guid);
  if (row < 0) return;
  shell_->Left(table_->players[row].name);
  table_->RemoveEnemy(row);
}

// The leaver is never the host (only the host itself may say so).
// A strike against the sender; one strike too many removes it, with a line
// on every copy. A computer player is the host's own and never removed.
void HostCore::Refuse(float guid, Referee::Fault fault) {
  if (!referee_.Strike(guid, fault) || botSpeaking_) return;
  const std::string line = NameOf(guid) + " was removed: " + Referee::Reason(fault) + ".";
  msg::Send(*network_, msg::Chat{line}, Delivery::Reliable);
  shell_->Removed(line);
  RemovePlayer(guid);
  Relay(msg::Leave{guid, false}, true);
  network_->DropSender();
  Unbind(Sender());
}

void HostCore::Leave() {
  msg::Leave m;
  if (!msg::Read(*network_, m) || !SenderAs(m.guid)) return;
  RemovePlayer(m.guid);
  m.hostLeaving = false;
  Relay(m, true);
}

// A connection opening or closing starts its seat afresh. One that closed,
// on purpose or by going silent, has quit: its player leaves on every copy
// as its leave message would have made it (the copies would otherwise show
// it frozen until their own time-out).
void HostCore::ConnectionChanged(char id) {
  const PlayerID sender = network_->GetLastID();
  const bool opened = id == netid::NewIncomingConnection;
  shell_->Noted((opened ? "connection from " : "gone: ") + std::string(network_->GetIP(sender)));
  if (!opened) {
    for (const Seat& s : seats_) {
      if (s.connection != sender || Row(s.guid) < 0) continue;
      RemovePlayer(s.guid);
      Relay(msg::Leave{s.guid, false}, true);
    }
  }
  Unbind(sender);
}

// ---- Ships ----

void HostCore::FullState() {
  msg::FullState m;
  Seat* seat = nullptr;
  if (!msg::Read(*network_, m) || !(seat = SenderAs(m.guid))) return;
  ShipMotion s = MotionOf(m);
  ExtrapolateShip(s, CorrectionFrames(), m.maxSpeed, true);
  if (!Finite(s)) return;
  SetMotion(m, s);
  if (!botSpeaking_ && !referee_.State(m.guid, m.x, m.y, m.maxSpeed, m.bounty, m.alive, true))
    Refuse(m.guid, Referee::kMovement);
  if (!(seat = SenderAs(m.guid))) return;  // removed
  seat->stated = true;
  const int known = Row(m.guid);
  if (known >= 0 && table_->players[known].maxSpeed == 0 && m.maxSpeed > 0)
    shell_->Noted("speed limit of " + table_->players[known].name + ": " +
                  std::to_string(m.maxSpeed));
  protocol_table::ApplyState(*table_, m);
  Relay(m, true);
}

void HostCore::ShortState() {
  msg::ShortState m;
  if (!msg::Read(*network_, m) || !SenderAs(m.guid)) return;
  const int row = Row(m.guid);
  ShipMotion s = MotionOf(m);
  // Without a row there is no known speed limit, so no drag.
  ExtrapolateShip(s, CorrectionFrames(), row >= 0 ? table_->players[row].maxSpeed : 0, row >= 0);
  if (!Finite(s)) return;
  SetMotion(m, s);
  float maxSpeed = row >= 0 ? table_->players[row].maxSpeed : 0;
  if (!botSpeaking_ && !referee_.State(m.guid, m.x, m.y, maxSpeed, m.bounty, m.x > -29000, false))
    Refuse(m.guid, Referee::kMovement);
  if (!SenderAs(m.guid)) return;  // removed
  protocol_table::ApplyState(*table_, m);
  Relay(m, false);
}

// ---- Combat ----

// Damage to the host's player or a computer player is theirs to take, and
// only from a player in the table: nobody else can be credited with a kill.
// A report never heals.
void HostCore::Damage() {
  msg::DamageReport m;
  if (!msg::Read(*network_, m) || !SenderAs(m.attacker)) return;
  const int attacker = Row(m.attacker);
  if (attacker < 0 || (m.victim != *ownGuid_ && Row(m.victim) < 0)) return;
  m.hullDamage = std::max(m.hullDamage, 0.0f);
  m.energyDamage = std::max(m.energyDamage, 0.0f);
  // A computer player's hits are the host's own doing: booked, not judged.
  if (botSpeaking_)
    referee_.OwnDamage(m.attacker, m.victim);
  else if (!referee_.Damage(m.attacker, m.victim, m.hullDamage, m.energyDamage))
    return Refuse(m.attacker, Referee::kDamage);
  if (m.victim == *ownGuid_)
    return shell_->OwnDamage(std::max(m.energyDamage, 0.0f), std::max(m.hullDamage, 0.0f),
                             attacker);
  if (!bots_.Hurt(m.victim, attacker, m.energyDamage, m.hullDamage)) Relay(m, true);
}

// The victim's copy names its killer; the killer's copy books and pays it.
// Every client hears of every kill (its scoreboard counts them).
void HostCore::Kill() {
  msg::KillReport m;
  if (!msg::Read(*network_, m) || !SenderAs(m.victim)) return;
  const int victim = Row(m.victim);
  if (victim < 0) return;
  if (!referee_.Kill(m.victim, m.killer, m.bounty, botSpeaking_))
    return Refuse(m.victim, Referee::kKill);
  referee_.NameVictim(m.killer, table_->players[victim].name);
  shell_->Killed(NameOf(m.killer), table_->players[victim].name);
  if (m.killer == *ownGuid_) {
    shell_->OwnKill(victim, m.bounty);
  } else {
    table_->CountKill(m.victim, m.killer);
    bots_.Scored(m.killer, m.victim, m.bounty);
  }
  Relay(m, true);
}

void HostCore::Freeze() {
  msg::Freeze m;
  if (!msg::Read(*network_, m) || !SenderSeat()) return;
  m.frames = std::clamp(m.frames, 0, kMaxFreezeFrames);
  if (m.victim == *ownGuid_) return shell_->OwnFreeze(m.frames);
  if (!bots_.Freeze(m.victim, m.frames)) Relay(m, true);
}

void HostCore::Explosion() {
  msg::Explosion m;
  if (!msg::Read(*network_, m) || !SenderSeat()) return;
  if (explosionsThisFrame_ >= kMaxExplosionsPerFrame) return;
  ++explosionsThisFrame_;
  m.frames = std::clamp(m.frames, 0, kMaxExplosionFrames);
  shell_->Exploded(m);
  Relay(m, false);
}

// Each sender spends its own budget; a refused sender is told, at most once
// a second, so that a flood is not answered by a flood.
void HostCore::Chat() {
  msg::Chat m;
  Seat* seat = nullptr;
  if (!msg::Read(*network_, m) || !(seat = SenderSeat())) return;
  bool tell = false;
  if (!seat->chat.Take(frame_, &tell)) {
    if (tell && !botSpeaking_)
      msg::Send(*network_, msg::Chat{ChatBudget::kRefusal}, Delivery::Reply);
    return;
  }
  if (!botSpeaking_) m.text = Attributed(seat->guid, m.text);
  if (m.text.size() > kMaxChatLength) m.text.resize(kMaxChatLength);
  shell_->Chatted(m.text);
  Relay(m, true);
}

// The line as every copy shows it: under its sender's name, which the host
// writes itself, unless it is the sender's own announcement of a kill the
// host booked. A line claiming another name shows that claim as the
// sender's words.
std::string HostCore::Attributed(float guid, const std::string& text) {
  const std::string name = NameOf(guid);
  if (text.starts_with(name + ">")) return text;
  if (referee_.TakeKillAnnouncement(guid, text, name)) return text;
  return name + ">" + text;
}

// ---- Projectiles ----
// A host relays what it advanced by the sender's latency and keeps each
// projectile in its owner's row (the short form's speed is read there).

void HostCore::ProjectileFull() {
  msg::ProjectileFull m;
  if (!msg::Read(*network_, m) || !SenderAs(m.owner)) return;
  const int row = Row(m.owner);
  if (row < 0) return;
  if (!ShotPlausible(m, !protocol_table::FindProjectile(*table_, row, m.guid)))
    return Refuse(m.owner, Referee::kShots);
  ProjectileMotion p = ProjectileOf(m);
  ExtrapolateProjectile(p, CorrectionFrames(), m.speed, 0);
  if (!Finite(p)) return;
  SetProjectile(m, p);
  Relay(m, true);
  protocol_table::ApplyProjectile(*table_, row, m);
}

void HostCore::ProjectileRemove() {
  msg::ProjectileRemove m;
  if (!msg::Read(*network_, m) || !SenderAs(m.owner)) return;
  const int row = Row(m.owner);
  if (row >= 0) {
    // Where the host's copy of it ended is where it could have hurt.
    if (const EnemyManager::bullet* b = protocol_table::FindProjectile(*table_, row, m.guid))
      referee_.ShotEnded(m.owner, {b->x, b->y, b->width, b->height}, b->texture);
    table_->KillBullet(row, m.guid);
  }
  Relay(m, true);
}

// A new shot goes on exactly as fired: every copy starts it where the
// shooter did.
void HostCore::ProjectileNew() {
  msg::ProjectileNew m;
  if (!msg::Read(*network_, m) || !SenderAs(m.owner)) return;
  const int row = Row(m.owner);
  if (row < 0) return;
  if (!ShotPlausible(m, true)) return Refuse(m.owner, Referee::kShots);
  Relay(m, false);
  protocol_table::AddProjectile(*table_, row, m);
}

// The short form carries no speed: the stored projectile's corrects it (-1
// when it is not known; the update then changes nothing).
void HostCore::ProjectileShort() {
  msg::ProjectileShort m;
  if (!msg::Read(*network_, m) || !SenderAs(m.owner)) return;
  const int row = Row(m.owner);
  if (row < 0) return;
  const EnemyManager::bullet* known = protocol_table::FindProjectile(*table_, row, m.guid);
  ProjectileMotion p = ProjectileOf(m);
  ExtrapolateProjectile(p, CorrectionFrames(), known ? known->speed : -1, 0);
  if (!Finite(p)) return;
  SetProjectile(m, p);
  protocol_table::ApplyProjectile(*table_, row, m);
  Relay(m, true);
}
