#include "net/bitstream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>

namespace {

// Bits a stream holds after one compressed write of v.
size_t CompressedIntBits(int v) {
  BitStream s;
  s.WriteCompressed(v);
  return s.GetNumberOfBitsUsed();
}

size_t CompressedCharBits(char c) {
  BitStream s;
  s.WriteCompressed(c);
  return s.GetNumberOfBitsUsed();
}

}  // namespace

TEST(BitStream, EveryFieldKindRoundTripsBehindAOneBitShift) {
  BitStream out;
  out.Write(true);  // everything after this is off the byte grid
  out.Write('A');
  out.WriteCompressed(300);
  out.WriteCompressed(static_cast<char>(-3));
  out.Write(-1.5f);
  out.WriteCompressed(2.25f);
  out.Write(false);
  out.WriteString("hi");
  out.Write(static_cast<uint32_t>(0xDEADBEEF));
  EXPECT_EQ(out.GetNumberOfBitsUsed(), 1u + 8 + 19 + 5 + 32 + 32 + 1 + (8 + 9 + 9) + 32);

  BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
  bool b1 = false, b2 = true;
  char c = 0, cc = 0;
  int i = 0;
  float f1 = 0, f2 = 0;
  std::string s;
  uint32_t u = 0;
  ASSERT_TRUE(in.Read(b1));
  ASSERT_TRUE(in.Read(c));
  ASSERT_TRUE(in.ReadCompressed(i));
  ASSERT_TRUE(in.ReadCompressed(cc));
  ASSERT_TRUE(in.Read(f1));
  ASSERT_TRUE(in.ReadCompressed(f2));
  ASSERT_TRUE(in.Read(b2));
  ASSERT_TRUE(in.ReadString(s));
  ASSERT_TRUE(in.Read(u));
  EXPECT_TRUE(b1);
  EXPECT_EQ(c, 'A');
  EXPECT_EQ(i, 300);
  EXPECT_EQ(cc, -3);
  EXPECT_EQ(f1, -1.5f);
  EXPECT_EQ(f2, 2.25f);
  EXPECT_FALSE(b2);
  EXPECT_EQ(s, "hi");
  EXPECT_EQ(u, 0xDEADBEEFu);
  EXPECT_FALSE(in.Failed());
}

TEST(BitStream, BitsArePackedWithoutAlignment) {
  BitStream out;
  out.Write(true);
  out.Write(static_cast<char>(0xFF));
  ASSERT_EQ(out.GetNumberOfBytesUsed(), 2u);
  EXPECT_EQ(out.GetData()[0], 0xFF);
  EXPECT_EQ(out.GetData()[1], 0x80);
}

TEST(BitStream, CompressedIntsAreShortForSmallNonNegativeValues) {
  struct Case {
    int value;
    size_t bits;
  };
  const Case cases[] = {{0, 8},    {1, 8},        {15, 8},       {16, 12},        {127, 12},
                        {128, 12}, {255, 12},     {256, 19},     {65535, 19},     {65536, 26},
                        {-1, 33},  {INT_MAX, 33}, {INT_MIN, 33}, {0x00FFFFFF, 26}};
  for (const Case& c : cases) {
    EXPECT_EQ(CompressedIntBits(c.value), c.bits) << c.value;
    BitStream out;
    out.Write(true);
    out.WriteCompressed(c.value);
    BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
    bool b;
    int back = 12345;
    in.Read(b);
    ASSERT_TRUE(in.ReadCompressed(back)) << c.value;
    EXPECT_EQ(back, c.value);
  }
}

TEST(BitStream, CompressedCharsUseTheSignedFormForEveryByte) {
  EXPECT_EQ(CompressedCharBits(0), 9u);
  EXPECT_EQ(CompressedCharBits(15), 9u);
  EXPECT_EQ(CompressedCharBits(-1), 5u);
  EXPECT_EQ(CompressedCharBits(-16), 5u);
  EXPECT_EQ(CompressedCharBits(-17), 9u);
  BitStream out;
  for (int v = -128; v < 128; ++v) out.WriteCompressed(static_cast<char>(v));
  BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
  for (int v = -128; v < 128; ++v) {
    char c = 0;
    ASSERT_TRUE(in.ReadCompressed(c));
    EXPECT_EQ(c, static_cast<char>(v));
  }
}

TEST(BitStream, FloatsTravelAsTheirRawBits) {
  const uint32_t patterns[] = {0x7FC00001u, 0x80000000u, 0x7F800000u, 0x00000001u, 0x3F800000u};
  BitStream out;
  for (uint32_t p : patterns) {
    float f;
    std::memcpy(&f, &p, 4);
    out.WriteCompressed(f);
  }
  EXPECT_EQ(out.GetNumberOfBitsUsed(), 32u * 5);
  BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
  for (uint32_t p : patterns) {
    float f;
    ASSERT_TRUE(in.ReadCompressed(f));
    uint32_t back;
    std::memcpy(&back, &f, 4);
    EXPECT_EQ(back, p);
  }
}

TEST(BitStream, StringsOfAnyLengthAndByteRoundTrip) {
  BitStream empty;
  empty.WriteString("");
  EXPECT_EQ(empty.GetNumberOfBitsUsed(), 8u);  // one compressed 0
  BitStream zero;
  zero.WriteCompressed(0);
  EXPECT_EQ(0, std::memcmp(empty.GetData(), zero.GetData(), 1));

  std::string all;
  for (int i = 0; i < 255; ++i) all.push_back(static_cast<char>(255 - i));  // bytes >= 128 first
  BitStream out;
  out.WriteString(all);
  out.WriteString("");
  out.WriteString("tail");
  BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
  std::string a, b, c;
  ASSERT_TRUE(in.ReadString(a));
  ASSERT_TRUE(in.ReadString(b));
  ASSERT_TRUE(in.ReadString(c));
  EXPECT_EQ(a, all);
  EXPECT_EQ(b, "");
  EXPECT_EQ(c, "tail");
}

TEST(BitStream, ReadsPastTheEndFailWithFixedResults) {
  BitStream out;
  out.WriteCompressed(7);
  BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
  int v = 0;
  ASSERT_TRUE(in.ReadCompressed(v));
  EXPECT_FALSE(in.Failed());
  EXPECT_FALSE(in.ReadCompressed(v));
  EXPECT_EQ(v, -1);
  std::string s = "junk";
  EXPECT_FALSE(in.ReadString(s));
  EXPECT_EQ(s, "");
  float f = 1;
  EXPECT_FALSE(in.ReadCompressed(f));
  EXPECT_TRUE(in.Failed());

  // A string whose characters stop half way gives nothing, not a prefix.
  BitStream cut;
  cut.WriteCompressed(10);
  for (char ch : std::string("abc")) cut.WriteCompressed(ch);
  BitStream cutIn(cut.GetData(), cut.GetNumberOfBytesUsed());
  EXPECT_FALSE(cutIn.ReadString(s));
  EXPECT_EQ(s, "");

  BitStream negative;
  negative.WriteCompressed(-5);
  negative.WriteString("abcdef");
  BitStream negativeIn(negative.GetData(), negative.GetNumberOfBytesUsed());
  EXPECT_FALSE(negativeIn.ReadString(s));
  EXPECT_EQ(s, "");
}

TEST(BitStream, AForgedStringLengthFailsAtOnceWithoutReserving) {
  BitStream out;
  out.WriteCompressed(INT_MAX);
  for (int i = 0; i < 64; ++i) out.WriteCompressed('x');
  BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
  std::string s;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(in.ReadString(s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(s, "");
  EXPECT_EQ(s.capacity() < 1024, true);
  EXPECT_TRUE(in.Failed());
}

TEST(BitStream, AReadViewUsesTheCallersBytesAndResetStartsAnOwnedMessage) {
  const unsigned char bytes[] = {0x41, 0x42};
  BitStream view(bytes, sizeof bytes);
  EXPECT_EQ(view.GetData(), bytes);
  EXPECT_TRUE(view.IsView());
  char c;
  view.Read(c);
  view.ResetReadPointer();
  view.Read(c);
  EXPECT_EQ(c, 'A');

  // Writing into a view never touches the foreign bytes.
  view.Write('Z');
  EXPECT_FALSE(view.IsView());
  EXPECT_EQ(bytes[0], 0x41);
  EXPECT_EQ(view.GetNumberOfBitsUsed(), 8u);

  view.Reset();
  EXPECT_EQ(view.GetNumberOfBitsUsed(), 0u);
  EXPECT_FALSE(view.Read(c));
}
