#include "net/messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

namespace {

msg::FullState SampleFullState() {
  return msg::FullState{0.125f, -30000.0f, 812.5f, 271.0f, true,  false, 50,    1234, 96.0f,
                        112.0f, 7,         -3.5f,  0.25f,  20.0f, true,  false, true};
}

msg::ProjectileFull SampleProjectile() {
  return msg::ProjectileFull{0.5f, 21,    100.0f, -200.0f, 16.0f,  32.0f,  45.0f,  3.0f,
                             90,   18.5f, 4,      1.5f,    -0.75f, 0.125f, 0.875f, 0.0625f};
}

msg::ShortState SampleShortState() {
  return msg::ShortState{0.25f, 10.0f, 20.0f, 30.0f, true, 99, 1.0f, -2.0f, false, true, false};
}

// Writes m, checks the id byte, and reads it back the way a receiver does.
template <class M>
M RoundTrip(const M& m, size_t* bits = nullptr) {
  BitStream out;
  msg::Write(out, m);
  if (bits) *bits = out.GetNumberOfBitsUsed();
  BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
  char id = 0;
  EXPECT_TRUE(in.Read(id));
  EXPECT_EQ(id, M::id);
  M back{};
  EXPECT_TRUE(msg::Read(in, back));
  EXPECT_EQ(in.GetNumberOfUnreadBits(), out.GetNumberOfBytesUsed() * 8 - out.GetNumberOfBitsUsed());
  return back;
}

// Every message, cut anywhere before its last bit, is refused.
template <class M>
void ExpectEveryPrefixRefused(const M& m) {
  BitStream out;
  msg::Write(out, m);
  const size_t bits = out.GetNumberOfBitsUsed();
  for (size_t cut = 8; cut + 1 < bits; cut += 8) {  // whole bytes: what a packet can hold
    const size_t bytes = cut / 8;
    if (bytes * 8 >= bits) break;
    BitStream in(out.GetData(), bytes);
    char id;
    in.Read(id);
    M back{};
    EXPECT_FALSE(msg::Read(in, back)) << "id " << int(M::id) << " cut at byte " << bytes;
  }
}

}  // namespace

TEST(Messages, EveryMessageRoundTripsWithItsIdFirst) {
  EXPECT_EQ(RoundTrip(msg::Join{"Pilot \xE9", 0.3f}), (msg::Join{"Pilot \xE9", 0.3f}));
  EXPECT_EQ(RoundTrip(SampleFullState()), SampleFullState());
  EXPECT_EQ(RoundTrip(msg::DamageReport{0.1f, 0.2f, 12.5f, 80.0f}),
            (msg::DamageReport{0.1f, 0.2f, 12.5f, 80.0f}));
  EXPECT_EQ(RoundTrip(msg::KillReport{0.1f, 0.2f, 450}), (msg::KillReport{0.1f, 0.2f, 450}));
  msg::Roster roster;
  roster.entries = {{"a", 0.1f}, {"", 0.2f}, {"Host", 0.3f}};
  EXPECT_EQ(RoundTrip(roster), roster);
  EXPECT_EQ(RoundTrip(msg::Roster{}), msg::Roster{});
  EXPECT_EQ(RoundTrip(msg::Chat{"Bob: hello"}), (msg::Chat{"Bob: hello"}));
  EXPECT_EQ(RoundTrip(msg::Explosion{1.0f, 2.0f, 64.0f, 64.0f, 3, 16}),
            (msg::Explosion{1.0f, 2.0f, 64.0f, 64.0f, 3, 16}));
  EXPECT_EQ(RoundTrip(msg::Freeze{0.7f, 50}), (msg::Freeze{0.7f, 50}));
  EXPECT_EQ(RoundTrip(msg::Leave{0.7f, true}), (msg::Leave{0.7f, true}));
  EXPECT_EQ(RoundTrip(SampleProjectile()), SampleProjectile());
  const msg::ProjectileNew fresh{0.5f, 2, 1, 2, 3, 4, 5, 6, -7, 8, 9, 10, 11, 12, 13, 14};
  EXPECT_EQ(RoundTrip(fresh), fresh);
  EXPECT_EQ(RoundTrip(msg::ProjectileRemove{0.5f, 0.6f}), (msg::ProjectileRemove{0.5f, 0.6f}));
  EXPECT_EQ(RoundTrip(SampleShortState()), SampleShortState());
  EXPECT_EQ(RoundTrip(msg::ProjectileShort{0.5f, 1, 2, 3, 40, 5, 6, 7, 0.8f}),
            (msg::ProjectileShort{0.5f, 1, 2, 3, 40, 5, 6, 7, 0.8f}));
}

TEST(Messages, TheWireLayoutIsTheFieldOrderWithTheFieldEncodings) {
  // Written by hand with the handler's field encodings, read as a message.
  BitStream out;
  out.Write(static_cast<char>(62));
  for (float f : {0.25f, 10.0f, 20.0f, 30.0f}) out.WriteCompressed(f);
  out.Write(true);
  out.WriteCompressed(99);
  out.WriteCompressed(1.0f);
  out.WriteCompressed(-2.0f);
  out.Write(false);
  out.Write(true);
  out.Write(false);
  BitStream mine;
  msg::Write(mine, SampleShortState());
  ASSERT_EQ(mine.GetNumberOfBitsUsed(), out.GetNumberOfBitsUsed());
  EXPECT_EQ(0, std::memcmp(mine.GetData(), out.GetData(), out.GetNumberOfBytesUsed()));
}

TEST(Messages, PayloadSizesOfTheFrequentMessages) {
  size_t shortBits = 0, fullBits = 0;
  RoundTrip(SampleShortState(), &shortBits);
  RoundTrip(SampleProjectile(), &fullBits);
  // id 8 + 6 floats + 4 bools + bounty 99 (12 bits)
  EXPECT_EQ(shortBits, 8u + 6 * 32 + 4 + 12);
  // id 8 + 13 floats + texture 21, life 90 (12 bits each) + behaviour 4 (8 bits)
  EXPECT_EQ(fullBits, 8u + 13 * 32 + 12 + 12 + 8);
  RecordProperty("ShortStateBytes", static_cast<int>((shortBits + 7) / 8));
  RecordProperty("ProjectileFullBytes", static_cast<int>((fullBits + 7) / 8));
}

TEST(Messages, CutShortMessagesAreRefused) {
  ExpectEveryPrefixRefused(msg::Join{"name", 0.5f});
  ExpectEveryPrefixRefused(SampleFullState());
  ExpectEveryPrefixRefused(msg::KillReport{0.1f, 0.2f, 450});
  msg::Roster roster;
  roster.entries = {{"a", 0.1f}, {"Host", 0.3f}};
  ExpectEveryPrefixRefused(roster);
  ExpectEveryPrefixRefused(msg::Chat{"hello"});
  ExpectEveryPrefixRefused(SampleProjectile());
  ExpectEveryPrefixRefused(SampleShortState());
  ExpectEveryPrefixRefused(msg::ProjectileShort{0.5f, 1, 2, 3, 40, 5, 6, 7, 0.8f});
}

TEST(Messages, NonFiniteNumbersDropTheMessage) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  msg::ShortState s = SampleShortState();
  s.x = nan;
  BitStream out;
  msg::Write(out, s);
  msg::ProjectileFull p = SampleProjectile();
  p.acceleration = -inf;  // the last field
  msg::Write(out, p);
  BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
  char id;
  in.Read(id);
  msg::ShortState sBack;
  EXPECT_FALSE(msg::Read(in, sBack));
  in.Read(id);
  EXPECT_EQ(id, msg::kProjectileFull);  // the bad number did not shift the stream
  msg::ProjectileFull pBack;
  EXPECT_FALSE(msg::Read(in, pBack));
}

// Numbers the receiver turns into integers or sizes: a projectile style or a
// damage far beyond any int made the casts undefined on the receiving copy.
TEST(Messages, NumbersOutOfRangeDropTheMessage) {
  auto refused = [](const auto& m) {
    BitStream out;
    msg::Write(out, m);
    BitStream in(out.GetData(), out.GetNumberOfBytesUsed());
    char id;
    in.Read(id);
    std::remove_cvref_t<decltype(m)> back{};
    return !msg::Read(in, back);
  };
  msg::ProjectileNew p{};
  p.style = 1.1e30f;
  EXPECT_TRUE(refused(p));
  p.style = -1;
  EXPECT_TRUE(refused(p));
  p.style = 3;
  EXPECT_FALSE(refused(p));
  EXPECT_TRUE(refused(msg::DamageReport{1, 2, 6.6e35f, 0}));
  EXPECT_TRUE(refused(msg::DamageReport{1, 2, 0, -6.6e35f}));
  EXPECT_FALSE(refused(msg::DamageReport{1, 2, 450, 90}));
  msg::FullState f = SampleFullState();
  f.width = 1e9f;
  EXPECT_TRUE(refused(f));
  EXPECT_TRUE(refused(msg::Explosion{0, 0, 64, -3e12f, 1, 8}));
  // A finite but huge speed ran a remote ship off to infinity within frames.
  msg::ShortState s{};
  s.vy = -7.7e37f;
  EXPECT_TRUE(refused(s));
  s.vy = -25;
  EXPECT_FALSE(refused(s));
}

TEST(Messages, RosterLengthIsBounded) {
  msg::Roster big;
  for (int i = 0; i < 100; ++i) {
    std::string name = "p";
    name += std::to_string(i);
    big.entries.push_back({name, float(i)});
  }
  const msg::Roster back = RoundTrip(big);
  ASSERT_EQ(back.entries.size(), size_t(msg::Roster::kMaxEntries));
  EXPECT_EQ(back.entries.back().name, "p99");  // the host's own entry survives
  EXPECT_EQ(back.entries[62].name, "p62");

  // A forged count is refused without building any entry.
  BitStream forged;
  forged.Write(static_cast<char>(msg::kRoster));
  forged.WriteCompressed(1000000);
  forged.WriteString("x");
  forged.WriteCompressed(0.5f);
  BitStream in(forged.GetData(), forged.GetNumberOfBytesUsed());
  char id;
  in.Read(id);
  msg::Roster r;
  EXPECT_FALSE(msg::Read(in, r));
  EXPECT_TRUE(r.entries.empty());
}
