#include "net/bitstream.h"

#include <algorithm>
#include <cstring>

BitStream::BitStream(const unsigned char* data, size_t bytes) { SetReadView(data, bytes); }

void BitStream::Reset() {
  buffer.clear();
  view = nullptr;
  bitsUsed = 0;
  readOffset = 0;
  failed = false;
}

void BitStream::SetReadView(const unsigned char* data, size_t bytes) {
  buffer.clear();
  view = data;
  bitsUsed = data ? bytes * 8 : 0;
  readOffset = 0;
  failed = false;
}

void BitStream::ResetReadPointer() {
  readOffset = 0;
  failed = false;
}

// ---- Writing ----

// A byte's worth at a time: a message of floats is most of what a big fight
// sends, and packing it bit by bit cost a quarter of a frame's simulation.
void BitStream::WriteBits(uint32_t value, int bits) {
  if (view) {  // a view is read-only: writing starts an owned message instead
    Reset();
  }
  if (bits <= 0) return;
  const size_t bytesNeeded = (bitsUsed + static_cast<size_t>(bits) + 7) >> 3;
  if (buffer.size() < bytesNeeded) buffer.resize(bytesNeeded, 0);
  while (bits > 0) {
    const int room = 8 - static_cast<int>(bitsUsed & 7);  // free bits in the last byte
    const int take = std::min(room, bits);
    const uint32_t chunk = (value >> (bits - take)) & ((1u << take) - 1);
    buffer[bitsUsed >> 3] |= static_cast<unsigned char>(chunk << (room - take));
    bitsUsed += static_cast<size_t>(take);
    bits -= take;
  }
}

void BitStream::Write(char c) { WriteBits(static_cast<unsigned char>(c), 8); }
void BitStream::Write(unsigned char c) { WriteBits(c, 8); }
void BitStream::Write(bool b) { WriteBits(b ? 1u : 0u, 1); }
void BitStream::Write(uint32_t v) { WriteBits(v, 32); }

void BitStream::Write(float f) {
  uint32_t raw;
  std::memcpy(&raw, &f, sizeof raw);
  WriteBits(raw, 32);
}

void BitStream::WriteCompressed(int v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int byte = 3; byte > 0; --byte) {
    if (((u >> (8 * byte)) & 0xFFu) == 0) {
      Write(true);
      continue;
    }
    Write(false);
    WriteBits(byte == 3 ? u : (u & ((1u << (8 * (byte + 1))) - 1)), 8 * (byte + 1));
    return;
  }
  const uint32_t low = u & 0xFFu;
  if ((low & 0xF0u) == 0) {
    Write(true);
    WriteBits(low, 4);
  } else {
    Write(false);
    WriteBits(low, 8);
  }
}

void BitStream::WriteCompressed(char c) {
  const uint32_t u = static_cast<unsigned char>(c);
  if ((u & 0xF0u) == 0xF0u) {
    Write(true);
    WriteBits(u & 0x0Fu, 4);
  } else {
    Write(false);
    WriteBits(u, 8);
  }
}

void BitStream::WriteCompressed(float f) { Write(f); }

void BitStream::WriteString(const std::string& s) {
  WriteCompressed(static_cast<int>(s.size()));
  for (char c : s) WriteCompressed(c);
}

// ---- Reading ----

bool BitStream::Take(size_t bits) {
  if (bits > bitsUsed - readOffset) {
    failed = true;
    return false;
  }
  return true;
}

bool BitStream::ReadBits(uint32_t& value, int bits) {
  value = 0;
  if (bits < 0 || bits > 32 || !Take(static_cast<size_t>(bits))) return false;
  const unsigned char* data = GetData();
  while (bits > 0) {
    const int left = 8 - static_cast<int>(readOffset & 7);  // unread bits of this byte
    const int take = std::min(left, bits);
    const uint32_t chunk =
        (static_cast<uint32_t>(data[readOffset >> 3]) >> (left - take)) & ((1u << take) - 1);
    value = (value << take) | chunk;
    readOffset += static_cast<size_t>(take);
    bits -= take;
  }
  return true;
}

bool BitStream::Read(char& c) {
  uint32_t v;
  const bool ok = ReadBits(v, 8);
  c = static_cast<char>(v);
  return ok;
}

bool BitStream::Read(unsigned char& c) {
  uint32_t v;
  const bool ok = ReadBits(v, 8);
  c = static_cast<unsigned char>(v);
  return ok;
}

bool BitStream::Read(bool& b) {
  uint32_t v;
  const bool ok = ReadBits(v, 1);
  b = v != 0;
  return ok;
}

bool BitStream::Read(uint32_t& v) { return ReadBits(v, 32); }

bool BitStream::Read(float& f) {
  uint32_t raw;
  const bool ok = ReadBits(raw, 32);
  std::memcpy(&f, &raw, sizeof f);
  return ok;
}

bool BitStream::ReadCompressed(int& v) {
  v = -1;
  uint32_t u = 0;
  for (int byte = 3; byte > 0; --byte) {
    bool zero;
    if (!Read(zero)) return false;
    if (zero) continue;
    if (!ReadBits(u, 8 * (byte + 1))) return false;
    v = static_cast<int>(u);
    return true;
  }
  bool shortForm;
  if (!Read(shortForm) || !ReadBits(u, shortForm ? 4 : 8)) return false;
  v = static_cast<int>(u);
  return true;
}

bool BitStream::ReadCompressed(char& c) {
  c = 0;
  bool shortForm;
  uint32_t u;
  if (!Read(shortForm) || !ReadBits(u, shortForm ? 4 : 8)) return false;
  if (shortForm) u |= 0xF0u;
  c = static_cast<char>(u);
  return true;
}

bool BitStream::ReadCompressed(float& f) {
  if (Read(f)) return true;
  f = 0;
  return false;
}

bool BitStream::ReadString(std::string& s) {
  s.clear();
  int length;
  if (!ReadCompressed(length)) return false;
  if (length == 0) return true;
  if (length < 0) {
    failed = true;
    return false;
  }
  // Each character takes at least 5 bits: a longer claim is forged or cut
  // short, and must not make us reserve memory for it.
  if (static_cast<size_t>(length) > GetNumberOfUnreadBits() / 5) {
    failed = true;
    readOffset = bitsUsed;
    return false;
  }
  s.reserve(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i) {
    char c;
    if (!ReadCompressed(c)) {
      s.clear();
      return false;
    }
    s.push_back(c);
  }
  return true;
}
