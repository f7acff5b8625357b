// The ISH restore window: the restore command per mode, clipboard input and its work file.
#include <filesystem>

#include "core/settings/profile.h"
#include "tests/extract/extract_fixture.h"
#include "zorvex/archiver_api.h"

namespace zv::test {
namespace {

struct IshRestoreTest : ExtractTest {
  Form& restoreWindow() {
    selection();
    app.forms.show(zv::windows::kIshRestore);
    return app.forms.get(zv::windows::kIshRestore);
  }
  void press(Form& f) {
    f.c("Image4").mouseDown();
    f.c("Image4").mouseUp();
  }
};

TEST_F(IshRestoreTest, RestoreCommandPerModeEndsTheFlowInTheFileUtility) {
  app.shared.IshFile = "Q:\\my files\\A.ISH";
  Form& f = restoreWindow();
  EXPECT_FALSE(app.forms.get(zv::windows::kArchiveSelection).c("Command1").enabled());
  f.c("Dir1").setPath("Q:\\out");
  EXPECT_EQ(f.caption(), "ISH / 復元先：Q:\\out");
  f.c("Option3").click();
  press(f);
  EXPECT_EQ(sys.fakes.ish().commands(),
            std::vector<std::string>{"Q:\\my files\\A.ISH /q /f=Q:\\out"});
  EXPECT_FALSE(app.forms.loaded(zv::windows::kArchiveSelection));
  EXPECT_FALSE(app.forms.loaded(zv::windows::kIshRestore));
  EXPECT_FALSE(app.forms.loaded(zv::windows::kMenu));  // the selection window closed during the run
  EXPECT_FALSE(app.shared.RunInProgress);
  Form& util = app.forms.get(zv::windows::kFileUtility);
  EXPECT_EQ(util.caption(), "Zorvex 32+  -復元されたﾌｧｲﾙのﾘｽﾄです-");
  EXPECT_EQ(util.c("Dir1").path(), "Q:\\out");
  EXPECT_EQ(Profile(app.shared.IniFile).read("ish", "Path", "", 512), "Q:\\out");
}

TEST_F(IshRestoreTest, NewAndAllModesAndADriveRootDestination) {
  app.shared.IshFile = "Q:\\A.ISH";
  Form& f = restoreWindow();
  f.c("Dir1").setPath("Q:\\");
  press(f);
  EXPECT_EQ(sys.fakes.ish().commands().back(), "Q:\\A.ISH /r /f=Q:\\");
  Form& g = restoreWindow();
  g.c("Dir1").setPath("Q:\\out");
  g.c("Option2").click();
  press(g);
  EXPECT_EQ(sys.fakes.ish().commands().back(), "Q:\\A.ISH /a /f=Q:\\out");
}

// A restore the library could not do is said so, with the cause and the library's own report,
// and the flow still ends in the file utility; a cancel the user chose is not reported.
TEST_F(IshRestoreTest, FailedRestoreIsNamedAndTheFlowGoesOn) {
  app.shared.IshFile = "Q:\\A.ISH";
  sys.fakes.ish().queueResults({ZV_ERROR_READ_ONLY, ZV_ERROR_USER_CANCEL});
  sys.fakes.ish().setLastOutput("書き込めません: a.txt (Permission denied)\r\n");
  press(restoreWindow());
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "ISH ファイルの復元中にエラーが生じました\r\n原因： "
            "書き込み権限がありません（読み取り専用のフォルダかファイルです）\r\n\r\n"
            "書き込めません: a.txt (Permission denied)");
  EXPECT_EQ(services.messages[0].title, "ISH 復元");
  EXPECT_TRUE(app.forms.get(zv::windows::kFileUtility).visible());
  press(restoreWindow());
  EXPECT_EQ(services.messages.size(), 1u);
}

// Without the work folder the clipboard text cannot be saved; the invalid-data message then
// says that this, not the data, is why.
TEST_F(IshRestoreTest, AWorkFileThatCannotBeWrittenIsNamedAsTheCause) {
  services.expectedErrors = {kErrPathNotFound};
  Form& f = restoreWindow();
  std::filesystem::remove_all(root / "prog/Temp");
  services.clipboard = "begin ish";
  sys.fakes.ish().setCheckResult(0);
  f.c("Command4").click();
  EXPECT_EQ(services.messages.back().text,
            "有効なISHデータではありません\r\n原因： フォルダが見つかりません");
}

TEST_F(IshRestoreTest, ClipboardTextIsWrittenCheckedAndTheWorkFileRemovedOnClose) {
  root.mkdir("prog/temp");
  Form& f = restoreWindow();
  services.clipboard = "";
  sys.fakes.ish().setCheckResult(0);
  f.c("Command4").click();
  EXPECT_EQ(services.messages.back().text, "有効なISHデータではありません");
  EXPECT_EQ(services.messages.back().title, "エラーです");
  EXPECT_EQ(app.shared.IshFile, "Q:\\prog\\temp\\tmp$$$.ish");
  EXPECT_TRUE(exists("prog/temp/tmp$$$.ish"));
  EXPECT_EQ(std::filesystem::file_size(host("prog/temp/tmp$$$.ish")), 0u);
  EXPECT_FALSE(f.c("ImgOK").visible());

  services.clipboard = "<<< a.txt for ISH >>>\r\nline\r\n";
  sys.fakes.ish().setCheckResult(1);
  f.c("Command4").click();
  EXPECT_TRUE(f.c("ImgOK").visible());
  EXPECT_FALSE(f.c("ImgNO").visible());
  EXPECT_EQ(readFile(host("prog/temp/tmp$$$.ish")), services.clipboard);
  EXPECT_EQ(sys.fakes.ish().calls().back().text, "Q:\\prog\\temp\\tmp$$$.ish 1");

  f.c("Dir1").setPath("Q:\\out");
  app.shared.StartMode = "Command";
  f.c("Command2").click();
  EXPECT_FALSE(exists("prog/temp/tmp$$$.ish"));
  EXPECT_EQ(app.shared.StartMode, "");
  EXPECT_EQ(Profile(app.shared.IniFile).read("ish", "Path", "", 512), "Q:\\out");
  EXPECT_TRUE(app.forms.get(zv::windows::kArchiveSelection).c("Command1").enabled());
}

TEST_F(IshRestoreTest, OpeningTheIshFilterWithADoubleClickStartsWithoutAFile) {
  Form& sel = selection();
  sel.c("Option3").click();
  sel.c("Option3").dblClick();
  Form& f = app.forms.get(zv::windows::kIshRestore);
  EXPECT_TRUE(f.visible());
  EXPECT_EQ(app.shared.IshFile, "");
  EXPECT_FALSE(f.c("ImgOK").visible());
  EXPECT_TRUE(f.c("ImgNO").visible());
}

}  // namespace
}  // namespace zv::test
