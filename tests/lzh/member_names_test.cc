// Member names (CP932 decoded before splitting, UTF-8, UTF-16, links). The write gate the
// names then go through is tested in tests/write_gate.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "lzh_error.h"
#include "lzh_member.h"
#include "lzh_test_util.h"
#include "name_codec.h"

using namespace zv::lzh;
using namespace lzhtest;

namespace {
Member named(const std::string& dir, const std::string& name, const char* method = "-lh0-") {
  Member m;
  std::memcpy(m.method, method, 5);
  m.rawDir = dir;
  m.rawName = name;
  decodeMemberName(m);
  return m;
}
}  // namespace

TEST(MemberNames, Cp932TrailByte5CIsNotASeparator) {
  // 表示.txt: 表 is 95 5C.
  Member a = named("", "\x95\x5c\x8e\xa6.txt");
  EXPECT_EQ(a.parts, (std::vector<std::string>{"表示.txt"}));
  // ソフト\ア.txt at level 0: ソ is 83 5C, then a real separator.
  Member b = named("", "\x83\x5c\x83\x74\x83\x67\x5c\x83\x41.txt");
  EXPECT_EQ(b.parts, (std::vector<std::string>{"ソフト", "ア.txt"}));
  EXPECT_EQ(b.path, "ソフト\\ア.txt");
  // The same at level 2: folder part with 0xFF.
  Member c = named("\x83\x5c\x83\x74\x83\x67\xff", "\x83\x41.txt");
  EXPECT_EQ(c.path, "ソフト\\ア.txt");
}

TEST(MemberNames, Utf8Utf16AndControlCharacters) {
  Member u = named("dir\xff", "\xe8\xa1\xa8.txt");  // UTF-8 表
  EXPECT_EQ(u.path, "dir\\表.txt");
  Member w;
  std::memcpy(w.method, "-lh5-", 5);
  w.rawName = "????.txt";
  w.hasUtf16Name = true;
  w.utf16Name = u"名前.txt";
  w.utf16Dir = u"フォルダ\\";
  decodeMemberName(w);
  EXPECT_EQ(w.path, "フォルダ\\名前.txt");  // the UTF-16 name wins over the bytes
  Member t = named("", "\x1b]2;x\x07.txt");
  EXPECT_EQ(t.path, "_]2;x_.txt");  // no terminal escapes reach listings
  Member abs = named("", "\\tmp\\x.txt");
  EXPECT_TRUE(abs.absolute);
  EXPECT_EQ(abs.path, "\\tmp\\x.txt");
}

TEST(MemberNames, FoldersAndUnixLinks) {
  Member d = named("tree\xffsub\xff", "", "-lhd-");
  EXPECT_TRUE(d.isFolder);
  EXPECT_EQ(d.path, "tree\\sub\\");
  Member l = named("symlink|path\xffto\xff", "target", "-lhd-");
  l.unixMode = 0120777;
  l.hasUnixMode = true;
  decodeMemberName(l);
  EXPECT_TRUE(l.isSymlink);
  EXPECT_FALSE(l.isFolder);
  EXPECT_EQ(l.path, "symlink");
  EXPECT_EQ(l.linkTarget, "path/to/target");
}

TEST(MemberNames, EncodedAsCp932WhenEveryCharacterFits) {
  EncodedName j = encodeMemberName({"ソフト", "表.txt"}, false);
  EXPECT_EQ(j.codePage, 932u);
  EXPECT_EQ(j.dirBytes, "\x83\x5c\x83\x74\x83\x67\xff");
  EXPECT_EQ(j.nameBytes, "\x95\x5c.txt");
  EncodedName u = encodeMemberName({"emoji😀.txt"}, false);
  EXPECT_EQ(u.codePage, 65001u);
  EXPECT_EQ(u.nameBytes, "emoji😀.txt");
}
