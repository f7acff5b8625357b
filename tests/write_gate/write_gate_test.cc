// The write gate every archiver library writes through: one table of hostile names, links
// that would lead outside, and how files are put in place.
#include "write_gate.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "zorvex/archiver_api.h"

namespace zv::archive {
namespace {

struct Folder {
  std::string path;
  Folder() {
    char tmpl[] = "/tmp/zv_gate_XXXXXX";
    path = ::mkdtemp(tmpl);
  }
  ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string operator/(const std::string& rel) const { return path + "/" + rel; }
};

void put(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
std::string get(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
std::set<std::string> entries(const std::string& dir) {
  std::set<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  while (dirent* e = d ? ::readdir(d) : nullptr)
    if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
  if (d) ::closedir(d);
  return names;
}
std::vector<std::string> splitAtSlash(const std::string& s) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = s.find('/', start)) != std::string::npos; start = end + 1)
    parts.push_back(s.substr(start, end - start));
  parts.push_back(s.substr(start));
  return parts;
}

// Every name an archive may carry, as text (ZIP, ISH) and as components already split by the
// library (LZH): the problem found in the text, and whether the components are refused.
TEST(WriteGate, HostileNameTable) {
  struct Row {
    std::string name;
    NameProblem text;
    bool partsRefused;
  } rows[] = {
      {"a.txt", NameProblem::None, false},
      {"dir/sub/a.txt", NameProblem::None, false},
      {"...", NameProblem::None, false},  // three dots is an ordinary name
      {"..foo/bar..", NameProblem::None, false},
      {"a/./b//c.txt", NameProblem::None, true},
      {"../evil.txt", NameProblem::ParentStep, true},
      {"a/../../evil.txt", NameProblem::ParentStep, true},
      {"dir/../../a.txt", NameProblem::ParentStep, true},
      {"a\\..\\..\\evil.txt", NameProblem::ParentStep, false},  // one component on this system
      {"/etc/passwd", NameProblem::Absolute, true},
      {"\\windows\\x", NameProblem::Absolute, false},
      {"C:\\x.txt", NameProblem::Drive, true},
      {"c:x.txt", NameProblem::Drive, true},
      {"C:/Windows/x.dll", NameProblem::Drive, true},
      {"a\nb", NameProblem::Control, true},
      {"bell\a.txt", NameProblem::Control, true},
      {"esc\x1b]2;x.txt", NameProblem::Control, true},
      {"del\x7f.txt", NameProblem::Control, true},
      {std::string("nul\0x", 5), NameProblem::Control, true},
      {"", NameProblem::Empty, true},
      {"./", NameProblem::Empty, true},
      {std::string(300, 'n'), NameProblem::None, true},  // too long for the file system
  };
  for (const Row& r : rows) {
    std::vector<std::string> parts;
    EXPECT_EQ(splitMemberName(r.name, parts), r.text) << r.name;
    EXPECT_EQ(checkParts(splitAtSlash(r.name)) != NameProblem::None, r.partsRefused) << r.name;
  }
  std::vector<std::string> parts;
  splitMemberName("a/./b//c.txt", parts);
  EXPECT_EQ(parts, (std::vector<std::string>{"a", "b", "c.txt"}));
  EXPECT_NE(checkParts({}), NameProblem::None);
  EXPECT_NE(checkParts({"a/b"}), NameProblem::None);
}

// A link is judged by where it leads through the links already in the destination.
TEST(WriteGate, LinkChainsAreResolvedThroughWrittenLinks) {
  Folder f;
  Destination d(f.path);
  ASSERT_TRUE(d.ok());
  EXPECT_TRUE(d.linkResolvesInside({"a"}, "."));
  ASSERT_EQ(::symlink(".", (f / "a").c_str()), 0);
  EXPECT_FALSE(d.linkResolvesInside({"b"}, "a/.."));         // a -> . then b -> a/..
  EXPECT_FALSE(d.linkResolvesInside({"b"}, "a/a/a/../.."));  // around the loop and out
  EXPECT_TRUE(d.linkResolvesInside({"b"}, "a/a/x"));
  ASSERT_EQ(::mkdir((f / "sub").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("..", (f / "sub/up").c_str()), 0);
  EXPECT_TRUE(d.linkResolvesInside({"c"}, "sub/up/sub"));
  EXPECT_FALSE(d.linkResolvesInside({"c"}, "sub/up/.."));
  EXPECT_FALSE(d.linkResolvesInside({"sub", "c"}, "up/.."));
  // A name that does not exist yet could become a link to "." later: no ".." after it.
  EXPECT_FALSE(d.linkResolvesInside({"c"}, "later/.."));
  EXPECT_TRUE(d.linkResolvesInside({"c"}, "later/x"));
  // A link leading to an absolute place, and a loop.
  ASSERT_EQ(::symlink("/etc", (f / "abs").c_str()), 0);
  EXPECT_FALSE(d.linkResolvesInside({"c"}, "abs"));
  ASSERT_EQ(::symlink("loop", (f / "loop").c_str()), 0);
  EXPECT_FALSE(d.linkResolvesInside({"c"}, "loop/x"));
}

TEST(WriteGate, NeverWritesThroughASymlinkedFolder) {
  Folder f;
  ASSERT_EQ(::mkdir((f / "dest").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((f / "outside").c_str(), 0755), 0);
  ASSERT_EQ(::symlink((f / "outside").c_str(), (f / "dest/link").c_str()), 0);
  Destination d(f / "dest");
  EXPECT_EQ(d.openFolder({"link", "x.txt"}, 1, true), -1);
  EXPECT_TRUE(errno == ELOOP || errno == ENOTDIR);
  put(f / "dest/file", "x");
  EXPECT_EQ(d.openFolder({"file", "x.txt"}, 1, true), -1);
  EXPECT_EQ(errno, ENOTDIR);
  EXPECT_TRUE(entries(f / "outside").empty());
}

TEST(WriteGate, AtomicFileReplacesOnlyWhenCommittedAndKeepsWhenAsked) {
  Folder f;
  put(f / "a.txt", "old");
  FolderFd dir(::open(f.path.c_str(), O_RDONLY | O_DIRECTORY));
  {
    AtomicFile p(dir.fd, "a.txt");
    ASSERT_TRUE(p.write("new", 3));
  }  // dropped: the old file stays, no temporary file is left
  EXPECT_EQ(get(f / "a.txt"), "old");
  EXPECT_EQ(entries(f.path), std::set<std::string>{"a.txt"});
  {
    AtomicFile p(dir.fd, "a.txt");
    ASSERT_TRUE(p.write("new", 3));
    EXPECT_FALSE(p.commit(0644, 0, true));
    EXPECT_EQ(p.error(), EEXIST);
  }
  EXPECT_EQ(get(f / "a.txt"), "old");
  {
    AtomicFile p(dir.fd, "a.txt");
    ASSERT_TRUE(p.write("new", 3));
    EXPECT_TRUE(p.commit(0644, 1700000000));
  }
  EXPECT_EQ(get(f / "a.txt"), "new");
  struct stat st;
  ASSERT_EQ(::stat((f / "a.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1700000000);
  // A folder at the name is never replaced.
  ASSERT_EQ(::mkdir((f / "d").c_str(), 0755), 0);
  AtomicFile p(dir.fd, "d");
  EXPECT_FALSE(p.commit(0644, 0));
  EXPECT_EQ(p.error(), EISDIR);
  EXPECT_EQ(entries(f.path), (std::set<std::string>{"a.txt", "d"}));
}

// A damaged member's data goes under a marked name that nothing stands at: never over a
// file, a folder or the member's own name.
TEST(WriteGate, MarkedNamesNeverTakeWhatIsThere) {
  EXPECT_EQ(markedName("a.txt"), "a (破損).txt");
  EXPECT_EQ(markedName("a.tar.gz", 2), "a.tar (破損 2).gz");
  EXPECT_EQ(markedName(".profile"), ".profile (破損)");
  EXPECT_EQ(markedName("README"), "README (破損)");
  Folder f;
  put(f / "a.txt", "own");
  put(f / "a (破損).txt", "old");
  ASSERT_EQ(::mkdir((f / "a (破損 2).txt").c_str(), 0755), 0);
  FolderFd dir(::open(f.path.c_str(), O_RDONLY | O_DIRECTORY));
  AtomicFile p(dir.fd, "a.txt");
  ASSERT_TRUE(p.write("damaged", 7));
  std::string placed;
  ASSERT_TRUE(p.commitMarked(0644, 0, placed));
  EXPECT_EQ(placed, "a (破損 3).txt");
  EXPECT_EQ(get(f / placed), "damaged");
  EXPECT_EQ(get(f / "a.txt"), "own");
  EXPECT_EQ(get(f / "a (破損).txt"), "old");
  EXPECT_EQ(entries(f.path),
            (std::set<std::string>{"a.txt", "a (破損).txt", "a (破損 2).txt", "a (破損 3).txt"}));
}

// A new file is placed without a sync; whatever already stands at the name (a file, one
// that appears while writing, a link, a folder) still goes through the synced, checked path.
TEST(WriteGate, BatchedFilesReplaceOnlyWhatTheyMayAndLeaveNoTemporaries) {
  Folder f;
  put(f / "old.txt", "old");
  put(f / "target.txt", "target");
  ASSERT_EQ(::symlink("target.txt", (f / "link").c_str()), 0);
  ASSERT_EQ(::mkdir((f / "d").c_str(), 0755), 0);
  FolderFd dir(::open(f.path.c_str(), O_RDONLY | O_DIRECTORY));
  WriteBatch batch;
  auto write = [&](const std::string& name, const std::string& text, bool keep = false,
                   const std::string& appears = "") {
    AtomicFile p(dir.fd, name, &batch);
    EXPECT_TRUE(p.write(text.data(), text.size()));
    if (!appears.empty()) put(f / name, appears);
    bool ok = p.commit(0644, 0, keep);
    return ok ? 0 : p.error();
  };
  EXPECT_EQ(write("new.txt", "new"), 0);
  EXPECT_EQ(write("old.txt", "replaced"), 0);
  EXPECT_EQ(write("late.txt", "ours", false, "theirs"), 0);
  EXPECT_EQ(write("link", "file"), 0);
  EXPECT_EQ(write("d", "file"), EISDIR);
  EXPECT_EQ(write("new.txt", "again", true), EEXIST);
  EXPECT_EQ(write("kept.txt", "kept", true), 0);
  EXPECT_EQ(get(f / "new.txt"), "new");
  EXPECT_EQ(get(f / "old.txt"), "replaced");
  EXPECT_EQ(get(f / "late.txt"), "ours");
  EXPECT_EQ(get(f / "link"), "file");
  EXPECT_EQ(get(f / "target.txt"), "target");  // the link was replaced, not followed
  EXPECT_EQ(get(f / "kept.txt"), "kept");
  struct stat st;
  ASSERT_EQ(::lstat((f / "link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  ASSERT_EQ(::lstat((f / "d").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(entries(f.path), (std::set<std::string>{"d", "kept.txt", "late.txt", "link", "new.txt",
                                                    "old.txt", "target.txt"}));
}

TEST(WriteGate, KeptFolderIsReusedAndNeverALink) {
  Folder f;
  Destination dest(f.path);
  ASSERT_TRUE(dest.ok());
  int a = dest.cachedFolder({"a", "b", "x.txt"}, 2);
  ASSERT_GE(a, 0);
  EXPECT_EQ(dest.cachedFolder({"a", "b", "y.txt"}, 2), a);
  struct stat st;
  EXPECT_EQ(::stat((f / "a/b").c_str(), &st), 0);
  ASSERT_EQ(::symlink("a", (f / "s").c_str()), 0);
  EXPECT_EQ(dest.cachedFolder({"s", "z.txt"}, 1), -1);
  EXPECT_TRUE(errno == ELOOP || errno == ENOTDIR);
  EXPECT_GE(dest.cachedFolder({"a", "x.txt"}, 1), 0);
  EXPECT_EQ(entries(f / "a"), std::set<std::string>{"b"});
}

TEST(WriteGate, PermissionsLoseSetIdBitsAndFollowTheUmask) {
  mode_t old = ::umask(022);
  EXPECT_EQ(writtenMode(0777), 0755u);
  EXPECT_EQ(writtenMode(06755), 0755u);
  EXPECT_EQ(writtenMode(01666), 0644u);
  ::umask(077);
  EXPECT_EQ(writtenMode(0666), 0600u);
  ::umask(old);
}

TEST(WriteGate, StaleTemporaryFilesOfEndedProcessesAreRemoved) {
  Folder f;
  // A process id that surely ran and ended: a child that has been waited for.
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  std::string dead = std::to_string(child), alive = std::to_string(::getppid());
  for (const std::string& n : std::vector<std::string>{
           ".zv-" + dead + "-0.tmp", ".zv-link-" + dead + ".tmp", ".zv" + dead + "_3.tmp",
           ".arc.lzh." + dead + "_0.tmp", ".zv-" + alive + "-0.tmp", ".zv-x-0.tmp",
           ".notes." + dead + "_0.tmp", "zv-" + dead + "-0.tmp"})
    put(f / n, "x");
  long pid = 0;
  EXPECT_TRUE(isTemporaryName(".ARC.LZH." + dead + "_12.tmp", pid));
  EXPECT_EQ(pid, child);
  FolderFd dir(::open(f.path.c_str(), O_RDONLY | O_DIRECTORY));
  EXPECT_EQ(removeStaleTemporaries(dir.fd), 4);
  EXPECT_EQ(entries(f.path),
            (std::set<std::string>{".zv-" + alive + "-0.tmp", ".zv-x-0.tmp",
                                   ".notes." + dead + "_0.tmp", "zv-" + dead + "-0.tmp"}));
}

// Writing one file per call must not read the whole folder each time: a process sweeps a
// folder once. A folder removed and made again is another folder, swept on its first write
// even when it gets the removed one's inode number.
TEST(WriteGate, EachFolderIsSweptOncePerProcess) {
  Folder f;
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  std::string stale = ".zv-" + std::to_string(child) + "-0.tmp";
  auto write = [&](const std::string& folder, const std::string& name) {
    FolderFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY));
    AtomicFile p(dir.fd, name);
    EXPECT_TRUE(p.write("x", 1));
    EXPECT_TRUE(p.commit(0644, 0));
  };
  std::string sub = f / "sub";
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    put(sub + "/" + stale, "left by a killed run");
    write(sub, "a.txt");
    EXPECT_EQ(entries(sub), std::set<std::string>{"a.txt"});
    put(sub + "/" + stale, "left after the sweep");
    write(sub, "b.txt");
    EXPECT_EQ(entries(sub), (std::set<std::string>{"a.txt", "b.txt", stale}));
    std::system(("rm -rf '" + sub + "'").c_str());
    ::usleep(20000);  // a new folder is told by its birth time too, kept in clock ticks
  }
  // Beyond the folders it remembers, the oldest is forgotten and swept again.
  std::vector<std::string> many;
  for (size_t i = 0; i <= kSweptFoldersKept; ++i) {
    many.push_back(f / ("m" + std::to_string(i)));
    ASSERT_EQ(::mkdir(many.back().c_str(), 0755), 0);
    write(many.back(), "a.txt");
  }
  put(many[0] + "/" + stale, "x");
  put(many.back() + "/" + stale, "x");
  write(many[0], "b.txt");
  write(many.back(), "b.txt");
  EXPECT_EQ(entries(many[0]), (std::set<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(entries(many.back()), (std::set<std::string>{"a.txt", "b.txt", stale}));
}

TEST(WriteGate, ErrorNumbersForFailedWrites) {
  EXPECT_EQ(errorFromErrno(ENOSPC, ZV_ERROR_WRITE), ZV_ERROR_DISK_SPACE);
  EXPECT_EQ(errorFromErrno(EACCES, ZV_ERROR_CANNOT_CREATE), ZV_ERROR_READ_ONLY);
  EXPECT_EQ(errorFromErrno(EROFS, ZV_ERROR_CANNOT_CREATE), ZV_ERROR_READ_ONLY);
  EXPECT_EQ(errorFromErrno(EIO, ZV_ERROR_WRITE), ZV_ERROR_WRITE);
}

}  // namespace
}  // namespace zv::archive
