// Interrupted and failed writes, case-distinct names and hostile links through UNLHA32.DLL:
// an append cut off anywhere in its new header, stale temporary files, a move whose source
// stays, read-only folders, a full disk, and the umask.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "header_writer.h"
#include "lzh_test_util.h"

using namespace lzhtest;

namespace {

// Runs `body` in a child process, as an ordinary user when the tests run as root (root writes
// into read-only folders), and returns its result and text.
Result inChild(const std::function<Result()>& body) {
  lib();  // loaded before the fork
  int fds[2];
  if (pipe(fds) != 0) return {-1, "pipe"};
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
      _exit(99);
    Result r = body();
    std::string msg = std::to_string(r.rc) + "\n" + r.text;
    ssize_t ignored = write(fds[1], msg.data(), msg.size());
    (void)ignored;
    _exit(0);
  }
  close(fds[1]);
  std::string msg;
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) msg.append(buf, size_t(n));
  close(fds[0]);
  waitpid(pid, nullptr, 0);
  size_t nl = msg.find('\n');
  if (nl == std::string::npos) return {-1, "child failed"};
  return {std::stoi(msg.substr(0, nl)), msg.substr(nl + 1)};
}

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t p = 0; (p = text.find(what, p)) != std::string::npos; p += what.size()) ++n;
  return n;
}

std::string deadPid() {
  pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return std::to_string(child);
}

std::string lsMode(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return std::to_string(st.st_mode & 07777);
}

class FailedWrites : public ::testing::Test {
 protected:
  void SetUp() override { chmod(t.path().c_str(), 0777); }
  TempDir t;
};

}  // namespace

// An append writes the new members behind the old end marker and links them by writing the
// marker byte last. Cut off anywhere in the new header (the marker still 0), the archive is
// the old one with trailing data: readable, testable, and the next add cuts the junk off.
TEST_F(FailedWrites, AppendCutAnywhereInItsNewHeaderLeavesAUsableArchive) {
  writeFile(t / "old.txt", "old member");
  writeFile(t / "new.txt", std::string(3000, 'n'));
  ASSERT_EQ(unlha("a -n1 " + dq(t / "a.lzh") + " " + dq(t / "old.txt")).rc, 0);
  std::string before = readFile(t / "a.lzh");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "a.lzh") + " " + dq(t / "new.txt")).rc, 0);
  std::string after = readFile(t / "a.lzh");
  size_t marker = before.size() - 1;
  ASSERT_EQ(after.compare(0, marker, before, 0, marker), 0);
  size_t headerLen = static_cast<unsigned char>(after[marker]) |
                     static_cast<unsigned char>(after[marker + 1]) << 8;
  ASSERT_GT(headerLen, 22u);
  writeFile(t / "more.txt", "more");
  writeFile(t / "clean.lzh", before);
  ASSERT_EQ(unlha("a -n1 " + dq(t / "clean.lzh") + " " + dq(t / "more.txt")).rc, 0);
  const size_t cleanSize = readFile(t / "clean.lzh").size();
  for (size_t cut = 1; cut <= headerLen + 8; ++cut) {
    SCOPED_TRACE(cut);
    std::string partial = before + after.substr(marker + 1, cut);
    writeFile(t / "cut.lzh", partial);
    EXPECT_EQ(memberNames(t / "cut.lzh"), (std::vector<std::string>{"old.txt"}));
    Result test = unlha("t " + dq(t / "cut.lzh"));
    EXPECT_EQ(test.rc, 0) << test.text;
    EXPECT_NE(test.text.find(std::to_string(cut) + " バイトの余分なデータ"), std::string::npos)
        << test.text;
    TempDir out;
    EXPECT_EQ(unlha("x -n1 " + dq(t / "cut.lzh") + " " + dq(out.path() + "/")).rc, 0);
    EXPECT_EQ(readFile(out / "old.txt"), "old member");
    if (cut % 7 != 1) continue;  // the next write, on a sample of the cuts
    ASSERT_EQ(unlha("a -n1 " + dq(t / "cut.lzh") + " " + dq(t / "more.txt")).rc, 0);
    EXPECT_EQ(memberNames(t / "cut.lzh"), (std::vector<std::string>{"old.txt", "more.txt"}));
    EXPECT_EQ(readFile(t / "cut.lzh").size(), cleanSize);  // nothing of the cut header kept
    if (haveTool("lha")) {
      EXPECT_EQ(sh("cd " + q(t.path()) + " && LC_ALL=C.UTF-8 lha t cut.lzh").status, 0);
    }
  }
}

// What a killed run left (a rewritten archive's temporary file, extracted members' ones) is
// removed by the next write in that folder; files of a running process are left alone.
TEST_F(FailedWrites, StaleTemporaryFilesAreRemovedByTheNextWrite) {
  std::string dead = deadPid(), alive = std::to_string(getpid());
  writeFile(t / "a.txt", "a");
  writeFile(t / (".x.lzh." + dead + "_0.tmp"), std::string(1000, 'x'));
  writeFile(t / (".x.lzh." + alive + "_9.tmp"), "mine");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "x.lzh") + " " + dq(t / "a.txt")).rc, 0);
  writeFile(t / "a.txt", "A");
  ASSERT_EQ(unlha("u -n1 " + dq(t / "x.lzh") + " " + dq(t / "a.txt")).rc, 0);  // a rewrite
  EXPECT_FALSE(exists(t / (".x.lzh." + dead + "_0.tmp")));
  EXPECT_TRUE(exists(t / (".x.lzh." + alive + "_9.tmp")));
  writeFile(t / ("out/.zv-" + dead + "-3.tmp"), "half a member");
  ASSERT_EQ(unlha("x -n1 " + dq(t / "x.lzh") + " " + dq(t / "out/")).rc, 0);
  EXPECT_EQ(treeEntries(t / "out"), (std::vector<std::string>{"a.txt"}));
}

// m stores the file, but a source that cannot be deleted makes the move incomplete.
TEST_F(FailedWrites, MoveWhoseSourceStaysIsAnError) {
  writeFile(t / "ro/m.txt", "one");
  mkdir((t / "arc").c_str(), 0777);
  chmod((t / "arc").c_str(), 0777);
  chmod((t / "ro").c_str(), 0555);
  Result r =
      inChild([&] { return unlha("m -n1 " + dq(t / "arc/m.lzh") + " " + dq(t / "ro/m.txt")); });
  chmod((t / "ro").c_str(), 0755);
  EXPECT_EQ(r.rc, ZV_ERROR_READ_ONLY) << r.text;
  EXPECT_NE(r.text.find("ro/m.txt"), std::string::npos) << r.text;
  EXPECT_TRUE(exists(t / "ro/m.txt"));
  EXPECT_EQ(memberNames(t / "arc/m.lzh"), (std::vector<std::string>{"m.txt"}));
}

// A read-only folder is reported as such, and d names nothing as deleted when it failed.
TEST_F(FailedWrites, ReadOnlyFolderGivesReadOnlyAndNoDeletedLines) {
  writeFile(t / "small.txt", "small");
  writeFile(t / "other.txt", "other");
  mkdir((t / "ro").c_str(), 0777);
  ASSERT_EQ(
      unlha("a -n1 " + dq(t / "ro/x.lzh") + " " + dq(t / "small.txt") + " " + dq(t / "other.txt"))
          .rc,
      0);
  chmod((t / "ro/x.lzh").c_str(), 0644);
  chmod((t / "ro").c_str(), 0555);
  std::string before = readFile(t / "ro/x.lzh");
  Result add =
      inChild([&] { return unlha("a -n1 " + dq(t / "ro/new.lzh") + " " + dq(t / "small.txt")); });
  Result del = inChild([&] { return unlha("d -n1 " + dq(t / "ro/x.lzh") + " small.txt"); });
  chmod((t / "ro").c_str(), 0755);
  EXPECT_EQ(add.rc, ZV_ERROR_READ_ONLY) << add.text;
  EXPECT_EQ(del.rc, ZV_ERROR_READ_ONLY) << del.text;
  EXPECT_EQ(del.text.find("削除:"), std::string::npos) << del.text;
  EXPECT_EQ(count(del.text, "エラー"), 1) << del.text;
  EXPECT_TRUE(readFile(t / "ro/x.lzh") == before);
  EXPECT_EQ(treeEntries(t / "ro"), (std::vector<std::string>{"x.lzh"}));
  // Deleting for real names the member once the archive is in place.
  Result ok = unlha("d -n1 " + dq(t / "ro/x.lzh") + " small.txt");
  EXPECT_EQ(ok.rc, 0);
  EXPECT_EQ(count(ok.text, "削除: small.txt"), 1) << ok.text;
}

// A write that fails (here the file size limit, as a full disk) is reported once, naming the
// member and the cause, and leaves no temporary file.
TEST_F(FailedWrites, FailedWriteIsReportedOnceWithTheMemberName) {
  writeFile(t / "big.txt", randomBytes(300000, 5));
  ASSERT_EQ(unlha("a -n1 " + dq(t / "b.lzh") + " " + dq(t / "big.txt")).rc, 0);
  mkdir((t / "out").c_str(), 0777);
  chmod((t / "out").c_str(), 0777);
  Result r = inChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit small {
      65536, 65536
    };
    setrlimit(RLIMIT_FSIZE, &small);
    return unlha("x -n1 " + dq(t / "b.lzh") + " " + dq(t / "out/"));
  });
  EXPECT_EQ(r.rc, ZV_ERROR_WRITE) << r.text;
  EXPECT_EQ(count(r.text, "エラー"), 1) << r.text;
  EXPECT_NE(r.text.find("big.txt"), std::string::npos) << r.text;
  EXPECT_TRUE(treeEntries(t / "out").empty());
}

TEST_F(FailedWrites, ExtractedPermissionsFollowTheUmask) {
  writeFile(t / "run.sh", "#!/bin/sh\n");
  chmod((t / "run.sh").c_str(), 06777);
  ASSERT_EQ(unlha("a -n1 " + dq(t / "p.lzh") + " " + dq(t / "run.sh")).rc, 0);
  mode_t old = umask(027);
  Result r = unlha("x -n1 " + dq(t / "p.lzh") + " " + dq(t / "out/"));
  umask(old);
  ASSERT_EQ(r.rc, 0) << r.text;
  EXPECT_EQ(lsMode(t / "out/run.sh"), std::to_string(0750));
}

// Case.TXT and case.txt are two files: selection stays case-insensitive, but an exact match
// wins and nothing is lost through the folding.
TEST_F(FailedWrites, NamesDifferingInCaseStayTwoMembers) {
  writeFile(t / "src/README", "upper");
  writeFile(t / "src/readme", "lower");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "r.lzh") + " " + dq(t / "src/") + " *.*").rc, 0);
  EXPECT_EQ(memberNames(t / "r.lzh"), (std::vector<std::string>{"README", "readme"}));

  writeFile(t / "c/Case.TXT", "Upper");
  writeFile(t / "c/case.txt", "lower");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "c.lzh") + " " + dq(t / "c/") + " *.*").rc, 0);
  EXPECT_EQ(unlha("x -n1 " + dq(t / "c.lzh") + " " + dq(t / "o1/") + " Case.TXT").rc, 0);
  EXPECT_EQ(treeFiles(t / "o1"), (std::map<std::string, std::string>{{"Case.TXT", "Upper"}}));
  EXPECT_EQ(unlha("x -n1 " + dq(t / "c.lzh") + " " + dq(t / "o2/") + " case.txt").rc, 0);
  EXPECT_EQ(treeFiles(t / "o2"), (std::map<std::string, std::string>{{"case.txt", "lower"}}));
  // Selection without case still works where no name matches exactly.
  EXPECT_EQ(unlha("x -n1 " + dq(t / "c.lzh") + " " + dq(t / "o3/") + " CASE.TXT").rc, 0);
  EXPECT_EQ(treeFiles(t / "o3").size(), 1u);

  writeFile(t / "c/case.txt", "LOWER AGAIN");
  ASSERT_EQ(unlha("a -n1 " + dq(t / "c.lzh") + " " + dq(t / "c/case.txt")).rc, 0);
  EXPECT_EQ(memberNames(t / "c.lzh"), (std::vector<std::string>{"Case.TXT", "case.txt"}));
  EXPECT_EQ(unlha("x -n1 " + dq(t / "c.lzh") + " " + dq(t / "o4/")).rc, 0);
  EXPECT_EQ(treeFiles(t / "o4"), (std::map<std::string, std::string>{{"Case.TXT", "Upper"},
                                                                     {"case.txt", "LOWER AGAIN"}}));

  EXPECT_EQ(unlha("d -n1 " + dq(t / "c.lzh") + " Case.TXT").rc, 0);
  EXPECT_EQ(memberNames(t / "c.lzh"), (std::vector<std::string>{"case.txt"}));
}

// Link members a -> . then b -> a/.. (level 2, as the UNIX tools write them): b would lead to
// the destination's parent through a, so it is refused; links that stay inside are made.
TEST_F(FailedWrites, LinkChainsLeadingOutsideAreRefused) {
  auto link = [](const std::string& name, const std::string& target) {
    zv::lzh::NewHeader h;
    h.parts = {name + "|" + target};
    std::memcpy(h.method, "-lhd-", 6);
    h.unixMode = 0120777;
    h.mtime = 1704164646;
    return zv::lzh::buildHeader(h);
  };
  writeFile(t / "l.lzh",
            link("a", ".") + link("b", "a/..") + link("c", "a/x") + std::string(1, '\0'));
  if (haveTool("lha")) {
    EXPECT_EQ(sh("cd " + q(t.path()) + " && LC_ALL=C.UTF-8 lha v l.lzh").status, 0);
  }
  Result r = unlha("x -n1 " + dq(t / "l.lzh") + " " + dq(t / "out/"));
  EXPECT_EQ(r.rc, ZV_ERROR_UNSAFE_NAME) << r.text;
  char target[64] = {};
  EXPECT_EQ(readlink((t / "out/a").c_str(), target, sizeof target - 1), 1);
  EXPECT_STREQ(target, ".");
  struct stat st {};
  EXPECT_NE(lstat((t / "out/b").c_str(), &st), 0);
  EXPECT_EQ(lstat((t / "out/c").c_str(), &st), 0);
}
