// The execute, new-folder and self-extracting buttons.
#include <filesystem>

#include "platform/drives.h"
#include "tests/fileutil/file_utility_fixture.h"
#include "zorvex/archiver_api.h"

namespace zv::test {
namespace {

TEST_F(FileUtilityTest, ExecuteOpensThePressedFileAndNothingForAFolder) {
  write("up/a.txt", "a");
  open();
  release("Image6");
  EXPECT_FALSE(services.called("open"));
  press("File1", "a.txt");
  release("Image6");
  EXPECT_TRUE(services.called("open Q:\\up\\a.txt"));
}

TEST_F(FileUtilityTest, NewFolderOpensTheDialogOnTheLowerFolder) {
  open();
  release("Image3");
  Form& dialog = app->forms.get(zv::windows::kNewFolder);
  EXPECT_TRUE(dialog.visible());
  EXPECT_EQ(dialog.caption(), "新規フォルダの作成");
  EXPECT_EQ(dialog.c("Label1").caption(), "新しく作成するフォルダ名：");
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\down\\");
  // While it is open the dialog's target path follows the lower pane.
  dialog.c("Text1").setText("new");
  ctl("Dir2").setPath("Q:\\");
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\new");
  ctl("Dir1").setPath("Q:\\prog");
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\new");
}

TEST_F(FileUtilityTest, SelfExtractingArchiveCommandFollowsTheCustomiseOption) {
  write("up/archive.Lzh", "x");
  open();
  press("File1", "archive.Lzh");
  release("Image12");
  app->shared.CustomizeSfx = "YES";
  release("Image12");
  app->shared.CustomizeSfx = "yes";  // only the exact word offers the dialog
  release("Image12");
  EXPECT_EQ(fakes->lha().commands(),
            (std::vector<std::string>{
                "s -jw4 -jyo \"Q:\\up\\archive.Lzh\" \"Q:\\prog\\自己解凍書庫\\\"",
                "s -jw3 -jyo \"Q:\\up\\archive.Lzh\" \"Q:\\prog\\自己解凍書庫\\\"",
                "s -jw4 -jyo \"Q:\\up\\archive.Lzh\" \"Q:\\prog\\自己解凍書庫\\\""}));
  auto calls = fakes->lha().calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_FALSE(calls.back().hadBuffer);
  EXPECT_EQ(calls.back().bufferSize, 0u);
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\prog\\自己解凍書庫");
  EXPECT_TRUE(services.messages.empty());
}

// A self-extracting archive the library could not make is said so, with the cause; the lower
// pane still goes to the folder. A cancel in the library's own dialog is not a failure.
TEST_F(FileUtilityTest, SelfExtractingArchiveFailureIsNamed) {
  write("up/archive.lzh", "x");
  open();
  press("File1", "archive.lzh");
  fakes->lha().queueResults({ZV_ERROR_READ_ONLY, ZV_ERROR_USER_CANCEL});
  release("Image12");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "自己解凍ファイルの作成中にエラーが生じました\r\n原因： "
            "書き込み権限がありません（読み取り専用のフォルダかファイルです）");
  EXPECT_EQ(services.messages[0].title, "自己解凍ファイルの作成");
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\prog\\自己解凍書庫");
  release("Image12");
  EXPECT_EQ(services.messages.size(), 1u);
}

TEST_F(FileUtilityTest, SelfExtractingArchiveNeedsAnLzhName) {
  write("up/archive.lzh.txt", "x");
  open();
  press("File1", "archive.lzh.txt");
  release("Image12");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "LZH ファイルを選択してください");
  EXPECT_EQ(services.messages[0].title, "自己解凍ファイルの作成");
  EXPECT_EQ(services.messages[0].icon, MsgIcon::Exclamation);
  EXPECT_TRUE(fakes->lha().commands().empty());
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\down");
}

#ifdef ZV_REAL_SYSTEM_DIR
TEST_F(FileUtilityTest, SelfExtractingArchiveWithTheRealLibrary) {
  if (!std::filesystem::exists(std::string(ZV_REAL_SYSTEM_DIR) + "/UNLHA32.DLL"))
    GTEST_SKIP() << "UNLHA32.DLL not built";
  std::filesystem::copy_file(std::string(ZV_TEST_DATA) + "/lzh/lha213/lh5.lzh",
                             dir / "q/up/sample.lzh");
  archivers->setFolder(windowsPath(ZV_REAL_SYSTEM_DIR));
  open();
  press("File1", "sample.lzh");
  release("Image12");
  ASSERT_EQ(ctl("Dir2").path(), "Q:\\prog\\自己解凍書庫");
  ASSERT_EQ(ctl("File2").listCount(), 1);
  std::string made = ctl("File2").list(0);
  auto size = std::filesystem::file_size(dir / ("q/prog/自己解凍書庫/" + made));
  EXPECT_GT(size, std::filesystem::file_size(dir / "q/up/sample.lzh"));
  EXPECT_TRUE(std::filesystem::exists(dir / "q/up/sample.lzh"));
}
#endif

}  // namespace
}  // namespace zv::test
