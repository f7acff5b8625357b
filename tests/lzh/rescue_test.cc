// Testing and rescuing damaged archives made by jlha: every member gets a report line, the
// walk goes on past a damaged header, damaged members are never written, lost ones are named.
#include <gtest/gtest.h>

#include "lzh_test_util.h"

using namespace lzhtest;

namespace {

struct Made {
  TempDir dir;
  std::string archive;
  std::string bytes;
};

// An archive of three members by jlha (and the files `more` names, in src/), with `damage`
// applied to its bytes.
void make(Made& m, void (*damage)(std::string&), const std::string& more = "") {
  for (int i = 1; i <= 3; ++i) {
    std::string text;  // words that pack to about half their size
    for (int k = 0; text.size() < size_t(4000 * i); ++k)
      text += "w" + std::to_string(k * k % 977) + " ";
    writeFile(m.dir / ("src/m" + std::to_string(i) + ".txt"), text);
  }
  sh("cd " + q(m.dir / "src") + " && jlha a ../a.lzh m1.txt m2.txt m3.txt " + more);
  m.archive = m.dir / "a.lzh";
  m.bytes = readFile(m.archive);
  damage(m.bytes);
  writeFile(m.archive, m.bytes);
}

}  // namespace

TEST(LzhRescue, GoesOnPastDamageAndNamesWhatIsLost) {
  if (!haveTool("jlha")) GTEST_SKIP() << "jlha missing";
  struct Case {
    const char* what;
    void (*damage)(std::string&);
    const char* lostState;  // the report line of m2.txt (or m3.txt when cut)
    const char* lost;
    const char* named = nullptr;  // how the report names it, when not by its name
  } cases[] = {
      {"header",
       [](std::string& b) { b[b.find("-lh", b.find("m1.txt")) + 2] ^= 0x55; },  // m2's method
       "ヘッダ破損", "m2.txt"},
      {"data",
       [](std::string& b) {
         size_t at = b.find("m3.txt");
         b[at - 100] ^= 0x55;  // inside m2.txt's data, just before m3.txt's header
       },
       "CRC エラー", "m2.txt"},
      {"cut", [](std::string& b) { b.resize(b.size() - 500); }, "途中で切れています", "m3.txt"},
      // Only the first bytes of m3.txt's header are left, too few to show its name.
      {"cut in a header", [](std::string& b) { b.resize(b.find("m3.txt") - 12); },
       "途中で切れています", "m3.txt", "位置 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Made m;
    make(m, c.damage);
    Result t = unlha("t " + dq(m.archive));
    EXPECT_EQ(t.rc,
              c.lostState == std::string("CRC エラー") ? ZV_ERROR_CRC : ZV_ERROR_BROKEN_ARCHIVE);
    const std::string named = c.named ? c.named : c.lost;
    EXPECT_NE(t.text.find(std::string(c.lostState) + ": " + named), std::string::npos) << t.text;
    EXPECT_NE(t.text.find("失われたメンバー: " + named), std::string::npos) << t.text;

    std::string out = m.dir / "out/";
    Result x = unlha("x -jr -n1 " + dq(m.archive) + " " + dq(out));
    EXPECT_NE(x.rc, 0);
    auto got = treeFiles(out);
    for (int i = 1; i <= 3; ++i) {
      std::string name = "m" + std::to_string(i) + ".txt";
      if (name == c.lost)
        EXPECT_EQ(got.count(name), 0u) << "a damaged member is never written";
      else
        EXPECT_EQ(got[name], readFile(m.dir / ("src/" + name))) << name;
    }
  }
}

TEST(LzhRescue, SoundArchiveReportsEveryMemberAndKeepsExistingFiles) {
  if (!haveTool("jlha")) GTEST_SKIP() << "jlha missing";
  Made m;
  make(m, [](std::string&) {});
  Result t = unlha("t " + dq(m.archive));
  EXPECT_EQ(t.rc, 0) << t.text;
  EXPECT_NE(t.text.find("正常: m2.txt ("), std::string::npos) << t.text;
  writeFile(m.dir / "out/m1.txt", "mine");
  Result x = unlha("x -jr -n1 " + dq(m.archive) + " " + dq(m.dir / "out/"));
  EXPECT_EQ(readFile(m.dir / "out/m1.txt"), "mine");
  EXPECT_NE(x.text.find("スキップ"), std::string::npos) << x.text;
}

TEST(LzhRescue, ExistingFileDoesNotHideADamagedMember) {
  if (!haveTool("jlha")) GTEST_SKIP() << "jlha missing";
  // m2.txt fails its CRC, and the folder already holds m1.txt and m2.txt: both are kept, m1
  // is said to be skipped, m2 is still read and reported damaged (and with -jr2 written under
  // its marked name).
  Made m;
  make(m, [](std::string& b) { b[b.find("m3.txt") - 100] ^= 0x55; });
  for (const char* opts : {"-jr", "-jr2"}) {
    SCOPED_TRACE(opts);
    const std::string out = m.dir / (std::string(opts) + "/");
    writeFile(out + "m1.txt", "mine");
    writeFile(out + "m2.txt", "mine");
    Result x = unlha(std::string("x ") + opts + " -n1 " + dq(m.archive) + " " + dq(out));
    EXPECT_EQ(x.rc, ZV_ERROR_CRC) << x.text;
    EXPECT_NE(x.text.find("CRC エラー: m2.txt"), std::string::npos) << x.text;
    EXPECT_NE(x.text.find("スキップしました: m1.txt"), std::string::npos) << x.text;
    EXPECT_EQ(x.text.find("スキップしました: m2.txt"), std::string::npos) << x.text;
    auto got = treeFiles(out);
    EXPECT_EQ(got["m1.txt"], "mine");
    EXPECT_EQ(got["m2.txt"], "mine");
    EXPECT_EQ(got.count("m2 (破損).txt"), opts == std::string("-jr2") ? 1u : 0u);
  }
}

TEST(LzhRescue, DamagedFirstHeaderOfAnAmigaArchive) {
  // lha for Amiga leaves the level 1 attribute at 0; the walk finds those headers again after
  // the first one is damaged, and names the lost one as far as its header still shows it.
  TempDir t;
  std::string bytes = readFile(fixtures() + "/lha_amiga_122/lh0_dirs_bug.lzh");
  bytes[bytes.find("00_File.txt") + 4] ^= 0x55;
  writeFile(t / "a.lzh", bytes);
  Result x = unlha("x -jr -n1 " + dq(t / "a.lzh") + " " + dq(t / "out/"));
  EXPECT_EQ(x.rc, ZV_ERROR_BROKEN_ARCHIVE) << x.text;
  EXPECT_NE(x.text.find("ヘッダ破損: 00_F"), std::string::npos) << x.text;
  auto got = treeFiles(t / "out");
  EXPECT_EQ(got.count("MainDir/00_File.txt"), 0u);
  EXPECT_EQ(got.size(), 3u) << x.text;
  Result whole =
      unlha("x -n1 " + dq(fixtures() + "/lha_amiga_122/lh0_dirs_bug.lzh") + " " + dq(t / "ref/"));
  for (const auto& [name, data] : got) EXPECT_EQ(data, readFile(t / ("ref/" + name))) << name;
}

TEST(LzhRescue, DamagedFirstHeaderIsNeverPassedOverInSilence) {
  if (!haveTool("jlha")) GTEST_SKIP() << "jlha missing";
  // The members behind a damaged first header are still found, as behind a self-extracting
  // stub, but the run no longer ends in success without a word about the first member.
  Made m;
  make(m, [](std::string& b) { b[b.find("m1.txt")] ^= 0x55; });
  Result x = unlha("x -n1 " + dq(m.archive) + " " + dq(m.dir / "out/"));
  EXPECT_EQ(x.rc, ZV_ERROR_BROKEN_ARCHIVE) << x.text;
  EXPECT_NE(x.text.find("最初のヘッダが壊れています"), std::string::npos) << x.text;
  EXPECT_EQ(readFile(m.dir / "out/m2.txt"), readFile(m.dir / "src/m2.txt"));
  Result t = unlha("t " + dq(m.archive));
  EXPECT_EQ(t.rc, ZV_ERROR_BROKEN_ARCHIVE);
  EXPECT_NE(t.text.find("失われたメンバー: "), std::string::npos) << t.text;
}

TEST(LzhRescue, DamagedMembersAreKeptUnderAMarkedNameOnlyWhenAsked) {
  if (!haveTool("jlha") || !haveTool("7z")) GTEST_SKIP() << "jlha or 7z missing";
  // m2.txt fails its CRC; a file of its first marked name is already there: the damaged data
  // goes to the next one.
  Made m;
  make(m, [](std::string& b) { b[b.find("m3.txt") - 100] ^= 0x55; });
  writeFile(m.dir / "out/m2 (破損).txt", "mine");
  Result x = unlha("x -jr2 -n1 " + dq(m.archive) + " " + dq(m.dir / "out/"));
  EXPECT_EQ(x.rc, ZV_ERROR_CRC) << x.text;
  EXPECT_NE(x.text.find("破損したまま書き出しました: m2.txt → m2 (破損 2).txt"), std::string::npos)
      << x.text;
  EXPECT_NE(x.text.find("失われたメンバー: m2.txt"), std::string::npos) << x.text;
  auto got = treeFiles(m.dir / "out");
  EXPECT_EQ(got.count("m2.txt"), 0u) << "never under its own name";
  EXPECT_EQ(got["m2 (破損).txt"], "mine");
  EXPECT_EQ(got["m3.txt"], readFile(m.dir / "src/m3.txt"));
  // The bytes are the decoder's, as another tool decodes the same damaged data.
  sh("cd " + q(m.dir / "") + " && 7z x -y -oseven a.lzh m2.txt");
  EXPECT_EQ(got["m2 (破損 2).txt"], readFile(m.dir / "seven/m2.txt"));

  // A member cut short: what the bytes before the cut decode to, the member's beginning.
  Made cut;
  make(cut, [](std::string& b) { b.resize(b.size() - 500); });
  unlha("x -jr2 -n1 " + dq(cut.archive) + " " + dq(cut.dir / "out/"));
  std::string kept = readFile(cut.dir / "out/m3 (破損).txt");
  ASSERT_GT(kept.size(), 1000u);
  EXPECT_EQ(kept.substr(0, 1000), readFile(cut.dir / "src/m3.txt").substr(0, 1000));
  // Without -jr2 nothing of a damaged member is written.
  unlha("x -jr -n1 " + dq(cut.archive) + " " + dq(cut.dir / "plain/"));
  EXPECT_EQ(treeFiles(cut.dir / "plain").size(), 2u);
}

TEST(LzhRescue, LaterMemberOfANameReplacesOnlyWhatTheRunWrote) {
  // symlink1.lzh holds foo.txt twice: a link, then the file. The later one is what the name
  // holds at the end; a foo.txt there before the run is kept.
  TempDir t;
  const std::string archive = fixtures() + "/regression/symlink1.lzh";
  Result x = unlha("x -jr -n1 " + dq(archive) + " " + dq(t / "out/"));
  EXPECT_EQ(x.rc, 0) << x.text;
  EXPECT_EQ(treeEntries(t / "out"), std::vector<std::string>{"foo.txt"});
  EXPECT_EQ(readFile(t / "out/foo.txt"), "hello world\n");
  writeFile(t / "kept/foo.txt", "mine");
  unlha("x -jr -n1 " + dq(archive) + " " + dq(t / "kept/"));
  EXPECT_EQ(readFile(t / "kept/foo.txt"), "mine");
}

TEST(LzhRescue, NamesAreReadAsPlainExtractionReadsThem) {
  // EUC-JP and Latin-1 names: one encoding for the archive, or the one asked for.
  TempDir t;
  for (std::string name : {"euc-jp.lzh", "latin1.lzh"}) {
    SCOPED_TRACE(name);
    const std::string archive = std::string(ZV_TEST_DATA) + "/names/" + name;
    unlha("x -n1 " + dq(archive) + " " + dq(t / (name + "-plain/")));
    unlha("x -jr -n1 " + dq(archive) + " " + dq(t / (name + "-rescued/")));
    EXPECT_EQ(treeFiles(t / (name + "-rescued")), treeFiles(t / (name + "-plain")));
    unlha("x -n1 --charset=cp437 " + dq(archive) + " " + dq(t / (name + "-437/")));
    unlha("x -jr -n1 --charset=cp437 " + dq(archive) + " " + dq(t / (name + "-437r/")));
    EXPECT_EQ(treeFiles(t / (name + "-437r")), treeFiles(t / (name + "-437")));
  }
}
