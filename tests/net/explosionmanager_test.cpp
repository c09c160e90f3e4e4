// Message 56 on the wire: explosions announced by the manager, decoded on
// the other end of a real loopback ENet connection.
#include "sim/explosionmanager.h"

#include <enet/enet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "net/bitstream.h"
#include "net/networkhandler.h"
#include "net/outbox.h"
#include "net/packetbundle.h"

namespace {

using Clock = std::chrono::steady_clock;

unsigned short TestPort() { return static_cast<unsigned short>(41000 + getpid() % 9000); }

// A bare ENet client: sees exactly the bytes the host put on the wire.
class RawClient {
 public:
  explicit RawClient(unsigned short port) {
    enet_initialize();
    host_ = enet_host_create(nullptr, 1, 1, 0, 0);
    enet_host_compress_with_range_coder(host_);  // as the game's handler does
    ENetAddress address{};
    enet_address_set_host(&address, "127.0.0.1");
    address.port = port;
    peer_ = enet_host_connect(host_, &address, 1, 0);
  }
  ~RawClient() {
    if (host_) enet_host_destroy(host_);
  }
  // Services both ends until the host has seen the connection (it only
  // sends to fully connected peers) or two seconds passed.
  bool Connect(NetworkHandler& server) {
    auto end = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < end) {
      for (char id; (id = server.ReceivePacket()) != '0'; server.ClearIncomingPacket())
        if (id == netid::NewIncomingConnection) return true;
      ENetEvent event;
      while (enet_host_service(host_, &event, 5) > 0)
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
    }
    return false;
  }
  // The bytes of every packet that starts with `id`, collected for `ms`.
  std::vector<std::vector<unsigned char>> Collect(NetworkHandler& server, char id, int ms) {
    std::vector<std::vector<unsigned char>> found;
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
      server.Flush();
      while (server.ReceivePacket() != '0') server.ClearIncomingPacket();
      ENetEvent event;
      while (enet_host_service(host_, &event, 5) > 0) {
        if (event.type != ENET_EVENT_TYPE_RECEIVE) continue;
        PacketBundle::Reader messages(event.packet->data, event.packet->dataLength);
        const unsigned char* m;
        size_t length;
        while (messages.Next(m, length))
          if (static_cast<char>(m[0]) == id) found.emplace_back(m, m + length);
        enet_packet_destroy(event.packet);
      }
    }
    return found;
  }

 private:
  ENetHost* host_ = nullptr;
  ENetPeer* peer_ = nullptr;
};

TEST(ExplosionMessage, HostAnnouncesSentExplosionsInFieldOrder) {
  NetworkHandler server;
  server.InitMe(true);
  ASSERT_TRUE(server.Listen(TestPort(), 32));
  RawClient client(TestPort());
  ASSERT_TRUE(client.Connect(server));

  ExplosionManager explosions;
  Outbox posted;
  explosions.InitMe(&posted);
  explosions.AddExplosion(11, 22, 33, 44, 5, 6, false);  // local only: nothing on the wire
  explosions.AddExplosion(1.5f, -2.25f, 512, 256, 2, 30, true);
  EXPECT_EQ(posted.Size(), 1u);
  posted.SendTo(server);
  EXPECT_EQ(server.outgoing.GetNumberOfBitsUsed(), 0u);  // the buffer is free for the next sender

  auto packets = client.Collect(server, 56, 300);
  ASSERT_EQ(packets.size(), 1u);
  BitStream in(packets[0].data(), packets[0].size());
  char id = 0;
  float x = 0, y = 0, width = 0, height = 0;
  int loopSlot = 0, frames = 0;
  in.Read(id);
  in.ReadCompressed(x);
  in.ReadCompressed(y);
  in.ReadCompressed(width);
  in.ReadCompressed(height);
  in.ReadCompressed(loopSlot);
  in.ReadCompressed(frames);
  ASSERT_FALSE(in.Failed());
  EXPECT_EQ(id, 56);
  EXPECT_EQ(x, 1.5f);
  EXPECT_EQ(y, -2.25f);
  EXPECT_EQ(width, 512);
  EXPECT_EQ(height, 256);
  EXPECT_EQ(loopSlot, 2);
  EXPECT_EQ(frames, 30);
  EXPECT_LT(in.GetNumberOfUnreadBits(), 8u);  // nothing after the last field
  EXPECT_EQ(explosions.list.size(), 2u);
}

TEST(ExplosionMessage, ClientAnnouncesToTheHost) {
  NetworkHandler server;
  server.InitMe(true);
  ASSERT_TRUE(server.Listen(TestPort() + 1, 32));
  NetworkHandler client;
  client.InitMe(false);
  ASSERT_TRUE(client.ConnectMe("127.0.0.1", TestPort() + 1));
  auto end = Clock::now() + std::chrono::seconds(2);
  while (!client.ClientConnected() && Clock::now() < end) {
    while (server.ReceivePacket() != '0') server.ClearIncomingPacket();
    while (client.ReceivePacket() != '0') client.ClearIncomingPacket();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(client.ClientConnected());

  ExplosionManager explosions;
  Outbox posted;
  explosions.InitMe(&posted);
  explosions.AddExplosion(64, 128, 64, 64, 3, 16, true);
  posted.SendTo(client);
  client.Flush();

  bool seen = false;
  end = Clock::now() + std::chrono::seconds(2);
  while (!seen && Clock::now() < end) {
    for (char id; (id = server.ReceivePacket()) != '0'; server.ClearIncomingPacket()) {
      if (id != 56) continue;
      seen = true;
      EXPECT_EQ(server.ReadFloat(), 64);
      EXPECT_EQ(server.ReadFloat(), 128);
      EXPECT_EQ(server.ReadFloat(), 64);
      EXPECT_EQ(server.ReadFloat(), 64);
      EXPECT_EQ(server.ReadInt(), 3);
      EXPECT_EQ(server.ReadInt(), 16);
      EXPECT_EQ(server.ReadInt(), -1);  // and nothing more
    }
    while (client.ReceivePacket() != '0') client.ClearIncomingPacket();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(seen);
}

}  // namespace
