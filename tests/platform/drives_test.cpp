#include "platform/drives.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/fileops.h"
#include "platform/runtime_error.h"
#include "tests/support/temp_dir.h"
#include "tests/support/without_file_override.h"

using zv::DriveTable;
using zv::RuntimeError;
using zv::test::TempDir;

namespace {
int errorOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}
}  // namespace

TEST(DriveTable, DefaultsMapCToTheRoot) {
  DriveTable t;
  t.loadDefaults();
  ASSERT_TRUE(t.hostRoot('C'));
  EXPECT_EQ(*t.hostRoot('c'), "/");
  EXPECT_EQ(t.letters().front(), 'C');
  EXPECT_EQ(t.toHost("C:\\usr\\bin"), "/usr/bin");
  EXPECT_EQ(t.toWindows("/usr/bin"), "C:\\usr\\bin");
  EXPECT_EQ(t.toWindows("/"), "C:\\");
}

TEST(DriveTable, ComponentsResolveWithoutRegardToCase) {
  TempDir dir;
  dir.mkdir("Temp/Sub");
  dir.write("Temp/Sub/Read Me.TXT", "x");
  DriveTable t;
  t.set('P', dir.path());
  EXPECT_EQ(t.toHost("P:\\TEMP"), dir / "Temp");
  EXPECT_EQ(t.toHost("P:\\temp\\"), dir / "Temp");
  EXPECT_EQ(t.toHost("p:/tEmP/sub/read me.txt"), dir / "Temp/Sub/Read Me.TXT");
  EXPECT_EQ(t.toHost("\"P:\\temp\\sub\""), dir / "Temp/Sub");
  // New entries keep the case as written, and so does everything below them.
  EXPECT_EQ(t.toHost("P:\\temp\\New\\Deeper"), dir / "Temp/New/Deeper");
  EXPECT_EQ(t.toHost("P:\\temp\\.\\sub\\..\\SUB"), dir / "Temp/Sub");
  // ".." stops at the drive's root.
  EXPECT_EQ(t.toHost("P:\\..\\..\\temp"), dir / "Temp");
}

TEST(DriveTable, ExactMatchWinsOverCaseVariants) {
  TempDir dir;
  dir.mkdir("temp");
  dir.mkdir("TEMP");
  DriveTable t;
  t.set('P', dir.path());
  EXPECT_EQ(t.toHost("P:\\TEMP"), dir / "TEMP");
  EXPECT_EQ(t.toHost("P:\\temp"), dir / "temp");
  EXPECT_EQ(t.toHost("P:\\Temp"), dir / "TEMP");  // byte order picks one, always the same
}

// A window checking many names in one run lists each folder once: the folder as it was
// then, less what is gone since, plus what the run notes it made. Without the memo every
// lookup sees the folder as it is.
TEST(DriveTable, CaseLookupMemoSeesTheFolderAsFirstListedPlusWhatTheRunMade) {
  TempDir dir;
  dir.write("Box/Old.TXT", "x");
  DriveTable t;
  t.set('P', dir.path());
  {
    zv::CaseLookupMemo memo;
    zv::CaseLookupMemo nested;  // the outer one stays in charge
    EXPECT_EQ(t.toHost("P:\\box\\old.txt"), dir / "Box/Old.TXT");
    dir.write("Box/Made.TXT", "x");
    dir.write("Box/Other.TXT", "x");
    EXPECT_EQ(t.toHost("P:\\box\\made.txt"), dir / "Box/made.txt");  // not listed again
    zv::CaseLookupMemo::noteMade(dir / "Box/Made.TXT");
    EXPECT_EQ(t.toHost("P:\\box\\made.txt"), dir / "Box/Made.TXT");
    ASSERT_EQ(::rename((dir / "Box/Old.TXT").c_str(), (dir / "Box/Kept.TXT").c_str()), 0);
    EXPECT_EQ(t.toHost("P:\\box\\old.txt"), dir / "Box/old.txt");  // gone: kept as written
  }
  ASSERT_EQ(::rename((dir / "Box").c_str(), (dir / "Crate").c_str()), 0);
  EXPECT_EQ(t.toHost("P:\\crate\\other.txt"), dir / "Crate/Other.TXT");
}

TEST(DriveTable, MissingOrUnknownDriveIsNotReady) {
  TempDir dir;
  DriveTable t;
  t.set('E', dir / "gone");
  EXPECT_FALSE(t.ready('E'));
  EXPECT_FALSE(t.ready('Q'));
  EXPECT_EQ(errorOf([&] { t.toHost("E:\\x"); }), zv::kErrDeviceUnavailable);
  EXPECT_EQ(errorOf([&] { t.toHost("Q:\\"); }), zv::kErrDeviceUnavailable);
  dir.mkdir("gone");
  EXPECT_TRUE(t.ready('E'));
  EXPECT_EQ(t.toHost("E:\\x"), dir / "gone/x");
}

TEST(DriveTable, UnreadableFolderIsNotReady) {
  TempDir dir;
  std::string locked = dir.mkdir("locked");
  DriveTable t;
  t.set('E', locked);
  const auto ready = [&] { return int(t.ready('E')); };
  EXPECT_EQ(zv::test::withoutFilePermissionOverride(ready), 1);
  chmod(locked.c_str(), 0);
  EXPECT_EQ(zv::test::withoutFilePermissionOverride(ready), 0);
}

TEST(DriveTable, LongestHostPrefixNamesTheDrive) {
  TempDir dir;
  dir.mkdir("share/sub");
  DriveTable t;
  t.set('C', "/");
  t.set('D', dir / "share");
  EXPECT_EQ(t.toWindows(dir / "share/sub"), "D:\\sub");
  EXPECT_EQ(t.toWindows(dir / "share"), "D:\\");
  EXPECT_EQ(t.toWindows(dir / "shared"), t.toWindows(dir.path()) + "\\shared");
  EXPECT_EQ(t.toWindows(dir / "share/../x"), t.toWindows(dir.path()) + "\\x");
}

// "/home/me/out" as a Linux user types it, wherever the windows take a typed path.
TEST(DriveTable, TypedHostPathsTakeTheProgramsForm) {
  TempDir dir;
  DriveTable::instance().set('Q', dir.path());
  EXPECT_EQ(zv::typedPath(dir / "out"), "Q:\\out");
  EXPECT_EQ(zv::typedPath(dir / "out/"), "Q:\\out\\");
  EXPECT_EQ(zv::typedPath(dir.path() + "/"), "Q:\\");
  for (const char* kept : {"Q:\\out", "out\\sub", "", "C:/x/"})
    EXPECT_EQ(zv::typedPath(kept), kept);
  DriveTable::instance().remove('Q');
}

TEST(DriveTable, SettingsFileAddsAndOverridesLetters) {
  TempDir dir;
  dir.mkdir("srv");
  std::string ini = dir.write("ZORVEX.INI", "[Option]\r\nMode=5\r\n[drives]\r\nd = " + dir / "srv" +
                                                "\r\nC:=" + dir.path() + "\r\nE=\r\nbad=/x\r\n");
  DriveTable t;
  t.set('E', "/");
  t.loadOverrides(ini);
  EXPECT_EQ(*t.hostRoot('D'), dir / "srv");
  EXPECT_EQ(*t.hostRoot('C'), dir.path());
  EXPECT_FALSE(t.hostRoot('E'));  // an empty value removes a letter
  t.loadOverrides(dir / "missing.ini");
  EXPECT_EQ(*t.hostRoot('D'), dir / "srv");
}

TEST(DriveTable, JapaneseNamesOnDiskInCp932AreFound) {
  TempDir dir;
  // "表計算" in CP932: the second byte of 表 is 0x5C, which is no separator.
  dir.mkdir("\x95\x5C\x8C\x76\x8E\x5A");
  DriveTable t;
  t.set('P', dir.path());
  EXPECT_EQ(t.toHost("P:\\表計算"), dir / "\x95\x5C\x8C\x76\x8E\x5A");
  EXPECT_EQ(t.toWindows(dir / "\x95\x5C\x8C\x76\x8E\x5A"), "P:\\表計算");
}
