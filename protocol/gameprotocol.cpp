// The per-frame exchange, the join wait, the senders and the pieces both
// roles share. The host's handling is the host core's, with this copy's own
// player plugged in (gameprotocol_server.cpp); the client's is in
// gameprotocol_client.cpp.
#include "protocol/gameprotocol.h"

#include <algorithm>
#include <cstdio>

#include "net/messages.h"
#include "net/outbox.h"
#include "protocol/gameprotocol_table.h"
#include "sim/enemymanager.h"
#include "sim/explosionmanager.h"
#include "sim/spaceship.h"

void GameProtocol::InitMe(NetworkHandler* net, Outbox* posted, EnemyManager* table, SpaceShip* ship,
                          ExplosionManager* blasts, bool* admitted, int* wait, const float* guid) {
  network = net;
  outbox = posted;
  enemies = table;
  player = ship;
  explosions = blasts;
  ready = admitted;
  joinWait = wait;
  myGuid = guid;
  hostGuid = 0;
  hostName.clear();
  hostGone = false;
  host_.InitMe(this, net, table, guid);
  host_.latencyMs = [this] { return latencyMs ? latencyMs() : network->HalfRoundTripMs(); };
}

// ---- Per frame ----

void GameProtocol::UpdateNetwork() {
  explosionsThisFrame = 0;
  if (*ready) {
    if (network->isServer)
      ServerUpdate();
    else
      ClientUpdate();
    return;
  }
  WaitForJoinMSG();
  // Asked every frame until the host answers; once the answer is in, the
  // host need not send another roster.
  if (!*ready) SendJoin();
}

void GameProtocol::WaitForJoinMSG() {
  const int left = --*joinWait;
  if (left == kJoinRetryAt) SendJoin();
  if (left == 0) {
    if (network->ClientConnected()) {
      SendJoin();
      enemies->AddMessage("Connection issues...");
    } else if (giveUp) {
      giveUp();
    }
  }
  for (char id; (id = network->ReceivePacket()) != netid::NoPacket;) {
    // What follows the admitting roster in the same frame is the match
    // going on (a newcomer's join among it, the players' full states): it
    // is handled, not lost.
    if (id == netid::ConnectionAccepted) Trace("connected");
    if (id == msg::kRoster) {
      ClientRoster();
    } else if (*ready) {
      HandleClientMessage(id);
    } else if (id == netid::ConnectionLost || id == netid::Disconnection) {
      // The connection attempt failed or the host closed before admitting
      // us: no use waiting out the count-down.
      network->ClearIncomingPacket();
      Trace("could not join");
      if (giveUp) giveUp();
      return;
    }
    network->ClearIncomingPacket();
  }
}

void GameProtocol::ServerUpdate() { host_.Receive(); }

void GameProtocol::ClientUpdate() {
  for (char id; (id = network->ReceivePacket()) != netid::NoPacket;) {
    HandleClientMessage(id);
    network->ClearIncomingPacket();
  }
}

// ---- Senders ----

void GameProtocol::SendJoin() {
  msg::Join join;
  join.name = player->name;
  join.guid = *myGuid;
  msg::Send(*network, join, Delivery::Reliable);
}

void GameProtocol::SendMessageA(const std::string& text) {
  msg::Chat chat;
  chat.text = text;
  msg::Send(*network, chat, Delivery::Reliable);
}

void GameProtocol::Flush() {
  outbox->SendTo(*network);
  network->Flush();
}

// What the simulation posted still goes first: the leave ends the stream.
void GameProtocol::SendLeave() {
  outbox->SendTo(*network);
  msg::Send(*network, msg::Leave{*myGuid, network->isServer}, Delivery::Reliable);
  network->Flush();
}

// ---- Shared pieces ----

int GameProtocol::CorrectionFrames() {
  return CorrectionFramesFor(latencyMs ? latencyMs() : network->HalfRoundTripMs());
}

// A player first heard of: a row of the final size. Nobody is added twice
// (repeated rosters, a roster after a join), and never the local player.
int GameProtocol::AddRemotePlayer(const std::string& name, float guid, float size) {
  if (guid == *myGuid) return -1;
  return protocol_table::AddPlayer(*enemies, name, guid, size);
}

bool GameProtocol::TakeExplosion() {
  if (explosionsThisFrame >= kMaxExplosionsPerFrame) return false;
  ++explosionsThisFrame;
  return true;
}

// The client's match is over: the players are gone, the connection closed,
// and the player is told why.
void GameProtocol::EndMatch(const std::string& notice) {
  if (hostGone) return;
  hostGone = true;
  RemovePlayer(hostGuid);
  Trace("host left");
  network->Close();
  if (hostLeft) hostLeft(notice);
}

void GameProtocol::RemovePlayer(float guid) {
  const int row = enemies->playernumbyguid(guid);
  if (row < 0) return;
  Left(enemies->GetName(row));
  enemies->RemoveEnemy(row);
}

void GameProtocol::Trace(const std::string& line) const {
  if (trace) std::fprintf(stderr, "net: %s\n", line.c_str());
}
