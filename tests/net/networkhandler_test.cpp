// The network handler over real ENet sockets on loopback. Run inside the
// private network namespace (scripts/with-netns.sh): the LAN search there
// goes to 127.255.255.255 and nothing leaves the machine.
#include "net/networkhandler.h"

#include <arpa/inet.h>
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/messages.h"
#include "net/packetbundle.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned short kPort = NetworkHandler::kGamePort;

struct Got {
  char id;
  std::string text;  // the text of a chat message
  PlayerID from;
  uint32_t time;
};

struct Endpoint {
  NetworkHandler net;
  std::vector<Got> got;
  std::function<void(char)> onPacket;  // runs while the packet is current

  void Drain() {
    for (char id; (id = net.ReceivePacket()) != netid::NoPacket;) {
      Got g{id, "", net.GetLastID(), net.packetTime};
      msg::Chat chat;
      if (id == msg::kChat && msg::Read(net, chat)) g.text = chat.text;
      got.push_back(g);
      if (onPacket) onPacket(id);
      net.ClearIncomingPacket();
    }
  }
  int Count(char id) const {
    int n = 0;
    for (const Got& g : got) n += g.id == id;
    return n;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Got& g : got)
      if (g.id == msg::kChat) texts.push_back(g.text);
    return texts;
  }
  bool HasText(const std::string& t) const {
    for (const Got& g : got)
      if (g.id == msg::kChat && g.text == t) return true;
    return false;
  }
};

// Runs frames on every endpoint until `done` holds or the time is up.
bool Pump(std::initializer_list<Endpoint*> endpoints, const std::function<bool()>& done,
          int timeoutMs = 3000) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < end) {
    for (Endpoint* e : endpoints) e->Drain();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

void Idle(std::initializer_list<Endpoint*> endpoints, int ms) {
  Pump(
      endpoints, [] { return false; }, ms);
}

void SendChat(Endpoint& e, const std::string& text, Delivery delivery) {
  msg::Send(e.net, msg::Chat{text}, delivery);
  e.net.Flush();
}

std::string Dotted(const PlayerID& id) {
  char text[16];
  in_addr a;
  a.s_addr = id.binaryAddress;
  inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

// One host and two clients, connected.
class Star : public ::testing::Test {
 protected:
  void SetUp() override {
    host.net.InitMe(true);
    ASSERT_TRUE(host.net.Listen(kPort, NetworkHandler::kMaxPlayers));
    // No game here to join: the connections are kept past the join deadline.
    host.onPacket = [this](char id) {
      if (id == netid::NewIncomingConnection) host.net.AdmitSender();
    };
    for (Endpoint* c : {&a, &b}) {
      c->net.InitMe(false);
      ASSERT_TRUE(c->net.ConnectMe("127.0.0.1", kPort));
    }
    ASSERT_TRUE(Pump({&host, &a, &b}, [&] {
      return a.net.ClientConnected() && b.net.ClientConnected() &&
             host.Count(netid::NewIncomingConnection) == 2;
    }));
    EXPECT_EQ(a.Count(netid::ConnectionAccepted), 1);
    EXPECT_EQ(b.Count(netid::ConnectionAccepted), 1);
    EXPECT_EQ(Dotted(host.got[0].from), "127.0.0.1");
    for (Endpoint* e : {&host, &a, &b}) e->got.clear();
  }

  Endpoint host, a, b;
};

TEST_F(Star, EachSendModeReachesExactlyItsReceivers) {
  SendChat(a, "a to host", Delivery::Reliable);
  SendChat(host, "host reliable", Delivery::Reliable);
  SendChat(host, "host unreliable", Delivery::Unreliable);
  ASSERT_TRUE(Pump({&host, &a, &b}, [&] {
    return host.HasText("a to host") && a.Texts().size() == 2 && b.Texts().size() == 2;
  }));
  Idle({&host, &a, &b}, 100);
  EXPECT_EQ(host.Texts(), std::vector<std::string>{"a to host"});
  for (Endpoint* c : {&a, &b}) {
    EXPECT_TRUE(c->HasText("host reliable"));
    EXPECT_TRUE(c->HasText("host unreliable"));
    EXPECT_EQ(c->Texts().size(), 2u);
  }
}

TEST_F(Star, ServerRepliesGoToEveryClientButTheSender) {
  host.onPacket = [&](char id) {
    if (id != msg::kChat) return;
    // The relay is built while the incoming message is current.
    SendChat(host, "relay", Delivery::RelayReliable);
    SendChat(host, "relay unreliable", Delivery::RelayUnreliable);
  };
  SendChat(b, "from b", Delivery::Reliable);
  ASSERT_TRUE(Pump({&host, &a, &b}, [&] { return a.Texts().size() == 2; }));
  Idle({&host, &a, &b}, 150);
  EXPECT_TRUE(a.HasText("relay"));
  EXPECT_TRUE(a.HasText("relay unreliable"));
  EXPECT_TRUE(b.Texts().empty());
}

TEST_F(Star, AClientNeverRelays) {
  msg::Send(a.net, msg::Chat{"not for anyone"}, Delivery::RelayReliable);
  EXPECT_EQ(a.net.outgoing.GetNumberOfBitsUsed(), 0u);  // cleared for the next message
  msg::Send(a.net, msg::Chat{"not for anyone"}, Delivery::RelayUnreliable);
  a.net.Flush();
  Idle({&host, &a, &b}, 200);
  EXPECT_TRUE(host.Texts().empty());
}

// A frame's messages travel together: a thousand reliable ones, and the
// unreliable ones between them, arrive complete and in order in a handful
// of datagrams rather than one each.
TEST_F(Star, AFramesMessagesArriveCompleteAndInOrderInFewDatagrams) {
  const uint32_t datagramsBefore = host.net.GetTraffic().datagramsReceived;
  for (int i = 0; i < 1000; ++i) {
    msg::Send(a.net, msg::Chat{std::to_string(i)}, Delivery::Reliable);
    if (i % 100 == 0) msg::Send(a.net, msg::Chat{"u" + std::to_string(i)}, Delivery::Unreliable);
  }
  a.net.Flush();
  ASSERT_TRUE(Pump(
      {&host, &a, &b}, [&] { return host.Texts().size() >= 1010; }, 10000))
      << host.Texts().size();
  std::vector<std::string> reliable, unreliable;
  for (const std::string& t : host.Texts()) (t[0] == 'u' ? unreliable : reliable).push_back(t);
  ASSERT_EQ(reliable.size(), 1000u);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(reliable[i], std::to_string(i));
  ASSERT_EQ(unreliable.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(unreliable[i], "u" + std::to_string(100 * i));
  // About 7 bytes a message: six reliable bundles of one datagram's room
  // and an unreliable one (10 datagrams in all, with acknowledgements).
  EXPECT_LE(host.net.GetTraffic().datagramsReceived - datagramsBefore, 20u);
}

TEST_F(Star, ATimeStampPrefixSetsPacketTimeAndHidesBehindTheId) {
  a.net.WriteChar(netid::TimeStamp);
  a.net.outgoing.Write(static_cast<uint32_t>(0x01020304));
  msg::Send(a.net, msg::Chat{"stamped"}, Delivery::Reliable);
  a.net.Flush();
  ASSERT_TRUE(Pump({&host, &a}, [&] { return host.HasText("stamped"); }));
  EXPECT_EQ(host.got.back().time, 0x01020304u);

  const uint32_t before = NetworkHandler::GetTime();
  SendChat(a, "plain", Delivery::Reliable);
  ASSERT_TRUE(Pump({&host, &a}, [&] { return host.HasText("plain"); }));
  EXPECT_GE(host.got.back().time, before);
  EXPECT_LE(host.got.back().time, NetworkHandler::GetTime());
}

TEST_F(Star, PlayerPingIsHalfTheMeasuredRoundTrip) {
  // Client side: the host answers only after 60 ms.
  const auto start = Clock::now();
  a.net.PingPeers();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  host.Drain();
  a.Drain();
  const int elapsed = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
  EXPECT_GE(a.net.HalfRoundTripMs(), 30);
  EXPECT_LE(a.net.HalfRoundTripMs(), (elapsed + 1) / 2);

  // Host side: the ping of the sender of the packet being handled.
  const auto hostStart = Clock::now();
  host.net.PingPeers();
  std::this_thread::sleep_for(std::chrono::milliseconds(80));
  a.Drain();
  b.Drain();
  host.Drain();
  const int hostElapsed = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - hostStart).count());
  int pingOfA = -1;
  host.onPacket = [&](char id) {
    if (id == msg::kChat) pingOfA = host.net.HalfRoundTripMs();
  };
  SendChat(a, "ping?", Delivery::Reliable);
  ASSERT_TRUE(Pump({&host, &a, &b}, [&] { return pingOfA >= 0; }));
  EXPECT_GE(pingOfA, 40);
  EXPECT_LE(pingOfA, (hostElapsed + 1) / 2);
}

TEST_F(Star, LeavingAndClosingAreReportedAsDisconnections) {
  a.net.QuitClient();
  ASSERT_TRUE(Pump({&host, &b}, [&] { return host.Count(netid::Disconnection) == 1; }));
  EXPECT_EQ(Dotted(host.got.back().from), "127.0.0.1");
  EXPECT_FALSE(a.net.ClientConnected());
  host.net.InitMe(true);  // closes the listening host
  ASSERT_TRUE(Pump({&b}, [&] { return b.Count(netid::Disconnection) == 1; }));
  EXPECT_FALSE(b.net.ClientConnected());
}

// A side that stops answering (its process died) is reported lost within
// the time-out, on the host and on a client.
TEST_F(Star, ASilentPeerIsLostWithinTheTimeOut) {
  const auto start = Clock::now();
  ASSERT_TRUE(Pump(
      {&host, &b}, [&] { return host.Count(netid::ConnectionLost) == 1; }, 11000));
  const auto hostSaw = Clock::now() - start;
  EXPECT_LE(hostSaw, std::chrono::milliseconds(NetworkHandler::kPeerTimeoutMs + 1000));
  EXPECT_EQ(b.Count(netid::ConnectionLost), 0) << "a client that answers stays";
  b.got.clear();
  // Now the host falls silent.
  ASSERT_TRUE(Pump(
      {&b}, [&] { return b.Count(netid::ConnectionLost) == 1; }, 11000));
}

TEST_F(Star, MalformedPacketsFromAPeerNeverReachTheGame) {
  // A connection of its own that speaks raw ENet.
  ENetHost* raw = enet_host_create(nullptr, 1, 1, 0, 0);
  ASSERT_NE(raw, nullptr);
  enet_host_compress_with_range_coder(raw);  // as the game's handler does
  ENetAddress address;
  enet_address_set_host_ip(&address, "127.0.0.1");
  address.port = kPort;
  ENetPeer* toHost = enet_host_connect(raw, &address, 1, 0);
  ENetEvent event;
  ASSERT_TRUE(Pump({&host}, [&] {
    return enet_host_service(raw, &event, 0) > 0 && event.type == ENET_EVENT_TYPE_CONNECT;
  }));
  ASSERT_TRUE(Pump({&host}, [&] {
    enet_host_flush(raw);  // the acknowledgement that completes the handshake
    return host.Count(netid::NewIncomingConnection) == 1;
  }));
  host.got.clear();
  const auto bundle = [](std::initializer_list<std::vector<unsigned char>> messages) {
    PacketBundle b;
    for (const auto& m : messages) b.Add(m.data(), m.size());
    return std::vector<unsigned char>(b.Data(), b.Data() + b.Size());
  };
  BitStream kept;
  msg::Write(kept, msg::Chat{"kept"});
  std::vector<unsigned char> keptThenBroken =
      bundle({{kept.GetData(), kept.GetData() + kept.GetNumberOfBytesUsed()}});
  keptThenBroken.insert(keptThenBroken.end(), {9, 55, 0});  // a length past the end
  const std::vector<std::vector<unsigned char>> junk = {
      {},                                  // empty
      bundle({{23},                        // a stamp prefix with nothing after it
              {23, 1, 2, 3},               // a cut-short stamp
              {23, 1, 2, 3, 4},            // a stamp without an id
              {'0'},                       // the "nothing waiting" id
              {23, 1, 2, 3, 4, '0', 7}}),  // the same behind a stamp
      {0, 2, 0, 0, 0, 0},                  // a pong nobody asked for
      {0, 1},                              // a cut-short ping
      {5, 55, 1},                          // a length past the end
      {0x80, 0x80, 0x80, 0x01, 55},        // an overlong length
      keptThenBroken,                      // what precedes a broken length stays
  };
  for (const auto& bytes : junk) {
    ENetPacket* p = enet_packet_create(bytes.empty() ? nullptr : bytes.data(), bytes.size(),
                                       ENET_PACKET_FLAG_RELIABLE);
    ASSERT_EQ(enet_peer_send(toHost, 0, p), 0);
  }
  // ENet's range coder crashes on a datagram holding an empty packet: this
  // one goes out uncoded, which the handler reads as well.
  enet_host_compress(raw, nullptr);
  enet_host_flush(raw);
  enet_host_compress_with_range_coder(raw);
  BitStream chat;
  msg::Write(chat, msg::Chat{"after the junk"});
  const auto last = bundle({{chat.GetData(), chat.GetData() + chat.GetNumberOfBytesUsed()}});
  enet_peer_send(toHost, 0,
                 enet_packet_create(last.data(), last.size(), ENET_PACKET_FLAG_RELIABLE));
  enet_host_flush(raw);
  ASSERT_TRUE(Pump({&host}, [&] { return host.HasText("after the junk"); }));
  // Everything else was dropped in the same drain.
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"kept", "after the junk"}));
  ASSERT_EQ(host.got.size(), 2u);
  EXPECT_EQ(host.net.HalfRoundTripMs(), 0);
  enet_host_destroy(raw);
}

// ---- LAN search ----

class Lan : public ::testing::Test {
 protected:
  void SetUp() override {
    // Only ever search the loopback broadcast address of a private namespace.
    const char* address = std::getenv("VOIDRAKE_LAN_ADDRESS");
    if (!address || std::strncmp(address, "127.", 4) != 0)
      GTEST_SKIP() << "run under scripts/with-netns.sh (VOIDRAKE_LAN_ADDRESS=127.255.255.255)";
    searcher.net.InitMe(false);
  }
  bool Search(std::initializer_list<Endpoint*> others, int ms = 300) {
    searcher.got.clear();
    searcher.net.PingLAN();
    std::vector<Endpoint*> all(others);
    all.push_back(&searcher);
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end && searcher.Count(netid::LanPong) == 0) {
      for (Endpoint* e : all) e->Drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return searcher.Count(netid::LanPong) > 0;
  }

  Endpoint searcher;
};

TEST_F(Lan, FindsAListeningHostAndConnectsToIt) {
  Endpoint host;
  host.net.InitMe(true);
  ASSERT_TRUE(host.net.Listen(kPort, NetworkHandler::kMaxPlayers));
  ASSERT_TRUE(Search({&host}, 2000));
  EXPECT_EQ(searcher.Count(netid::LanPong), 1);
  const PlayerID sender = searcher.got[0].from;
  EXPECT_EQ(Dotted(sender), "127.0.0.1");
  EXPECT_EQ(std::string(searcher.net.GetIP(sender)), "127.0.0.1");
  ASSERT_TRUE(searcher.net.ConnectMe(searcher.net.GetIP(sender), kPort));
  EXPECT_TRUE(Pump({&host, &searcher}, [&] { return searcher.net.ClientConnected(); }));
}

TEST_F(Lan, OnlyAHostThatTakesPlayersAnswers) {
  EXPECT_FALSE(Search({}));  // nobody there

  Endpoint host;
  host.net.InitMe(true);  // chosen the role but not started
  EXPECT_FALSE(Search({&host}));

  ASSERT_TRUE(host.net.Listen(kPort, 1));
  Endpoint other;
  other.net.InitMe(false);
  ASSERT_TRUE(other.net.ConnectMe("127.0.0.1", kPort));
  ASSERT_TRUE(Pump({&host, &other}, [&] { return other.net.ClientConnected(); }));
  EXPECT_FALSE(Search({&host, &other}));  // full

  other.net.QuitClient();
  ASSERT_TRUE(Pump({&host}, [&] { return host.Count(netid::Disconnection) == 1; }));
  EXPECT_TRUE(Search({&host}, 2000));  // a free slot again
}

// ---- Failures ----

TEST(NetworkHandlerFailures, ConnectingWhereNobodyListensStaysDisconnected) {
  Endpoint c;
  c.net.InitMe(false);
  EXPECT_FALSE(c.net.ConnectMe("not an address", kPort));
  EXPECT_FALSE(c.net.ConnectMe(nullptr, kPort));
  ASSERT_TRUE(c.net.ConnectMe("127.0.0.1", kPort + 1));
  SendChat(c, "into the void", Delivery::Reliable);
  Idle({&c}, 500);
  EXPECT_FALSE(c.net.ClientConnected());
  EXPECT_EQ(c.net.HalfRoundTripMs(), 0);
  EXPECT_EQ(c.Count(netid::ConnectionAccepted), 0);
  c.net.QuitClient();
  EXPECT_EQ(c.net.ReceivePacket(), netid::NoPacket);
}

TEST(NetworkHandlerFailures, AnUninitialisedHandlerDoesNothingHarmful) {
  NetworkHandler net;
  EXPECT_EQ(net.ReceivePacket(), netid::NoPacket);
  net.WriteInt(5);
  net.Send(Delivery::Reliable);
  net.Flush();
  net.PingLAN();
  net.QuitClient();
  EXPECT_FALSE(net.ClientConnected());
  EXPECT_EQ(net.ReadInt(), -1);
  EXPECT_EQ(net.ReadString(), "");
  EXPECT_EQ(net.GetLastID(), UNASSIGNED_PLAYER_ID);
}

TEST(NetworkHandlerFailures, ForeignDatagramsDoNotDisturbTheHost) {
  Endpoint host;
  host.net.InitMe(true);
  ASSERT_TRUE(host.net.Listen(kPort, NetworkHandler::kMaxPlayers));
  const int sock = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(kPort);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::mt19937 rng(1234);
  for (int i = 0; i < 3000; ++i) {
    unsigned char data[1400];
    const size_t n = rng() % sizeof data;
    for (size_t k = 0; k < n; ++k) data[k] = static_cast<unsigned char>(rng());
    if (i % 3 == 0 && n >= 2) data[0] = data[1] = 0xFF;  // offline tag, random rest
    sendto(sock, data, n, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (i % 100 == 0) host.Drain();
  }
  close(sock);
  Idle({&host}, 100);
  EXPECT_EQ(host.got.size(), 0u);

  Endpoint c;
  c.net.InitMe(false);
  ASSERT_TRUE(c.net.ConnectMe("127.0.0.1", kPort));
  ASSERT_TRUE(Pump({&host, &c}, [&] { return c.net.ClientConnected(); }));
  SendChat(c, "still here", Delivery::Reliable);
  EXPECT_TRUE(Pump({&host, &c}, [&] { return host.HasText("still here"); }));
}

}  // namespace
