#include "net/packetbundle.h"

namespace {
constexpr int kMaxLengthBytes = 3;  // 21 bits: kMaxMessage
}  // namespace

size_t PacketBundle::RecordSize(size_t length) {
  size_t prefix = 1;
  for (size_t rest = length >> 7; rest > 0; rest >>= 7) ++prefix;
  return prefix + length;
}

bool PacketBundle::Add(const unsigned char* message, size_t length) {
  if (length == 0 || length > kMaxMessage) return false;
  size_t rest = length;
  while (rest >= 0x80) {
    bytes.push_back(static_cast<unsigned char>(0x80 | (rest & 0x7F)));
    rest >>= 7;
  }
  bytes.push_back(static_cast<unsigned char>(rest));
  bytes.insert(bytes.end(), message, message + length);
  return true;
}

bool PacketBundle::Reader::Next(const unsigned char*& message, size_t& messageLength) {
  if (Done()) return false;
  size_t value = 0;
  size_t at = offset;
  for (int i = 0;; ++i) {
    if (i == kMaxLengthBytes || at >= length) {
      value = 0;  // overlong or cut short: no message can be found after it
      break;
    }
    const unsigned char byte = data[at++];
    value |= size_t{byte & 0x7Fu} << (7 * i);
    if ((byte & 0x80) == 0) break;
  }
  if (value == 0 || value > length - at) {
    malformed = true;
    offset = length;
    return false;
  }
  message = data + at;
  messageLength = value;
  offset = at + value;
  return true;
}
