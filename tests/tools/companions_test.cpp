// Each companion takes a Linux path the way the windows take a typed one: a destination given
// as "/home/me/out" is that folder, with or without a trailing slash where the command allows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/support/tool_locale.h"

namespace zv::test {
namespace {

int run(const std::string& command) {
  return std::system(inToolLocale(command + " >/dev/null 2>&1").c_str());
}

TEST(Companions, LinuxDestinationFoldersReceiveTheFiles) {
  TempDir root;
  root.write("src/memo.txt", "memo\r\n");
  root.mkdir("ish");
  root.mkdir("lzh");
  root.mkdir("zip");
  const std::string src = root / "src/memo.txt";

  // The folder without a trailing slash: the ISH file goes inside it, not beside it.
  EXPECT_EQ(run(std::string(ZV_ZISH) + " '" + src + "' /ss memo.ish '/f=" + root / "ish" + "'"), 0);
  EXPECT_TRUE(std::filesystem::exists(root / "ish/memo.ish"));

  EXPECT_EQ(run(std::string(ZV_ZLHA) + " a -n1 '" + root / "a.lzh" + "' '" + src + "'"), 0);
  EXPECT_EQ(run(std::string(ZV_ZLHA) + " x -n1 '" + root / "a.lzh" + "' '" + root / "lzh/" + "'"),
            0);
  EXPECT_EQ(readFile(root / "lzh/memo.txt"), "memo\r\n");

  ASSERT_EQ(run("cd '" + root / "src" + "' && zip -q '" + root / "a.zip" + "' memo.txt"), 0);
  EXPECT_EQ(run(std::string(ZV_ZUNZIP) + " -x '" + root / "a.zip" + "' '" + root / "zip/" + "'"),
            0);
  EXPECT_EQ(readFile(root / "zip/memo.txt"), "memo\r\n");

  // Nothing lands beside the folders under a name holding a backslash.
  for (const auto& e : std::filesystem::directory_iterator(root.path()))
    EXPECT_EQ(e.path().filename().string().find('\\'), std::string::npos) << e.path();
}

}  // namespace
}  // namespace zv::test
