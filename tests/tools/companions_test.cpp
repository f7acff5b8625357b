// Each companion takes a Linux path the way the windows take a typed one: a destination given
// as "/home/me/out" is that folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/support/tool_locale.h"

namespace zv::test {
namespace {

int run(const std::string& tool, const std::string& args) {
  return std::system(inToolLocale(tool + " " + args + " >/dev/null 2>&1").c_str());
}

TEST(Companions, LinuxDestinationFoldersReceiveTheFiles) {
  TempDir root;
  const std::string src = root.write("src/memo.txt", "memo\r\n");
  for (const char* folder : {"ish", "lzh", "zip"}) root.mkdir(folder);
  // Without a trailing slash the ISH file goes inside the folder, not beside it.
  EXPECT_EQ(run(ZV_ZISH, "'" + src + "' /ss memo.ish '/f=" + root / "ish" + "'"), 0);
  EXPECT_TRUE(std::filesystem::exists(root / "ish/memo.ish"));
  EXPECT_EQ(run(ZV_ZLHA, "a -n1 '" + root / "a.lzh" + "' '" + src + "'"), 0);
  EXPECT_EQ(run(ZV_ZLHA, "x -n1 '" + root / "a.lzh" + "' '" + root / "lzh/" + "'"), 0);
  EXPECT_EQ(readFile(root / "lzh/memo.txt"), "memo\r\n");
  ASSERT_EQ(std::system(("cd '" + root / "src" + "' && zip -q ../a.zip memo.txt").c_str()), 0);
  EXPECT_EQ(run(ZV_ZUNZIP, "-x '" + root / "a.zip" + "' '" + root / "zip/" + "'"), 0);
  EXPECT_EQ(readFile(root / "zip/memo.txt"), "memo\r\n");
  for (const auto& e : std::filesystem::directory_iterator(root.path()))
    EXPECT_EQ(e.path().filename().string().find('\\'), std::string::npos) << e.path();
}

}  // namespace
}  // namespace zv::test
