// What the library writes is read byte for byte by lhasa, 7z, bsdtar and jlha, for every
// written method and header level; what jlha writes is read by the library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "lzh_test_util.h"

using namespace lzhtest;

namespace {

// Files of every kind the issue lists: empty, tiny, incompressible, repetitive, several
// megabytes, nested folders and Japanese names (one with a 0x5C trail byte in CP932).
void makeCorpus(const std::string& dir) {
  writeFile(dir + "/empty.txt", "");
  writeFile(dir + "/one.txt", "1");
  writeFile(dir + "/hello.txt", "hello");
  writeFile(dir + "/rand.bin", randomBytes(300000, 7));
  std::string rep;
  while (rep.size() < 1000000) rep += "abcabcabcabcabcabcabcabc0123456789";
  writeFile(dir + "/rep.txt", rep);
  std::string text;
  static const char* words[] = {"archive ", "member ", "header ", "level ",   "window ",
                                "folder ",  "ソフト ", "\n",      "extract ", "crc "};
  std::string r = randomBytes(600000, 11);
  for (unsigned char c : r) text += words[c % 10];
  writeFile(dir + "/text.txt", text);
  writeFile(dir + "/nested/a/b/c/deep.txt", "deep");
  writeFile(dir + "/日本語.txt", "nihongo");
  writeFile(dir + "/ソフト/ア.txt", "z");
}

std::vector<std::string> contents(const std::map<std::string, std::string>& files) {
  std::vector<std::string> out;
  for (const auto& [n, b] : files) out.push_back(b);
  std::sort(out.begin(), out.end());
  return out;
}

int countWord(const std::string& s, const std::string& w) {
  int n = 0;
  for (size_t p = 0; (p = s.find(w, p)) != std::string::npos; p += w.size()) ++n;
  return n;
}

}  // namespace

TEST(Interop, OtherToolsReadWhatWeWrite) {
  TempDir t;
  makeCorpus(t / "src");
  const auto expected = treeFiles(t / "src");
  for (const char* method : {"-z", "-o5", "-o6", "-o7"}) {
    for (const char* level : {"-h0", "-h1", "-h2"}) {
      SCOPED_TRACE(std::string(method) + " " + level);
      std::string arc = t / (std::string("w") + method + level + ".lzh");
      Result r = unlha(std::string("a -d1 -n1 ") + method + " " + level + " " + dq(arc) + " " +
                       dq(t / "src/") + " *.*");
      ASSERT_EQ(r.rc, 0) << r.text;
      // Our own reader first.
      TempDir own;
      ASSERT_EQ(unlha("x -n1 " + dq(arc) + " " + dq(own.path() + "/")).rc, 0);
      EXPECT_TRUE(treeFiles(own.path()) == expected);
      if (haveTool("lhasa")) {
        Shell s = sh("lhasa t " + q(arc));
        EXPECT_EQ(s.status, 0);
        EXPECT_EQ(countWord(s.out, "Tested"), static_cast<int>(expected.size())) << s.out;
        TempDir o;
        sh("cd " + q(o.path()) + " && lhasa xq " + q(arc));
        // lhasa keeps the name bytes as stored (CP932), so compare contents.
        EXPECT_EQ(contents(treeFiles(o.path())), contents(expected));
        EXPECT_EQ(readFile(o / "nested/a/b/c/deep.txt"), "deep");
      }
      if (haveTool("7z")) {
        Shell s = sh("7z t " + q(arc));
        EXPECT_NE(s.out.find("Everything is Ok"), std::string::npos) << s.out;
        TempDir o;
        sh("cd " + q(o.path()) + " && 7z x -y " + q(arc));
        EXPECT_EQ(contents(treeFiles(o.path())), contents(expected));
      }
      if (haveTool("bsdtar")) {
        TempDir o;
        // The code page header tells bsdtar the names are CP932 at levels 1 and 2.
        std::string opt = std::string(level) == "-h0" ? " --options hdrcharset=CP932" : "";
        Shell s = sh("cd " + q(o.path()) + " && bsdtar xf " + q(arc) + opt);
        EXPECT_EQ(s.status, 0) << s.out;
        EXPECT_TRUE(treeFiles(o.path()) == expected);
      }
      if (haveTool("jlha")) {
        TempDir o;
        sh("cd " + q(o.path()) + " && jlha xy " + q(arc));
        EXPECT_TRUE(treeFiles(o.path()) == expected);
      }
    }
  }
}

TEST(Interop, WeReadWhatJlhaWrites) {
  if (!haveTool("jlha")) GTEST_SKIP() << "jlha missing";
  TempDir t;
  makeCorpus(t / "src");
  sh("rm " + q(t / "src/text.txt") + " " + q(t / "src/rep.txt"));  // keep the Java runs short
  writeFile(t / "src/rep.txt", std::string(200000, 'r') + randomBytes(1000, 5));
  const auto expected = treeFiles(t / "src");
  for (const char* opts : {"a0", "a1", "a2", "a0o6", "a1o7", "a2o6", "a2o7", "a2z"}) {
    SCOPED_TRACE(opts);
    std::string arc = t / (std::string("j_") + opts + ".lzh");
    Shell s = sh("cd " + q(t / "src") + " && jlha " + opts + "y " + q(arc) + " *");
    ASSERT_EQ(s.status, 0) << s.out;
    TempDir o;
    Result r = unlha("x -n1 " + dq(arc) + " " + dq(o.path() + "/"));
    EXPECT_EQ(r.rc, 0) << r.text;
    EXPECT_TRUE(treeFiles(o.path()) == expected);
    EXPECT_EQ(unlha("t " + dq(arc)).rc, 0);
    std::vector<std::string> names = memberNames(arc);
    EXPECT_NE(std::find(names.begin(), names.end(), "ソフト\\ア.txt"), names.end());
  }
}
