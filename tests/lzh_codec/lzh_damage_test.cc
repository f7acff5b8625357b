// Damaged and hostile packed data: the decoder must fail cleanly (or decode something) and
// never read or write out of bounds, hang, or produce more than the declared size.
#include <gtest/gtest.h>

#include <random>

#include "lzh_test_support.h"

using namespace lzhtest;

namespace {

const char* const kAllMethods[] = {"-lh0-", "-lz4-", "-lh1-", "-lh4-", "-lh5-", "-lh6-",
                                   "-lh7-", "-lhx-", "-lzs-", "-lz5-", "-lhd-"};

}  // namespace

TEST(LzhDamage, TruncatedStreamsAreDataErrors) {
  const Bytes data = text_bytes(50000, 31);
  for (const char* method : {"-lh5-", "-lh6-", "-lh7-"}) {
    SCOPED_TRACE(method);
    const Bytes packed = encode(method, data).out;
    for (size_t cut : {(size_t)0, (size_t)1, (size_t)5, packed.size() / 2, packed.size() - 2}) {
      Bytes part(packed.begin(), packed.begin() + (long)cut);
      CodecResult r = decode(method, part, data.size());
      EXPECT_EQ(r.rc, LZH_E_DATA) << cut;
      EXPECT_LE(r.out.size(), data.size());
    }
  }
  // Stored data shorter than its original size.
  EXPECT_EQ(decode("-lh0-", Bytes(10, 1), 11).rc, LZH_E_DATA);
}

TEST(LzhDamage, BadTablesAreRejected) {
  // Block size 0.
  EXPECT_EQ(decode("-lh5-", Bytes{0x00, 0x00, 0xFF, 0xFF}, 10).rc, LZH_E_DATA);
  // Block size 1, T count 19 with all lengths 1: an over-full code.
  {
    // 16 bits block size, 5 bits count (19 = 10011), then 3-bit lengths of 1.
    std::vector<int> bits;
    auto put = [&bits](unsigned v, int n) {
      for (int i = n - 1; i >= 0; --i) bits.push_back((v >> i) & 1);
    };
    put(1, 16);
    put(19, 5);
    for (int i = 0; i < 19; ++i) {
      put(1, 3);
      if (i == 2) put(0, 2);
    }
    Bytes b((bits.size() + 7) / 8 + 8, 0);
    for (size_t i = 0; i < bits.size(); ++i)
      if (bits[i]) b[i / 8] |= (unsigned char)(0x80 >> (i % 8));
    EXPECT_EQ(decode("-lh5-", b, 10).rc, LZH_E_DATA);
  }
  // T count larger than the table.
  EXPECT_EQ(decode("-lh5-", Bytes{0x00, 0x01, 0xF8, 0, 0, 0, 0, 0}, 10).rc, LZH_E_DATA);
}

TEST(LzhDamage, MethodAndCallbackErrors) {
  EXPECT_EQ(decode("-lh9-", Bytes(4, 0), 4).rc, LZH_E_METHOD);
  EXPECT_EQ(decode("-pm2-", Bytes(4, 0), 4).rc, LZH_E_METHOD);
  EXPECT_EQ(decode("-lhd-", Bytes(), 5).rc, LZH_E_DATA);
  EXPECT_EQ(decode("-lhd-", Bytes(), 0).rc, LZH_OK);

  const Bytes data = text_bytes(200000, 32);
  const Bytes packed = encode("-lh5-", data).out;
  MemReader r;
  r.data = &packed;
  MemWriter w;
  w.stop_after = 10000;
  LzhStreams io{mem_read, &r, mem_write, &w};
  EXPECT_EQ(lzh_decode("-lh5-", packed.size(), data.size(), &io), LZH_E_WRITE);
  EXPECT_LT(w.out.size(), 10000u + 65536u);

  r = MemReader();
  r.data = &packed;
  r.fail_after = 1000;
  w = MemWriter();
  EXPECT_EQ(lzh_decode("-lh5-", packed.size(), data.size(), &io), LZH_E_READ);
}

TEST(LzhDamage, DecodeStopsAtOriginalSize) {
  // A tiny stream may declare a huge output (a bomb); with a small original size the decoder
  // stops there and reports success only for what was asked.
  const Bytes data = Bytes(1 << 20, 'q');
  const Bytes packed = encode("-lh5-", data).out;
  CodecResult r = decode("-lh5-", packed, 1000);
  EXPECT_EQ(r.rc, LZH_OK);
  EXPECT_EQ(r.out.size(), 1000u);
}

TEST(LzhDamage, RandomCorruptionNeverCrashes) {
  std::mt19937 g(77);
  const Bytes text = text_bytes(20000, 33);
  std::vector<std::pair<const char*, Bytes>> seeds;
  for (const char* m : {"-lh5-", "-lh6-", "-lh7-"}) seeds.push_back({m, encode(m, text).out});
  for (const char* m : kAllMethods) seeds.push_back({m, random_bytes(3000, 34)});
  int failures = 0, runs = 0;
  for (auto& [method, base] : seeds) {
    for (int iter = 0; iter < 300; ++iter) {
      Bytes b = base;
      const int flips = 1 + (int)(g() % 8);
      for (int k = 0; k < flips && !b.empty(); ++k)
        b[g() % b.size()] ^= (unsigned char)(1u << (g() % 8));
      if (g() % 4 == 0 && !b.empty()) b.resize(g() % b.size());
      const uint64_t size = g() % 3 == 0 ? (uint64_t)(g() % 100000) : text.size();
      CodecResult r = decode(method, b, size);
      ASSERT_LE(r.out.size(), size);
      if (r.rc == LZH_OK) {
        ASSERT_EQ(r.out.size(), size);
      } else {
        ASSERT_EQ(r.rc, LZH_E_DATA) << method;
        ++failures;
      }
      ++runs;
    }
  }
  EXPECT_GT(failures, runs / 10);  // corruption is noticed, not silently accepted everywhere
}
