// The host's computer players (opponents/computerplayers.*): what they say
// is handled here exactly as a packet from a connection of their own would
// be (gameprotocol_server.cpp), which applies it and relays it to every
// client; nothing is relayed back to them (they have no peer).
#include "game/spaceship.h"
#include "net/gameprotocol.h"
#include "net/messages.h"
#include "opponents/enemymanager.h"

GameProtocol::GameProtocol() = default;
GameProtocol::~GameProtocol() = default;
GameProtocol::GameProtocol(GameProtocol&&) noexcept = default;
GameProtocol& GameProtocol::operator=(GameProtocol&&) noexcept = default;

void GameProtocol::SetBots(int count, int maxOthers, World* world, GameUtilities* utilities) {
  bots.InitMe(this, enemies, world, explosions, utilities, player, myGuid);
  bots.SetTarget(count, maxOthers);
  // The local player's death by a computer player is reported by the
  // opponent table straight to the network; the killer hears of it here.
  enemies->ownDeathReported = [this](const msg::KillReport& r) {
    bots.Scored(r.killer, r.victim, r.bounty);
  };
}

// A new match starts without computer players (the host sets them again).
void GameProtocol::ForgetBots() {
  bots.Forget();
  if (enemies) enemies->ownDeathReported = nullptr;
}

void GameProtocol::UpdateBots() {
  if (network->isServer) bots.Update();
}

void GameProtocol::HandleAs(PlayerID seat, const unsigned char* data, size_t size) {
  char id = 0;
  network->incoming.SetReadView(data, size);
  if (network->incoming.Read(id)) {
    speakingSeat = seat;
    botSpeaking = true;
    HandleServerMessage(id);
    botSpeaking = false;
  }
  network->incoming.SetReadView(nullptr, 0);
}

void GameProtocol::SeatClosed(PlayerID seat) { Unbind(seat); }
