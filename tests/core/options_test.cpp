#include "core/settings/options.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace options = zv::options;
using zv::Profile;
using zv::Shared;
using zv::test::TempDir;

TEST(Options, MissingFileGivesTheDefaults) {
  TempDir dir;
  Profile p(dir / "ZORVEX.INI");
  Shared s;
  options::readMenuOptions(p, s);
  options::readVCheck(p, s);
  EXPECT_EQ(s.PackMode, "UPDATE");
  EXPECT_EQ(s.ShowExtractProgress, "NO");
  EXPECT_EQ(s.ShowCompressProgress, "NO");
  EXPECT_EQ(s.CustomizeSfx, "NO");
  EXPECT_EQ(s.VersionCheck, "YES");
  EXPECT_EQ(s.OpenFileUtility, "YES");
  EXPECT_EQ(s.DirectoryMode, "NO");
  EXPECT_EQ(s.SameFolder, "NO");
  EXPECT_EQ(s.OverwriteAll, "NO");
}

TEST(Options, FixedValuesMapAndUnknownOnesLeaveTheValue) {
  TempDir dir;
  Profile p(dir / "ZORVEX.INI");
  Shared s;
  const std::pair<const char*, const char*> modes[] = {
      {"4", "ADD"}, {"5", "UPDATE"}, {"6", "MOVE"}};
  for (auto [stored, word] : modes) {
    p.write("Option", "Mode", stored);
    options::readMode(p, s);
    EXPECT_EQ(s.PackMode, word);
  }
  const std::pair<const char*, const char*> dirs[] = {{"1", "NO"}, {"2", "YES"}, {"3", "ALL"}};
  for (auto [stored, word] : dirs) {
    p.write("Option", "WithDirectory", stored);
    options::readWithDirectory(p, s);
    EXPECT_EQ(s.DirectoryMode, word);
  }
  p.write("Option", "Mode", "7");
  p.write("Option", "WithDirectory", "0");
  options::readMode(p, s);
  options::readWithDirectory(p, s);
  EXPECT_EQ(s.PackMode, "MOVE");
  EXPECT_EQ(s.DirectoryMode, "ALL");
  Shared fresh;
  options::readMode(p, fresh);
  EXPECT_EQ(fresh.PackMode, "");  // nothing set it before
}

TEST(Options, YesNoTextIsStoredAsWritten) {
  TempDir dir;
  dir.write("ZORVEX.INI", "[Option]\nOVERWRITE=yes\nSAMEFOLDER=YES   \nFileUtility=NO\n");
  Profile p(dir / "ZORVEX.INI");
  Shared s;
  options::readMenuOptions(p, s);
  EXPECT_EQ(s.OverwriteAll, "yes");
  EXPECT_FALSE(s.OverwriteAll.yes());
  EXPECT_FALSE(s.OverwriteAll.no());  // neither: the windows that tell three cases apart skip it
  EXPECT_EQ(s.SameFolder, "YES");
  EXPECT_TRUE(s.SameFolder.yes());
  EXPECT_EQ(s.OpenFileUtility, "NO");
}
