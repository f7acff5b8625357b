// Encoder and decoder together over data shapes that stress the parse and the blocks.
#include <gtest/gtest.h>

#include "lzh_test_support.h"

using namespace lzhtest;

namespace {

struct Case {
  std::string name;
  Bytes data;
};

std::vector<Case> corpus() {
  std::vector<Case> c;
  c.push_back({"empty", {}});
  c.push_back({"one byte", {0x41}});
  c.push_back({"two bytes", {0x00, 0xFF}});
  c.push_back({"zeros 3M", Bytes(3 << 20, 0)});
  c.push_back({"same byte 5000", Bytes(5000, 'x')});
  c.push_back({"abc pattern", repeat_bytes(100000, "abc")});
  c.push_back({"random 1M", random_bytes(1 << 20, 1)});
  c.push_back({"text 1.5M", text_bytes(3 << 19, 2)});
  for (size_t n :
       {8191u, 8192u, 8193u, 32767u, 32768u, 32769u, 65535u, 65536u, 65537u, 131072u, 131073u})
    c.push_back({"text " + std::to_string(n), text_bytes(n, (uint32_t)n)});
  // Repeats exactly one dictionary apart: the longest distances each method allows.
  for (size_t period : {8192u, 32768u, 65536u}) {
    Bytes b = random_bytes(period, 9);
    Bytes twice = b;
    twice.insert(twice.end(), b.begin(), b.end());
    twice.insert(twice.end(), b.begin(), b.begin() + 1000);
    c.push_back({"period " + std::to_string(period), twice});
  }
  // Mixed: text, then random, then a long run, in one stream (blocks change statistics).
  Bytes mixed = text_bytes(200000, 4);
  Bytes r = random_bytes(100000, 5);
  mixed.insert(mixed.end(), r.begin(), r.end());
  mixed.insert(mixed.end(), 70000, 'z');
  c.push_back({"mixed", mixed});
  return c;
}

// Few distinct byte values, unevenly frequent, no text among them: statistics far from text.
Bytes skewed_bytes(size_t n, uint32_t seed) {
  Bytes b(n);
  uint32_t x = seed;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    const uint32_t r = x >> 16;
    b[i] = (unsigned char)(0x80 + (r % 8) * (r % 5));
  }
  return b;
}

}  // namespace

TEST(LzhRoundTrip, AllMethodsAndShapes) {
  // The default level matches lazily; level 9 chooses matches by cost over chunks.
  for (int level : {0, 9})
    for (const char* method : {"-lh5-", "-lh6-", "-lh7-"}) {
      for (const Case& c : corpus()) {
        SCOPED_TRACE(std::string(method) + " " + c.name + " level " + std::to_string(level));
        CodecResult e = encode(method, c.data, level);
        ASSERT_EQ(e.rc, LZH_OK);
        EXPECT_EQ(e.packed, e.out.size());
        CodecResult d = decode(method, e.out, c.data.size());
        ASSERT_EQ(d.rc, LZH_OK);
        EXPECT_TRUE(d.out == c.data);
      }
    }
}

TEST(LzhRoundTrip, EveryLevelAndSmallReads) {
  const Bytes data = text_bytes(300000, 11);
  uint64_t fastest = 0, lazy = 0, smallest = 0;
  for (int level = 1; level <= 9; ++level) {
    SCOPED_TRACE(level);
    CodecResult e = encode("-lh6-", data, level, level == 5 ? 1000 : 0);
    ASSERT_EQ(e.rc, LZH_OK);
    CodecResult d = decode("-lh6-", e.out, data.size(), 3);
    ASSERT_EQ(d.rc, LZH_OK);
    EXPECT_TRUE(d.out == data);
    if (level == 1) fastest = e.packed;
    if (level == 6) lazy = e.packed;
    if (level == 9) smallest = e.packed;
  }
  EXPECT_LT(smallest, fastest);
  // Choosing matches by cost must beat the best lazy parse by a visible margin.
  EXPECT_LT(smallest, lazy - lazy / 100);
}

TEST(LzhRoundTrip, DecodesWhateverPiecesTheInputArrivesIn) {
  // The decoder's fast loop runs only while its bound on the bytes a token may read holds;
  // reads of every small size end the input buffer at every point of a token. Short pieces
  // of random bytes copied from far back make every token a match with many extra bits.
  Bytes data = random_bytes(65000, 21);
  uint32_t x = 7;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245u + 12345u;
    const long at = (long)((x >> 8) % 60000);
    const Bytes piece(data.begin() + at, data.begin() + at + 4 + (x & 3));
    data.insert(data.end(), piece.begin(), piece.end());
  }
  const CodecResult e = encode("-lh7-", data);
  ASSERT_EQ(e.rc, LZH_OK);
  for (size_t slice = 9; slice <= 80; ++slice) {
    const CodecResult d = decode("-lh7-", e.out, data.size(), slice);
    ASSERT_EQ(d.rc, LZH_OK) << slice;
    ASSERT_TRUE(d.out == data) << slice;
  }
}

TEST(LzhRoundTrip, CompressesAsExpected) {
  // Repetitive input must shrink a lot, random input must not grow much.
  EXPECT_LT(encode("-lh5-", Bytes(1 << 20, 0)).packed, 2000u);
  // Text that repeats 40 000 bytes apart: only the 64 KiB dictionary sees the repeats.
  Bytes text;
  for (int k = 0; k < 40; ++k) {
    const Bytes part = text_bytes(20000, (uint32_t)(7 + k % 2));
    text.insert(text.end(), part.begin(), part.end());
  }
  const uint64_t lh5 = encode("-lh5-", text).packed, lh6 = encode("-lh6-", text).packed;
  EXPECT_LT(encode("-lh7-", text).packed, std::min(lh5, lh6) / 4);
  EXPECT_LT(encode("-lh5-", text).packed, text.size() / 3);
  const Bytes noise = random_bytes(1 << 20, 7);
  EXPECT_LT(encode("-lh5-", noise).packed, noise.size() + noise.size() / 50);
  // Noise repeated exactly one dictionary later: the repeat is one long copy from the largest
  // distance the method names, at every level.
  for (const auto& [method, dsize] :
       {std::pair{"-lh5-", 8192u}, std::pair{"-lh6-", 32768u}, std::pair{"-lh7-", 65536u}}) {
    const Bytes once = random_bytes(dsize, 15);
    Bytes twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    for (int level : {0, 7, 9}) {
      SCOPED_TRACE(std::string(method) + " level " + std::to_string(level));
      EXPECT_LT(encode(method, twice, level).packed, dsize + dsize / 16);
    }
  }
}

TEST(LzhRoundTrip, BlocksEndWhereTheStatisticsChange) {
  // Text, binary-like bytes and text again: packed in one stream they must cost hardly more
  // than the three parts packed apart, which needs block borders near where each part ends.
  const Bytes parts[] = {text_bytes(150000, 16), skewed_bytes(70000, 17), text_bytes(90000, 18)};
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  for (int level : {0, 9}) {
    SCOPED_TRACE(level);
    uint64_t apart = 0;
    for (const Bytes& p : parts) apart += encode("-lh5-", p, level).packed;
    EXPECT_LT(encode("-lh5-", all, level).packed, apart + apart / 1000);
  }
}

TEST(LzhRoundTrip, MatchesAtEveryDistanceGroup) {
  // Random 'a'/'b' text: every position has a longer match in nearly every position group,
  // so the parse by cost runs out of room for them and ends its chunks early; matches must
  // still stop at the chunk's end.
  Bytes ab = random_bytes(450000, 19);
  for (unsigned char& c : ab) c = 'a' + (c & 1);
  for (const char* method : {"-lh5-", "-lh7-"}) {
    SCOPED_TRACE(method);
    CodecResult e = encode(method, ab, 9);
    ASSERT_EQ(e.rc, LZH_OK);
    EXPECT_LT(e.packed, ab.size() / 7);
    CodecResult d = decode(method, e.out, ab.size());
    ASSERT_EQ(d.rc, LZH_OK);
    EXPECT_TRUE(d.out == ab);
  }
}

TEST(LzhRoundTrip, EncoderErrors) {
  const Bytes data = text_bytes(100000, 8);
  uint64_t packed = 0;
  EXPECT_EQ(encode("-lh1-", data).rc, LZH_E_METHOD);
  EXPECT_FALSE(lzh_can_encode("-lh0-"));

  // Input shorter than announced.
  MemReader r;
  r.data = &data;
  MemWriter w;
  LzhStreams io{mem_read, &r, mem_write, &w};
  EXPECT_EQ(lzh_encode("-lh5-", data.size() + 10, &io, &packed), LZH_E_READ);

  // Read failure.
  r = MemReader();
  r.data = &data;
  r.fail_after = 5000;
  EXPECT_EQ(lzh_encode("-lh5-", data.size(), &io, &packed), LZH_E_READ);

  // The write callback asks to stop.
  r = MemReader();
  r.data = &data;
  w = MemWriter();
  w.stop_after = 100;
  EXPECT_EQ(lzh_encode("-lh5-", data.size(), &io, &packed), LZH_E_WRITE);

  // Packed data larger than the caller's limit: incompressible input stops early.
  const Bytes noise = random_bytes(1 << 20, 12);
  r = MemReader();
  r.data = &noise;
  w = MemWriter();
  LzhEncodeOptions opt{0, noise.size() / 2};
  EXPECT_EQ(lzh_encode_ex("-lh5-", noise.size(), &io, &packed, &opt), LZH_E_NOGAIN);
  EXPECT_LT(w.out.size(), noise.size());
}

TEST(LzhRoundTrip, LhxReadsTheLh7StreamFormat) {
  // -lhx- is the -lh7- stream with a larger window, so -lh7- data must decode under it.
  Bytes data = text_bytes(200000, 13);
  const Bytes far = random_bytes(60000, 14);
  data.insert(data.end(), far.begin(), far.end());
  data.insert(data.end(), far.begin(), far.end());
  CodecResult e = encode("-lh7-", data);
  ASSERT_EQ(e.rc, LZH_OK);
  CodecResult d = decode("-lhx-", e.out, data.size());
  ASSERT_EQ(d.rc, LZH_OK);
  EXPECT_TRUE(d.out == data);
}
