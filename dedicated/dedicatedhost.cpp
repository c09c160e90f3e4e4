#include "dedicated/dedicatedhost.h"

#include <random>

#include "net/messages.h"

namespace {

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
  world.InitMe(&utilities);
  world.BuildDefaultMap();
  table.InitMe(&utilities, nullptr, nullptr, nullptr, nullptr);
  blasts.InitMe(&outbox);
  core.InitMe(this, &network, &table, &guid);
  core.latencyMs = [this] { return latencyMs ? latencyMs() : network.HalfRoundTripMs(); };
}

bool DedicatedHost::Start(unsigned short port, unsigned short most) {
  network.InitMe(true);
  while (!table.players.empty()) table.RemoveEnemy(0);
  core.InitMe(this, &network, &table, &guid);
  maxPlayers = most;
  return network.Listen(port, maxPlayers);
}

void DedicatedHost::SetBots(int count) {
  core.SetBots(count, maxPlayers, &world, &blasts, &utilities, nullptr);
}

// The order of a player's frame: the table moves on, what arrived is
// handled, then the computer players fly.
void DedicatedHost::Frame() {
  table.MainLoop(guid);
  core.Receive();
  core.UpdateBots();
  blasts.AgeExplosions();
  outbox.SendTo(network);
  network.Flush();
}

void DedicatedHost::End() {
  msg::Send(network, msg::Leave{guid, true}, Delivery::Reliable);
  network.Flush();
  network.InitMe(true);  // closes every connection at once, told as a disconnection
  core.InitMe(this, &network, &table, &guid);
}

// The roster's last entry is the one a client takes for the host's own; here
// it is the joiner itself, which a client never adds, so no row stands for
// this host.
msg::Roster::Entry DedicatedHost::RosterTail(const msg::Roster::Entry& joiner) const {
  return joiner;
}

void DedicatedHost::Joined(const std::string& name, const std::string& from) {
  Event("join: " + name + " (" + from + ")");
}

void DedicatedHost::Left(const std::string& name) { Event("leave: " + name); }

void DedicatedHost::Killed(const std::string& killer, const std::string& victim) {
  Event("kill: " + killer + " killed " + victim);
}

void DedicatedHost::Chatted(const std::string& line) { Event("chat: " + line); }

void DedicatedHost::Event(const std::string& line) {
  if (onEvent) onEvent(line);
}
