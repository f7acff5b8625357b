#include "platform/fileops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/drives.h"
#include "platform/runtime_error.h"
#include "tests/support/temp_dir.h"
#include "tests/support/without_file_override.h"

namespace fs = zv::fs;
using zv::test::readFile;
using zv::test::TempDir;

namespace {
int errorOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const zv::RuntimeError& e) {
    return e.number();
  }
  return 0;
}

// Each test gets drive T: on its own temporary folder.
class FileOps : public ::testing::Test {
 protected:
  void SetUp() override { zv::DriveTable::instance().set('T', dir.path()); }
  void TearDown() override { zv::DriveTable::instance().remove('T'); }
  TempDir dir;
};
}  // namespace

TEST_F(FileOps, MissingThingsRaiseTheClassicNumbers) {
  EXPECT_EQ(errorOf([] { fs::readAll("T:\\nothing.txt"); }), zv::kErrFileNotFound);
  EXPECT_EQ(errorOf([] { fs::fileSize("T:\\nothing.txt"); }), zv::kErrFileNotFound);
  EXPECT_EQ(errorOf([] { fs::deleteFile("T:\\nothing.txt"); }), zv::kErrFileNotFound);
  EXPECT_EQ(errorOf([] { fs::list("T:\\no\\such"); }), zv::kErrPathNotFound);
  EXPECT_EQ(errorOf([] { fs::makeFolder("T:\\no\\such"); }), zv::kErrPathNotFound);
  EXPECT_EQ(errorOf([] { fs::writeAllAtomically("T:\\no\\x.txt", "x"); }), zv::kErrPathNotFound);
  EXPECT_EQ(errorOf([] { fs::list("Y:\\"); }), zv::kErrDeviceUnavailable);
  EXPECT_FALSE(fs::exists("Y:\\x"));  // questions answer instead of raising
  EXPECT_EQ(errorOf([] { fs::LineReader("T:\\nothing.txt"); }), zv::kErrFileNotFound);
}

TEST_F(FileOps, ExistingTargetsRaise58And75) {
  dir.write("a.txt", "A");
  dir.write("b.txt", "B");
  dir.mkdir("Temp");
  EXPECT_EQ(errorOf([] { fs::rename("T:\\a.txt", "T:\\B.TXT"); }), zv::kErrFileExists);
  EXPECT_EQ(errorOf([] { fs::makeFolder("T:\\TEMP"); }), zv::kErrPathFileAccess);
  dir.write("Temp/x", "x");
  EXPECT_EQ(errorOf([] { fs::removeFolder("T:\\temp"); }), zv::kErrPathFileAccess);
  EXPECT_EQ(readFile(dir / "a.txt"), "A");
  EXPECT_EQ(readFile(dir / "b.txt"), "B");
}

TEST_F(FileOps, DeniedWritesRaise70AndKeepTheFile) {
  using zv::test::withoutFilePermissionOverride;
  std::string file = dir.write("ro/keep.txt", "old");
  chmod(file.c_str(), 0444);
  EXPECT_EQ(withoutFilePermissionOverride(
                [] { return errorOf([] { fs::writeAllAtomically("T:\\ro\\keep.txt", "new"); }); }),
            zv::kErrPermissionDenied);
  chmod((dir / "ro").c_str(), 0555);
  EXPECT_EQ(withoutFilePermissionOverride(
                [] { return errorOf([] { fs::deleteFile("T:\\ro\\keep.txt"); }); }),
            zv::kErrPermissionDenied);
  // Folders made, removed or renamed inside a read-only folder are refused for the same cause.
  chmod((dir / "ro").c_str(), 0755);
  dir.mkdir("ro/sub");
  dir.write("ro/other.txt", "o");
  chmod((dir / "ro").c_str(), 0555);
  EXPECT_EQ(
      withoutFilePermissionOverride([] { return errorOf([] { fs::makeFolder("T:\\ro\\new"); }); }),
      zv::kErrPermissionDenied);
  EXPECT_EQ(withoutFilePermissionOverride(
                [] { return errorOf([] { fs::removeFolder("T:\\ro\\sub"); }); }),
            zv::kErrPermissionDenied);
  EXPECT_EQ(withoutFilePermissionOverride([] {
              return errorOf([] { fs::rename("T:\\ro\\other.txt", "T:\\ro\\renamed.txt"); });
            }),
            zv::kErrPermissionDenied);
  EXPECT_FALSE(std::filesystem::exists(dir / "ro/new"));
  EXPECT_TRUE(std::filesystem::exists(dir / "ro/sub"));
  EXPECT_EQ(readFile(dir / "ro/other.txt"), "o");
  EXPECT_EQ(readFile(file), "old");
  // The same steps succeed once the folder and the file allow them again.
  chmod((dir / "ro").c_str(), 0755);
  chmod(file.c_str(), 0644);
  EXPECT_EQ(withoutFilePermissionOverride(
                [] { return errorOf([] { fs::writeAllAtomically("T:\\ro\\keep.txt", "new"); }); }),
            0);
  EXPECT_EQ(readFile(file), "new");
}

TEST_F(FileOps, RenameMayChangeOnlyTheCase) {
  dir.write("readme.txt", "R");
  fs::rename("T:\\readme.txt", "T:\\README.TXT");
  EXPECT_EQ(readFile(dir / "README.TXT"), "R");
  EXPECT_FALSE(std::filesystem::exists(dir / "readme.txt"));
  fs::rename("T:\\readme.txt", "T:\\sub.txt");  // the source is found in any case too
  EXPECT_EQ(readFile(dir / "sub.txt"), "R");
}

TEST_F(FileOps, WritesAndCopiesReplaceAtomically) {
  fs::writeAllAtomically("T:\\ZORVEX.INI", "one");
  EXPECT_EQ(readFile(dir / "ZORVEX.INI"), "one");
  fs::writeAllAtomically("T:\\zorvex.ini", "two");  // the existing file, in any case
  EXPECT_EQ(readFile(dir / "ZORVEX.INI"), "two");
  EXPECT_FALSE(std::filesystem::exists(dir / "zorvex.ini"));

  std::string src = dir.write("src.bin", std::string(200000, 'x'));
  struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  utimensat(AT_FDCWD, src.c_str(), times, 0);
  fs::copyFile("T:\\src.bin", "T:\\copy.bin");
  EXPECT_EQ(readFile(dir / "copy.bin"), readFile(src));
  EXPECT_EQ(fs::modifiedTime("T:\\copy.bin"), 1000000000);
  // A failed copy leaves the old target and no temporary file.
  dir.write("target.txt", "keep");
  EXPECT_EQ(errorOf([] { fs::copyFile("T:\\missing", "T:\\target.txt"); }), zv::kErrFileNotFound);
  EXPECT_EQ(readFile(dir / "target.txt"), "keep");
  EXPECT_EQ(fs::list("T:\\").size(), 4u);
}

TEST_F(FileOps, ListSortsWithoutCaseAndDecodesNames) {
  dir.write("b.txt", "bb");
  dir.write("A.txt", "a");
  dir.write(".hidden", "");
  dir.mkdir("Cfolder");
  dir.write("\x8E\xA9\x8C\xC8.txt", "j");  // "自己" in CP932
  auto entries = fs::list("T:\\");
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].name, ".hidden");
  EXPECT_TRUE(entries[0].hidden);
  EXPECT_EQ(entries[1].name, "A.txt");
  EXPECT_EQ(entries[2].name, "b.txt");
  EXPECT_EQ(entries[2].size, 2u);
  EXPECT_EQ(entries[3].name, "Cfolder");
  EXPECT_TRUE(entries[3].folder);
  EXPECT_EQ(entries[4].name, "自己.txt");
  EXPECT_EQ(fs::readAll("T:\\自己.txt"), "j");
}

TEST_F(FileOps, JapaneseFolderNameRoundTrip) {
  fs::makeFolder("T:\\自己解凍書庫");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "自己解凍書庫"));
  fs::writeAllAtomically("T:\\自己解凍書庫\\説明.txt", "x");
  std::string win = zv::windowsPath(dir / "自己解凍書庫/説明.txt");
  EXPECT_EQ(zv::hostPath(win), dir / "自己解凍書庫/説明.txt");
  EXPECT_TRUE(fs::isFile(win));
  EXPECT_TRUE(fs::isFolder("T:\\自己解凍書庫"));
  EXPECT_FALSE(fs::isFile("T:\\自己解凍書庫"));
}

TEST_F(FileOps, LineReaderRaises62PastTheEnd) {
  dir.write("list.txt", "one\r\ntwo\nthree\r\rfive");
  fs::LineReader in("T:\\list.txt");
  std::vector<std::string> lines;
  while (!in.atEnd()) lines.push_back(in.readLine());
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "", "five"}));
  EXPECT_EQ(errorOf([&] { in.readLine(); }), zv::kErrPastEndOfFile);
}

// A file on another file system goes to that file system's own trash instead of being deleted.
TEST_F(FileOps, TrashOnAnotherFileSystemUsesThatFileSystemsTrash) {
  struct stat here {
  }, shm{};
  if (stat(dir.path().c_str(), &here) != 0 || stat("/dev/shm", &shm) != 0 ||
      here.st_dev == shm.st_dev || access("/dev/shm", W_OK) != 0)
    GTEST_SKIP() << "no second writable file system at /dev/shm";
  TempDir data;
  char tmpl[] = "/dev/shm/zv-trash-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string folder = tmpl;
  std::string name = folder.substr(folder.rfind('/') + 1) + ".txt";
  { std::ofstream(folder + "/" + name) << "kept"; }
  zv::DriveTable::instance().set('U', folder);
  setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  bool trashed = fs::moveToTrash("U:\\" + name);
  unsetenv("XDG_DATA_HOME");
  zv::DriveTable::instance().remove('U');
  std::string trash = "/dev/shm/.Trash-" + std::to_string(getuid());
  std::string kept = readFile(trash + "/files/" + name);
  std::string info = readFile(trash + "/info/" + name + ".trashinfo");
  std::filesystem::remove(trash + "/files/" + name);
  std::filesystem::remove(trash + "/info/" + name + ".trashinfo");
  std::filesystem::remove_all(folder);
  EXPECT_TRUE(trashed);
  EXPECT_EQ(kept, "kept");
  // Paths in a file system's own trash are relative to its top folder.
  EXPECT_NE(info.find("Path=" + folder.substr(strlen("/dev/shm/")) + "/" + name), std::string::npos)
      << info;
}

TEST_F(FileOps, TrashTakesAFileOfTheHomeFileSystemAndNoTrashLeavesItAlone) {
  TempDir data;
  setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  dir.write("gone.txt", "g");
  dir.write("kept.txt", "k");
  std::string folder = fs::trashFolderFor("T:\\gone.txt");
  bool madeByAsking = std::filesystem::exists(data / "Trash");  // only a move makes it
  bool trashed = fs::moveToTrash("T:\\gone.txt");
  fs::simulateNoTrash(true);
  std::string none = fs::trashFolderFor("T:\\kept.txt");
  bool kept = !fs::moveToTrash("T:\\kept.txt");
  fs::simulateNoTrash(false);
  unsetenv("XDG_DATA_HOME");
  struct stat a {
  }, b{};
  bool sameDevice = stat(data.path().c_str(), &a) == 0 && stat(dir.path().c_str(), &b) == 0 &&
                    a.st_dev == b.st_dev;
  EXPECT_FALSE(madeByAsking);
  EXPECT_TRUE(trashed);
  EXPECT_FALSE(std::filesystem::exists(dir / "gone.txt"));
  if (sameDevice) {
    EXPECT_EQ(folder, data / "Trash");
    EXPECT_EQ(readFile(data / "Trash/files/gone.txt"), "g");
    EXPECT_NE(readFile(data / "Trash/info/gone.txt.trashinfo").find("Path=" + dir / "gone.txt"),
              std::string::npos);
  }
  EXPECT_EQ(none, "");
  EXPECT_TRUE(kept);
  EXPECT_EQ(readFile(dir / "kept.txt"), "k");
}
