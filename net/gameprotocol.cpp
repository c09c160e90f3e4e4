#include "net/gameprotocol.h"

#include "app/gameobjects.h"
#include "net/networkhandler.h"

namespace {
constexpr char kChat = 55;
}

void UpdateNetwork() {
  // The per-message handling of the protocol is later work; until then each
  // waiting packet is taken and released so the queue never grows.
  while (Networking.ReceivePacket() != '0') Networking.ClearIncomingPacket();
}

void SendMessageA(const std::string& text) {
  Networking.WriteChar(kChat);
  Networking.WriteString(text);
  Networking.Send();
  Networking.ClearOutgoingPacket();
}
