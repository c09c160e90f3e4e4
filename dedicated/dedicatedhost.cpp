#include "dedicated/dedicatedhost.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "net/extrapolation.h"
#include "net/gameprotocol.h"
#include "net/gameprotocol_table.h"
#include "net/messages.h"

namespace {

// The protocol's bounds on what a peer may make a copy hold or do.
using Limits = GameProtocol;
// Live projectiles remembered per player: a real ship has a few dozen; the
// oldest is forgotten first (its short messages then relay uncorrected).
constexpr size_t kMaxShots = 256;

bool Finite(const ShipMotion& s) {
  return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.angle) &&
         std::isfinite(s.vx) && std::isfinite(s.vy);
}

bool Finite(const ProjectileMotion& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.direction) &&
         std::isfinite(p.driftX) && std::isfinite(p.driftY);
}

template <class M>
void Relay(NetworkHandler& network, const M& m, bool reliable) {
  msg::Send(network, m, reliable ? Delivery::RelayReliable : Delivery::RelayUnreliable);
}

// Advances a ship message by `frames` and writes the motion back; false
// when the result is not finite (the message is then dropped).
template <class M>
bool CorrectShip(M& m, int frames, float limit) {
  ShipMotion s{m.x, m.y, m.angle, m.vx, m.vy, m.upHeld, m.downHeld, m.leftHeld, m.rightHeld};
  ExtrapolateShip(s, frames, limit, true);
  if (!Finite(s)) return false;
  m.x = s.x, m.y = s.y, m.angle = s.angle, m.vx = s.vx, m.vy = s.vy;
  return true;
}

template <class M>
bool CorrectProjectile(M& m, int frames, float speed) {
  ProjectileMotion p{m.x, m.y, m.direction, m.turnRate, m.driftX, m.driftY};
  ExtrapolateProjectile(p, frames, speed, 0);
  if (!Finite(p)) return false;
  m.x = p.x, m.y = p.y, m.direction = p.direction, m.driftX = p.driftX, m.driftY = p.driftY;
  return true;
}

// Players' identities are positive; the host's is negative, so no join can
// claim it and no roster names it.
float HostGuid() {
  std::random_device seed;
  return -1.0f - static_cast<float>(seed() % 1000000u);
}

}  // namespace

// The table has no drawing, sound or log of its own; the blasts of the
// computer players' projectiles go out as a player's copy announces its own.
DedicatedHost::DedicatedHost(NetworkHandler& net) : network(net), guid(HostGuid()) {
  world.InitMe(&utilities, nullptr, nullptr, nullptr);
  world.BuildDefaultMap();
  table.InitMe(nullptr, nullptr, nullptr, nullptr, &utilities, nullptr, nullptr, nullptr, 0,
               nullptr, nullptr);
  blasts.InitMe(&utilities, nullptr, nullptr, &network);
  bots.InitMe(this, &table, &world, &blasts, &utilities, nullptr, &guid);
}

bool DedicatedHost::Start(unsigned short port, unsigned short most) {
  network.InitMe(true);
  players.clear();
  while (!table.players.empty()) table.RemoveEnemy(0);
  maxPlayers = most;
  return network.ConnectServer(port, maxPlayers);
}

void DedicatedHost::SetBots(int count) { bots.SetTarget(count, maxPlayers); }

// The order of a player's frame: the table moves on, what arrived is
// handled, then the computer players fly.
void DedicatedHost::Frame() {
  ++frame;
  for (Player& p : players) p.chat.Refill();
  explosions = 0;
  table.MainLoop(guid);
  for (char id; (id = network.ReceivePacket()) != netid::NoPacket;) {
    Handle(id);
    network.ClearIncomingPacket();
  }
  bots.Hear();  // what the computer players answered (their kill lines)
  bots.Update();
  blasts.AgeExplosions();
  network.Flush();
}

void DedicatedHost::End() {
  msg::Send(network, msg::Leave{guid, true}, Delivery::Reliable);
  network.Flush();
  network.InitMe(true);  // closes every connection at once, told as a disconnection
  players.clear();
  bots.Forget();
}

// A computer player's message, read exactly as one from a connection.
void DedicatedHost::HandleAs(PlayerID seat, const unsigned char* data, size_t size) {
  char id = 0;
  network.incoming.SetReadView(data, size);
  if (network.incoming.Read(id)) {
    speakingSeat = seat;
    botSpeaking = true;
    Handle(id);
    botSpeaking = false;
  }
  network.incoming.SetReadView(nullptr, 0);
}

void DedicatedHost::Handle(char id) {
  switch (id) {
    case netid::Disconnection:
    case netid::ConnectionLost: return ConnectionClosed();
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
    default: return;  // new connections, rosters and foreign ids
  }
}

// ---- Who speaks ----

DedicatedHost::Player* DedicatedHost::Sender() {
  const PlayerID sender = botSpeaking ? speakingSeat : network.GetLastID();
  for (Player& p : players)
    if (p.connection == sender) return &p;
  return nullptr;
}

// The sender, when it joined as `playerGuid`: a connection speaks only for
// the player it joined as.
DedicatedHost::Player* DedicatedHost::SenderAs(float playerGuid) {
  Player* p = Sender();
  return p && p->guid == playerGuid ? p : nullptr;
}

DedicatedHost::Player* DedicatedHost::Find(float playerGuid) {
  for (Player& p : players)
    if (p.guid == playerGuid) return &p;
  return nullptr;
}

std::string DedicatedHost::NameOf(float playerGuid) {
  const Player* p = Find(playerGuid);
  return p ? p->name : "?";
}

// A computer player's message has no delay to correct.
int DedicatedHost::CorrectionFrames() {
  if (botSpeaking) return 0;
  return CorrectionFramesFor(latencyMs ? latencyMs() : network.PlayerPing());
}

void DedicatedHost::Event(const std::string& line) {
  if (onEvent) onEvent(line);
}

// ---- Joining and leaving ----

// A join is answered to its connection only, at most every
// kRosterReplyFrames (a waiting client asks every frame until the answer
// arrives): the roster, then every other player's last full state. The
// roster's last entry is the one a client takes for the host's own; here it
// is the joiner itself, which a client never adds, so no row stands for this
// host.
void DedicatedHost::Join() {
  msg::Join m;
  if (!msg::Read(network, m) || !std::isfinite(m.guid) || m.guid == guid) return;
  if (m.name.size() > Limits::kMaxNameLength) m.name.resize(Limits::kMaxNameLength);
  Player* known = Sender();
  if (known && known->guid != m.guid) return;  // one connection, one player
  if (!known) {
    if (Find(m.guid)) return;  // someone else's identity
    const PlayerID from = botSpeaking ? speakingSeat : network.GetLastID();
    players.push_back({from, m.guid, m.name, 0, {}});
    known = &players.back();
    protocol_table::AddPlayer(table, m.name, m.guid, 64);
    Relay(network, m, true);
    Event("join: " + m.name + " (" +
          (botSpeaking ? std::string("computer player") : network.GetIP(from)) + ")");
  }
  if (botSpeaking) return;  // a computer player has nobody to answer
  network.AdmitSender();
  if (frame - known->rosterFrame >= Limits::kRosterReplyFrames) AnswerJoin(*known);
}

void DedicatedHost::AnswerJoin(Player& joiner) {
  joiner.rosterFrame = frame;
  msg::Roster roster;
  for (const Player& p : players)
    if (&p != &joiner) roster.entries.push_back({p.name, p.guid});
  roster.entries.push_back({joiner.name, joiner.guid});
  msg::Send(network, roster, Delivery::Reply);
  for (const Player& p : players)
    if (&p != &joiner && p.hasState) msg::Send(network, p.lastState, Delivery::Reply);
}

void DedicatedHost::Remove(float playerGuid) {
  const auto it = std::find_if(players.begin(), players.end(),
                               [&](const Player& p) { return p.guid == playerGuid; });
  if (it == players.end()) return;
  Event("leave: " + it->name);
  players.erase(it);
  const int row = table.playernumbyguid(playerGuid);
  if (row >= 0) table.RemoveEnemy(row);
}

void DedicatedHost::Leave() {
  msg::Leave m;
  if (!msg::Read(network, m) || !SenderAs(m.guid)) return;
  Remove(m.guid);
  m.hostLeaving = false;
  Relay(network, m, true);
}

// A connection closed or lost: its player leaves at once, on every copy (the
// copies would otherwise show it frozen until their own time-out).
void DedicatedHost::ConnectionClosed() {
  const Player* p = Sender();
  if (!p) return;
  const float leaver = p->guid;
  Remove(leaver);
  Relay(network, msg::Leave{leaver, false}, true);
}

// ---- Ships ----

void DedicatedHost::FullState() {
  msg::FullState m;
  Player* p = nullptr;
  if (!msg::Read(network, m) || !(p = SenderAs(m.guid))) return;
  if (!CorrectShip(m, CorrectionFrames(), m.maxSpeed)) return;
  if (m.maxSpeed > 0) p->maxSpeed = m.maxSpeed;
  p->lastState = m;
  p->hasState = true;
  protocol_table::ApplyState(table, m);
  Relay(network, m, true);
}

void DedicatedHost::ShortState() {
  msg::ShortState m;
  const Player* p = nullptr;
  if (!msg::Read(network, m) || !(p = SenderAs(m.guid))) return;
  if (!CorrectShip(m, CorrectionFrames(), p->maxSpeed)) return;
  protocol_table::ApplyState(table, m);
  Relay(network, m, false);
}

// ---- Combat ----

// Damage to a computer player is its to take (a report never heals), and
// only from a player in the table: nobody else can be credited with a kill.
void DedicatedHost::Damage() {
  msg::DamageReport m;
  if (!msg::Read(network, m) || !SenderAs(m.attacker)) return;
  if (!bots.Has(m.victim)) return Relay(network, m, true);
  const int attacker = table.playernumbyguid(m.attacker);
  if (attacker >= 0) bots.Hurt(m.victim, attacker, m.energyDamage, m.hullDamage);
}

// The victim's copy names its killer; the killer's copy books and pays it.
void DedicatedHost::Kill() {
  msg::KillReport m;
  if (!msg::Read(network, m) || !SenderAs(m.victim)) return;
  Event("kill: " + NameOf(m.killer) + " killed " + NameOf(m.victim));
  bots.Scored(m.killer, m.victim, m.bounty);
  Relay(network, m, true);
}

void DedicatedHost::Freeze() {
  msg::Freeze m;
  if (!msg::Read(network, m) || !Sender()) return;
  if (!bots.Freeze(m.victim, std::clamp(m.frames, 0, Limits::kMaxFreezeFrames)))
    Relay(network, m, true);
}

void DedicatedHost::Explosion() {
  msg::Explosion m;
  if (!msg::Read(network, m) || !Sender() || explosions >= Limits::kMaxExplosionsPerFrame) return;
  ++explosions;
  m.frames = std::clamp(m.frames, 0, Limits::kMaxExplosionFrames);
  Relay(network, m, false);
}

void DedicatedHost::Chat() {
  msg::Chat m;
  Player* sender = nullptr;
  if (!msg::Read(network, m) || !(sender = Sender())) return;
  bool tell = false;
  if (!sender->chat.Take(frame, &tell)) {
    if (tell && !botSpeaking) msg::Send(network, msg::Chat{ChatBudget::kRefusal}, Delivery::Reply);
    return;
  }
  if (m.text.size() > Limits::kMaxChatLength) m.text.resize(Limits::kMaxChatLength);
  Event("chat: " + m.text);
  Relay(network, m, true);
}

// ---- Projectiles ----

void DedicatedHost::Remember(Player& owner, float shotGuid, float speed) {
  for (Shot& s : owner.shots)
    if (s.guid == shotGuid) {
      s.speed = speed;
      return;
    }
  if (owner.shots.size() >= kMaxShots) owner.shots.erase(owner.shots.begin());
  owner.shots.push_back({shotGuid, speed});
}

void DedicatedHost::ProjectileFull() {
  msg::ProjectileFull m;
  Player* p = nullptr;
  if (!msg::Read(network, m) || !(p = SenderAs(m.owner))) return;
  if (!CorrectProjectile(m, CorrectionFrames(), m.speed)) return;
  Remember(*p, m.guid, m.speed);
  Relay(network, m, true);
}

// A new shot goes on exactly as fired: every copy starts it where the
// shooter did.
void DedicatedHost::ProjectileNew() {
  msg::ProjectileNew m;
  Player* p = nullptr;
  if (!msg::Read(network, m) || !(p = SenderAs(m.owner))) return;
  Remember(*p, m.guid, m.speed);
  Relay(network, m, false);
}

void DedicatedHost::ProjectileRemove() {
  msg::ProjectileRemove m;
  Player* p = nullptr;
  if (!msg::Read(network, m) || !(p = SenderAs(m.owner))) return;
  std::erase_if(p->shots, [&](const Shot& s) { return s.guid == m.guid; });
  Relay(network, m, true);
}

// The short form carries no speed: the remembered one corrects it (-1 when
// unknown, as the player's hosting copy does).
void DedicatedHost::ProjectileShort() {
  msg::ProjectileShort m;
  Player* p = nullptr;
  if (!msg::Read(network, m) || !(p = SenderAs(m.owner))) return;
  float speed = -1;
  for (const Shot& s : p->shots)
    if (s.guid == m.guid) speed = s.speed;
  if (!CorrectProjectile(m, CorrectionFrames(), speed)) return;
  Relay(network, m, true);
}
