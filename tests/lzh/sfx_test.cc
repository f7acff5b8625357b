// Self-extracting archives: the Windows .exe keeps the archive readable by the other tools;
// the native stub built from the same source extracts it byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "lzh_test_util.h"

using namespace lzhtest;

namespace {

struct Answers {
  int calls = 0;
};
int answer(void* user, ZvDecision* d) {
  auto* a = static_cast<Answers*>(user);
  ++a->calls;
  const char* text = d->kind == ZV_DECIDE_SFX_TITLE     ? "配布用"
                     : d->kind == ZV_DECIDE_SFX_MESSAGE ? "ようこそ"
                                                        : "Program";
  std::snprintf(d->answer, d->answer_size, "%s", text);
  return 1;
}

// False in a build made without the Windows cross-compiler.
bool haveWindowsStub() { return std::strstr(lib().GetCapabilities(), "sfx=1") != nullptr; }

}  // namespace

TEST(SelfExtractor, WindowsExeStaysReadableByOtherTools) {
  if (!haveWindowsStub()) GTEST_SKIP() << "built without the Windows stub";
  TempDir t;
  writeFile(t / "src/readme.txt", std::string(20000, 'r'));
  writeFile(t / "src/sub/日本語.txt", "jp");
  ASSERT_EQ(unlha("a -d1 -n1 " + dq(t / "a.lzh") + " " + dq(t / "src/") + " *.*").rc, 0);
  Result r = unlha("s -jw4 -jyo " + dq(t / "a.lzh") + " " + dq(t / "自己解凍書庫/"), 0);
  ASSERT_EQ(r.rc, 0);
  std::string exe = readFile(t / "自己解凍書庫/a.exe");
  std::string archive = readFile(t / "a.lzh");
  ASSERT_GT(exe.size(), archive.size());
  EXPECT_EQ(exe.substr(0, 2), "MZ");
  size_t stub = exe.size() - archive.size();
  EXPECT_LT(stub, 48u * 1024);
  EXPECT_TRUE(exe.substr(stub) == archive);  // the archive unchanged behind the stub
  // The library lists its own self-extractor.
  EXPECT_EQ(memberNames(t / "自己解凍書庫/a.exe"), memberNames(t / "a.lzh"));
  if (haveTool("lhasa")) {
    Shell s = sh("lhasa t " + q(t / "自己解凍書庫/a.exe"));
    EXPECT_EQ(s.out.find("Tested") != std::string::npos, true) << s.out;
  }
  if (haveTool("bsdtar")) {
    EXPECT_EQ(sh("bsdtar tf " + q(t / "自己解凍書庫/a.exe")).status, 0);
  }
  if (haveTool("7z")) {
    EXPECT_NE(sh("7z t " + q(t / "自己解凍書庫/a.exe")).out.find("Everything is Ok"),
              std::string::npos);
  }
  // Without -jyo an existing file is not replaced unless the host says so.
  EXPECT_EQ(unlha("s -jw4 " + dq(t / "a.lzh") + " " + dq(t / "自己解凍書庫/")).rc,
            ZV_ERROR_CANNOT_CREATE);
}

TEST(SelfExtractor, CustomisationGoesIntoTheStub) {
  if (!haveWindowsStub()) GTEST_SKIP() << "built without the Windows stub";
  TempDir t;
  writeFile(t / "x.txt", "x");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "c.lzh") + " " + dq(t / "x.txt")).rc, 0);
  Answers a;
  ZvHost host{&a, nullptr, answer};
  lib().SetHost(&host);
  Result r = unlha("s -jw3 -jyo " + dq(t / "c.lzh") + " " + dq(t.path() + "/"), 0);
  lib().SetHost(nullptr);
  ASSERT_EQ(r.rc, 0);
  EXPECT_EQ(a.calls, 3);
  std::string exe = readFile(t / "c.exe");
  EXPECT_NE(exe.find("配布用"), std::string::npos);
  EXPECT_NE(exe.find("ようこそ"), std::string::npos);
}

TEST(SelfExtractor, WithoutTheWindowsStubItSaysSoAndMakesNothing) {
  if (haveWindowsStub()) GTEST_SKIP() << "built with the Windows stub";
  TempDir t;
  writeFile(t / "x.txt", "x");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "c.lzh") + " " + dq(t / "x.txt")).rc, 0);
  Result r = unlha("s -jw4 -jyo " + dq(t / "c.lzh") + " " + dq(t / "out/"));
  EXPECT_EQ(r.rc, ZV_ERROR_CANNOT_CREATE);
  EXPECT_NE(r.text.find("Windows 用の自己解凍書庫は，このビルドでは利用できません"),
            std::string::npos)
      << r.text;
  EXPECT_FALSE(exists(t / "out"));
}

TEST(SelfExtractor, NativeStubExtractsItsArchive) {
  TempDir t;
  writeFile(t / "src/a.txt", std::string(100000, 'a') + randomBytes(5000, 2));
  writeFile(t / "src/sub/表示.txt", "hyouji");
  writeFile(t / "src/empty", "");
  ASSERT_EQ(unlha("a -d1 -n1 " + dq(t / "n.lzh") + " " + dq(t / "src/") + " *.*").rc, 0);
  sh("cat " + q(ZV_SFX_STUB_PATH) + " " + q(t / "n.lzh") + " > " + q(t / "n.run") +
     " && chmod +x " + q(t / "n.run"));
  Shell s = sh(q(t / "n.run") + " -q " + q(t / "out"));
  EXPECT_EQ(s.status, 0) << s.out;
  EXPECT_TRUE(treeFiles(t / "out") == treeFiles(t / "src"));
  // A damaged member is reported and not left behind.
  std::string bytes = readFile(t / "n.run");
  bytes[bytes.size() - 40] ^= 0x10;
  writeFile(t / "bad.run", bytes);
  sh("chmod +x " + q(t / "bad.run"));
  Shell b = sh(q(t / "bad.run") + " -q " + q(t / "bad"));
  EXPECT_NE(b.status, 0);
  for (const auto& [name, content] : treeFiles(t / "bad"))
    EXPECT_TRUE(content == treeFiles(t / "src")[name]) << name;
}
