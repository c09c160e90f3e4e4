// PacketBundle: how one network packet carries all of a frame's messages for
// one connection. A message's bit stream is padded to whole bytes and stored
// behind its length, so a reader steps from message to message without
// understanding any of them, and a message it skips or refuses costs the
// others nothing.
//
// The length is written 7 bits a byte, low bits first, with the high bit set
// on every byte but the last (1..127 take one byte, up to 16383 two). A
// length of 0 never starts a bundle: a packet whose first byte is 0 is the
// network handler's own (round-trip pings), not game messages.
#pragma once

#include <cstddef>
#include <vector>

class PacketBundle {
 public:
  // Longest message a length can name (three length bytes); the handler's
  // packet limit is far below it.
  static constexpr size_t kMaxMessage = (size_t{1} << 21) - 1;

  // Appends one message; false (and nothing appended) when it is empty or
  // longer than kMaxMessage.
  bool Add(const unsigned char* message, size_t length);
  // Bytes one message of `length` bytes takes in a bundle.
  static size_t RecordSize(size_t length);

  const unsigned char* Data() const { return bytes.data(); }
  size_t Size() const { return bytes.size(); }
  bool Empty() const { return bytes.empty(); }
  void Clear() { bytes.clear(); }

  // Steps through the messages of a received bundle (not copied: the bytes
  // must outlive the reader).
  class Reader {
   public:
    Reader() = default;
    Reader(const unsigned char* data, size_t length) : data(data), length(length) {}
    // The next message; false at the end, and at a length that is zero,
    // overlong or runs past the packet, which drops the rest of the packet.
    bool Next(const unsigned char*& message, size_t& messageLength);
    bool Done() const { return offset >= length; }
    // Some length in the bundle was broken (the rest was dropped).
    bool Malformed() const { return malformed; }

   private:
    const unsigned char* data = nullptr;
    size_t length = 0;
    size_t offset = 0;
    bool malformed = false;
  };

 private:
  std::vector<unsigned char> bytes;
};
