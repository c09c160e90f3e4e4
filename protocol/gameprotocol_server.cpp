// The hosting copy's side of the host core: this copy's own player is a
// player of the match that no connection speaks for. It heads the roster's
// end, takes the damage, freezes and kills aimed at it, logs joins, leaves
// and chat for its player, and draws the explosions it relays.
#include <algorithm>
#include <climits>
#include <string>

#include "protocol/gameprotocol.h"
#include "sim/bounty.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"

msg::Roster::Entry GameProtocol::RosterTail(const msg::Roster::Entry&) const {
  return {player->name, *myGuid};
}

void GameProtocol::SendOwnState() {
  msg::Send(*network, player->FullStateMessage(), Delivery::Reply);
}

void GameProtocol::OwnDamage(float energy, float hull, int attackerRow) {
  enemies->GetDamaged(energy, hull, attackerRow);
}

void GameProtocol::OwnFreeze(int frames) { enemies->FreezePlayer(frames); }

void GameProtocol::OwnKill(int victimRow, int victimBounty) {
  enemies->AddKill(victimRow);
  PayForKill(victimBounty);
}

// The victim named us its killer: credits and bounty by its bounty and ours.
void GameProtocol::PayForKill(int victimBounty) {
  const int pay = KillPay(player->bounty, victimBounty);
  const int room = INT_MAX - std::max(player->credits, player->totalEarned);
  player->UpdateCredits(std::clamp(pay, 0, std::max(room, 0)));
  player->bounty = RaisedBounty(player->bounty, victimBounty);
}

void GameProtocol::Joined(const std::string& name, const std::string&) {
  enemies->AddMessage(name + " has joined the game.");
  Trace("joined: " + name);
}

void GameProtocol::Left(const std::string& name) {
  enemies->AddMessage(name + " has left the game.");
  Trace("left: " + name);
}

void GameProtocol::Chatted(const std::string& line) {
  enemies->AddReceivedLine(line, player->name);
  Trace("chat: " + line);
}

std::string GameProtocol::OwnName() const { return player->name; }

void GameProtocol::Removed(const std::string& line) {
  enemies->AddMessage(line);
  Trace(line);
}

void GameProtocol::Exploded(const msg::Explosion& m) {
  explosions->AddExplosion(m.x, m.y, m.width, m.height, m.loopSlot, m.frames, false);
}

// ---- Computer players ----

void GameProtocol::SetBots(int count, int maxOthers, World* world, GameUtilities* utilities) {
  host_.SetBots(count, maxOthers, world, explosions, utilities, player);
}

void GameProtocol::UpdateBots() {
  if (network->isServer) host_.UpdateBots();
}
