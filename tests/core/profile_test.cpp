#include "core/settings/profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/support/without_file_override.h"

using zv::Profile;
using zv::test::readFile;
using zv::test::TempDir;
using zv::test::withoutFilePermissionOverride;

TEST(Profile, MissingFileSectionOrKeyGivesTheDefault) {
  TempDir dir;
  Profile none(dir / "ZORVEX.INI");
  EXPECT_EQ(none.read("Option", "Mode", "5", 13), "5");
  // Reading a missing file leaves the folder as it was: no empty settings file appears.
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  dir.write("ZORVEX.INI", "[Option]\nMode=4\n");
  EXPECT_EQ(none.read("Other", "Mode", "x", 13), "x");
  EXPECT_EQ(none.read("Option", "Progress", "NO", 13), "NO");
  EXPECT_EQ(none.read("option", "MODE", "5", 13), "4");
  EXPECT_EQ(readFile(dir / "ZORVEX.INI"), "[Option]\nMode=4\n");  // reads never rewrite it
}

TEST(Profile, ValuesAreCutToBufferSizeMinusOne) {
  TempDir dir;
  std::string longPath = "C:\\" + std::string(600, 'p');
  dir.write("ZORVEX.INI",
            "[Option]\nMode=ABCDEFGHIJKLMNOP\nSFX = YES            \n[Comp1Dir]\nPath=" + longPath +
                "\n[ish]\nPath=C:\\日本語のフォルダ名\n");
  Profile p(dir / "ZORVEX.INI");
  EXPECT_EQ(p.read("Option", "Mode", "5", 13), "ABCDEFGHIJKL");
  EXPECT_EQ(p.read("Option", "SFX", "NO", 13), "YES");  // the blanks are not part of it
  EXPECT_EQ(p.read("Comp1Dir", "Path", "", 512), longPath.substr(0, 511));
  EXPECT_EQ(p.read("Option", "Missing", "0123456789ABCDEF", 13), "0123456789AB");
  EXPECT_EQ(p.read("ish", "Path", "", 8), "C:\\日本語の");  // characters, not bytes
}

TEST(Profile, ReadsAFileWrittenOnWindows) {
  TempDir dir;
  // CP932, CR LF: [Comp1Dir] Path=C:\表示\ソフト (both 表 and ソ end in the byte 0x5C).
  dir.write("ZORVEX.INI",
            "[Option]\r\nMode=6\r\n[Comp1Dir]\r\nPath=C:"
            "\\\x95\x5C\x8E\xA6\\\x83\x5C\x83\x74\x83\x67\r\n");
  Profile p(dir / "ZORVEX.INI");
  EXPECT_EQ(p.read("Comp1Dir", "Path", "", 512), "C:\\表示\\ソフト");
  EXPECT_EQ(p.read("Option", "Mode", "5", 13), "6");
  // A write keeps the CR LF line ends and every other line, now readable as UTF-8.
  p.write("Option", "Mode", "4");
  EXPECT_EQ(readFile(dir / "ZORVEX.INI"),
            "[Option]\r\nMode=4\r\n[Comp1Dir]\r\nPath=C:\\表示\\ソフト\r\n");
  EXPECT_EQ(p.read("Comp1Dir", "Path", "", 512), "C:\\表示\\ソフト");
}

TEST(Profile, WritesReplaceInPlaceAndKeepOtherLines) {
  TempDir dir;
  dir.write("ZORVEX.INI",
            "; my notes\n[Option]\nmode = 5\nVCheck=NO\n\n[WindowPosition]\nTop=100\n");
  Profile p(dir / "ZORVEX.INI");
  p.write("OPTION", "Mode", "6");
  p.write("Option", "SFX", "YES");
  p.write("DeComp3Dir", "Path", "C:\\展開先");
  EXPECT_EQ(readFile(dir / "ZORVEX.INI"),
            "; my notes\n[Option]\nmode=6\nVCheck=NO\nSFX=YES\n\n[WindowPosition]\nTop=100\n"
            "\n[DeComp3Dir]\nPath=C:\\展開先\n");
  // Only the file itself is left: the temporary file was renamed into place.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(Profile, EveryReadGoesToTheFile) {
  TempDir dir;
  Profile writer(dir / "ZORVEX.INI");
  Profile reader(dir / "ZORVEX.INI");
  writer.write("CompPosition", "Top", "1500");  // the first write creates the file
  EXPECT_EQ(reader.read("CompPosition", "Top", "300", 26), "1500");
  dir.write("ZORVEX.INI", "[CompPosition]\nTop=2000\n");  // changed behind our back
  EXPECT_EQ(reader.read("CompPosition", "Top", "300", 26), "2000");
}

TEST(Profile, FailedWritesAreQuietAndHarmless) {
  TempDir dir;
  Profile p(dir / "no/such/folder/ZORVEX.INI");
  p.write("Option", "Mode", "4");
  EXPECT_FALSE(p.writeChecked("Option", "Mode", "4"));
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
  // A value cannot smuggle in lines of its own.
  Profile q(dir / "ZORVEX.INI");
  q.write("Option", "Mode", "4\r\n[Drives]\r\nC=/etc");
  EXPECT_EQ(readFile(dir / "ZORVEX.INI"), "[Option]\nMode=4\n");
  EXPECT_TRUE(q.remove("option", "mode"));
  EXPECT_EQ(q.read("Option", "Mode", "5", 13), "5");
  // A file that exists but cannot be read is never replaced by one holding only the new key.
  const std::string kept = "[Option]\nMode=4\n[Drives]\nD=/data\n";
  dir.write("ZORVEX.INI", kept);
  std::filesystem::permissions(dir / "ZORVEX.INI", std::filesystem::perms::owner_write);
  EXPECT_EQ(withoutFilePermissionOverride([&] {
              return int(q.writeChecked("Option", "Mode", "5")) + 2 * int(q.remove("Drives", "D"));
            }),
            0);
  std::filesystem::permissions(dir / "ZORVEX.INI", std::filesystem::perms::owner_read,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(readFile(dir / "ZORVEX.INI"), kept);
}
