#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "lzh_test_support.h"

using namespace lzhtest;

TEST(LzhCrc16, KnownVectors) {
  auto crc = [](const char* s) { return lzh_crc16(0, (const unsigned char*)s, std::strlen(s)); };
  EXPECT_EQ(crc("123456789"), 0xBB3D);
  EXPECT_EQ(crc("hello"), 0x34D2);
  EXPECT_EQ(crc("A"), 0x30C0);
  EXPECT_EQ(crc(""), 0x0000);
}

TEST(LzhCrc16, ContinuesAcrossChunks) {
  const Bytes data = random_bytes(10000, 3);
  uint16_t c = 0;
  for (size_t i = 0; i < data.size(); i += 777)
    c = lzh_crc16(c, data.data() + i, std::min<size_t>(777, data.size() - i));
  EXPECT_EQ(c, crc16(data));
}

// Bit by bit, as the polynomial is defined: the reference for the folded and table paths.
uint16_t crc16_bitwise(uint16_t crc, const unsigned char* p, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (uint16_t)((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

TEST(LzhCrc16, MatchesBitwiseAtEveryLengthAndAlignment) {
  // Lengths around the 16- and 64-byte steps of the folded path, odd start addresses and a
  // running CRC carried in; then a long buffer split at uneven points.
  const Bytes data = random_bytes(70000, 17);
  for (size_t off = 0; off < 16; off += 3)
    for (size_t n = 0; n <= 300; ++n) {
      const uint16_t seed = (uint16_t)(n * 40503u);
      ASSERT_EQ(lzh_crc16(seed, data.data() + off, n), crc16_bitwise(seed, data.data() + off, n))
          << "length " << n << " offset " << off;
    }
  uint16_t c = 0;
  size_t at = 0;
  for (size_t step = 1; at < data.size(); step = step * 7 % 9973 + 1) {
    const size_t n = std::min(step, data.size() - at);
    c = lzh_crc16(c, data.data() + at, n);
    at += n;
  }
  EXPECT_EQ(c, crc16_bitwise(0, data.data(), data.size()));
  const Bytes zeros(100000, 0), ones(100000, 0xFF);
  EXPECT_EQ(crc16(zeros), 0);
  EXPECT_EQ(crc16(ones), crc16_bitwise(0, ones.data(), ones.size()));
}

TEST(LzhCodecLibrary, HoldsNoMethodIdPattern) {
  // The self-extracting stub links the decoders; readers find the archive behind a stub by
  // the first "-l??-" or "-p??-" pattern, so the library must not contain one.
  const Bytes lib = read_file(LZH_CODEC_LIBRARY);
  ASSERT_GT(lib.size(), 1000u);
  for (size_t i = 0; i + 5 <= lib.size(); ++i) {
    if (lib[i] == '-' && lib[i + 4] == '-' && (lib[i + 1] == 'l' || lib[i + 1] == 'p'))
      FAIL() << "pattern at offset " << i << ": "
             << std::string(lib.begin() + (long)i, lib.begin() + (long)i + 5);
  }
}
