// The commands through UNLHA32.DLL with the command strings the windows send, Windows paths
// resolved through the drive table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "lzh_test_util.h"
#include "platform/drives.h"

using namespace lzhtest;

namespace {

// A drive letter for a temporary folder, as the settings file may map one.
class LzhCommands : public ::testing::Test {
 protected:
  void SetUp() override { zv::DriveTable::instance().set('Q', t.path()); }
  void TearDown() override { zv::DriveTable::instance().remove('Q'); }
  TempDir t;
};

int lineCount(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

struct Events {
  std::vector<int> states;
  std::vector<std::string> members;
  int cancelAt = -1;
};
int onProgress(void* user, const ZvProgress* p) {
  auto* e = static_cast<Events*>(user);
  e->states.push_back(p->state);
  if (p->member) e->members.push_back(p->member);
  return e->cancelAt >= 0 && static_cast<int>(e->states.size()) > e->cancelAt;
}

}  // namespace

TEST_F(LzhCommands, CreationRunStringsStoreTheRightNames) {
  writeFile(t / "src/a.txt", std::string(5000, 'a'));
  writeFile(t / "src/b.txt", "bee");
  writeFile(t / "data/proj/x.txt", "x");
  writeFile(t / "data/proj/sub/y.txt", "yy");
  // One call per selected file, names only (DirectoryMode "NO").
  EXPECT_EQ(unlha("u -n1 \"Q:\\out\\x.lzh\" \"Q:\\src\\a.txt\"").rc, 0);
  EXPECT_EQ(unlha("u -n1 \"Q:\\out\\x.lzh\" \"Q:\\SRC\\B.TXT\"").rc, 0);  // case resolved
  EXPECT_EQ(memberNames("\"Q:\\out\\x.lzh\""), (std::vector<std::string>{"a.txt", "b.txt"}));
  // With folder information: the path without its drive.
  EXPECT_EQ(unlha("a -d1 -n1 \"Q:\\out\\d.lzh\" \"Q:\\src\\a.txt\"").rc, 0);
  EXPECT_EQ(memberNames(t / "out/d.lzh"), (std::vector<std::string>{"src\\a.txt"}));
  // The folder command: relative to the base folder, recursing into subfolders.
  EXPECT_EQ(unlha("a -d1 -n1 \"Q:\\out\\p.lzh\" \"Q:\\data\\\" \"proj\\*.*\"").rc, 0);
  EXPECT_EQ(memberNames(t / "out/p.lzh"),
            (std::vector<std::string>{"proj\\", "proj\\sub\\", "proj\\sub\\y.txt", "proj\\x.txt"}));
  // A missing source is an error, not an empty success.
  EXPECT_EQ(unlha("u -n1 \"Q:\\out\\x.lzh\" \"Q:\\src\\none.txt\"").rc, ZV_ERROR_NO_FILES);
}

TEST_F(LzhCommands, ExtractionStringsExtractOneMemberEach) {
  writeFile(t / "data/proj/Doc/ReadMe.txt", "read me");
  writeFile(t / "data/proj/other.txt", "other");
  ASSERT_EQ(unlha("a -d1 -n1 \"Q:\\a.lzh\" \"Q:\\data\\\" \"proj\\*.*\"").rc, 0);
  // Quick extraction passes the member in lower case.
  Result r = unlha("x -n1 \"Q:\\a.lzh\" \"Q:\\quick\\\" \"proj\\doc\\readme.txt\"", 1024);
  EXPECT_EQ(r.rc, 0) << r.text;
  EXPECT_EQ(treeFiles(t / "quick"),
            (std::map<std::string, std::string>{{"proj/Doc/ReadMe.txt", "read me"}}));
  // The extraction run: "x -gn" with the name exactly as listed.
  EXPECT_EQ(unlha("x -gn \"Q:\\a.lzh\" \"Q:\\out\\\" \"proj\\other.txt\"").rc, 0);
  EXPECT_EQ(readFile(t / "out/proj/other.txt"), "other");
  // No member argument: everything.
  EXPECT_EQ(unlha("x -n1 \"Q:\\a.lzh\" \"Q:\\all\\\"").rc, 0);
  EXPECT_EQ(treeFiles(t / "all").size(), 2u);
  // A member that is not there.
  EXPECT_EQ(unlha("x -n1 \"Q:\\a.lzh\" \"Q:\\out\\\" \"nothing.txt\"").rc, ZV_ERROR_NO_FILES);
  // Extracting over an existing file replaces it.
  writeFile(t / "out/proj/other.txt", "stale");
  EXPECT_EQ(unlha("x -n1 \"Q:\\a.lzh\" \"Q:\\out\\\" \"proj\\other.txt\"").rc, 0);
  EXPECT_EQ(readFile(t / "out/proj/other.txt"), "other");
}

// The windows call once per member, so the library keeps the archive's index between calls;
// names given together come out once each, in archive order, and an archive rewritten in
// place between two calls (same size and inode, a new time) is read again.
TEST_F(LzhCommands, NamedMembersComeOnceInArchiveOrderFromTheArchiveAsItIsNow) {
  writeFile(t / "one/a.txt", "first");
  writeFile(t / "one/b.txt", "bravo");
  writeFile(t / "two/a.txt", "other");
  writeFile(t / "two/b.txt", "BRAVO");
  ASSERT_EQ(unlha("a -n1 \"Q:\\x.lzh\" \"Q:\\one\\\" a.txt b.txt").rc, 0);
  ASSERT_EQ(unlha("a -n1 \"Q:\\y.lzh\" \"Q:\\two\\\" a.txt b.txt").rc, 0);
  Result r = unlha("x -n1 \"Q:\\x.lzh\" \"Q:\\o1\\\" b.txt a.txt B.TXT", 1024);
  EXPECT_EQ(r.rc, 0) << r.text;
  size_t a = r.text.find("解凍: a.txt"), b = r.text.find("解凍: b.txt");
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_EQ(r.text.find("解凍: b.txt", b + 1), std::string::npos);
  std::string x = t / "x.lzh", y = t / "y.lzh";
  setMtime(x, 1700000000);  // the rewrite below surely gets another time
  EXPECT_EQ(unlha("x -n1 \"Q:\\x.lzh\" \"Q:\\o2\\\" b.txt").rc, 0);
  struct stat before {};
  ASSERT_EQ(stat(x.c_str(), &before), 0);
  ASSERT_EQ(std::system(("cat '" + y + "' > '" + x + "'").c_str()), 0);
  struct stat after {};
  ASSERT_EQ(stat(x.c_str(), &after), 0);
  ASSERT_EQ(after.st_ino, before.st_ino);
  ASSERT_EQ(after.st_size, before.st_size);
  EXPECT_EQ(unlha("x -n1 \"Q:\\x.lzh\" \"Q:\\o2\\\" a.txt").rc, 0);
  EXPECT_EQ(readFile(t / "o2/a.txt"), "other");
}

// Everything of an archive is taken header by header when no index is kept, and through the
// kept index after a listing: the same files and the same result either way, also when the
// archive is cut short in its last member.
TEST_F(LzhCommands, ExtractingEverythingIsTheSameWithAndWithoutAKeptIndex) {
  for (const char* n : {"a.txt", "b.txt", "c.txt"})
    writeFile(t / ("src/" + std::string(n)), std::string(3000, n[0]) + randomBytes(3000, 7));
  ASSERT_EQ(unlha("a -n1 \"Q:\\w.lzh\" \"Q:\\src\\\" *.txt").rc, 0);
  std::string whole = readFile(t / "w.lzh");
  writeFile(t / "cut.lzh", whole.substr(0, whole.size() - 100));
  for (const char* archive : {"w.lzh", "cut.lzh"}) {
    SCOPED_TRACE(archive);
    std::string stem = std::string(archive).substr(0, 3);
    Result walked = unlha("x -n1 \"Q:\\" + std::string(archive) + "\" \"Q:\\" + stem + "1\\\"");
    ASSERT_GE(lib().GetFileCount((t / archive).c_str()), 2);  // the index is kept from here
    Result indexed = unlha("x -n1 \"Q:\\" + std::string(archive) + "\" \"Q:\\" + stem + "2\\\"");
    EXPECT_EQ(walked.rc, indexed.rc);
    EXPECT_EQ(walked.rc, std::string(archive) == "w.lzh" ? 0 : ZV_ERROR_BROKEN_ARCHIVE);
    EXPECT_EQ(treeFiles(t / (stem + "1")), treeFiles(t / (stem + "2")));
    EXPECT_EQ(treeFiles(t / (stem + "1")).size(), std::string(archive) == "w.lzh" ? 3u : 2u);
  }
}

TEST_F(LzhCommands, VerboseListingHasTwoLinesPerMember) {
  for (int i = 0; i < 10; ++i)
    writeFile(t / ("src/f" + std::to_string(i) + ".txt"), std::string(i * 100, 'z'));
  ASSERT_EQ(unlha("a -n1 \"Q:\\v.lzh\" \"Q:\\src\\\" \"*.*\"").rc, 0);
  int count = lib().GetFileCount("\"Q:\\v.lzh\"");
  ASSERT_EQ(count, 10);
  Result r = unlha("v \"Q:\\v.lzh\"");
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(lineCount(r.text), 2 * count + 7);  // 27 lines for 10 members
  EXPECT_NE(r.text.find("f9.txt\n"), std::string::npos);
  Result empty = unlha("v \"Q:\\v.lzh\" \"none*\"");
  EXPECT_EQ(lineCount(empty.text), 7);
  Result l = unlha("l \"Q:\\v.lzh\"");
  EXPECT_EQ(lineCount(l.text), count + 5);
}

TEST_F(LzhCommands, UpdateSkipsFilesThatAreNotNewer) {
  writeFile(t / "a.txt", "version one");
  setMtime(t / "a.txt", 1700000000);
  ASSERT_EQ(unlha("u -n1 " + dq(t / "x.lzh") + " " + dq(t / "a.txt")).rc, 0);
  // Older content written later but dated earlier: not taken.
  writeFile(t / "a.txt", "older copy");
  setMtime(t / "a.txt", 1600000000);
  EXPECT_EQ(unlha("u -n1 " + dq(t / "x.lzh") + " " + dq(t / "a.txt")).rc, 0);
  EXPECT_EQ(unlha("x -n1 " + dq(t / "x.lzh") + " " + dq(t / "o1/")).rc, 0);
  EXPECT_EQ(readFile(t / "o1/a.txt"), "version one");
  // Newer: replaced, and still one member of that name.
  writeFile(t / "a.txt", "version two");
  setMtime(t / "a.txt", 1800000000);
  EXPECT_EQ(unlha("u -n1 " + dq(t / "x.lzh") + " " + dq(t / "a.txt")).rc, 0);
  EXPECT_EQ(memberNames(t / "x.lzh"), (std::vector<std::string>{"a.txt"}));
  EXPECT_EQ(unlha("x -n1 " + dq(t / "x.lzh") + " " + dq(t / "o2/")).rc, 0);
  EXPECT_EQ(readFile(t / "o2/a.txt"), "version two");
  // "a" replaces whatever the dates say.
  writeFile(t / "a.txt", "three");
  setMtime(t / "a.txt", 1500000000);
  EXPECT_EQ(unlha("a -n1 " + dq(t / "x.lzh") + " " + dq(t / "a.txt")).rc, 0);
  EXPECT_EQ(unlha("x -n1 " + dq(t / "x.lzh") + " " + dq(t / "o3/")).rc, 0);
  EXPECT_EQ(readFile(t / "o3/a.txt"), "three");
}

TEST_F(LzhCommands, MoveDeletesSourcesOnlyAfterSuccess) {
  writeFile(t / "m1.txt", "one");
  writeFile(t / "m2.txt", "two");
  EXPECT_EQ(unlha("m -n1 " + dq(t / "m.lzh") + " " + dq(t / "m1.txt")).rc, 0);
  EXPECT_FALSE(exists(t / "m1.txt"));
  EXPECT_EQ(memberNames(t / "m.lzh"), (std::vector<std::string>{"m1.txt"}));
  // A damaged archive is not rewritten, and the source stays.
  std::string archive = readFile(t / "m.lzh");
  // A damaged header where the end marker was.
  std::string broken =
      archive.substr(0, archive.size() - 1) + std::string("\x22\x00-lh5-garbage", 14);
  writeFile(t / "m.lzh", broken);
  EXPECT_EQ(unlha("m -n1 " + dq(t / "m.lzh") + " " + dq(t / "m2.txt")).rc, ZV_ERROR_BROKEN_ARCHIVE);
  EXPECT_TRUE(exists(t / "m2.txt"));
  EXPECT_TRUE(readFile(t / "m.lzh") == broken);
}

TEST_F(LzhCommands, CancelledRewriteLeavesTheOldArchiveWhole) {
  writeFile(t / "a.txt", std::string(300000, 'a'));
  writeFile(t / "b.txt", randomBytes(200000, 3));
  ASSERT_EQ(unlha("a -n1 " + dq(t / "c.lzh") + " " + dq(t / "a.txt") + " " + dq(t / "b.txt")).rc,
            0);
  std::string before = readFile(t / "c.lzh");
  writeFile(t / "a.txt", std::string(300000, 'A'));  // replacing a member means a rewrite
  Events ev;
  ev.cancelAt = 1;  // at the first member, before anything is in place
  ZvHost host{&ev, onProgress, nullptr};
  lib().SetHost(&host);
  int rc = unlha("a -gn " + dq(t / "c.lzh") + " " + dq(t / "a.txt")).rc;
  lib().SetHost(nullptr);
  EXPECT_EQ(rc, ZV_ERROR_USER_CANCEL);
  EXPECT_TRUE(readFile(t / "c.lzh") == before);
  // No temporary file is left beside it.
  EXPECT_EQ(treeEntries(t.path()).size(), 3u);
}

TEST_F(LzhCommands, ProgressOnlyWithoutN1) {
  writeFile(t / "a.txt", "abc");
  Events ev;
  ZvHost host{&ev, onProgress, nullptr};
  lib().SetHost(&host);
  EXPECT_EQ(unlha("a -n1 " + dq(t / "p.lzh") + " " + dq(t / "a.txt")).rc, 0);
  EXPECT_TRUE(ev.states.empty());
  EXPECT_EQ(unlha("x -gn " + dq(t / "p.lzh") + " " + dq(t / "out/")).rc, 0);
  lib().SetHost(nullptr);
  ASSERT_GE(ev.states.size(), 3u);
  EXPECT_EQ(ev.states.front(), ZV_PROGRESS_BEGIN);
  EXPECT_EQ(ev.states.back(), ZV_PROGRESS_END);
  EXPECT_EQ(ev.members, (std::vector<std::string>{"a.txt"}));
}

TEST_F(LzhCommands, AppendingManyFilesKeepsTheArchiveValid) {
  ino_t inode = 0;
  for (int i = 0; i < 40; ++i) {
    std::string f = t / ("f" + std::to_string(i) + ".txt");
    writeFile(f, std::string(static_cast<size_t>(1000 + i), static_cast<char>('a' + i % 26)));
    ASSERT_EQ(unlha("u -n1 " + dq(t / "big.lzh") + " " + dq(f)).rc, 0) << i;
    struct stat st {};
    stat((t / "big.lzh").c_str(), &st);
    if (i == 1) inode = st.st_ino;
    if (i > 1) {
      EXPECT_EQ(st.st_ino, inode) << "appended in place, not rewritten";
    }
  }
  EXPECT_EQ(lib().GetFileCount((t / "big.lzh").c_str()), 40);
  if (haveTool("lhasa")) {
    Shell s = sh("lhasa t " + q(t / "big.lzh"));
    EXPECT_EQ(s.status, 0);
    int tested = 0;
    for (size_t p = 0; (p = s.out.find("Tested", p)) != std::string::npos; ++p) ++tested;
    EXPECT_EQ(tested, 40);
  }
}

TEST_F(LzhCommands, DamageGivesErrorsAndNoHalfFiles) {
  writeFile(t / "a.txt", std::string(100000, 'q') + randomBytes(50000, 9));
  ASSERT_EQ(unlha("a -n1 " + dq(t / "d.lzh") + " " + dq(t / "a.txt")).rc, 0);
  std::string good = readFile(t / "d.lzh");
  // A flipped byte in the packed data: CRC or data error, the existing file is kept.
  std::string bad = good;
  bad[bad.size() / 2] ^= 0x01;
  writeFile(t / "bad.lzh", bad);
  writeFile(t / "out/a.txt", "keep me");
  int rc = unlha("x -n1 " + dq(t / "bad.lzh") + " " + dq(t / "out/")).rc;
  EXPECT_TRUE(rc == ZV_ERROR_CRC || rc == ZV_ERROR_BROKEN_ARCHIVE) << rc;
  EXPECT_EQ(readFile(t / "out/a.txt"), "keep me");
  EXPECT_EQ(treeEntries(t / "out").size(), 1u);
  EXPECT_NE(unlha("t " + dq(t / "bad.lzh")).rc, 0);
  // Truncated anywhere in the data: an error and nothing written.
  for (size_t cut : {good.size() - 2, good.size() / 2, size_t{40}}) {
    writeFile(t / "cut.lzh", good.substr(0, cut));
    TempDir out;
    EXPECT_EQ(unlha("x -n1 " + dq(t / "cut.lzh") + " " + dq(out.path() + "/")).rc,
              ZV_ERROR_BROKEN_ARCHIVE)
        << cut;
    EXPECT_TRUE(treeEntries(out.path()).empty()) << cut;
  }
  // Not an archive at all, and a missing one.
  writeFile(t / "text.lzh", "just some text, no headers here at all");
  EXPECT_EQ(unlha("l " + dq(t / "text.lzh")).rc, ZV_ERROR_NOT_ARCHIVE);
  EXPECT_EQ(lib().GetFileCount((t / "text.lzh").c_str()), -1);
  EXPECT_EQ(unlha("x -n1 " + dq(t / "missing.lzh")).rc, ZV_ERROR_CANNOT_OPEN);
  // A drive letter the table does not know.
  zv::DriveTable::instance().remove('R');
  Result r2 = unlha("x -n1 \"R:\\a.lzh\" \"R:\\out\\\"");
  EXPECT_EQ(r2.rc, ZV_ERROR_CANNOT_OPEN);
  EXPECT_NE(r2.text.find("R:"), std::string::npos) << r2.text;
}

TEST_F(LzhCommands, ExtractWithoutFoldersAndTest) {
  writeFile(t / "src/d1/a.txt", "a");
  writeFile(t / "src/d2/b.txt", "b");
  ASSERT_EQ(unlha("a -d1 -n1 " + dq(t / "e.lzh") + " " + dq(t / "src/") + " *.*").rc, 0);
  EXPECT_EQ(unlha("e -n1 " + dq(t / "e.lzh") + " " + dq(t / "flat/")).rc, 0);
  EXPECT_EQ(treeFiles(t / "flat"),
            (std::map<std::string, std::string>{{"a.txt", "a"}, {"b.txt", "b"}}));
  Result r = unlha("t " + dq(t / "e.lzh"));
  EXPECT_EQ(r.rc, 0);
  EXPECT_NE(r.text.find("d2\\b.txt"), std::string::npos) << r.text;
}

TEST_F(LzhCommands, DeleteRemovesMatchingMembers) {
  writeFile(t / "s/a.txt", "a");
  writeFile(t / "s/b.dat", "b");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "x.lzh") + " " + dq(t / "s/") + " *.*").rc, 0);
  EXPECT_EQ(unlha("d -n1 " + dq(t / "x.lzh") + " *.TXT").rc, 0);
  EXPECT_EQ(memberNames(t / "x.lzh"), (std::vector<std::string>{"b.dat"}));
  EXPECT_EQ(unlha("d -n1 " + dq(t / "x.lzh") + " none").rc, ZV_ERROR_NO_FILES);
}

TEST_F(LzhCommands, OutputBufferIsNeverOverrun) {
  writeFile(t / "a.txt", "a");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "x.lzh") + " " + dq(t / "a.txt")).rc, 0);
  std::string buf(64, '#');
  int rc = lib().Unlha(nullptr, ("v " + dq(t / "x.lzh")).c_str(), buf.data(), 16);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(buf.find('\0'), std::string(buf.c_str()).size());
  EXPECT_LT(std::string(buf.c_str()).size(), 16u);
  EXPECT_EQ(buf.substr(16), std::string(48, '#'));
  EXPECT_EQ(lib().Unlha(nullptr, ("l " + dq(t / "x.lzh")).c_str(), nullptr, 0), 0);
  EXPECT_EQ(unlha("z -n1 x.lzh").rc, ZV_ERROR_COMMAND);
}

TEST_F(LzhCommands, BestSwitchPacksSmallerAndExtractsTheSame) {
  // Word salad from a small vocabulary: many matches of many lengths and distances.
  static const char* kWords[] = {"archive ", "member ", "header ", "folder ", "name ",
                                 "size ",    "the ",    "of ",     "a ",      "packed ",
                                 "method ",  "\n",      "CRC ",    "time "};
  std::string text;
  uint32_t seed = 12345;
  while (text.size() < 200000) {
    seed = seed * 1103515245u + 12345u;
    text += kWords[(seed >> 16) % (sizeof kWords / sizeof *kWords)];
  }
  writeFile(t / "a.txt", text);
  ASSERT_EQ(unlha("a -n1 " + dq(t / "plain.lzh") + " " + dq(t / "a.txt")).rc, 0);
  ASSERT_EQ(unlha("a -9 -n1 " + dq(t / "best.lzh") + " " + dq(t / "a.txt")).rc, 0);
  struct stat plain {
  }, best{};
  ASSERT_EQ(stat((t / "plain.lzh").c_str(), &plain), 0);
  ASSERT_EQ(stat((t / "best.lzh").c_str(), &best), 0);
  EXPECT_LT(best.st_size, plain.st_size);
  EXPECT_EQ(unlha("x -n1 " + dq(t / "best.lzh") + " " + dq(t / "o/")).rc, 0);
  EXPECT_EQ(readFile(t / "o/a.txt"), text);
}
