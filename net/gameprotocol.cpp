// The per-frame exchange, the join wait, the senders and the pieces both
// roles share. The host's handling is in gameprotocol_server.cpp, the
// client's in gameprotocol_client.cpp.
#include "net/gameprotocol.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "game/explosionmanager.h"
#include "game/spaceship.h"
#include "net/gameprotocol_table.h"
#include "net/messages.h"
#include "opponents/bounty.h"
#include "opponents/enemymanager.h"

namespace {
// Stale bindings whose disconnection notice was lost are let go beyond this.
constexpr size_t kMaxIdentities = 4 * NetworkHandler::kMaxPlayers;
}  // namespace

void GameProtocol::InitMe(NetworkHandler* net, EnemyManager* table, SpaceShip* ship,
                          ExplosionManager* blasts, bool* admitted, int* wait,
                          const float* guid) {
  network = net;
  enemies = table;
  player = ship;
  explosions = blasts;
  ready = admitted;
  joinWait = wait;
  myGuid = guid;
  identities.clear();
  hostGuid = 0;
  hostName.clear();
  hostGone = false;
  frame = 0;
  ForgetBots();
}

// ---- Per frame ----

void GameProtocol::UpdateNetwork() {
  ++frame;
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

void GameProtocol::ServerUpdate() {
  RefillChatBudgets();
  for (char id; (id = network->ReceivePacket()) != netid::NoPacket;) {
    HandleServerMessage(id);
    network->ClearIncomingPacket();
  }
  bots.Hear();  // what the computer players answered (their kill lines)
}

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

void GameProtocol::SendLeave() {
  msg::Send(*network, msg::Leave{*myGuid, network->isServer}, Delivery::Reliable);
  network->Flush();
}

// ---- Shared pieces ----

// A computer player's message is handled as if it came on a connection of
// its own, with no delay to correct.
PlayerID GameProtocol::Sender() const {
  return botSpeaking ? speakingSeat : network->GetLastID();
}

int GameProtocol::CorrectionFrames() {
  if (botSpeaking) return 0;
  return CorrectionFramesFor(latencyMs ? latencyMs() : network->PlayerPing());
}

bool GameProtocol::SenderSpeaksFor(float guid) const {
  const PlayerID sender = Sender();
  for (const Identity& id : identities)
    if (id.connection == sender) return id.guid == guid;
  return false;
}

bool GameProtocol::SenderJoined() const {
  const PlayerID sender = Sender();
  return std::any_of(identities.begin(), identities.end(),
                     [&](const Identity& id) { return id.connection == sender; });
}

// A connection joins as one player, and no two connections (nor a client
// and the host) as the same one: otherwise a client could speak for others,
// or fill the table with made-up players.
bool GameProtocol::BindSender(float guid) {
  if (guid == *myGuid) return false;
  const PlayerID sender = Sender();
  for (const Identity& id : identities) {
    if (id.connection == sender) return id.guid == guid;
    if (id.guid == guid) return false;
  }
  if (identities.size() >= kMaxIdentities) {
    // The oldest connection's binding goes; a computer player's never does.
    auto stale = std::find_if(identities.begin(), identities.end(),
                              [](const Identity& id) { return !ComputerPlayers::IsSeat(id.connection); });
    if (stale != identities.end()) identities.erase(stale);
  }
  identities.push_back({sender, guid});
  return true;
}

void GameProtocol::Unbind(PlayerID connection) {
  std::erase_if(identities, [&](const Identity& id) { return id.connection == connection; });
}

// A player first heard of: a row of the final size. Nobody is added twice
// (repeated rosters, a roster after a join), and never the local player.
int GameProtocol::AddRemotePlayer(const std::string& name, float guid, float size) {
  if (guid == *myGuid) return -1;
  return protocol_table::AddPlayer(*enemies, name, guid, size);
}

GameProtocol::Identity* GameProtocol::SenderIdentity() {
  const PlayerID sender = Sender();
  for (Identity& id : identities)
    if (id.connection == sender) return &id;
  return nullptr;
}

// The host spends the sender's budget (a client takes whatever the host
// relays: a line is never lost on its way). The refused sender is told, at
// most once a second, so that a flood is not answered by a flood.
bool GameProtocol::TakeChatLine(std::string& text) {
  if (text.size() > kMaxChatLength) text.resize(kMaxChatLength);
  if (!network->isServer) return true;
  Identity* sender = SenderIdentity();
  if (!sender) return false;
  bool tell = false;
  if (sender->chat.Take(frame, &tell)) return true;
  if (tell && !botSpeaking) msg::Send(*network, msg::Chat{ChatBudget::kRefusal}, Delivery::Reply);
  return false;
}

void GameProtocol::RefillChatBudgets() {
  for (Identity& id : identities) id.chat.Refill();
}

bool GameProtocol::TakeExplosion() {
  if (explosionsThisFrame >= kMaxExplosionsPerFrame) return false;
  ++explosionsThisFrame;
  return true;
}

// The victim named us its killer: credits and bounty by its bounty and ours.
void GameProtocol::PayForKill(int victimBounty) {
  const int pay = KillPay(player->bounty, victimBounty);
  const int room = INT_MAX - std::max(player->credits, player->totalEarned);
  player->UpdateCredits(std::clamp(pay, 0, std::max(room, 0)));
  player->bounty = RaisedBounty(player->bounty, victimBounty);
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
  const std::string name = enemies->GetName(row);
  enemies->AddMessage(name + " has left the game.");
  enemies->RemoveEnemy(row);
  Trace("left: " + name);
}

void GameProtocol::Trace(const std::string& line) const {
  if (trace) std::fprintf(stderr, "net: %s\n", line.c_str());
}
