// Member names (CP932 decoded before splitting, UTF-8, UTF-16, links) and the path-safety
// gate with a table of hostile names.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "lzh_error.h"
#include "lzh_member.h"
#include "lzh_test_util.h"
#include "name_codec.h"
#include "path_gate.h"

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

TEST(PathGate, HostileNamesAreRefused) {
  struct Case {
    std::vector<std::string> parts;
    bool absolute;
    bool safe;
  } cases[] = {
      {{"a.txt"}, false, true},
      {{"dir", "sub", "a.txt"}, false, true},
      {{"..", "a.txt"}, false, false},
      {{"dir", "..", "..", "a.txt"}, false, false},
      {{"C:", "Windows", "x.dll"}, false, false},
      {{"etc", "passwd"}, true, false},
      {{""}, false, false},
      {{}, false, false},
      {{"a/b"}, false, false},
      {{std::string(300, 'n')}, false, false},
      {{"..."}, false, true},  // three dots is an ordinary name
  };
  for (const Case& c : cases)
    EXPECT_EQ(unsafeReason(c.parts, c.absolute).empty(), c.safe)
        << (c.parts.empty() ? "(none)" : c.parts.front());
}

TEST(PathGate, LinkTargetsMustStayInside) {
  EXPECT_TRUE(linkTargetStaysInside({"a"}, "b"));
  EXPECT_TRUE(linkTargetStaysInside({"d", "a"}, "../b"));
  EXPECT_FALSE(linkTargetStaysInside({"a"}, "../b"));
  EXPECT_FALSE(linkTargetStaysInside({"d", "a"}, "../../etc"));
  EXPECT_FALSE(linkTargetStaysInside({"a"}, "/etc/passwd"));
  EXPECT_FALSE(linkTargetStaysInside({"a"}, ""));
}

TEST(PathGate, NeverWritesThroughASymlinkedFolder) {
  TempDir t;
  std::string dest = t / "dest", outside = t / "outside";
  sh("mkdir -p " + q(dest) + " " + q(outside) + " && ln -s " + q(outside) + " " + q(dest + "/link"));
  Destination d(dest);
  try {
    d.openParent({"link", "x.txt"});
    ADD_FAILURE() << "went through the link";
  } catch (const LzhError& e) {
    EXPECT_EQ(e.code(), ZV_ERROR_UNSAFE_NAME);
  }
  EXPECT_TRUE(treeEntries(outside).empty());
  // A plain file where a folder is needed is refused too.
  writeFile(dest + "/file", "x");
  EXPECT_THROW(d.openParent({"file", "x.txt"}), LzhError);
}

TEST(PathGate, PendingFileReplacesOnlyWhenCommitted) {
  TempDir t;
  writeFile(t / "a.txt", "old");
  int dir = open(t.path().c_str(), O_RDONLY | O_DIRECTORY);
  {
    PendingFile p(dir, "a.txt");
    ASSERT_EQ(write(p.fd(), "new", 3), 3);
  }  // dropped: the old file stays, no temporary file is left
  EXPECT_EQ(readFile(t / "a.txt"), "old");
  EXPECT_EQ(treeEntries(t.path()).size(), 1u);
  {
    PendingFile p(dir, "a.txt");
    ASSERT_EQ(write(p.fd(), "new", 3), 3);
    p.commit(0644, 1700000000);
  }
  EXPECT_EQ(readFile(t / "a.txt"), "new");
  close(dir);
}
