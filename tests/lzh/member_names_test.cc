// Member names (CP932 decoded before splitting, UTF-8, UTF-16, links). The write gate the
// names then go through is tested in tests/write_gate.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>

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

namespace {
struct Names {
  std::set<std::string> names;
  int decided = -1;
  bool escaped = false;
};
Names listIn(const std::string& archive, uint32_t mode) {
  Names out;
  ZvArchive h = lib().OpenArchive(nullptr, archive.c_str(), mode);
  if (!h) return out;
  alignas(4) unsigned char record[ZV_MEMBER_INFO_BUFFER] = {};
  auto* info = reinterpret_cast<ZvMemberInfo*>(record);
  for (int r = lib().FindFirst(h, "*.*", info); r == ZV_FIND_OK; r = lib().FindNext(h, info)) {
    out.names.insert(info->name);
    out.decided = info->names_decided;
    out.escaped |= (info->name_flags & ZV_NAME_ESCAPED) != 0;
  }
  lib().CloseArchive(h);
  return out;
}
}  // namespace

// EUC-JP and Latin-1 names written byte by byte (tests/data/names/make_lzh.py).
TEST(MemberNames, OtherEncodingsDetectedChosenAndEscaped) {
  const std::string data = std::string(ZV_TEST_DATA) + "/names/";
  struct Case {
    const char* file;
    uint32_t encoding;
    const char* word;
    std::set<std::string> files;
  } cases[] = {
      {"euc-jp.lzh",
       ZV_NAMES_EUC,
       "euc",
       {"日本語ファイル.txt", "資料/報告書.txt", "〜波.txt", "ｶﾀｶﾅ.dat", "readme.txt"}},
      {"latin1.lzh",
       ZV_NAMES_LATIN1,
       "latin1",
       {"Müller.txt", "café/Señor.doc", "Ærø.dat", "readme.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string arc = data + c.file;
    Names automatic = listIn(arc, ZV_NAMES_AUTO);
    EXPECT_EQ(automatic.decided, int(c.encoding));
    EXPECT_FALSE(automatic.escaped);
    EXPECT_EQ(listIn(arc, c.encoding).names, automatic.names);
    for (std::string sw : {std::string(), std::string(" --charset=") + c.word}) {
      TempDir out;
      Result r = unlha("x -n1" + sw + " " + dq(arc) + " " + dq(out.path() + "/"));
      EXPECT_EQ(r.rc, 0) << r.text;
      std::set<std::string> got;
      for (auto& [name, data] : treeFiles(out.path())) got.insert(name);
      EXPECT_EQ(got, c.files) << sw;
    }
    // The wrong choice: names marked and escaped, every member still extracted.
    Names wrong = listIn(arc, ZV_NAMES_SJIS);
    EXPECT_TRUE(wrong.escaped);
    EXPECT_EQ(wrong.names.size(), automatic.names.size());
    TempDir out;
    Result r = unlha("x -n1 --charset=sjis " + dq(arc) + " " + dq(out.path() + "/"));
    EXPECT_EQ(r.rc, 0) << r.text;
    EXPECT_EQ(treeFiles(out.path()).size(), c.files.size());
    EXPECT_NE(unlha("v --charset=sjis " + dq(arc)).text.find("%XX"), std::string::npos);
  }
  EXPECT_EQ(unlha("l --charset=koi8 " + dq(data + "euc-jp.lzh")).rc, ZV_ERROR_COMMAND);
}

TEST(MemberNames, DecomposedNamesComposedAndMatchedAsStored) {
  // が as か + U+3099, stored as UTF-8 without a code page header.
  Member m = named("", "\xE3\x81\x8B\xE3\x82\x99.txt");
  EXPECT_EQ(m.path, "が.txt");
  EXPECT_EQ(m.matchPath, "\xE3\x81\x8B\xE3\x82\x99.txt");
}
