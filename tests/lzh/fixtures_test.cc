// Archives written by other tools (shared fixtures): every one lists and extracts as lhasa
// extracts it, with CRCs checked; the regression archives never write outside the
// destination.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "lzh_test_util.h"

using namespace lzhtest;

namespace {

std::vector<std::string> fixtureArchives(bool regression) {
  std::vector<std::string> out;
  Shell s = sh("cd " + q(fixtures()) + " && find . -type f ! -name README ! -name '*.md' | sort");
  size_t start = 0;
  while (start < s.out.size()) {
    size_t lf = s.out.find('\n', start);
    std::string f = s.out.substr(start + 2, lf - start - 2);
    start = lf + 1;
    if ((f.rfind("regression/", 0) == 0) == regression) out.push_back(f);
  }
  return out;
}

// Broken on purpose by their makers (see their READMEs) or holding links that point out.
const std::set<std::string> kExpectedErrors = {
    "lha_unix114i/h0_subdir.lzh",    // empty file names
    "lha_unix114i/h1_symlink3.lzh",  // link to an absolute path
    "lha_unix114i/h2_symlink3.lzh",
};

}  // namespace

TEST(Fixtures, EveryArchiveExtractsAsLhasaDoes) {
  if (!haveTool("lhasa")) GTEST_SKIP() << "lhasa missing";
  std::vector<std::string> all = fixtureArchives(false);
  ASSERT_GT(all.size(), 90u);
  for (const std::string& f : all) {
    SCOPED_TRACE(f);
    TempDir ours, theirs;
    std::string path = fixtures() + "/" + f;
    Result r = unlha("x -n1 " + dq(path) + " " + dq(ours.path() + "/"));
    if (kExpectedErrors.count(f)) {
      EXPECT_NE(r.rc, 0);
    } else {
      EXPECT_EQ(r.rc, 0) << r.text;
      EXPECT_EQ(unlha("t " + dq(path)).rc, 0);
      EXPECT_GT(lib().GetFileCount(path.c_str()), 0);
    }
    sh("cd " + q(theirs.path()) + " && lhasa xq " + q(path));
    // lhasa lower-cases DOS names; every file it extracts must be ours byte for byte (we also
    // read some archives lhasa gives up on: Windows self-extractors, a buggy Amiga archive).
    auto mine = treeFiles(ours.path(), true);
    for (const auto& [name, bytes] : treeFiles(theirs.path(), true)) {
      auto it = mine.find(name);
      ASSERT_NE(it, mine.end()) << name;
      EXPECT_TRUE(it->second == bytes) << name;
    }
  }
}

TEST(Fixtures, RegressionArchivesNeverEscape) {
  const std::vector<std::string> regression = fixtureArchives(true);
  ASSERT_EQ(regression.size(), 10u) << "archives missing under " << fixtures() << "/regression";
  for (const std::string& f : regression) {
    SCOPED_TRACE(f);
    TempDir sandbox;
    std::string dest = sandbox / "dest";
    std::string path = fixtures() + "/" + f;
    Result r = unlha("x -n1 " + dq(path) + " " + dq(dest + "/"));
    for (const std::string& e : treeEntries(sandbox.path()))
      EXPECT_TRUE(e == "dest" || e.rfind("dest/", 0) == 0) << e;
    // No link inside the destination points out of it.
    Shell links = sh("find " + q(dest) + " -type l -exec readlink {} \\;");
    EXPECT_EQ(links.out.find(".."), std::string::npos) << links.out;
    EXPECT_EQ(links.out.find("/"), std::string::npos) << links.out;
    Result v = unlha("v " + dq(path));
    EXPECT_EQ(v.text.find('\x1b'), std::string::npos);  // no terminal escapes in listings
    if (f == "regression/dotdot.lzh") {
      EXPECT_EQ(r.rc, ZV_ERROR_UNSAFE_NAME);
    }
    if (f == "regression/truncated.lzh") {
      EXPECT_EQ(r.rc, ZV_ERROR_BROKEN_ARCHIVE);
      EXPECT_TRUE(treeFiles(dest).empty());  // no half file
    }
    if (f == "regression/symlink2.lzh" || f == "regression/symlink3.lzh") {
      EXPECT_EQ(r.rc, ZV_ERROR_UNSAFE_NAME);
    }
    if (f == "regression/multiple.lzh" || f == "regression/dir.lzh" ||
        f == "regression/unixsep.lzh") {
      EXPECT_EQ(r.rc, 0) << r.text;
    }
  }
}

TEST(Fixtures, WildcardsSelectMembers) {
  std::string path = fixtures() + "/regression/multiple.lzh";
  TempDir out;
  std::vector<std::string> names = memberNames(path);
  ASSERT_GT(names.size(), 2u);
  EXPECT_EQ(unlha("x -n1 " + dq(path) + " " + dq(out.path() + "/") + " " + dq(names[1])).rc, 0);
  EXPECT_EQ(treeFiles(out.path()).size(), 1u);
}

TEST(Fixtures, LharkVariantOfLh7IsFoundByItsCrc) {
  const std::string dir = fixtures() + "/../lzh-lhark/";
  const std::string original = readFile(dir + "lhark.txt");
  ASSERT_GT(original.size(), 60000u);
  for (const char* name : {"lhark.lzh", "lhark_other_os.lzh"}) {
    SCOPED_TRACE(name);
    TempDir out;
    Result r = unlha("x -n1 " + dq(dir + name) + " " + dq(out.path() + "/"));
    EXPECT_EQ(r.rc, 0) << r.text;
    EXPECT_EQ(readFile(out / "LHARK.TXT"), original);
    EXPECT_EQ(unlha("t " + dq(dir + name)).rc, 0);
  }
  // Wrong under both readings: still an error, and no file is left behind.
  TempDir out;
  Result bad = unlha("x -n1 " + dq(dir + "lhark_damaged.lzh") + " " + dq(out.path() + "/"));
  EXPECT_TRUE(bad.rc == ZV_ERROR_CRC || bad.rc == ZV_ERROR_BROKEN_ARCHIVE) << bad.rc;
  EXPECT_FALSE(exists(out / "LHARK.TXT"));
}
