#include <gtest/gtest.h>

#include "compress_fixture.h"
#include "ui/common/path_list_combo.h"

namespace zv::test {
namespace {

class ArchiveCreation : public CompressTest {};

TEST_F(ArchiveCreation, OpensOnTopInTheRememberedFolder) {
  Form& c1 = comp1();
  c1.move(1000, 2000);
  Form& c2 = comp2();
  EXPECT_EQ(c2.left(), 1700);
  EXPECT_EQ(c2.top(), 2500);
  EXPECT_EQ(c2.c("Dir1").path(), "Q:\\out");
  EXPECT_EQ(c2.c("Label3").caption(), "Q:\\out");
  EXPECT_EQ(c2.c("Combo1").text(), "Q:\\out");
  EXPECT_EQ(c2.c("File1").pattern(), "*.lzh");
  EXPECT_EQ(c2.c("Label1").caption(), "作成する圧縮ファイルの名前を指定します");
  EXPECT_EQ(c2.c("Image2").picture(), "comp_create_lzh");
}

TEST_F(ArchiveCreation, TheNameMakesTheArchivePath) {
  Form& c2 = comp2();
  c2.c("Text1").userType("pack");
  EXPECT_EQ(c2.c("Label3").caption(), "Q:\\out\\pack.lzh");
  EXPECT_EQ(c2.c("Combo1").text(), "Q:\\out\\pack.lzh");
  c2.c("Text1").userType("");
  EXPECT_EQ(c2.c("Label3").caption(), "Q:\\out\\.lzh");
  c2.c("Dir1").setPath("Q:\\");
  EXPECT_EQ(c2.c("Label3").caption(), "Q:\\");
  c2.c("Text1").userType("root");
  EXPECT_EQ(c2.c("Label3").caption(), "Q:\\root.lzh");  // one backslash after the colon
}

TEST_F(ArchiveCreation, IshFormatAndPickingAnExistingArchive) {
  root.write("out/old.v2.ish", "x");
  root.write("out/noext", "x");
  comp1().c("Option5").click();
  Form& c2 = comp2();
  EXPECT_EQ(c2.c("Label1").caption(), "作成するISHファイルの名前を指定します");
  EXPECT_EQ(c2.c("Image2").picture(), "comp_create_ish");
  Control& files = c2.c("File1");
  ASSERT_EQ(files.items(), (std::vector<std::string>{"old.v2.ish"}));
  files.userSelect(0);
  EXPECT_EQ(c2.c("Text1").text(), "old");  // up to the first dot
  EXPECT_EQ(c2.c("Label3").caption(), "Q:\\out\\old.ish");
}

TEST_F(ArchiveCreation, SameFolderOpensInTheSourceFolder) {
  app.shared.SameFolder = "YES";
  Form& c2 = comp2();
  EXPECT_EQ(c2.c("Dir1").path(), "Q:\\src");
  EXPECT_EQ(c2.c("Combo1").text(), "Q:\\src");
}

TEST_F(ArchiveCreation, CloseReenablesTheSelectionWindowsClose) {
  Form& c2 = comp2();
  c2.c("Dir1").setPath("Q:\\src");
  c2.c("Command1").click();
  EXPECT_FALSE(app.forms.loaded(zv::windows::kArchiveCreation));
  EXPECT_TRUE(comp1().c("Command2").enabled());
  EXPECT_EQ(setting("Comp2Dir", "Path"), "Q:\\src");
}

TEST_F(ArchiveCreation, RegisterDeleteAndReloadTheRegisteredPaths) {
  Form& c2 = comp2();
  Control& combo = c2.c("Combo1");
  combo.userType("  Q:\\out  ");
  press(c2.c("Image5"));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "パスを登録しました");
  EXPECT_EQ(services.messages[0].title, "圧縮先パスの登録");
  combo.userType("Q:\\データ");
  press(c2.c("Image5"));
  combo.userType("Q:\\out");
  press(c2.c("Image5"));  // no duplicate check: a second entry
  EXPECT_GE(services.doEventsCount, 3);
  EXPECT_EQ(pathlist::readList("Q:\\prog\\ZORVEX2.DAT"),
            (std::vector<std::string>{"Q:\\out", "Q:\\データ", "Q:\\out"}));

  // Reloaded by a new window: blanks gone, Japanese unchanged.
  c2.c("Command1").click();
  Form& again = comp2();
  EXPECT_EQ(again.c("Combo1").items(),
            (std::vector<std::string>{"Q:\\out", "Q:\\データ", "Q:\\out"}));

  // Delete the second entry after confirming; Cancel keeps it.
  Control& list = again.c("Combo1");
  list.setListIndex(1);  // picking it moves nowhere: Q:\データ does not exist
  services.messages.clear();
  services.answers = {MsgAnswer::Cancel};
  press(again.c("Image4"));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "[Q:\\データ]\u3000削除してもいいですか");
  EXPECT_EQ(list.listCount(), 3);
  EXPECT_EQ(list.text(), "Q:\\out");  // the folder shown again after the delete button
  list.setListIndex(1);
  services.answers = {MsgAnswer::OK};
  press(again.c("Image4"));
  EXPECT_EQ(pathlist::readList("Q:\\prog\\ZORVEX2.DAT"),
            (std::vector<std::string>{"Q:\\out", "Q:\\out"}));
}

// The list file cannot be replaced (a folder stands where its temporary file goes): the
// message says why after its own text, and the entry is not kept.
TEST_F(ArchiveCreation, AListThatCannotBeSavedIsReportedWithItsCause) {
  root.mkdir("prog/ZORVEX2.$$$");
  Form& c2 = comp2();
  c2.c("Combo1").userType("Q:\\out");
  press(c2.c("Image5"));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "登録パスのリストを保存できませんでした\r\n原因： "
            "書き込み権限がありません（読み取り専用か，同じ名前のフォルダがあります）");
  EXPECT_EQ(c2.c("Combo1").listCount(), 0);
}

TEST_F(ArchiveCreation, EmptyTextAndTypedPathsChangeNothing) {
  Form& c2 = comp2();
  Control& combo = c2.c("Combo1");
  combo.userType("");
  press(c2.c("Image5"));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "登録するフォルダを入力してください");
  EXPECT_EQ(services.messages[0].title, "フォルダの登録");
  EXPECT_FALSE(std::filesystem::exists(root / "prog/ZORVEX2.DAT"));
  combo.userType("");
  press(c2.c("Image4"));
  EXPECT_EQ(services.messages.back().text, "削除するデータを選択してください");
  EXPECT_EQ(services.messages.back().title, "データの削除");

  combo.userType("Q:\\out");
  press(c2.c("Image5"));
  services.messages.clear();
  combo.userType("Q:\\typed");  // typed by hand: no item is selected
  press(c2.c("Image4"));
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(pathlist::readList("Q:\\prog\\ZORVEX2.DAT").size(), 1u);
}

TEST_F(ArchiveCreation, DeletingTheLastEntryLeavesOneEmptyRecord) {
  Form& c2 = comp2();
  c2.c("Combo1").userType("Q:\\out");
  press(c2.c("Image5"));
  c2.c("Combo1").setListIndex(0);
  services.answers = {MsgAnswer::OK};
  press(c2.c("Image4"));
  std::string bytes = readFile(root / "prog/ZORVEX2.DAT");
  ASSERT_EQ(bytes.size(), pathlist::kRecordSize);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\0\0", 2));
  c2.c("Command1").click();
  EXPECT_EQ(comp2().c("Combo1").listCount(), 0);
}

TEST_F(ArchiveCreation, ARegisteredArchivePathIsNotFoundUntilTheArchiveExists) {
  services.expectedErrors = {kErrPathNotFound};  // the archive is not a folder yet
  Form& c2 = comp2();
  c2.c("Text1").userType("pack");
  press(c2.c("Image5"));  // registers the full archive path, not only the folder
  EXPECT_EQ(pathlist::readList("Q:\\prog\\ZORVEX2.DAT"),
            (std::vector<std::string>{"Q:\\out\\pack.lzh"}));
  services.messages.clear();
  c2.c("Dir1").setPath("Q:\\src");
  c2.c("Combo1").setListIndex(0);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "登録されたパスが見つかりません.リストから削除してください．");
  EXPECT_EQ(c2.c("Dir1").path(), "Q:\\src");
  root.write("out/pack.lzh", "x");
  services.messages.clear();
  c2.c("Combo1").setListIndex(0);
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(c2.c("Dir1").path(), "Q:\\src");  // a file is no folder to move to
  c2.c("Combo1").userType("Q:\\out");
  press(c2.c("Image5"));
  c2.c("Combo1").setListIndex(1);
  EXPECT_EQ(c2.c("Dir1").path(), "Q:\\out");
}

TEST_F(ArchiveCreation, NewFolderOpensTheDialogBelowTheDestination) {
  Form& c2 = comp2();
  press(c2.c("Image1"));
  Form& dialog = app.forms.get(zv::windows::kNewFolder);
  EXPECT_TRUE(dialog.visible());
  EXPECT_EQ(dialog.caption(), "新規フォルダの作成 -圧縮-");
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\out\\");
  dialog.c("Text1").userType("made");
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\out\\made");
  c2.c("Dir1").setPath("Q:\\src");  // the open dialog follows the destination
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\src\\made");
  dialog.c("Command1").click();
  EXPECT_TRUE(std::filesystem::is_directory(root / "src/made"));
  EXPECT_EQ(c2.c("Dir1").path(), "Q:\\src\\made");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kNewFolder));
}

TEST_F(ArchiveCreation, NewFolderWithoutAPathSaysSo) {
  Form& c2 = comp2();
  c2.c("Label3").setCaption("");
  press(c2.c("Image1"));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "親フォルダを指定してください");
  EXPECT_EQ(services.messages[0].title, "新規フォルダの作成");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kNewFolder));
}

}  // namespace
}  // namespace zv::test
