#include "net/networkhandler.h"

#include <arpa/inet.h>
#include <enet/enet.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "net/offlineping.h"
#include "net/packetbundle.h"

namespace {

// Round-trip measurement travels in packets of our own that never reach the
// game: a ping carries the sender's clock, the pong echoes it back. They
// start with a 0 byte, which no bundle of game messages does.
constexpr unsigned char kInternalTag = 0;
constexpr unsigned char kInternalPing = 1;
constexpr unsigned char kInternalPong = 2;
constexpr size_t kInternalLength = 6;
constexpr uint32_t kPingInterval = 1000;   // ms between measurements
constexpr uint32_t kMaxRoundTrip = 60000;  // longer "round trips" are forged echoes
// Disconnect data meaning "closed on purpose" (21); anything else is a loss (22).
constexpr uint32_t kGracefulDisconnect = 1;
// Disconnect data of a host that turns a connection away (full, or it did
// not join in time): a loss to the other side.
constexpr uint32_t kTurnedAway = 2;
// Game messages are small; these bound what a hostile peer can make us hold.
constexpr size_t kMaxPacketSize = 64 * 1024;
constexpr size_t kMaxWaitingData = 1024 * 1024;
constexpr size_t kMaxQueued = 8192;
constexpr int kMaxEventsPerService = 8192;
// A frame's messages for one connection go out as one packet of at most
// this many bytes (more make several): ENet sends anything larger in
// fragments, and an unreliable packet in fragments would become reliable.
constexpr size_t kMaxBundle =
    NetworkHandler::kMtu - sizeof(ENetProtocolHeader) - sizeof(ENetProtocolSendFragment);
constexpr const char* kDefaultLanAddress = "255.255.255.255";
// The lobby service's host is chosen with the lobby; until then only the
// VOIDRAKE_MASTER override points anywhere else.
constexpr const char* kDefaultMasterHost = "127.0.0.1";

// The handler whose host is being serviced on this thread: ENet's intercept
// callback has no user pointer, and only Service() lets ENet read datagrams.
thread_local NetworkHandler* servicing = nullptr;

PlayerID ToPlayerID(const ENetAddress& a) { return PlayerID{a.host, a.port}; }

// ENet gives up on a silent peer after up to 30 s by default; the game must
// tell its players within 10 s. The minimum keeps a short burst of loss
// from ending a connection that still answers.
void SetTimeout(ENetPeer* peer) {
  enet_peer_timeout(peer, ENET_PEER_TIMEOUT_LIMIT, ENET_PEER_TIMEOUT_MINIMUM,
                    NetworkHandler::kPeerTimeoutMs);
}

int ENET_CALLBACK InterceptCallback(ENetHost* host, ENetEvent*) {
  return servicing ? servicing->InterceptDatagram(host->receivedData, host->receivedDataLength,
                                                  ToPlayerID(host->receivedAddress))
                   : 0;
}

void InitLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { enet_initialize(); });
}

ENetHost* OpenHost(const ENetAddress& address, size_t peers, bool rangeCoding) {
  ENetHost* host = enet_host_create(&address, peers, 1, 0, 0);
  if (!host) return nullptr;
  host->mtu = NetworkHandler::kMtu;  // peers take the host's MTU when they connect
  host->maximumPacketSize = kMaxPacketSize;
  host->maximumWaitingData = kMaxWaitingData;
  host->intercept = InterceptCallback;
  // Every datagram is range-coded when that makes it shorter; the other
  // side must do the same to read it. The LAN search's raw datagrams are
  // never coded. (ENet's coder crashes on an empty packet: none is sent.)
  if (rangeCoding) enet_host_compress_with_range_coder(host);
  return host;
}

bool StartsWith(const unsigned char* data, size_t length, const unsigned char* tag, size_t n) {
  return length >= n && std::memcmp(data, tag, n) == 0;
}

}  // namespace

struct NetworkHandler::Impl {
  // One packet received: a bundle of game messages, or a notification.
  struct Packet {
    PlayerID playerId;                 // sender
    ENetPeer* peer = nullptr;          // connection it came on (null: offline datagram)
    ENetPacket* enetPacket = nullptr;  // library packet owned until released (null: notification)
    unsigned char notice = 0;          // the byte of a notification
    uint32_t receiveTime = 0;          // GetTime() when it arrived
    PacketBundle::Reader messages;     // the bundle's messages not yet handed out
  };
  // What a connection is sent this frame: one bundle per delivery kind.
  struct Outbox {
    PacketBundle reliable;
    PacketBundle unreliable;
  };
  struct PeerClock {  // round-trip measurement of one connection
    uint32_t lastRoundTrip = 0;
    uint32_t nextPing = 0;
    uint32_t pingSent = 0;   // stamp of the ping awaiting its pong
    bool awaiting = false;   // only the echo of that ping is believed
    uint32_t lastHeard = 0;  // enet_time_get() of its last packet or connection
    // Host: joining. `arrived` is GetTime() when the slot was first seen in
    // use (the handshake included), valid while `tracked`.
    bool tracked = false;
    uint32_t arrived = 0;
    bool admitted = false;
  };

  explicit Impl(NetworkHandler& owner) : self(owner) {}

  NetworkHandler& self;
  ENetHost* client = nullptr;      // client role: the local endpoint (one peer)
  ENetHost* server = nullptr;      // server role: the listening host
  ENetPeer* serverPeer = nullptr;  // client role: the connection to the host
  size_t playerSlots = 0;          // server role: the player limit (the host has spares)
  // Server role: connections lately opened from each address, halving every
  // second (a flood's addresses stand out; a real player's has one or two).
  std::unordered_map<uint32_t, float> arrivals;
  uint32_t arrivalsAged = 0;       // GetTime() of their last halving
  Packet* packet = nullptr;        // current while one of its messages is handled
  std::deque<Packet> queue;        // drained events waiting for ReceivePacket
  Packet current;                  // the packet whose messages are being handed out
  bool servicedThisRound = false;  // ReceivePacket serviced since it last said '0'
  std::vector<PeerClock> clocks;   // one per peer slot of the host
  std::vector<Outbox> outboxes;    // one per peer slot of the host

  ENetHost* Host() const { return self.isServer ? server : client; }
  void Service();
  void HandleEvent(const ENetEvent& event);
  void DropSilentPeers();
  void QueueNotice(unsigned char id, ENetPeer* peer, PlayerID from);
  bool HandleInternal(ENetPeer* peer, const ENetPacket* p);
  bool NextMessage(char& id);
  void ReleaseCurrent();
  void SendDuePings();
  void PingPeers();
  void SendToPeers(bool reliable, ENetPeer* except);
  void Post(ENetPeer* peer, bool reliable);
  void SendBundle(ENetPeer* peer, PacketBundle& bundle, bool reliable);
  void SendBundles();
  void ResetSlots(size_t count);
  long SlotOf(ENetPeer* peer) const;
  PeerClock* ClockOf(ENetPeer* peer);
  Outbox* OutboxOf(ENetPeer* peer);
  bool AcceptingConnections() const;
  bool MakeRoomFor(ENetPeer* newcomer);
  ENetPeer* RoomToMake(ENetPeer* newcomer);
  float CountArrival(uint32_t address);
  void DropUnjoinedPeers();
  void DropPeer(ENetPeer* peer);
  void ReleaseQueue();
  void ClearIncomingPacket();
  void CloseHost();
};

NetworkHandler::NetworkHandler() : impl(std::make_unique<Impl>(*this)) {
  const char* master = std::getenv("VOIDRAKE_MASTER");
  lobby.setMasterserver(master && *master ? master : kDefaultMasterHost, kMasterPath);
}

NetworkHandler::~NetworkHandler() { impl->CloseHost(); }

uint32_t NetworkHandler::GetTime() {
  using namespace std::chrono;
  static const steady_clock::time_point epoch = steady_clock::now();
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - epoch).count());
}

// ---- Roles and connections ----

void NetworkHandler::InitMe(bool serverRole) {
  InitLibrary();
  impl->CloseHost();
  isServer = serverRole;
  serverName = "Default Name";
  gameType = 0;
  if (!isServer) {
    const ENetAddress any{ENET_HOST_ANY, 0};
    impl->client = OpenHost(any, 1, rangeCoding);
    impl->ResetSlots(1);
  }
}

bool NetworkHandler::Listen(unsigned short port, unsigned short maxPlayers) {
  if (!isServer) return false;
  impl->CloseHost();
  const ENetAddress address{ENET_HOST_ANY, port};
  hostedPort = port;
  hostedMaxPlayers = maxPlayers > 0 ? maxPlayers : 1;
  ENetHost* server = OpenHost(address, hostedMaxPlayers + kSpareSlots, rangeCoding);
  impl->server = server;
  impl->playerSlots = hostedMaxPlayers;
  if (!server) return false;
  server->duplicatePeers = std::max<size_t>(connectionsPerAddress, 1);
  impl->ResetSlots(server->peerCount);
  return true;
}

bool NetworkHandler::ConnectMe(const char* host, int port) {
  if (isServer || !impl->client || !host || port <= 0 || port > 65535) return false;
  ENetAddress address;
  if (enet_address_set_host(&address, host) != 0) return false;
  address.port = static_cast<enet_uint16>(port);
  ENetPeer*& peer = impl->serverPeer;
  if (peer && peer->state != ENET_PEER_STATE_DISCONNECTED) enet_peer_reset(peer);
  turnedAway = false;
  peer = enet_host_connect(impl->client, &address, 1, 0);
  impl->ResetSlots(1);
  if (peer) {
    SetTimeout(peer);  // an unreachable host is given up as a lost connection
    enet_host_flush(impl->client);
  }
  return peer != nullptr;
}

void NetworkHandler::Close() {
  impl->CloseHost();
  isServer = false;
}

bool NetworkHandler::ClientConnected() {
  return !isServer && impl->serverPeer && impl->serverPeer->state == ENET_PEER_STATE_CONNECTED;
}

void NetworkHandler::QuitClient() {
  ENetPeer* peer = impl->serverPeer;
  if (isServer || !peer) return;
  if (peer->state != ENET_PEER_STATE_DISCONNECTED)
    enet_peer_disconnect_now(peer, kGracefulDisconnect);
}

void NetworkHandler::PingLAN() {
  if (isServer || !impl->client) return;
  const char* configured = std::getenv("VOIDRAKE_LAN_ADDRESS");
  ENetAddress address;
  if (enet_address_set_host_ip(&address,
                               configured && *configured ? configured : kDefaultLanAddress) != 0)
    return;
  ENetBuffer buffer;
  buffer.data = const_cast<unsigned char*>(kOfflinePing);
  buffer.dataLength = sizeof kOfflinePing;
  for (unsigned short i = 0; i < kLanSearchPorts; ++i) {
    address.port = static_cast<enet_uint16>(kGamePort + i);
    enet_socket_send(impl->client->socket, &address, &buffer, 1);
  }
}

bool NetworkHandler::Impl::AcceptingConnections() const {
  if (!server) return false;
  size_t used = 0;
  for (size_t i = 0; i < server->peerCount; ++i)
    if (server->peers[i].state != ENET_PEER_STATE_DISCONNECTED) ++used;
  return used < playerSlots;
}

void NetworkHandler::AdmitSender() {
  if (!isServer || !impl->packet) return;
  if (Impl::PeerClock* clock = impl->ClockOf(impl->packet->peer)) clock->admitted = true;
}

void NetworkHandler::DropSender() {
  if (!isServer || !impl->packet || !impl->packet->peer) return;
  impl->SendBundles();
  enet_peer_disconnect_later(impl->packet->peer, kGracefulDisconnect);
}

// ---- Admission ----

// One more connection from `address`; its recent count is returned.
float NetworkHandler::Impl::CountArrival(uint32_t address) {
  constexpr size_t kMaxAddresses = 4096;
  const uint32_t now = GetTime();
  const float halvings = static_cast<float>(now - arrivalsAged) / 1000.0f;
  if (halvings >= 0.1f) {
    const float keep = std::exp2(-std::min(halvings, 30.0f));
    for (auto& entry : arrivals) entry.second *= keep;
    std::erase_if(arrivals, [](const auto& entry) { return entry.second < 0.05f; });
    arrivalsAged = now;
  }
  if (arrivals.size() >= kMaxAddresses) arrivals.clear();  // a flood from everywhere
  return arrivals[address] += 1;
}

// The connection to drop so that `newcomer` finds a player slot: none while
// a slot is free; the newcomer itself when its address has opened
// connections again and again lately (a flood's: it displaces nobody) or
// every other connection has joined; otherwise one that has not joined, from
// the address that opened the most connections lately, the oldest first.
ENetPeer* NetworkHandler::Impl::RoomToMake(ENetPeer* newcomer) {
  size_t connected = 0;
  std::vector<ENetPeer*> waiting;
  for (size_t i = 0; i < server->peerCount; ++i) {
    ENetPeer* peer = &server->peers[i];
    if (peer->state != ENET_PEER_STATE_CONNECTED) continue;
    ++connected;
    const PeerClock* clock = ClockOf(peer);
    if (clock && !clock->admitted) waiting.push_back(peer);
  }
  if (connected <= playerSlots) return nullptr;
  auto busy = [&](const ENetPeer* peer) {
    const auto it = arrivals.find(peer->address.host);
    return it == arrivals.end() ? 0.0f : it->second;
  };
  auto older = [&](ENetPeer* a, ENetPeer* b) {
    return static_cast<int32_t>(ClockOf(a)->arrived - ClockOf(b)->arrived) < 0;
  };
  constexpr float kBusyAddress = 1.5f;  // about two connections within a second
  if (busy(newcomer) >= kBusyAddress) return newcomer;
  ENetPeer* pick = nullptr;
  for (ENetPeer* peer : waiting) {
    if (peer == newcomer) continue;
    const float n = pick ? busy(pick) : 0, m = busy(peer);
    if (!pick || m > n || (m == n && older(peer, pick))) pick = peer;
  }
  return pick ? pick : newcomer;
}

// False when the newcomer itself is turned away.
bool NetworkHandler::Impl::MakeRoomFor(ENetPeer* newcomer) {
  ENetPeer* drop = RoomToMake(newcomer);
  if (drop == newcomer) {
    enet_peer_disconnect_now(newcomer, kTurnedAway);
    if (PeerClock* clock = ClockOf(newcomer)) *clock = PeerClock{};
    return false;
  }
  if (drop) DropPeer(drop);
  return true;
}

// A connection the game has seen: it hears of the loss like any other.
void NetworkHandler::Impl::DropPeer(ENetPeer* peer) {
  ENetEvent lost{};
  lost.type = ENET_EVENT_TYPE_DISCONNECT;
  lost.peer = peer;
  HandleEvent(lost);
  enet_peer_disconnect_now(peer, kTurnedAway);
}

// Slots in use by connections that have not joined in time, handshakes
// included, are freed.
void NetworkHandler::Impl::DropUnjoinedPeers() {
  const uint32_t now = GetTime();
  for (size_t i = 0; i < server->peerCount && i < clocks.size(); ++i) {
    ENetPeer* peer = &server->peers[i];
    PeerClock& clock = clocks[i];
    if (peer->state == ENET_PEER_STATE_DISCONNECTED) {
      clock.tracked = clock.admitted = false;
      continue;
    }
    if (clock.admitted) continue;
    if (!clock.tracked) {
      clock.tracked = true;
      clock.arrived = now;
      continue;
    }
    if (now - clock.arrived < kJoinDeadlineMs) continue;
    if (peer->state == ENET_PEER_STATE_CONNECTED) {
      DropPeer(peer);
    } else {
      enet_peer_reset(peer);  // a handshake the game never heard of
      clock = PeerClock{};
    }
  }
}

int NetworkHandler::InterceptDatagram(const unsigned char* data, size_t length, PlayerID from) {
  if (length < 2 || data[0] != 0xFF || data[1] != 0xFF) return 0;  // an ENet datagram
  if (isServer && StartsWith(data, length, kOfflinePing, sizeof kOfflinePing)) {
    if (impl->AcceptingConnections()) {
      const ENetAddress to{from.binaryAddress, from.port};
      ENetBuffer buffer;
      buffer.data = const_cast<unsigned char*>(kOfflinePong);
      buffer.dataLength = sizeof kOfflinePong;
      enet_socket_send(impl->server->socket, &to, &buffer, 1);
    }
  } else if (!isServer && StartsWith(data, length, kOfflinePong, sizeof kOfflinePong)) {
    impl->QueueNotice(static_cast<unsigned char>(netid::LanPong), nullptr, from);
  }
  return 1;  // every tagged datagram is ours, answered or not
}

PlayerID NetworkHandler::GetLastID() {
  return impl->packet ? impl->packet->playerId : UNASSIGNED_PLAYER_ID;
}

const char* NetworkHandler::GetIP(PlayerID id) {
  in_addr address;
  address.s_addr = id.binaryAddress;
  if (!inet_ntop(AF_INET, &address, ipText, sizeof ipText)) ipText[0] = '\0';
  return ipText;
}

// ---- Round trips ----

void NetworkHandler::Impl::ResetSlots(size_t count) {
  clocks.assign(count, PeerClock{});
  outboxes.assign(count, Outbox{});
}

// The peer's slot in the host, or -1 for a pointer that is none of its peers.
long NetworkHandler::Impl::SlotOf(ENetPeer* peer) const {
  ENetHost* host = Host();
  if (!host || !peer || peer < host->peers || peer >= host->peers + host->peerCount) return -1;
  return static_cast<long>(peer - host->peers);
}

NetworkHandler::Impl::PeerClock* NetworkHandler::Impl::ClockOf(ENetPeer* peer) {
  const long slot = SlotOf(peer);
  return slot >= 0 && static_cast<size_t>(slot) < clocks.size() ? &clocks[slot] : nullptr;
}

NetworkHandler::Impl::Outbox* NetworkHandler::Impl::OutboxOf(ENetPeer* peer) {
  const long slot = SlotOf(peer);
  return slot >= 0 && static_cast<size_t>(slot) < outboxes.size() ? &outboxes[slot] : nullptr;
}

int NetworkHandler::HalfRoundTripMs() {
  ENetPeer* peer = isServer ? (impl->packet ? impl->packet->peer : nullptr) : impl->serverPeer;
  const Impl::PeerClock* clock = impl->ClockOf(peer);
  return clock ? static_cast<int>(clock->lastRoundTrip / 2) : 0;
}

void NetworkHandler::PingPeers() { impl->PingPeers(); }

void NetworkHandler::Impl::PingPeers() {
  ENetHost* host = Host();
  if (!host) return;
  const uint32_t now = GetTime();
  for (size_t i = 0; i < host->peerCount; ++i) {
    ENetPeer* peer = &host->peers[i];
    if (peer->state != ENET_PEER_STATE_CONNECTED) continue;
    unsigned char data[kInternalLength] = {kInternalTag, kInternalPing};
    std::memcpy(data + 2, &now, 4);
    ENetPacket* p = enet_packet_create(data, sizeof data, ENET_PACKET_FLAG_UNSEQUENCED);
    if (p && enet_peer_send(peer, 0, p) != 0) enet_packet_destroy(p);
    if (PeerClock* clock = ClockOf(peer)) {
      clock->nextPing = now + kPingInterval;
      clock->pingSent = now;
      clock->awaiting = true;
    }
  }
  enet_host_flush(host);
}

void NetworkHandler::Impl::SendDuePings() {
  ENetHost* host = Host();
  if (!host) return;
  const uint32_t now = GetTime();
  for (size_t i = 0; i < host->peerCount && i < clocks.size(); ++i) {
    if (host->peers[i].state == ENET_PEER_STATE_CONNECTED &&
        static_cast<int32_t>(now - clocks[i].nextPing) >= 0) {
      PingPeers();  // one due means the others are close: measure all together
      return;
    }
  }
}

bool NetworkHandler::Impl::HandleInternal(ENetPeer* peer, const ENetPacket* p) {
  if (p->dataLength == 0 || p->data[0] != kInternalTag) return false;
  if (p->dataLength != kInternalLength) return true;  // ours, but not a valid one
  if (p->data[1] == kInternalPing) {
    unsigned char reply[kInternalLength];
    std::memcpy(reply, p->data, kInternalLength);
    reply[1] = kInternalPong;
    ENetPacket* pong = enet_packet_create(reply, sizeof reply, ENET_PACKET_FLAG_UNSEQUENCED);
    if (pong && enet_peer_send(peer, 0, pong) != 0) enet_packet_destroy(pong);
    return true;
  }
  if (p->data[1] == kInternalPong) {
    uint32_t sent;
    std::memcpy(&sent, p->data + 2, 4);
    const uint32_t roundTrip = GetTime() - sent;
    PeerClock* clock = ClockOf(peer);
    if (clock && clock->awaiting && sent == clock->pingSent && roundTrip <= kMaxRoundTrip) {
      clock->lastRoundTrip = roundTrip;
      clock->awaiting = false;
    }
  }
  return true;
}

// ---- Receiving ----

void NetworkHandler::Impl::QueueNotice(unsigned char id, ENetPeer* peer, PlayerID from) {
  if (queue.size() >= kMaxQueued) return;
  Packet p;
  p.playerId = from;
  p.peer = peer;
  p.notice = id;
  p.receiveTime = GetTime();
  queue.push_back(p);
}

void NetworkHandler::Impl::HandleEvent(const ENetEvent& event) {
  ENetPeer* peer = event.peer;
  switch (event.type) {
    case ENET_EVENT_TYPE_CONNECT:
      // ENet's throttle drops unreliable packets whenever the round trip
      // jitters (always, on loopback); deceleration 0 keeps it at full.
      enet_peer_throttle_configure(peer, ENET_PEER_PACKET_THROTTLE_INTERVAL,
                                   ENET_PEER_PACKET_THROTTLE_ACCELERATION, 0);
      peer->packetThrottle = ENET_PEER_PACKET_THROTTLE_SCALE;
      SetTimeout(peer);
      if (PeerClock* clock = ClockOf(peer)) {
        const PeerClock before = *clock;
        *clock = PeerClock{0, GetTime(), 0, false, enet_time_get()};
        clock->tracked = true;  // the join deadline runs from the handshake's start
        clock->arrived = before.tracked ? before.arrived : GetTime();
      }
      if (Outbox* box = OutboxOf(peer)) *box = Outbox{};
      if (self.isServer) CountArrival(peer->address.host);
      if (self.isServer && !MakeRoomFor(peer)) break;
      QueueNotice(static_cast<unsigned char>(self.isServer ? netid::NewIncomingConnection
                                                           : netid::ConnectionAccepted),
                  peer, ToPlayerID(peer->address));
      break;
    case ENET_EVENT_TYPE_DISCONNECT:
      // Packets still queued from this connection must not point at a slot
      // that a new connection may take.
      for (Packet& p : queue)
        if (p.peer == peer) p.peer = nullptr;
      if (current.peer == peer) current.peer = nullptr;
      if (Outbox* box = OutboxOf(peer)) *box = Outbox{};
      if (peer == serverPeer) self.turnedAway = event.data == kTurnedAway;
      QueueNotice(
          static_cast<unsigned char>(event.data == kGracefulDisconnect ? netid::Disconnection
                                                                       : netid::ConnectionLost),
          nullptr, ToPlayerID(peer->address));
      if (PeerClock* clock = ClockOf(peer)) *clock = PeerClock{};
      break;
    case ENET_EVENT_TYPE_RECEIVE:
      if (PeerClock* clock = ClockOf(peer)) clock->lastHeard = enet_time_get();
      if (HandleInternal(peer, event.packet) || queue.size() >= kMaxQueued) {
        enet_packet_destroy(event.packet);
        break;
      }
      {
        Packet p;
        p.playerId = ToPlayerID(peer->address);
        p.peer = peer;
        p.enetPacket = event.packet;
        p.receiveTime = GetTime();
        queue.push_back(p);
      }
      break;
    default: break;
  }
}

void NetworkHandler::Impl::Service() {
  ENetHost* host = Host();
  if (!host) return;
  SendBundles();  // messages not flushed yet leave ahead of this round's replies
  SendDuePings();
  NetworkHandler* outer = servicing;
  servicing = &self;
  ENetEvent event;
  for (int n = 0; n < kMaxEventsPerService; ++n) {
    // Events already received are dispatched without touching the socket;
    // only when none is left does ENet send, read the socket and dispatch.
    int result = enet_host_check_events(host, &event);
    if (result == 0) result = enet_host_service(host, &event, 0);
    if (result <= 0) break;
    HandleEvent(event);
  }
  servicing = outer;
  DropSilentPeers();
  if (self.isServer) DropUnjoinedPeers();
  enet_host_flush(host);  // pongs and acknowledgements go out now, not next frame
}

// ENet checks a peer's silence only when a resend falls due, and resends back
// off exponentially: a dead peer is noticed anywhere between 6 and 16 s. A
// live one is heard at least every second (the round-trip pings), so a
// connection silent for the time-out is lost now.
void NetworkHandler::Impl::DropSilentPeers() {
  ENetHost* host = Host();
  const uint32_t now = enet_time_get();
  auto silentFor = [now](uint32_t since) { return static_cast<int32_t>(now - since); };
  for (size_t i = 0; i < host->peerCount; ++i) {
    ENetPeer* peer = &host->peers[i];
    const PeerClock* clock = ClockOf(peer);
    if (peer->state != ENET_PEER_STATE_CONNECTED || !clock) continue;
    const int32_t silent = std::min(silentFor(clock->lastHeard), silentFor(peer->lastReceiveTime));
    if (silent < static_cast<int32_t>(kPeerTimeoutMs)) continue;
    ENetEvent lost{};
    lost.type = ENET_EVENT_TYPE_DISCONNECT;
    lost.peer = peer;
    HandleEvent(lost);
    enet_peer_reset(peer);
  }
}

bool NetworkHandler::OpenPacket(BitStream& view, const unsigned char* data, size_t length, char& id,
                                uint32_t& stamp, bool& stamped) {
  view.SetReadView(data, length);
  stamped = false;
  if (!view.Read(id)) return false;
  if (id == netid::TimeStamp) {
    if (!view.Read(stamp) || !view.Read(id)) return false;
    stamped = true;
  }
  // '0' means "nothing waiting" to every caller, so a packet with that id
  // would end the frame's receive loop early with the packet unreleased.
  return id != netid::NoPacket;
}

// Opens the current packet's next message that the game may see; false when
// none is left. Messages that are empty, cut short or have the id '0' are
// skipped; a broken length drops the rest of the packet.
bool NetworkHandler::Impl::NextMessage(char& id) {
  const unsigned char* data;
  size_t length;
  while (current.messages.Next(data, length)) {
    uint32_t stamp = 0;
    bool stamped = false;
    if (!OpenPacket(self.incoming, data, length, id, stamp, stamped)) continue;
    self.packetTime = stamped ? stamp : current.receiveTime;
    packet = &current;
    return true;
  }
  return false;
}

// Frees the packet whose messages have all been handed out.
void NetworkHandler::Impl::ReleaseCurrent() {
  if (current.enetPacket) enet_packet_destroy(current.enetPacket);
  current = Packet{};
}

// Queued packets are opened one at a time; each message of a bundle (a
// notification is one message on its own) is handed out in turn.
char NetworkHandler::ReceivePacket() {
  ClearIncomingPacket();
  std::deque<Impl::Packet>& queue = impl->queue;
  for (;;) {
    char id;
    if (impl->NextMessage(id)) return id;
    impl->ReleaseCurrent();
    if (queue.empty()) {
      // Service once per round: a steady flood must not keep the frame's
      // receive loop from ever seeing '0'.
      if (impl->servicedThisRound) {
        impl->servicedThisRound = false;
        return netid::NoPacket;
      }
      impl->Service();
      impl->servicedThisRound = true;
      if (queue.empty()) {
        impl->servicedThisRound = false;
        return netid::NoPacket;
      }
    }
    Impl::Packet& next = impl->current = queue.front();
    queue.pop_front();
    if (next.enetPacket) {
      next.messages = PacketBundle::Reader(next.enetPacket->data, next.enetPacket->dataLength);
    } else {  // a notification: its one byte is the whole message
      uint32_t stamp = 0;
      bool stamped = false;
      if (OpenPacket(incoming, &next.notice, 1, id, stamp, stamped)) {
        packetTime = next.receiveTime;
        impl->packet = &next;
        return id;
      }
    }
  }
}

void NetworkHandler::ClearIncomingPacket() { impl->ClearIncomingPacket(); }

void NetworkHandler::QueueReceived(PlayerID from, const unsigned char* data, size_t length,
                                   bool notice) {
  if (notice) {
    if (length > 0) impl->QueueNotice(data[0], nullptr, from);
    return;
  }
  if (impl->queue.size() >= kMaxQueued || length > kMaxPacketSize) return;
  Impl::Packet p;
  p.playerId = from;
  p.enetPacket = enet_packet_create(length ? data : nullptr, length, 0);
  p.receiveTime = GetTime();
  if (p.enetPacket) impl->queue.push_back(p);
}

// The packet itself stays until its last message has been handed out.
void NetworkHandler::Impl::ClearIncomingPacket() {
  packet = nullptr;
  self.incoming.SetReadView(nullptr, 0);
}

char NetworkHandler::ReadChar() {
  char c;
  incoming.Read(c);
  return c;
}

char NetworkHandler::ReadCharCom() {
  char c;
  incoming.ReadCompressed(c);
  return c;
}

int NetworkHandler::ReadInt() {
  int v;
  incoming.ReadCompressed(v);
  return v;
}

float NetworkHandler::ReadFloat() {
  float f;
  incoming.ReadCompressed(f);
  return f;
}

bool NetworkHandler::ReadBool() {
  bool b;
  incoming.Read(b);
  return b;
}

std::string NetworkHandler::ReadString() {
  std::string s;
  incoming.ReadString(s);
  return s;
}

// ---- Sending ----

// The outgoing message joins the peer's bundle of this frame; a bundle that
// would grow past one datagram's room is sent first.
void NetworkHandler::Impl::Post(ENetPeer* peer, bool reliable) {
  Outbox* box = OutboxOf(peer);
  if (!box) return;
  PacketBundle& bundle = reliable ? box->reliable : box->unreliable;
  const BitStream& out = self.outgoing;
  const size_t length = out.GetNumberOfBytesUsed();
  if (!bundle.Empty() && bundle.Size() + PacketBundle::RecordSize(length) > kMaxBundle)
    SendBundle(peer, bundle, reliable);
  bundle.Add(out.GetData(), length);
}

void NetworkHandler::Impl::SendToPeers(bool reliable, ENetPeer* except) {
  if (!server) return;
  for (size_t i = 0; i < server->peerCount; ++i) {
    ENetPeer* peer = &server->peers[i];
    if (peer->state == ENET_PEER_STATE_CONNECTED && peer != except) Post(peer, reliable);
  }
}

// Unreliable bundles are unsequenced: plain unreliable packets are sequenced
// against the reliable ones of the channel and dropped or held behind them.
void NetworkHandler::Impl::SendBundle(ENetPeer* peer, PacketBundle& bundle, bool reliable) {
  if (bundle.Empty()) return;
  if (peer->state == ENET_PEER_STATE_CONNECTED) {
    ENetPacket* p =
        enet_packet_create(bundle.Data(), bundle.Size(),
                           reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
    if (p && enet_peer_send(peer, 0, p) != 0) enet_packet_destroy(p);
  }
  bundle.Clear();
}

void NetworkHandler::Impl::SendBundles() {
  ENetHost* host = Host();
  if (!host) return;
  for (size_t i = 0; i < host->peerCount && i < outboxes.size(); ++i) {
    SendBundle(&host->peers[i], outboxes[i].reliable, true);
    SendBundle(&host->peers[i], outboxes[i].unreliable, false);
  }
}

void NetworkHandler::Send(Delivery delivery) {
  const bool reliable = delivery == Delivery::Reliable || delivery == Delivery::RelayReliable ||
                        delivery == Delivery::Reply;
  const bool reply = delivery == Delivery::Reply;
  const bool relay =
      reply || delivery == Delivery::RelayReliable || delivery == Delivery::RelayUnreliable;
  ENetPeer* sender = impl->packet ? impl->packet->peer : nullptr;
  if (outgoing.GetNumberOfBitsUsed() == 0) {
    // nothing to send
  } else if (isServer && reply) {
    if (sender) impl->Post(sender, reliable);
  } else if (isServer) {
    impl->SendToPeers(reliable, relay ? sender : nullptr);
  } else if (!relay && ClientConnected()) {  // a client never relays
    impl->Post(impl->serverPeer, reliable);
  }
  outgoing.Reset();
}

NetworkHandler::Traffic NetworkHandler::GetTraffic() const {
  const ENetHost* host = impl->Host();
  if (!host) return Traffic{};
  return Traffic{host->totalSentData, host->totalReceivedData, host->totalSentPackets,
                 host->totalReceivedPackets};
}

void NetworkHandler::Flush() {
  impl->SendBundles();
  if (ENetHost* host = impl->Host()) enet_host_flush(host);
}

// ---- Teardown ----

void NetworkHandler::Impl::ReleaseQueue() {
  ClearIncomingPacket();
  ReleaseCurrent();
  for (Packet& p : queue)
    if (p.enetPacket) enet_packet_destroy(p.enetPacket);
  queue.clear();
  servicedThisRound = false;
}

void NetworkHandler::Impl::CloseHost() {
  ReleaseQueue();
  for (ENetHost** host : {&client, &server}) {
    if (!*host) continue;
    // Tell the other side at once rather than leaving it to time out.
    for (size_t i = 0; i < (*host)->peerCount; ++i)
      if ((*host)->peers[i].state == ENET_PEER_STATE_CONNECTED)
        enet_peer_disconnect_now(&(*host)->peers[i], kGracefulDisconnect);
    enet_host_destroy(*host);
    *host = nullptr;
  }
  serverPeer = nullptr;
  playerSlots = 0;
  arrivals.clear();
  clocks.clear();
}
