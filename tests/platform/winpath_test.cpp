#include "platform/winpath.h"

#include <gtest/gtest.h>

using namespace zv::winpath;

TEST(WinPath, JoinAddsOneSeparatorOnlyWhenMissing) {
  EXPECT_EQ(join("C:\\data", "a.lzh"), "C:\\data\\a.lzh");
  EXPECT_EQ(join("C:\\", "a.lzh"), "C:\\a.lzh");
  EXPECT_EQ(join("C:\\data\\", "a.lzh"), "C:\\data\\a.lzh");
  EXPECT_EQ(join("C:/data/", "a.lzh"), "C:/data/a.lzh");
}

TEST(WinPath, DriveRootsAndDriveLetters) {
  EXPECT_TRUE(isDriveRoot("C:\\"));
  EXPECT_TRUE(isDriveRoot("d:"));
  EXPECT_TRUE(isDriveRoot("C:/"));
  EXPECT_FALSE(isDriveRoot("C:\\x"));
  EXPECT_FALSE(isDriveRoot("\\"));
  EXPECT_EQ(driveOf("c:\\x\\y"), "c:");
  EXPECT_EQ(driveOf("d: [DATA]"), "d:");  // a drive list entry
  EXPECT_EQ(driveOf(""), ":");
  EXPECT_EQ(driveRoot('E'), "E:\\");
  EXPECT_TRUE(hasDrive("z:foo"));
  EXPECT_FALSE(hasDrive("1:\\"));
}

TEST(WinPath, TrailingSeparatorsKeepTheDriveRoot) {
  EXPECT_EQ(withoutTrailingSeparator("C:\\data\\"), "C:\\data");
  EXPECT_EQ(withoutTrailingSeparator("C:\\"), "C:\\");
  EXPECT_EQ(withoutTrailingSeparator("C:"), "C:\\");
  EXPECT_EQ(withTrailingSeparator("C:\\data"), "C:\\data\\");
  EXPECT_EQ(withTrailingSeparator("C:\\data\\\\"), "C:\\data\\");
  EXPECT_EQ(withTrailingSeparator("C:\\"), "C:\\");
}

TEST(WinPath, ParentTailSplitIgnoresATrailingSeparator) {
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(splitParentTail("C:\\data\\proj"), P("C:\\data\\", "proj"));
  EXPECT_EQ(splitParentTail("C:\\data\\proj\\"), P("C:\\data\\", "proj"));
  EXPECT_EQ(splitParentTail("C:/data/proj"), P("C:\\data\\", "proj"));
  EXPECT_EQ(splitParentTail("C:\\proj"), P("C:\\", "proj"));
  EXPECT_EQ(splitParentTail("C:\\"), P("C:\\", ""));
  EXPECT_EQ(parentFolder("C:\\data\\proj\\a.txt"), "C:\\data\\proj");
  EXPECT_EQ(parentFolder("C:\\a.txt"), "C:\\");
  EXPECT_EQ(fileName("C:\\data\\a.txt"), "a.txt");
  EXPECT_EQ(fileName("C:/data/a.txt"), "a.txt");
}

TEST(WinPath, BothSeparatorsSplitComponents) {
  EXPECT_EQ(components("C:\\a/b\\\\c\\"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(normalize("C:/a/b"), "C:\\a\\b");
  EXPECT_TRUE(samePath("c:/Data/", "C:\\DATA"));
  EXPECT_FALSE(samePath("C:\\data1", "C:\\data"));
}

TEST(WinPath, QuotesAreCharacterCode34) {
  EXPECT_EQ(quote("C:\\a b.lzh"), "\"C:\\a b.lzh\"");
  EXPECT_EQ(unquote("\"C:\\a b.lzh\""), "C:\\a b.lzh");
  EXPECT_EQ(unquote("C:\\a.lzh"), "C:\\a.lzh");
  EXPECT_EQ(unquote("\""), "\"");
}
