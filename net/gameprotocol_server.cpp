// The host's side of the protocol: every message from a client is applied
// where it concerns the host and relayed to the other clients, positions
// advanced by the sender's latency. Messages about the host's own player
// (damage and freeze naming it) are consumed here and not passed on; a kill
// naming the host still goes on, for the other scoreboards.
#include <algorithm>
#include <string>

#include "game/explosionmanager.h"
#include "game/spaceship.h"
#include "net/gameprotocol.h"
#include "net/gameprotocol_internal.h"
#include "net/gameprotocol_table.h"
#include "net/messages.h"
#include "opponents/enemymanager.h"

using namespace protocol_detail;

template <class M>
void GameProtocol::Relay(const M& m, bool reliable) {
  msg::Send(*network, m, reliable ? Delivery::RelayReliable : Delivery::RelayUnreliable);
}

void GameProtocol::HandleServerMessage(char id) {
  // A connection opening or closing starts its identity afresh.
  if (id == netid::NewIncomingConnection || id == netid::Disconnection ||
      id == netid::ConnectionLost) {
    Trace(std::string(id == netid::NewIncomingConnection ? "connection from " : "gone: ") +
          network->GetIP(network->GetLastID()));
    if (id != netid::NewIncomingConnection) ServerPeerClosed();
    Unbind(network->GetLastID());
    return;
  }
  if (msg::IsGameMessage(id)) ++messagesHandled;
  switch (id) {
    case msg::kJoin: return ServerJoin();
    case msg::kFullState: return ServerFullState();
    case msg::kDamageReport: return ServerDamage();
    case msg::kKillReport: return ServerKill();
    case msg::kChat: return ServerChat();
    case msg::kExplosion: return ServerExplosion();
    case msg::kFreeze: return ServerFreeze();
    case msg::kLeave: return ServerLeave();
    case msg::kProjectileFull: return ServerProjectileFull();
    case msg::kProjectileRemove: return ServerProjectileRemove();
    case msg::kProjectileNew: return ServerProjectileNew();
    case msg::kShortState: return ServerShortState();
    case msg::kProjectileShort: return ServerProjectileShort();
    default: return;  // 51, 54 (only the host sends it) and foreign ids
  }
}

// A join is answered to its connection only (a waiting client asks every
// frame until the answer arrives; a repeated join is answered at most every
// kRosterReplyFrames). Only a new player gets a row and is announced.
void GameProtocol::ServerJoin() {
  msg::Join m;
  if (!msg::Read(*network, m)) return;
  if (m.name.size() > kMaxNameLength) m.name.resize(kMaxNameLength);
  if (!BindSender(m.guid)) return;
  network->AdmitSender();
  Identity* sender = SenderIdentity();
  // A full table still admits, but adds nobody.
  const bool added =
      enemies->playernumbyguid(m.guid) < 0 && AddRemotePlayer(m.name, m.guid, 64) >= 0;
  // A computer player has nobody to answer.
  if (!botSpeaking && frame - sender->rosterFrame >= kRosterReplyFrames)
    AnswerJoin(*sender, m.guid);
  if (!added) return;
  enemies->AddMessage(m.name + " has joined the game.");
  Relay(m, true);
  Trace("joined: " + m.name);
}

namespace {

msg::FullState FullStateOf(const EnemyManager::player& p) {
  return msg::FullState{p.guid,     p.x,         p.y,        p.angle,      p.x > -29000,
                        p.upHeld,   p.frozenFrames, p.bounty, p.width,     p.height,
                        p.texture,  p.vx,        p.vy,       p.maxSpeed,   p.downHeld,
                        p.leftHeld, p.rightHeld};
}

}  // namespace

// The roster, every player's row, the host last; then every player's full
// state, so that the newcomer predicts everyone's motion with their real
// speed limits from its first frame (the states follow the roster in the
// same flush and on the same ordered channel).
void GameProtocol::AnswerJoin(Identity& sender, float newcomer) {
  sender.rosterFrame = frame;
  msg::Roster roster;
  for (const EnemyManager::player& p : enemies->players) {
    if (p.guid != newcomer) roster.entries.push_back({p.name, p.guid});
  }
  roster.entries.push_back({player->name, *myGuid});
  msg::Send(*network, roster, Delivery::Reply);
  for (const EnemyManager::player& p : enemies->players) {
    if (p.guid != newcomer) msg::Send(*network, FullStateOf(p), Delivery::Reply);
  }
  msg::Send(*network, player->FullStateMessage(), Delivery::Reply);
}

// Clients joined as someone are heard; anyone else's messages are dropped.
void GameProtocol::ServerFullState() {
  msg::FullState m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.guid)) return;
  ShipMotion s = MotionOf(m);
  ExtrapolateShip(s, CorrectionFrames(), m.maxSpeed, true);
  if (!Finite(s)) return;
  SetMotion(m, s);
  const int known = enemies->playernumbyguid(m.guid);
  const bool firstLimit = known >= 0 && enemies->players[known].maxSpeed == 0 && m.maxSpeed > 0;
  const int row = protocol_table::ApplyState(*enemies, m);
  if (firstLimit && trace)
    Trace("speed limit of " + enemies->GetName(row) + ": " + std::to_string(m.maxSpeed));
  Relay(m, true);
}

void GameProtocol::ServerShortState() {
  msg::ShortState m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.guid)) return;
  const int row = enemies->playernumbyguid(m.guid);
  ShipMotion s = MotionOf(m);
  // Without a row there is no known speed limit, so no drag.
  ExtrapolateShip(s, CorrectionFrames(), row >= 0 ? enemies->players[row].maxSpeed : 0,
                  row >= 0);
  if (!Finite(s)) return;
  SetMotion(m, s);
  protocol_table::ApplyState(*enemies, m);
  Relay(m, false);
}

void GameProtocol::ServerDamage() {
  msg::DamageReport m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.attacker)) return;
  const int attacker = enemies->playernumbyguid(m.attacker);
  if (attacker < 0) return;
  if (m.victim == *myGuid) {
    // A report never heals.
    enemies->GetDamaged(std::max(m.energyDamage, 0.0f), std::max(m.hullDamage, 0.0f), attacker);
    return;
  }
  if (!bots.Hurt(m.victim, attacker, m.energyDamage, m.hullDamage)) Relay(m, true);
}

void GameProtocol::ServerKill() {
  msg::KillReport m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.victim)) return;
  const int victim = enemies->playernumbyguid(m.victim);
  if (victim < 0) return;
  if (m.killer == *myGuid) {
    enemies->AddKill(victim);
    PayForKill(m.bounty);
  } else {
    enemies->CountKill(m.victim, m.killer);
    bots.Scored(m.killer, m.victim, m.bounty);
  }
  // Every client hears of every kill (its scoreboard counts them); only the
  // killer named in it is paid.
  Relay(m, true);
}

void GameProtocol::ServerChat() {
  msg::Chat m;
  if (!msg::Read(*network, m) || !SenderJoined() || !TakeChatLine(m.text))
    return;
  enemies->AddReceivedLine(m.text, player ? player->name : std::string());
  Trace("chat: " + m.text);
  Relay(m, true);
}

void GameProtocol::ServerExplosion() {
  msg::Explosion m;
  if (!msg::Read(*network, m) || !SenderJoined() || !TakeExplosion()) return;
  m.frames = std::clamp(m.frames, 0, kMaxExplosionFrames);
  explosions->AddExplosion(m.x, m.y, m.width, m.height, m.loopSlot, m.frames, false);
  Relay(m, false);
}

void GameProtocol::ServerFreeze() {
  msg::Freeze m;
  if (!msg::Read(*network, m) || !SenderJoined()) return;
  if (m.victim == *myGuid) {
    enemies->FreezePlayer(std::clamp(m.frames, 0, kMaxFreezeFrames));
    return;
  }
  if (!bots.Freeze(m.victim, std::clamp(m.frames, 0, kMaxFreezeFrames))) Relay(m, true);
}

// The leaver is never the host (only the host itself may say so).
void GameProtocol::ServerLeave() {
  msg::Leave m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.guid)) return;
  RemovePlayer(m.guid);
  m.hostLeaving = false;
  Relay(m, true);
}

// A client that closed its connection, on purpose or by going silent, has
// quit: it leaves the match as its leave message would have made it (the
// opponent table's time-out stays the last resort).
void GameProtocol::ServerPeerClosed() {
  const PlayerID sender = network->GetLastID();
  for (const Identity& id : identities) {
    if (id.connection != sender || enemies->playernumbyguid(id.guid) < 0) continue;
    RemovePlayer(id.guid);
    Relay(msg::Leave{id.guid, false}, true);
  }
}

void GameProtocol::ServerProjectileFull() {
  msg::ProjectileFull m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.owner)) return;
  const int row = enemies->playernumbyguid(m.owner);
  if (row < 0) return;
  ProjectileMotion p = ProjectileOf(m);
  ExtrapolateProjectile(p, CorrectionFrames(), m.speed, 0);
  if (!Finite(p)) return;
  SetProjectile(m, p);
  Relay(m, true);
  enemies->UpdateBullet(row, m.x, m.y, m.width, m.height, m.direction, m.style, m.texture,
                        m.lifeLeft, m.speed, m.behaviour, m.turnRate, m.driftX, m.driftY, m.guid,
                        m.acceleration);
}

void GameProtocol::ServerProjectileRemove() {
  msg::ProjectileRemove m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.owner)) return;
  const int row = enemies->playernumbyguid(m.owner);
  if (row >= 0) enemies->KillBullet(row, m.guid);
  Relay(m, true);
}

// A new shot goes on exactly as fired: every copy starts it where the
// shooter did.
void GameProtocol::ServerProjectileNew() {
  msg::ProjectileNew m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.owner)) return;
  const int row = enemies->playernumbyguid(m.owner);
  if (row < 0) return;
  Relay(m, false);
  // A shot's new message travels unreliably, its full state reliably: a
  // full state that overtook it already made the shot here, and a second one of
  // the same GUID would fly on as a ghost no message updates.
  if (FindProjectile(*enemies, row, m.guid)) return;
  enemies->NewBullet(row, m.x, m.y, m.width, m.height, m.direction, m.style, m.texture,
                     m.lifeLeft, m.speed, m.behaviour, m.turnRate, m.driftX, m.driftY, m.guid,
                     m.acceleration);
}

void GameProtocol::ServerProjectileShort() {
  msg::ProjectileShort m;
  if (!msg::Read(*network, m) || !SenderSpeaksFor(m.owner)) return;
  const int row = enemies->playernumbyguid(m.owner);
  if (row < 0) return;
  const EnemyManager::bullet* known = FindProjectile(*enemies, row, m.guid);
  ProjectileMotion p = ProjectileOf(m);
  ExtrapolateProjectile(p, CorrectionFrames(), known ? known->speed : -1, 0);
  if (!Finite(p)) return;
  SetProjectile(m, p);
  enemies->UpdateBullet(row, m.x, m.y, m.direction, m.lifeLeft, m.turnRate, m.driftX, m.driftY,
                        m.guid);
  Relay(m, true);
}
