// Header writer and reader against each other, and the reader against damaged bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "archive_index.h"
#include "header_reader.h"
#include "header_writer.h"
#include "lzh_codec.h"
#include "lzh_error.h"
#include "other_writers.h"

using namespace zv::lzh;

namespace {

std::string member(const std::vector<std::string>& parts, const std::string& data, int level,
                   std::time_t mtime = 1704164646) {
  NewHeader h;
  h.parts = parts;
  h.level = level;
  h.originalSize = h.packedSize = data.size();
  h.crc = lzh_crc16(0, reinterpret_cast<const unsigned char*>(data.data()), data.size());
  h.mtime = mtime;
  h.unixMode = 0100644;
  return buildHeader(h) + data;
}

std::string archiveOf(int level) {
  return member({"hello.txt"}, "hello", level) + member({"ソフト", "表.txt"}, "abc", level) +
         std::string(1, '\0');
}

}  // namespace

TEST(Headers, WrittenHeadersReadBackAtEveryLevel) {
  for (int level = 0; level <= 2; ++level) {
    std::string bytes = archiveOf(level);
    MemorySource src(bytes.data(), bytes.size());
    auto idx = scanArchive(src);
    ASSERT_EQ(idx->members.size(), 2u) << level;
    const Member& a = idx->members[0];
    EXPECT_EQ(a.path, "hello.txt");
    EXPECT_EQ(a.originalSize, 5u);
    EXPECT_EQ(a.crc, 0x34D2);  // CRC-16 of "hello"
    EXPECT_EQ(a.level, level);
    const Member& b = idx->members[1];
    EXPECT_EQ(b.path, "ソフト\\表.txt") << level;
    EXPECT_EQ(bytes.substr(b.dataOffset, b.packedSize), "abc");
    // Level 2 keeps the exact time; levels 0 and 1 two-second DOS steps in local time.
    if (level == 2) {
      EXPECT_EQ(a.mtime, 1704164646);
    } else {
      EXPECT_LE(std::abs(a.mtime - 1704164646), 2);
    }
    EXPECT_FALSE(idx->damaged);
    EXPECT_EQ(idx->end, bytes.size() - 1);
  }
}

TEST(Headers, Level2LengthNeverAMultipleOf256) {
  for (size_t n = 1; n < 600; ++n) {
    std::string bytes = member({std::string(n, 'a')}, "x", 2) + std::string(1, '\0');
    EXPECT_NE(static_cast<unsigned char>(bytes[0]), 0) << n;  // would read as the end marker
    MemorySource src(bytes.data(), bytes.size());
    auto idx = scanArchive(src);
    ASSERT_EQ(idx->members.size(), 1u) << n;
    EXPECT_EQ(idx->members[0].parts[0].size(), n);
  }
}

TEST(Headers, Level0RefusesNamesItCannotHold) {
  EXPECT_THROW(member({std::string(230, 'a')}, "x", 0), LzhError);
}

TEST(Headers, TruncationAtEveryOffsetNeverPassesForWhole) {
  for (int level = 0; level <= 2; ++level) {
    std::string full = archiveOf(level);
    for (size_t cut = 0; cut < full.size() - 1; ++cut) {
      std::string part = full.substr(0, cut);
      MemorySource src(part.data(), part.size());
      try {
        auto idx = scanArchive(src);
        // Whatever was read must be honest: a member whose data is cut is marked so.
        size_t whole = 0;
        for (const Member& m : idx->members)
          if (!m.truncated && m.dataOffset + m.packedSize <= part.size()) ++whole;
        if (cut < full.size() - 1) {
          EXPECT_TRUE(idx->damaged || whole < 2) << level << " " << cut;
        }
      } catch (const LzhError& e) {
        EXPECT_TRUE(e.code() == ZV_ERROR_NOT_ARCHIVE || e.code() == ZV_ERROR_BROKEN_ARCHIVE);
      }
    }
  }
}

TEST(Headers, LyingSizesAndFlippedBytesAreDamage) {
  // Levels 0 to 2 as written here, and a level-2 header another writer padded with one byte
  // (3 = level 2 with the pad byte, which counts in its length and its header CRC).
  for (int level = 0; level <= 3; ++level) {
    std::string good = archiveOf(level == 3 ? 2 : level);
    if (level == 3) {
      lzhtest::Level2Fields f;
      f.name = "hello.txt";
      f.packed = f.original = 5;
      f.crc = lzh_crc16(0, reinterpret_cast<const unsigned char*>("hello"), 5);
      f.padded = true;
      good = lzhtest::level2Header(f) + "hello" + std::string(1, '\0');
    }
    MemorySource ref(good.data(), good.size());
    const uint32_t headerLen = scanArchive(ref)->members[0].headerSize;
    const size_t name = good.find("hello.txt");
    // A changed byte in the name is caught by the checksum (levels 0 and 1 keep the name in
    // the base header) or the header CRC; so is the pad byte. Every other change is damage of
    // some kind or leaves a header that still parses consistently, as when it is the type byte
    // of the CRC extended header itself; never a crash.
    for (uint32_t i = 0; i < headerLen; ++i) {
      SCOPED_TRACE(std::to_string(level) + " " + std::to_string(i));
      std::string bad = good;
      bad[i] = static_cast<char>(bad[i] ^ 0x5A);
      MemorySource src(bad.data(), bad.size());
      Member m;
      HeaderRead r = readHeader(src, 0, m);
      if ((i >= name && i < name + 9) || (level == 3 && i == headerLen - 1)) {
        EXPECT_EQ(r.problem, level < 2 ? "header checksum mismatch" : "header CRC mismatch");
      } else if (r.status == HeaderStatus::Ok) {
        EXPECT_TRUE(level > 0 && good[i] == '\0');
        EXPECT_LE(m.dataOffset, bad.size() + 0x10000u);
      }
    }
  }
  // A level-2 extended header size that runs past the header.
  std::string bad = archiveOf(2);
  bad[24] = '\x7F';
  MemorySource src(bad.data(), bad.size());
  Member m;
  EXPECT_EQ(readHeader(src, 0, m).status, HeaderStatus::Damaged);
}

TEST(Headers, ReadsJlhaTestVectors) {
  // tv_l1 (level 1 with a header CRC) and tv_l3 (level 3) of the format notes.
  const unsigned char l1[] = {0x22, 0x59, 0x2d, 0x6c, 0x68, 0x30, 0x2d, 0x0a, 0x00, 0x00,
                              0x00, 0x05, 0x00, 0x00, 0x00, 0x83, 0x18, 0x22, 0x58, 0x20,
                              0x01, 0x09, 0x68, 0x65, 0x6c, 0x6c, 0x6f, 0x2e, 0x74, 0x78,
                              0x74, 0xd2, 0x34, 0x00, 0x05, 0x00, 0x00, 0xb2, 0xc8, 0x00,
                              0x00, 0x68, 0x65, 0x6c, 0x6c, 0x6f, 0x00};
  const unsigned char l3[] = {
      0x04, 0x00, 0x2d, 0x6c, 0x68, 0x30, 0x2d, 0x05, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00,
      0x26, 0x7d, 0x93, 0x65, 0x20, 0x03, 0xd2, 0x34, 0x4d, 0x35, 0x00, 0x00, 0x00, 0x07, 0x00,
      0x00, 0x00, 0x00, 0x4f, 0x88, 0x0e, 0x00, 0x00, 0x00, 0x01, 0x68, 0x65, 0x6c, 0x6c, 0x6f,
      0x2e, 0x74, 0x78, 0x74, 0x00, 0x00, 0x00, 0x00, 0x68, 0x65, 0x6c, 0x6c, 0x6f, 0x00};
  for (auto [p, n] : {std::pair{l1, sizeof l1}, std::pair{l3, sizeof l3}}) {
    MemorySource src(p, n);
    auto idx = scanArchive(src);
    ASSERT_EQ(idx->members.size(), 1u);
    EXPECT_EQ(idx->members[0].path, "hello.txt");
    EXPECT_EQ(idx->members[0].packedSize, 5u);
    EXPECT_EQ(idx->members[0].crc, 0x34D2);
  }
  // The same level-1 header with its header CRC damaged.
  std::vector<unsigned char> bad(l1, l1 + sizeof l1);
  bad[37] ^= 1;
  MemorySource src(bad.data(), bad.size());
  EXPECT_THROW(scanArchive(src), LzhError);
}
