// libFuzzer target for every way network bytes enter the game: a datagram
// through ENet's range decoder, a packet split into its bundled messages, each (and the whole
// packet as one message) opened as ReceivePacket opens it and read as the message its id names, the
// handler's field reads in any order, and an offline datagram through the
// LAN-search intercept. Aborts on any memory error (AddressSanitizer) and on
// any broken promise of the readers (checked below).
#include <enet/enet.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/messages.h"
#include "net/networkhandler.h"
#include "net/packetbundle.h"

namespace {

void Check(bool promise) {
  if (!promise) std::abort();
}

// A message that reads successfully holds only finite numbers and writes back
// to a stream that reads the same message again.
template <class M>
void ReadAndRewrite(BitStream& in) {
  M m{};
  if (!msg::Read(in, m)) return;
  BitStream out;
  msg::Write(out, m);
  BitStream again(out.GetData(), out.GetNumberOfBytesUsed());
  char id = 0;
  Check(again.Read(id) && id == M::id);
  M back{};
  Check(msg::Read(again, back));
  Check(back == m);
}

void ReadAsMessage(char id, BitStream& in) {
  switch (id) {
    case msg::kJoin: return ReadAndRewrite<msg::Join>(in);
    case msg::kFullState: return ReadAndRewrite<msg::FullState>(in);
    case msg::kDamageReport: return ReadAndRewrite<msg::DamageReport>(in);
    case msg::kKillReport: return ReadAndRewrite<msg::KillReport>(in);
    case msg::kRoster: return ReadAndRewrite<msg::Roster>(in);
    case msg::kChat: return ReadAndRewrite<msg::Chat>(in);
    case msg::kExplosion: return ReadAndRewrite<msg::Explosion>(in);
    case msg::kFreeze: return ReadAndRewrite<msg::Freeze>(in);
    case msg::kLeave: return ReadAndRewrite<msg::Leave>(in);
    case msg::kProjectileFull: return ReadAndRewrite<msg::ProjectileFull>(in);
    case msg::kProjectileRemove: return ReadAndRewrite<msg::ProjectileRemove>(in);
    case msg::kProjectileNew: return ReadAndRewrite<msg::ProjectileNew>(in);
    case msg::kShortState: return ReadAndRewrite<msg::ShortState>(in);
    case msg::kProjectileShort: return ReadAndRewrite<msg::ProjectileShort>(in);
    default: return;
  }
}

// The handler's reads in an order chosen by the first bytes, over the rest.
void ReadFields(NetworkHandler& net, const uint8_t* data, size_t size) {
  const size_t ops = size ? std::min<size_t>(size - 1, data[0] % 48) : 0;
  const uint8_t* control = data + (size ? 1 : 0);
  net.incoming.SetReadView(control + ops, size - (size ? 1 : 0) - ops);
  for (size_t i = 0; i < ops; ++i) {
    const size_t before = net.incoming.GetReadOffset();
    switch (control[i] % 7) {
      case 0: net.ReadChar(); break;
      case 1: net.ReadCharCom(); break;
      case 2: {
        const bool failedBefore = net.incoming.Failed();
        const int v = net.ReadInt();
        if (net.incoming.Failed() && !failedBefore) Check(v == -1);
        break;
      }
      case 3: net.ReadFloat(); break;
      case 4: net.ReadBool(); break;
      case 5: {
        const size_t unread = net.incoming.GetNumberOfUnreadBits();
        const std::string s = net.ReadString();
        Check(s.size() * 5 <= unread);  // a character takes at least 5 bits
        break;
      }
      default: {
        uint32_t v;
        net.incoming.ReadBits(v, control[i] % 33);
        break;
      }
    }
    Check(net.incoming.GetReadOffset() >= before);
    Check(net.incoming.GetReadOffset() <= net.incoming.GetNumberOfBitsUsed());
  }
  net.incoming.SetReadView(nullptr, 0);
}

// An offline datagram as the client's intercept sees it; a pong becomes a
// packet with id 10 that ReceivePacket hands out and releases.
void Intercept(NetworkHandler& net, const uint8_t* data, size_t size) {
  const int result = net.InterceptDatagram(data, size, UNASSIGNED_PLAYER_ID);
  Check(result == 0 || result == 1);
  Check(result == 1 || size < 2 || data[0] != 0xFF || data[1] != 0xFF);
  for (char id; (id = net.ReceivePacket()) != netid::NoPacket;) {
    Check(id == netid::LanPong);
    net.ClearIncomingPacket();
  }
}

// Bytes that end where an inaccessible page begins: libenet is not built
// with the sanitizers, so its reads or writes past the end of a buffer are
// caught by the guard page instead.
class Guarded {
 public:
  explicit Guarded(size_t capacity) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    span = (capacity + page - 1) / page * page;
    void* at =
        mmap(nullptr, span + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    Check(at != MAP_FAILED);
    base = static_cast<unsigned char*>(at);
    Check(mprotect(base + span, page, PROT_NONE) == 0);
  }
  unsigned char* Last(size_t n) { return base + span - n; }  // n bytes before the guard

 private:
  unsigned char* base = nullptr;
  size_t span = 0;
};

// A peer's datagram as the handler's host decodes it: the decoder stays
// inside its input and its output limit (what ENet gives it).
void RangeDecode(const uint8_t* data, size_t size) {
  constexpr size_t kOutLimit = ENET_PROTOCOL_MAXIMUM_MTU - sizeof(ENetProtocolHeader);
  static void* coder = enet_range_coder_create();
  static Guarded input(64 * 1024), output(kOutLimit);
  if (size > 64 * 1024) return;
  unsigned char* in = input.Last(size);
  if (size) std::memcpy(in, data, size);
  Check(enet_range_coder_decompress(coder, in, size, output.Last(kOutLimit), kOutLimit) <=
        kOutLimit);
}

void OpenAndRead(const uint8_t* data, size_t size) {
  BitStream view;
  char id = 0;
  uint32_t stamp = 0;
  bool stamped = false;
  if (NetworkHandler::OpenPacket(view, data, size, id, stamp, stamped)) {
    Check(id != netid::NoPacket);
    Check(view.GetData() == data);  // a view, not a copy
    ReadAsMessage(id, view);
  }
}

// The messages of a bundle lie inside it, one after the other; a bundle
// made of them again reads back the same messages.
void SplitBundle(const uint8_t* data, size_t size) {
  PacketBundle::Reader messages(data, size);
  PacketBundle again;
  const unsigned char* m;
  size_t length;
  const unsigned char* end = data;
  size_t count = 0;
  while (messages.Next(m, length)) {
    Check(length > 0 && m >= end && m + length <= data + size);
    end = m + length;
    OpenAndRead(m, length);
    Check(again.Add(m, length));
    ++count;
  }
  Check(messages.Done());
  PacketBundle::Reader back(again.Data(), again.Size());
  while (back.Next(m, length)) --count;
  Check(count == 0 && !back.Malformed());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static NetworkHandler client;  // client role, no endpoint: nothing is sent
  RangeDecode(data, size);
  OpenAndRead(data, size);
  SplitBundle(data, size);
  ReadFields(client, data, size);
  Intercept(client, data, size);
  return 0;
}
