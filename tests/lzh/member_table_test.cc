// The compact member index: what it rebuilds must be what the header reader gave, across its
// record and text blocks, and path lookups keep their case and duplicate rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "archive_index.h"
#include "header_reader.h"
#include "header_writer.h"
#include "lzh_codec.h"

using namespace zv::lzh;

namespace {

void expectSame(const Member& a, const Member& b, size_t i) {
  EXPECT_EQ(a.path, b.path) << i;
  EXPECT_EQ(a.parts, b.parts) << i;
  EXPECT_EQ(a.headerOffset, b.headerOffset) << i;
  EXPECT_EQ(a.dataOffset, b.dataOffset) << i;
  EXPECT_EQ(a.headerSize, b.headerSize) << i;
  EXPECT_EQ(a.packedSize, b.packedSize) << i;
  EXPECT_EQ(a.originalSize, b.originalSize) << i;
  EXPECT_STREQ(a.method, b.method) << i;
  EXPECT_EQ(a.crc, b.crc) << i;
  EXPECT_EQ(a.hasCrc, b.hasCrc) << i;
  EXPECT_EQ(a.level, b.level) << i;
  EXPECT_EQ(a.osId, b.osId) << i;
  EXPECT_EQ(a.dosAttribute, b.dosAttribute) << i;
  EXPECT_EQ(a.dosDateTime, b.dosDateTime) << i;
  EXPECT_EQ(a.mtime, b.mtime) << i;
  EXPECT_EQ(a.unixMode, b.unixMode) << i;
  EXPECT_EQ(a.hasUnixMode, b.hasUnixMode) << i;
  EXPECT_EQ(a.absolute, b.absolute) << i;
  EXPECT_EQ(a.isFolder, b.isFolder) << i;
  EXPECT_EQ(a.isSymlink, b.isSymlink) << i;
  EXPECT_EQ(a.linkTarget, b.linkTarget) << i;
  EXPECT_EQ(a.comment, b.comment) << i;
  EXPECT_EQ(a.truncated, b.truncated) << i;
}

}  // namespace

// 6000 members with names up to 700 bytes: more than one block of records and of texts.
TEST(MemberTable, ManyLongNamedMembersReadBackAsTheHeadersDo) {
  std::string bytes;
  for (int i = 0; i < 6000; ++i) {
    NewHeader h;
    h.level = i % 3;
    // Levels 0 and 1 hold the name in a one-byte length field.
    size_t pad = h.level == 2 ? static_cast<size_t>(i % 700) : static_cast<size_t>(i % 150);
    h.parts = {"dir" + std::to_string(i % 37), "名前" + std::to_string(i) + std::string(pad, 'n')};
    h.folder = i % 500 == 2 && h.level != 0;
    std::string data = h.folder ? "" : std::to_string(i);
    h.originalSize = h.packedSize = data.size();
    h.crc = lzh_crc16(0, reinterpret_cast<const unsigned char*>(data.data()), data.size());
    h.mtime = 1704164646 + i;
    h.unixMode = h.folder ? 040755 : 0100644;
    if (h.folder) std::memcpy(h.method, "-lhd-", 6);
    bytes += buildHeader(h) + data;
  }
  bytes += '\0';
  MemorySource src(bytes.data(), bytes.size());
  auto idx = scanArchive(src);
  ASSERT_EQ(idx->members.size(), 6000u);
  uint64_t pos = 0;
  for (size_t i = 0; i < idx->members.size(); ++i) {
    Member direct;
    ASSERT_EQ(readHeader(src, pos, direct).status, HeaderStatus::Ok) << i;
    expectSame(idx->members[i], direct, i);
    EXPECT_EQ(idx->members.path(i), direct.path) << i;
    pos = direct.dataOffset + direct.packedSize;
  }
}

// Texts that are rare in archives: comments, link targets, 64-bit sizes, and components that
// cannot be read back from the display path (a '\' inside one).
TEST(MemberTable, RareFieldsAndComponentsWithSeparatorsSurvive) {
  MemberTable t;
  Member a;
  a.parts = {"a\\b", "c"};
  a.path = "a\\b\\c";
  a.comment = "Amiga のコメント";
  a.originalSize = 5'000'000'000ull;
  a.packedSize = 4'900'000'000ull;
  a.headerOffset = 6'000'000'000ull;
  a.headerSize = 77;
  a.dataOffset = a.headerOffset + a.headerSize;
  Member link;
  link.parts = {"l"};
  link.path = "l";
  link.isSymlink = true;
  link.linkTarget = "../target/x";
  link.hasUnixMode = true;
  link.unixMode = 0120777;
  Member root;
  root.parts = {"x", "y"};
  root.absolute = true;
  root.isFolder = true;
  root.path = "\\x\\y\\";
  for (const Member* m : {&a, &link, &root}) t.push_back(*m);
  expectSame(t[0], a, 0);
  expectSame(t[1], link, 1);
  expectSame(t[2], root, 2);
}

TEST(MemberTable, LookupPrefersExactCaseThenTheLastOfAPath) {
  ArchiveIndex idx;
  auto add = [&](const std::string& path, bool folder = false) {
    Member m;
    m.path = path;
    m.isFolder = folder;
    idx.add(m);
  };
  add("Dir\\A.txt");
  add("dir\\a.txt");
  add("x\\y\\", true);
  add("dup.txt");
  add("dup.txt");
  EXPECT_EQ(idx.find("Dir\\A.txt"), 0u);
  EXPECT_EQ(idx.find("dir/a.txt"), 1u);
  EXPECT_EQ(idx.find("DIR\\a.TXT"), 1u);  // no exact match: the last of that folded path
  EXPECT_EQ(idx.find("x/y"), 2u);
  EXPECT_EQ(idx.find("x\\y\\"), 2u);
  EXPECT_EQ(idx.find("dup.txt"), 4u);
  EXPECT_EQ(idx.find("nothing"), ArchiveIndex::kNotFound);
  add("late.txt");  // added after a lookup: found all the same
  EXPECT_EQ(idx.find("LATE.TXT"), 5u);
  // One at a time, as a file per call is appended, past the table's growth.
  for (size_t i = 6; i < 200; ++i) {
    add("f" + std::to_string(i));
    ASSERT_EQ(idx.find("F" + std::to_string(i)), i);
  }
  EXPECT_EQ(idx.find("dup.txt"), 4u);
  EXPECT_EQ(idx.find("f100"), 100u);
}
