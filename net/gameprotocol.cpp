#include "net/gameprotocol.h"

#include "app/gameobjects.h"
#include "net/messages.h"
#include "net/networkhandler.h"

void UpdateNetwork() {
  // The per-message handling of the protocol is later work; until then each
  // waiting packet is taken and released so the queue never grows.
  while (Networking.ReceivePacket() != '0') Networking.ClearIncomingPacket();
}

void SendMessageA(const std::string& text) {
  msg::Chat chat;
  chat.text = text;
  msg::Write(Networking.outgoing, chat);
  Networking.Send();
  Networking.ClearOutgoingPacket();
}
