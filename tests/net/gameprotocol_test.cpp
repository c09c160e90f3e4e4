// The in-game frame's network exchange on loopback: every waiting packet is
// taken in the frame it is waiting, and a chat line reaches the other side.
#include "net/gameprotocol.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/gameobjects.h"
#include "net/messages.h"
#include "net/networkhandler.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned short kPort = 60371;

// Services both sides (the host through UpdateNetwork, as the frame does)
// until `done` holds or two seconds pass.
template <typename F>
bool Frames(F done) {
  const auto end = Clock::now() + std::chrono::seconds(2);
  while (Clock::now() < end) {
    UpdateNetwork();
    Networking.Flush();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

TEST(GameProtocolTest, OneFrameTakesEveryWaitingPacketAndChatArrives) {
  Networking.InitMe(true);
  ASSERT_TRUE(Networking.ConnectServer(kPort, NetworkHandler::kMaxPlayers));
  NetworkHandler client;
  client.InitMe(false);
  ASSERT_TRUE(client.ConnectMe("127.0.0.1", kPort));
  ASSERT_TRUE(Frames([&] {
    client.ReceivePacket();
    client.ClearIncomingPacket();
    return client.ClientConnected();
  }));

  for (int i = 0; i < 25; ++i) {
    msg::Chat chat;
    chat.text = "line " + std::to_string(i);
    msg::Write(client.outgoing, chat);
    client.Send();
    client.ClearOutgoingPacket();
  }
  client.Flush();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  UpdateNetwork();
  EXPECT_EQ(Networking.ReceivePacket(), '0') << "packets left waiting after the frame";

  SendMessageA("Player wiped up Devastator!!!!");
  Networking.Flush();
  std::string text;
  const auto end = Clock::now() + std::chrono::seconds(2);
  while (text.empty() && Clock::now() < end) {
    for (char id; (id = client.ReceivePacket()) != '0';) {
      msg::Chat chat;
      if (id == msg::kChat && msg::Read(client, chat)) text = chat.text;
      client.ClearIncomingPacket();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(text, "Player wiped up Devastator!!!!");
  client.QuitClient();
}

}  // namespace
