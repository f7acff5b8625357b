#include <gtest/gtest.h>

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
