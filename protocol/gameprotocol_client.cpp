// The client's side of the protocol: everything comes from the host and is
// applied, nothing relayed. What arrives is advanced by this copy's own
// latency to the host.
#include <algorithm>
#include <string>

#include "base/timing.h"
#include "net/messages.h"
#include "protocol/gameprotocol.h"
#include "protocol/gameprotocol_internal.h"
#include "protocol/gameprotocol_table.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"

using namespace protocol_detail;

void GameProtocol::HandleClientMessage(char id) {
  if (msg::IsGameMessage(id)) ++messagesHandled;
  switch (id) {
    case netid::Disconnection: return ClientHostClosed();
    case netid::ConnectionLost: return ClientHostLost();
    case msg::kJoin: return ClientJoin();
    case msg::kFullState: return ClientFullState();
    case msg::kDamageReport: return ClientDamage();
    case msg::kKillReport: return ClientKill();
    case msg::kChat: return ClientChat();
    case msg::kExplosion: return ClientExplosion();
    case msg::kFreeze: return ClientFreeze();
    case msg::kLeave: return ClientLeave();
    case msg::kProjectileFull: return ClientProjectileFull();
    case msg::kProjectileRemove: return ClientProjectileRemove();
    case msg::kProjectileNew: return ClientProjectileNew();
    case msg::kShortState: return ClientShortState();
    case msg::kProjectileShort: return ClientProjectileShort();
    default: return;  // 51, rosters once admitted, notifications, foreign ids
  }
}

// The host's answer to our join: every player of the match, the host last.
bool GameProtocol::ClientRoster() {
  msg::Roster m;
  if (!msg::Read(*network, m)) return false;
  if (!*ready && !m.entries.empty()) {
    hostGuid = m.entries.back().guid;
    hostName = m.entries.back().name.substr(0, kMaxNameLength);
  }
  *ready = true;
  std::string names;
  for (msg::Roster::Entry& e : m.entries) {
    if (e.name.size() > kMaxNameLength) e.name.resize(kMaxNameLength);
    if (AddRemotePlayer(e.name, e.guid, 128) < 0) continue;
    names += (names.empty() ? "" : ", ") + e.name;
  }
  Trace("admitted: " + names);
  return true;
}

void GameProtocol::ClientJoin() {
  msg::Join m;
  if (!msg::Read(*network, m)) return;
  if (m.name.size() > kMaxNameLength) m.name.resize(kMaxNameLength);
  if (m.guid == *myGuid && player && m.name != player->name) {
    // The host gave us another name: ours was taken in this game.
    enemies->AddMessage("Your name is taken here: you play as " + m.name + ".");
    player->name = m.name;
    return;
  }
  if (AddRemotePlayer(m.name, m.guid, 64) < 0) return;
  enemies->AddMessage(m.name + " has joined the game.");
  Trace("joined: " + m.name);
}

void GameProtocol::ClientFullState() {
  msg::FullState m;
  if (!msg::Read(*network, m)) return;
  ShipMotion s = MotionOf(m);
  ExtrapolateShip(s, CorrectionFrames(), m.maxSpeed, true);
  const int row = enemies->playernumbyguid(m.guid);
  if (row < 0 || !Finite(s)) return;
  SetMotion(m, s);
  const bool firstLimit = enemies->players[row].maxSpeed == 0 && m.maxSpeed > 0;
  protocol_table::ApplyState(*enemies, m);
  if (firstLimit && trace)
    Trace("speed limit of " + enemies->GetName(row) + ": " + std::to_string(m.maxSpeed));
}

void GameProtocol::ClientShortState() {
  msg::ShortState m;
  if (!msg::Read(*network, m)) return;
  const int row = enemies->playernumbyguid(m.guid);
  if (row < 0) return;  // nothing to update
  ShipMotion s = MotionOf(m);
  ExtrapolateShip(s, CorrectionFrames(), enemies->players[row].maxSpeed, true);
  if (!Finite(s)) return;
  SetMotion(m, s);
  protocol_table::ApplyState(*enemies, m);
}

// An attacker no longer (or never) in the table is booked as -1, so a
// resulting death counts as self-inflicted.
void GameProtocol::ClientDamage() {
  msg::DamageReport m;
  if (!msg::Read(*network, m) || m.victim != *myGuid) return;
  enemies->GetDamaged(std::max(m.energyDamage, 0.0f), std::max(m.hullDamage, 0.0f),
                      enemies->playernumbyguid(m.attacker));
}

void GameProtocol::ClientKill() {
  msg::KillReport m;
  if (!msg::Read(*network, m)) return;
  if (m.killer != *myGuid) return enemies->CountKill(m.victim, m.killer);
  const int victim = enemies->playernumbyguid(m.victim);
  if (victim < 0) return;
  enemies->AddKill(victim);
  PayForKill(m.bounty);
}

void GameProtocol::ClientChat() {
  msg::Chat m;
  if (!msg::Read(*network, m)) return;
  if (m.text.size() > kMaxChatLength) m.text.resize(kMaxChatLength);
  enemies->AddReceivedLine(m.text, player ? player->name : std::string());
  Trace("chat: " + m.text);
}

void GameProtocol::ClientExplosion() {
  msg::Explosion m;
  if (!msg::Read(*network, m) || !TakeExplosion()) return;
  explosions->AddExplosion(m.x, m.y, m.width, m.height, m.loopSlot,
                           std::clamp(m.frames, 0, kMaxExplosionFrames), false);
}

void GameProtocol::ClientFreeze() {
  msg::Freeze m;
  if (!msg::Read(*network, m) || m.victim != *myGuid) return;
  enemies->FreezePlayer(std::clamp(m.frames, 0, kMaxFreezeFrames));
}

// The host relays every client's leave with hostLeaving false, so only the
// host's own departure, naming the host, ends the match here.
void GameProtocol::ClientLeave() {
  msg::Leave m;
  if (!msg::Read(*network, m)) return;
  RemovePlayer(m.guid);
  if (m.hostLeaving && m.guid == hostGuid) ClientHostClosed();
}

// The host closed the match, by its leave or by closing the connection
// (whichever arrives first ends it; the other changes nothing).
void GameProtocol::ClientHostClosed() { EndMatch(hostName + " has ended the game."); }

// The host stopped answering (its program or its link died).
void GameProtocol::ClientHostLost() { EndMatch("Connection to the host was lost."); }

void GameProtocol::ClientProjectileFull() {
  msg::ProjectileFull m;
  if (!msg::Read(*network, m)) return;
  const int row = enemies->playernumbyguid(m.owner);
  if (row < 0) return;
  const EnemyManager::bullet* known = protocol_table::FindProjectile(*enemies, row, m.guid);
  const int startLife = known ? known->startLife : -1;
  const bool young = m.acceleration > 0 && startLife - m.lifeLeft < kAccelerationFrames;
  ProjectileMotion p = ProjectileOf(m);
  ExtrapolateProjectile(p, CorrectionFrames(), m.speed, young ? m.acceleration : 0);
  if (!Finite(p)) return;
  SetProjectile(m, p);
  protocol_table::ApplyProjectile(*enemies, row, m);
}

void GameProtocol::ClientProjectileRemove() {
  msg::ProjectileRemove m;
  if (!msg::Read(*network, m)) return;
  const int row = enemies->playernumbyguid(m.owner);
  if (row >= 0) enemies->KillBullet(row, m.guid);
}

void GameProtocol::ClientProjectileNew() {
  msg::ProjectileNew m;
  if (!msg::Read(*network, m)) return;
  const int row = enemies->playernumbyguid(m.owner);
  if (row >= 0) protocol_table::AddProjectile(*enemies, row, m);
}

// The short form carries no speed or acceleration: the stored projectile's
// are used (speed -1 when it is not known; the update then changes nothing).
void GameProtocol::ClientProjectileShort() {
  msg::ProjectileShort m;
  if (!msg::Read(*network, m)) return;
  const int row = enemies->playernumbyguid(m.owner);
  if (row < 0) return;
  const EnemyManager::bullet* known = protocol_table::FindProjectile(*enemies, row, m.guid);
  const bool young =
      known && known->accel > 0 && known->startLife - m.lifeLeft < kAccelerationFrames;
  ProjectileMotion p = ProjectileOf(m);
  ExtrapolateProjectile(p, CorrectionFrames(), known ? known->speed : -1, young ? known->accel : 0);
  if (!Finite(p)) return;
  SetProjectile(m, p);
  protocol_table::ApplyProjectile(*enemies, row, m);
}
