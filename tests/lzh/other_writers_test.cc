// Archives in the shapes other writers produce that our own writer never makes: OS-9/68k
// level-2 lengths, Amiga file comments in the name field, MacBinary-wrapped members and members
// past 4 GiB. The archives are built byte by byte here.
#include "other_writers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../lzh_codec/lh2_test_writer.h"
#include "lzh_codec.h"
#include "lzh_test_util.h"

using namespace lzhtest;

namespace {

std::string lines(const std::string& text, size_t from, size_t count) {
  std::string out;
  size_t pos = 0;
  for (size_t i = 0; i < from + count && pos <= text.size(); ++i) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    if (i >= from) out += text.substr(pos, nl - pos) + "\n";
    pos = nl + 1;
  }
  return out;
}

}  // namespace

TEST(OtherWriters, Os9LevelTwoHeadersTwoBytesShortAreRead) {
  TempDir t;
  // Two members, so that the second header is only found where the first one really ends.
  std::string a = level2Member("-lh0-", "readme", "OS-9 text\n", 'K', -2) +
                  level2Member("-lh0-", "data.bin", "xyz", 'K', -2) + std::string(1, '\0');
  writeFile(t / "os9.lzh", a);
  EXPECT_EQ(memberNames(t / "os9.lzh"), (std::vector<std::string>{"readme", "data.bin"}));
  ASSERT_EQ(unlha("x -n1 " + dq(t / "os9.lzh") + " " + dq(t / "out/")).rc, 0);
  EXPECT_EQ(readFile(t / "out/readme"), "OS-9 text\n");
  EXPECT_EQ(readFile(t / "out/data.bin"), "xyz");
  // The same tool's headers with the length written in full, and other systems' headers
  // whose length is two bytes off, keep reading as before.
  writeFile(t / "whole.lzh", level2Member("-lh0-", "readme", "abc", 'K', 0) + std::string(1, '\0'));
  EXPECT_EQ(memberNames(t / "whole.lzh"), std::vector<std::string>{"readme"});
  writeFile(t / "bad.lzh", level2Member("-lh0-", "readme", "abc", 'U', -2) + std::string(1, '\0'));
  EXPECT_NE(unlha("t " + dq(t / "bad.lzh")).rc, 0);
}

// A level-2 header that would be 256 bytes long: some writers add one zero byte (counted in
// the length and the header CRC), others leave a length whose low byte is 0, which must not
// pass for the end marker even as the first header. lhasa reads all of them.
TEST(OtherWriters, Level2HeadersOf256BytesPaddedOrNot) {
  TempDir t;
  Level2Fields f;
  f.name = std::string(218, 'n') + ".txt";  // 34 bytes around the name: 256 in all
  f.packed = f.original = 5;
  f.crc = crc16("hello");
  const std::string other = level2Member("-lh0-", "b.txt", "b", 'U', 0);
  for (bool padded : {true, false}) {
    f.padded = padded;
    const std::string first = level2Header(f) + "hello";
    ASSERT_EQ(first.size(), padded ? 262u : 261u);
    for (bool leading : {true, false}) {
      SCOPED_TRACE(std::to_string(padded) + std::to_string(leading));
      TempDir d;
      std::string a = d / "a.lzh";
      writeFile(a, (leading ? first + other : other + first) + std::string(1, '\0'));
      auto names = memberNames(a);
      ASSERT_EQ(names.size(), 2u);
      EXPECT_EQ(names[leading ? 0 : 1], f.name);
      EXPECT_EQ(unlha("t " + dq(a)).rc, 0);
      ASSERT_EQ(unlha("x -n1 " + dq(a) + " " + dq(d / "out/")).rc, 0);
      EXPECT_EQ(readFile(d / ("out/" + f.name)), "hello");
      if (haveTool("lhasa")) {
        EXPECT_EQ(sh("lhasa t " + q(a)).status, 0);
      }
    }
  }
  // The pad byte is under the header CRC; an archive of nothing but the end marker is empty.
  f.padded = true;
  std::string bad = level2Header(f) + "hello" + std::string(1, '\0');
  bad[256] = 'x';
  writeFile(t / "bad.lzh", bad);
  EXPECT_EQ(unlha("t " + dq(t / "bad.lzh")).rc, ZV_ERROR_BROKEN_ARCHIVE);
  writeFile(t / "empty.lzh", std::string(1, '\0'));
  EXPECT_EQ(lib().GetFileCount((t / "empty.lzh").c_str()), 0);
  EXPECT_EQ(unlha("l " + dq(t / "empty.lzh")).rc, 0);
}

TEST(OtherWriters, CommentAfterTheNameIsNoPartOfIt) {
  TempDir t;
  const std::string field = std::string("metadata.txt") + '\0' + "This is a comment on the file.";
  for (int level = 0; level <= 1; ++level) {
    std::string dir = t / ("l" + std::to_string(level));
    std::string a = (level == 0 ? level0Member("-lh0-", field, "meta\n")
                                : level1Member("-lh0-", field, "meta\n", 'A')) +
                    level0Member("-lh0-", "plain.txt", "p") + std::string(1, '\0');
    writeFile(dir + "/c.lzh", a);
    EXPECT_EQ(memberNames(dir + "/c.lzh"), (std::vector<std::string>{"metadata.txt", "plain.txt"}));
    ASSERT_EQ(unlha("x -n1 " + dq(dir + "/c.lzh") + " " + dq(dir + "/out/")).rc, 0) << level;
    EXPECT_EQ(treeEntries(dir + "/out"), (std::vector<std::string>{"metadata.txt", "plain.txt"}));
    EXPECT_EQ(readFile(dir + "/out/metadata.txt"), "meta\n");
    // The detailed listing keeps two lines per member; the comment ends the detail line.
    Result v = unlha("v " + dq(dir + "/c.lzh"));
    ASSERT_EQ(v.rc, 0);
    std::string member = lines(v.text, 5, 4);
    EXPECT_EQ(member.substr(0, 13), "metadata.txt\n") << v.text;
    EXPECT_NE(lines(v.text, 6, 1).find("  This is a comment on the file.\n"), std::string::npos)
        << v.text;
    EXPECT_EQ(lines(v.text, 7, 1), "plain.txt\n");
    EXPECT_EQ(lines(v.text, 8, 1).find("comment"), std::string::npos);
  }
}

namespace {

uint16_t crcCcitt(const std::string& b) {
  unsigned crc = 0;
  for (unsigned char c : b) {
    crc ^= static_cast<unsigned>(c) << 8;
    for (int k = 0; k < 8; ++k) crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
  }
  return static_cast<uint16_t>(crc);
}

std::string be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::string pad128(std::string s) { return s + std::string((128 - s.size() % 128) % 128, '\0'); }

// A MacBinary header as MacLHA writes it (version I), or version II with its CRC.
std::string macBinaryHeader(const std::string& name, uint32_t dataLen, uint32_t resLen, bool v2) {
  std::string h(128, '\0');
  h[1] = static_cast<char>(name.size());
  h.replace(2, name.size(), name);
  h.replace(65, 8, "GzipGzip");  // type and creator
  h.replace(83, 4, be32(dataLen));
  h.replace(87, 4, be32(resLen));
  h.replace(95, 4, be32(3786000000u));  // dates since 1904
  h.replace(91, 4, be32(3786000000u));
  if (v2) {
    h[122] = '\x81';
    h[123] = '\x81';
    uint16_t c = crcCcitt(h.substr(0, 124));
    h[124] = static_cast<char>(c >> 8);
    h[125] = static_cast<char>(c & 0xFF);
  }
  return h;
}

}  // namespace

TEST(OtherWriters, MacBinaryWrappedMembersGiveTheirDataFork) {
  TempDir t;
  const std::string data = "\x1f\x8b\x08" + randomBytes(700, 3);
  const std::string res = randomBytes(300, 4);
  const std::string mb1 = macBinaryHeader("gpl-2.gz", data.size(), res.size(), false);
  const std::string mb2 = macBinaryHeader("gpl-2.gz", data.size(), res.size(), true);
  std::string badCrc = mb2;
  badCrc[125] = static_cast<char>(badCrc[125] ^ 1);
  const std::string tooLong = macBinaryHeader("gpl-2.gz", data.size() + 200, res.size(), false);
  const std::string resOnly = macBinaryHeader("gpl-2.gz", 0, res.size(), false);
  struct Case {
    const char* what;
    std::string member;
    char os;
    std::string want;
  } cases[] = {
      {"MacBinary I", mb1 + pad128(data) + pad128(res), 'm', data},
      {"MacBinary II", mb2 + pad128(data) + res, 'm', data},
      {"resource fork only", resOnly + pad128(res), 'm', res},
      {"header CRC wrong", badCrc + pad128(data) + pad128(res), 'm', ""},
      {"forks longer than the member", tooLong + pad128(data) + pad128(res), 'm', ""},
      {"not from a Macintosh", mb1 + pad128(data) + pad128(res), 'U', ""},
      {"shorter than a header", mb1.substr(0, 100), 'm', ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string want = c.want.empty() ? c.member : c.want;
    std::string a = level2Member("-lh0-", "gpl-2.gz", c.member, c.os, 0) + std::string(1, '\0');
    writeFile(t / "mac.lzh", a);
    EXPECT_EQ(unlha("t " + dq(t / "mac.lzh")).rc, 0);  // the CRC covers the whole member
    ASSERT_EQ(unlha("x -n1 -jyo " + dq(t / "mac.lzh") + " " + dq(t / "out/")).rc, 0);
    EXPECT_TRUE(readFile(t / "out/gpl-2.gz") == want);
    // The switch keeps what the archive holds.
    ASSERT_EQ(unlha("x -n1 -jyo -jb1 " + dq(t / "mac.lzh") + " " + dq(t / "raw/")).rc, 0);
    EXPECT_TRUE(readFile(t / "raw/gpl-2.gz") == c.member);
  }
}

TEST(OtherWriters, Lh2FromEitherWriterFamilyExtracts) {
  TempDir t;
  std::string input = "abcabcabcabc xyzxyzxyz abcabc\n" + randomBytes(3000, 9);
  for (int i = 0; i < 200; ++i) input += "line " + std::to_string(i % 17) + " of the text\n";
  for (bool rootCounts : {false, true}) {
    SCOPED_TRACE(rootCounts ? "Java library" : "Windows library");
    const std::string packed = lh2Encode(input, rootCounts);
    Level2Fields f;
    f.method = "-lh2-";
    f.name = "doc.txt";
    f.packed = packed.size();
    f.original = input.size();
    f.crc = crc16(input);
    writeFile(t / "lh2.lzh", level2Header(f) + packed + std::string(1, '\0'));
    EXPECT_EQ(unlha("t " + dq(t / "lh2.lzh")).rc, 0);
    ASSERT_EQ(unlha("x -n1 -jyo " + dq(t / "lh2.lzh") + " " + dq(t / "out/")).rc, 0);
    EXPECT_TRUE(readFile(t / "out/doc.txt") == input);
    // A CRC that neither reading gives stays an error, and no file is left behind.
    f.crc ^= 1;
    writeFile(t / "bad.lzh", level2Header(f) + packed + std::string(1, '\0'));
    EXPECT_EQ(unlha("t " + dq(t / "bad.lzh")).rc, ZV_ERROR_CRC);
    EXPECT_EQ(unlha("x -n1 " + dq(t / "bad.lzh") + " " + dq(t / "bad/")).rc, ZV_ERROR_CRC);
    EXPECT_FALSE(exists(t / "bad/doc.txt"));
  }
}

TEST(OtherWriters, MemberPastFourGibibytesListsAndExtractsWithItsSize) {
  TempDir t;
  const std::string tail = "tail\n";
  const uint64_t size = (uint64_t{1} << 32) + tail.size();
  Level2Fields f;
  f.name = "huge.bin";
  f.packed = f.original = size;
  f.crc = crc16(tail);  // the zeros in front leave the CRC at 0
  const std::string header = level2Header(f);
  // The data is a hole but for its last bytes, so the archive takes no room on disk.
  const std::string archive = t / "huge.lzh";
  int fd = open(archive.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const std::string end = tail + std::string(1, '\0');
  ASSERT_EQ(pwrite(fd, header.data(), header.size(), 0), static_cast<ssize_t>(header.size()));
  ASSERT_EQ(
      pwrite(fd, end.data(), end.size(), static_cast<off_t>(header.size() + size - tail.size())),
      static_cast<ssize_t>(end.size()));
  close(fd);

  Result v = unlha("v " + dq(archive));
  ASSERT_EQ(v.rc, 0);
  EXPECT_NE(v.text.find("\n 4294967301 4294967301 100.0% "), std::string::npos) << v.text;
  ASSERT_EQ(unlha("x -n1 " + dq(archive) + " " + dq(t / "out/")).rc, 0);
  struct stat st {};
  ASSERT_EQ(stat((t / "out/huge.bin").c_str(), &st), 0);
  EXPECT_EQ(static_cast<uint64_t>(st.st_size), size);
  EXPECT_LT(static_cast<uint64_t>(st.st_blocks) * 512, uint64_t{1} << 20);  // stays sparse
  char got[5] = {};
  fd = open((t / "out/huge.bin").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(pread(fd, got, 5, static_cast<off_t>(size - 5)), 5);
  close(fd);
  EXPECT_EQ(std::string(got, 5), tail);
}
