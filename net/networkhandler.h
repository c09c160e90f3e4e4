// NetworkHandler: the game's only door to the network (ENet underneath, and
// seen by no other file). One instance, the global Networking, plays one role
// for the whole game: server (the host, which relays) or client. Callers fill
// the one outgoing message field by field (net/messages.h does it for whole
// messages) and send it with Send(delivery); they read the packet being
// handled field by field through the incoming view.
//
// Library notifications reach the game as one-byte packets (ids below) that
// the game's loops skip; the LAN search's answer is a packet with id 10 whose
// sender is the answering host.
//
// Sends are queued and go out together when the frame calls Flush() (and, at
// the latest, with the next ReceivePacket, which services the connection):
// all of a frame's messages for one connection travel as one packet per
// delivery kind (net/packetbundle.h), which the receiving handler splits
// back into the same messages, in order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/bitstream.h"
#include "net/masterserverquery.h"

// The sender of a packet: IPv4 address (network byte order) and port.
struct PlayerID {
  uint32_t binaryAddress = 0xFFFFFFFFu;
  uint16_t port = 0xFFFF;
  bool operator==(const PlayerID&) const = default;
};
inline constexpr PlayerID UNASSIGNED_PLAYER_ID{};

// Ids of the packets the handler itself produces.
namespace netid {
constexpr char LanPong = 10;                // a host answered the LAN search
constexpr char ConnectionAccepted = 18;     // client: the host accepted us
constexpr char NewIncomingConnection = 19;  // host: a client connected
constexpr char Disconnection = 21;          // the other side closed the connection
constexpr char ConnectionLost = 22;         // the other side stopped answering (or never did)
constexpr char TimeStamp = 23;              // prefix: a 32-bit time stamp, then the real id
constexpr char NoPacket = '0';              // ReceivePacket: nothing waiting
}  // namespace netid

// Who receives a sent message. A client's sends all go to the host; a relay
// is the host's and goes to every client but the sender of the packet being
// handled, a reply to that sender only (a client never relays or replies).
// Reliable messages arrive once and in order; unreliable ones may be lost but
// never hold up or reorder others. A reply is reliable.
enum class Delivery { Reliable, Unreliable, RelayReliable, RelayUnreliable, Reply };

class NetworkHandler {
 public:
  static constexpr unsigned short kGamePort = 60000;
  // The LAN search asks this many ports from kGamePort up: games hosted on
  // the next few ports of one machine are found too.
  static constexpr unsigned short kLanSearchPorts = 8;
  static constexpr unsigned short kMaxPlayers = 32;
  static constexpr unsigned kMtu = 1380;
  static constexpr const char* kMasterPath = "/LobbyServer/request.php";
  // A connection that has not been heard for this long is lost (event 22).
  static constexpr uint32_t kPeerTimeoutMs = 7000;
  // Host: a connection that has not joined (AdmitSender) this long after it
  // arrived is dropped, so connections that never join cannot hold the
  // player slots.
  static constexpr uint32_t kJoinDeadlineMs = 5000;
  // Host: most connections from one address. A LAN party behind one address
  // raises it (connectionsPerAddress) before Listen.
  static constexpr unsigned short kConnectionsPerAddress = 4;
  // Host: library slots beyond the player limit, where newcomers arrive
  // while every player slot is taken, so that one that has not joined can
  // make room for them. A flood's half-open handshakes hold slots too until
  // they time out, so there are enough for ten flooding addresses at their
  // per-address limit and the newcomer.
  static constexpr unsigned short kSpareSlots = 48;

  bool isServer = false;
  uint32_t packetTime = 0;  // the sender's stamp, or GetTime() at reception
  std::string serverName;   // advertised by the heartbeat
  int gameType = 0;         // advertised by the heartbeat
  unsigned short connectionsPerAddress = kConnectionsPerAddress;  // host, at Listen
  // Datagrams are range-coded, which both sides must agree on (taken at
  // InitMe for a client, at Listen for a host). Off only to measure
  // what the coding saves.
  bool rangeCoding = true;
  BitStream incoming;  // read view over the current packet
  BitStream outgoing;  // the message being built
  masterServerQuery lobby;
  std::vector<masterServerQuery::tServerQueryItem> servers;
  // Players in the hosted game (computer players included) and how many of
  // them are computer players, sent with the next heartbeat; -1: untold.
  void SetPlayerCounts(int players, int bots);
  // How old (in seconds) the list in `servers` is when it is the saved one,
  // shown because no lobby answered; -1 when fresh (or there is none).
  long long savedListAge = -1;

  NetworkHandler();
  ~NetworkHandler();
  NetworkHandler(const NetworkHandler&) = delete;
  NetworkHandler& operator=(const NetworkHandler&) = delete;

  // Chooses the role; the client role opens its local endpoint at once.
  void InitMe(bool server);
  // Server role: listens on UDP `port` for up to `maxPlayers` clients, at
  // most connectionsPerAddress from one address (more are not answered).
  // False when the port cannot be opened (the game does not look).
  //
  // A newcomer that finds every player slot taken makes room by dropping a
  // connection that has not joined yet (from the address that opened the
  // most connections lately, the oldest first), or is refused when every
  // other has joined or its own address keeps opening connections.
  bool Listen(unsigned short port, unsigned short maxPlayers);
  // Server role: the sender of the packet being handled has joined the
  // match: its connection is kept past kJoinDeadlineMs and never makes room.
  void AdmitSender();
  // Server role: closes the connection of the packet being handled once
  // what was already sent to it has left (a removed player reads why).
  void DropSender();
  // Server role: the port and player limit of the last Listen (what
  // the master server lists and probes).
  unsigned short HostedPort() const { return hostedPort; }
  unsigned short HostedMaxPlayers() const { return hostedMaxPlayers; }
  // Client role: starts connecting to an IPv4 address or host name (looked
  // up now); false when the attempt could not be started.
  bool ConnectMe(const char* host, int port);
  bool ClientConnected();
  // Client: the host closed our connection because it had no room for us
  // (every player slot taken), rather than the connection being lost.
  bool TurnedAway() const { return turnedAway; }
  // Client role: asks every host on the local network whether it takes
  // players; answers arrive as packets with id 10 whose sender's port is the
  // game's. Goes to 255.255.255.255 unless VOIDRAKE_LAN_ADDRESS names
  // another address, on kLanSearchPorts ports.
  void PingLAN();
  PlayerID GetLastID();
  // Dotted address of a sender (a buffer of the handler, valid until the next call).
  const char* GetIP(PlayerID id);
  // Half the last measured round trip to the current packet's sender (server)
  // or to the host (client), in ms, truncated.
  int HalfRoundTripMs();
  void QuitClient();
  // Ends the role: every connection is closed (the other sides are told)
  // and nothing is listened on until the next InitMe.
  void Close();
  // Measures the round trip to every connection now (also done every second).
  void PingPeers();

  // The id of the next waiting packet, or '0' when nothing more is waiting in
  // this frame. A packet the caller did not release is released here.
  char ReceivePacket();
  void ClearIncomingPacket();
  // Puts a packet (a bundle of messages) in the receive queue as if it had
  // arrived from `from` on a connection that has since closed (a reply to it
  // goes nowhere), or with `notice` the notification whose id is data[0]:
  // the fuzzers feed the real receive path this way.
  void QueueReceived(PlayerID from, const unsigned char* data, size_t length, bool notice = false);

  // Sends the outgoing message (if any) and clears it for the next one.
  void Send(Delivery delivery);
  // Puts every queued send on the wire; call once per frame after the sends.
  void Flush();

  // What this role's socket has carried on its connections since InitMe or
  // Listen: UDP payload bytes as sent (after compression) and
  // datagrams. The counters wrap at 2^32; take differences.
  struct Traffic {
    uint32_t bytesSent = 0, bytesReceived = 0;
    uint32_t datagramsSent = 0, datagramsReceived = 0;
  };
  Traffic GetTraffic() const;

  void SetGameStats(std::string name, int gameType);
  void HeartBeat();
  // Asks the master servers in turn for their list; the rows also stay in
  // servers, and the list is saved on disk. `fetched` (when given) is false
  // when no master server could be reached or answered sense: the list is
  // then the saved one, with savedListAge set, or empty.
  const std::vector<masterServerQuery::tServerQueryItem>& GetServers2(bool* fetched = nullptr);

  // Field writes and reads (encodings in net/bitstream.h).
  void WriteChar(char c) { outgoing.Write(c); }
  void WriteCharCom(char c) { outgoing.WriteCompressed(c); }
  void WriteInt(int i) { outgoing.WriteCompressed(i); }
  void WriteFloat(float f) { outgoing.WriteCompressed(f); }
  void WriteBool(bool b) { outgoing.Write(b); }
  void WriteString(const std::string& s) { outgoing.WriteString(s); }
  char ReadChar();
  char ReadCharCom();
  int ReadInt();  // -1 when the message is exhausted
  float ReadFloat();
  bool ReadBool();
  std::string ReadString();  // "" when the message is exhausted

  // Opens a packet's bytes for reading: makes `view` a view over them, takes
  // the optional time-stamp prefix and the id. False for packets the game
  // must not see (empty, cut short, or with the id '0').
  static bool OpenPacket(BitStream& view, const unsigned char* data, size_t length, char& id,
                         uint32_t& stamp, bool& stamped);

  // Milliseconds of a monotonic clock (the library time of packetTime).
  static uint32_t GetTime();

  // An offline datagram as the library's intercept sees it: a LAN ping is
  // answered (server), a pong queued as a packet with id 10 (client). 1 when
  // the datagram was ours, answered or not; 0 when it belongs to the library.
  int InterceptDatagram(const unsigned char* data, size_t length, PlayerID from);

 private:
  struct Impl;  // the library's hosts, connections and the receive queue
  std::unique_ptr<Impl> impl;
  char ipText[16] = {};
  unsigned short hostedPort = kGamePort;
  unsigned short hostedMaxPlayers = kMaxPlayers;
  bool turnedAway = false;
};
