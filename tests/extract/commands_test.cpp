// The archive text of the extraction commands, the member path gate and the kept file.
#include <gtest/gtest.h>

#include "extract/extract_commands.h"
#include "extract/kept_file.h"
#include "extract/member_paths.h"
#include "platform/drives.h"
#include "tests/support/temp_dir.h"

namespace zv::extract {
namespace {

TEST(ExtractCommands, ArchiveTextFollowsTheStartMode) {
  EXPECT_EQ(lhaArchiveText("Command", "C:\\DL\\x.lzh", "\"C:\\other.lzh\""), "C:\\DL\\x.lzh");
  EXPECT_EQ(lhaArchiveText("", "C:\\DL\\x.lzh", "\"C:\\other.lzh\""), "\"C:\\other.lzh\"");
}

TEST(ExtractCommands, LowerCaseTouchesOnlyAsciiLetters) {
  EXPECT_EQ(lowerAscii("ABC\\日本語ＡＢ.TXT"), "abc\\日本語ＡＢ.txt");
  EXPECT_EQ(trimBlanks("  a b  "), "a b");
  EXPECT_EQ(trimBlanks("   "), "");
}

// The window judges a listed LZH name as the library does before writing it: a root and a
// stored drive are dropped, what would still leave the folder is refused.
TEST(MemberPaths, HostileNamesAreRefused) {
  for (const char* bad : {"..\\x.txt", "a/../../x", "..", "c:x", "a:b.txt", "C:\\D:\\x", "sub\\..",
                          "", "/", "\\\\", "bell\a.txt"}) {
    EXPECT_FALSE(relativeMemberName(bad).has_value()) << bad;
  }
  EXPECT_FALSE(relativeMemberName(std::string(300, 'n')).has_value());
  EXPECT_EQ(relativeMemberName("/etc/passwd"), "etc\\passwd");
  EXPECT_EQ(relativeMemberName("\\sub\\a.txt"), "sub\\a.txt");
  EXPECT_EQ(relativeMemberName("C:\\Windows\\x.dll"), "Windows\\x.dll");
  EXPECT_EQ(relativeMemberName("ab:c.txt"), "ab:c.txt");
  EXPECT_EQ(relativeMemberName("sub\\a:b.txt"), "sub\\a:b.txt");
  EXPECT_EQ(relativeMemberName("sub/./a.txt"), "sub\\a.txt");
  EXPECT_EQ(relativeMemberName("a..b.txt"), "a..b.txt");
  EXPECT_EQ(relativeMemberName("日本語\\表.txt"), "日本語\\表.txt");
}

TEST(MemberPaths, ALinkInTheDestinationPointingOutsideIsRefused) {
  test::TempDir dir;
  dir.mkdir("dest");
  dir.mkdir("elsewhere");
  std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "dest/link");
  DriveTable::instance().set('Q', dir.path());
  EXPECT_EQ(memberPathUnder("Q:\\dest\\", "sub\\a.txt"), "Q:\\dest\\sub\\a.txt");
  EXPECT_EQ(memberPathUnder("Q:\\dest", "/a.txt"), "Q:\\dest\\a.txt");
  EXPECT_FALSE(memberPathUnder("Q:\\dest\\", "link\\a.txt").has_value());
  EXPECT_FALSE(memberPathUnder("Q:\\dest\\", "..\\elsewhere\\a.txt").has_value());
  // One run's places: each folder followed once, a link at the name itself always followed.
  dir.write("elsewhere/x.txt", "theirs");
  std::filesystem::create_symlink(dir / "elsewhere/x.txt", dir / "dest/out.txt");
  MemberPlaces places("Q:\\dest");
  EXPECT_EQ(places.under("a.txt"), "Q:\\dest\\a.txt");
  EXPECT_FALSE(places.under("out.txt").has_value());
  EXPECT_FALSE(places.under("link\\b.txt").has_value());
  EXPECT_EQ(places.under("b.txt"), "Q:\\dest\\b.txt");
  EXPECT_FALSE(places.under("link\\c.txt").has_value());
  DriveTable::instance().remove('Q');
}

TEST(KeptFile, OldFileComesBackWhenTheReplacementIsMissingOrTheRunFailed) {
  test::TempDir dir;
  DriveTable::instance().set('Q', dir.path());
  dir.write("a.txt", "old");
  {
    KeptFile kept("Q:\\a.txt");
    EXPECT_TRUE(kept.keeping());
    EXPECT_FALSE(std::filesystem::exists(dir / "a.txt"));
    dir.write("a.txt", "half");
    kept.restore();
  }
  EXPECT_EQ(test::readFile(dir / "a.txt"), "old");
  {
    KeptFile kept("Q:\\a.txt");
    kept.commit();  // the library succeeded but wrote nothing: the old file stays
  }
  EXPECT_EQ(test::readFile(dir / "a.txt"), "old");
  {
    KeptFile kept("Q:\\a.txt");
    dir.write("a.txt", "new");
    kept.commit();
  }
  EXPECT_EQ(test::readFile(dir / "a.txt"), "new");
  { KeptFile forgotten("Q:\\a.txt"); }  // neither commit nor restore: the file comes back
  EXPECT_EQ(test::readFile(dir / "a.txt"), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  KeptFile none("Q:\\missing.txt");
  EXPECT_FALSE(none.keeping());
  DriveTable::instance().remove('Q');
}

}  // namespace
}  // namespace zv::extract
