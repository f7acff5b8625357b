// The variant LHark labelled -lh7-: decoded under its own reading "-lk7-", and the standard
// reading of the same stream does not pass for it (so a CRC can tell the two apart).
#include <gtest/gtest.h>

#include "lzh_lhark_stream.h"
#include "lzh_test_support.h"

using namespace lzhtest;

namespace {

// Text with repeats longer than 256 bytes and farther apart than 8 KiB and 32 KiB, so long
// length symbols and the finer distance symbols all occur.
Bytes lhark_input() {
  Bytes out = text_bytes(20000, 31);
  const Bytes para(out.begin() + 1000, out.begin() + 1600);  // 600 bytes
  Bytes more = text_bytes(30000, 32);
  out.insert(out.end(), more.begin(), more.end());
  out.insert(out.end(), para.begin(), para.end());          // ~49 KiB back
  out.insert(out.end(), para.begin(), para.begin() + 514);  // longest match
  out.insert(out.end(), 3000, 'q');                         // long runs at distance 1
  Bytes tail = text_bytes(10000, 33);
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

TEST(LzhLhark, VariantDecodesUnderItsOwnReadingOnly) {
  const Bytes data = lhark_input();
  const Bytes packed = lharktest::encode(data);
  ASSERT_TRUE(lzh_can_decode("-lk7-"));
  CodecResult d = decode("-lk7-", packed, data.size());
  ASSERT_EQ(d.rc, LZH_OK);
  EXPECT_TRUE(d.out == data);
  CodecResult standard = decode("-lh7-", packed, data.size());
  EXPECT_TRUE(standard.rc != LZH_OK || crc16(standard.out) != crc16(data));
}

TEST(LzhLhark, DamagedVariantStreamsFailCleanly) {
  const Bytes data = lhark_input();
  const Bytes packed = lharktest::encode(data);
  for (size_t at = 40; at < packed.size(); at += packed.size() / 37) {
    Bytes bad = packed;
    bad[at] ^= 0x5A;
    CodecResult d = decode("-lk7-", bad, data.size());
    EXPECT_TRUE(d.rc != LZH_OK || d.out.size() == data.size()) << at;
  }
  Bytes cut(packed.begin(), packed.begin() + (long)packed.size() / 2);
  EXPECT_NE(decode("-lk7-", cut, data.size()).rc, LZH_OK);
}

}  // namespace
