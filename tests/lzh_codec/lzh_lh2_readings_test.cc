// -lh2- streams of both writer families: the Java LHA library counts uses of the position
// tree's root while it is the only leaf, the Windows LZH library does not. Each decodes only
// in its own reading.
#include <gtest/gtest.h>

#include "lh2_test_writer.h"
#include "lzh_test_support.h"

using namespace lzhtest;

namespace {

CodecResult decodeReading(const std::string& packed, size_t original, int reading) {
  Bytes in(packed.begin(), packed.end());
  MemReader r;
  r.data = &in;
  MemWriter w;
  LzhStreams io{mem_read, &r, mem_write, &w};
  CodecResult out;
  out.rc = lzh_decode_reading("-lh2-", in.size(), original, &io, reading);
  out.out = w.out;
  return out;
}

std::string sample() {
  // Matches within the first 64 bytes, before the position tree first splits, are where the
  // two families part.
  std::string s = "abcabcabcabc xyzxyzxyz abcabc\n";
  Bytes text = text_bytes(20000, 7);
  s.append(text.begin(), text.end());
  return s;
}

}  // namespace

TEST(LzhLh2Readings, EachWriterFamilyDecodesInItsReading) {
  EXPECT_EQ(lzh_decode_readings("-lh2-"), 2);
  EXPECT_EQ(lzh_decode_readings("-lh5-"), 1);
  EXPECT_EQ(lzh_decode_readings("-xyz-"), 0);
  const std::string input = sample();
  const Bytes want(input.begin(), input.end());
  const std::string java = lh2Encode(input, true);
  const std::string windows = lh2Encode(input, false);
  ASSERT_NE(java, windows);

  CodecResult j0 = decodeReading(java, input.size(), 0);
  ASSERT_EQ(j0.rc, LZH_OK);
  EXPECT_TRUE(j0.out == want);  // the test writer agrees with the reading the jLHA tests check
  CodecResult w1 = decodeReading(windows, input.size(), 1);
  ASSERT_EQ(w1.rc, LZH_OK);
  EXPECT_TRUE(w1.out == want);
  // Each stream read the other way goes wrong, so the CRC tells the readings apart.
  CodecResult w0 = decodeReading(windows, input.size(), 0);
  EXPECT_TRUE(w0.rc != LZH_OK || crc16(w0.out) != crc16(want));
  CodecResult j1 = decodeReading(java, input.size(), 1);
  EXPECT_TRUE(j1.rc != LZH_OK || crc16(j1.out) != crc16(want));
  EXPECT_EQ(decodeReading(windows, input.size(), 2).rc, LZH_E_METHOD);
}
