// BitStream: the game's message serialiser. Bits are packed back to back with
// no alignment, so a one-bit bool shifts every field after it. A stream either
// owns a growing buffer (building a message) or is a read-only view over bytes
// somebody else owns (an incoming packet), so reading a packet never copies it.
//
// Every read is checked: a read that would run past the end fails, leaves its
// result at a fixed failure value and sets a sticky failure flag, so a message
// reader can check once at the end whether the whole message was there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class BitStream {
 public:
  BitStream() = default;
  // A read view over `bytes` bytes at `data` (not copied; must outlive the view).
  BitStream(const unsigned char* data, size_t bytes);

  // Empties the stream: owning, nothing written, nothing read, no failure.
  void Reset();
  // Makes the stream a read view over foreign bytes (no copy).
  void SetReadView(const unsigned char* data, size_t bytes);
  // Reads again from the first bit; clears the failure flag.
  void ResetReadPointer();

  // ---- Writing (an owning stream grows as needed) ----
  // The low `bits` bits of value, most significant first; bits in 0..32.
  void WriteBits(uint32_t value, int bits);
  void Write(char c);           // 8 bits
  void Write(unsigned char c);  // 8 bits
  void Write(bool b);           // 1 bit
  void Write(uint32_t v);       // 32 bits
  void Write(float f);          // the 32 raw bits of the IEEE single
  // Leading-zero compression, unsigned form: from the most significant byte
  // down, a 1 bit for every byte that is zero; at the first non-zero byte a 0
  // bit and the remaining bytes raw. The last byte: a 1 bit and 4 bits when
  // its high nibble is zero, else a 0 bit and 8 bits. 0..15 take 8 bits,
  // 16..255 take 12, negative values 33.
  void WriteCompressed(int v);
  // Signed form for one byte: a 1 bit and 4 bits when the high nibble is all
  // ones (-16..-1), else a 0 bit and 8 bits.
  void WriteCompressed(char c);
  // Floats are not compressed: the 32 raw bits.
  void WriteCompressed(float f);
  // Length as a compressed int, then every character as a compressed char.
  void WriteString(const std::string& s);

  // ---- Reading (false when the stream is exhausted) ----
  bool ReadBits(uint32_t& value, int bits);
  bool Read(char& c);
  bool Read(unsigned char& c);
  bool Read(bool& b);
  bool Read(uint32_t& v);
  bool Read(float& f);
  bool ReadCompressed(int& v);    // -1 on failure
  bool ReadCompressed(char& c);   // 0 on failure
  bool ReadCompressed(float& f);  // 0 on failure
  // "" on failure; a length larger than the remaining bits could hold fails
  // at once, so a forged length never allocates.
  bool ReadString(std::string& s);

  // ---- State ----
  const unsigned char* GetData() const { return view ? view : buffer.data(); }
  size_t GetNumberOfBitsUsed() const { return bitsUsed; }
  size_t GetNumberOfBytesUsed() const { return (bitsUsed + 7) / 8; }
  size_t GetReadOffset() const { return readOffset; }
  size_t GetNumberOfUnreadBits() const { return bitsUsed - readOffset; }
  // Some read since the last Reset / SetReadView / ResetReadPointer ran past the end.
  bool Failed() const { return failed; }
  bool IsView() const { return view != nullptr; }

 private:
  bool Take(size_t bits);  // checks that `bits` more bits can be read

  std::vector<unsigned char> buffer;    // owned bytes (writing)
  const unsigned char* view = nullptr;  // foreign bytes (reading a packet)
  size_t bitsUsed = 0;
  size_t readOffset = 0;
  bool failed = false;
};
