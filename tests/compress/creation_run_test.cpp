#include <gtest/gtest.h>

#include "compress_fixture.h"

namespace zv::test {
namespace {

class CreationRun : public CompressTest {};

TEST_F(CreationRun, ThreeNamesGiveThreeCallsInListOrder) {
  Form& c2 = comp2({"c d.txt", "a.txt", "b.txt"});
  c2.c("Text1").userType("pack");
  create(c2);
  EXPECT_EQ(lhaCommands(), (std::vector<std::string>{
                               "u -n1 \"Q:\\out\\pack.lzh\" \"Q:\\src\\a.txt\"",
                               "u -n1 \"Q:\\out\\pack.lzh\" \"Q:\\src\\b.txt\"",
                               "u -n1 \"Q:\\out\\pack.lzh\" \"Q:\\src\\c d.txt\"",
                           }));
  for (const auto& call : sys.fakes.lha().calls()) {
    EXPECT_EQ(call.bufferSize, 1024u);
    EXPECT_TRUE(call.bufferBlank);
  }
  EXPECT_TRUE(services.messages.empty());
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileSelection));
  EXPECT_FALSE(app.forms.loaded(zv::windows::kArchiveCreation));
  EXPECT_FALSE(app.shared.RunInProgress);
  EXPECT_EQ(app.shared.SourceFolder, "Q:\\src\\");
  Form& util = app.forms.get(zv::windows::kFileUtility);
  EXPECT_TRUE(util.visible());
  EXPECT_EQ(util.caption(), "Zorvex 32  -作成(圧縮)したﾌｧｲﾙです-");
  EXPECT_EQ(util.c("Dir1").path(), "Q:\\out");  // the creation window's unload moved it there
  EXPECT_FALSE(historyHas("show frmMenu"));     // the run does not bring the menu back
  EXPECT_EQ(setting("Comp2Dir", "Path"), "Q:\\out");
}

TEST_F(CreationRun, AFailureStopsTheRemainingNamesButTheRunGoesOn) {
  sys.fakes.lha().queueResults({0, 0x8012});
  Form& c2 = comp2({"a.txt", "b.txt", "c d.txt"});
  c2.c("Text1").userType("pack");
  bool waitShown = false;
  services.onMessage = [&](const MessageRecord&) {
    Form* wait = app.forms.find(zv::windows::kWait);
    waitShown = wait && wait->visible();
  };
  create(c2);
  EXPECT_EQ(lhaCommands().size(), 2u);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "圧縮中にエラーが生じました．終了します\r\n原因： b.txt： 書庫ファイルが壊れています");
  EXPECT_EQ(services.messages[0].title, "LHA 圧縮");
  EXPECT_EQ(services.messages[0].icon, MsgIcon::Exclamation);
  EXPECT_TRUE(waitShown);  // the wait window stands during the library calls
  EXPECT_FALSE(app.forms.loaded(zv::windows::kWait));
  EXPECT_TRUE(app.forms.get(zv::windows::kFileUtility).visible());
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileSelection));
  EXPECT_FALSE(app.shared.RunInProgress);
}

TEST_F(CreationRun, MoveWithFolderInformation) {
  setting("Option", "Mode", "6");
  app.shared.DirectoryMode = "YES";
  comp1();
  press(comp1().c("Image2"));  // the list is disabled: select all
  press(comp1().c("Image4"));
  Form& c2 = app.forms.get(zv::windows::kArchiveCreation);
  c2.c("Text1").userType("m");
  create(c2);
  ASSERT_EQ(lhaCommands().size(), 3u);
  EXPECT_EQ(lhaCommands()[0], "m -d1 -n1 \"Q:\\out\\m.lzh\" \"Q:\\src\\a.txt\"");
}

TEST_F(CreationRun, ProgressDialogOfTheLibraryMeansNoWaitWindowAndNoN1) {
  app.shared.ShowCompressProgress = "YES";
  setting("Option", "Mode", "4");
  Form& c2 = comp2({"a.txt"});
  c2.c("Text1").userType("p");
  create(c2);
  EXPECT_EQ(lhaCommands(), (std::vector<std::string>{"a \"Q:\\out\\p.lzh\" \"Q:\\src\\a.txt\""}));
  EXPECT_FALSE(historyHas("show frmWait"));
}

TEST_F(CreationRun, AnyOtherProgressValueCountsAsNo) {
  app.shared.ShowCompressProgress = "yes";
  Form& c2 = comp2({"a.txt"});
  c2.c("Text1").userType("p");
  create(c2);
  EXPECT_EQ(lhaCommands(),
            (std::vector<std::string>{"u -n1 \"Q:\\out\\p.lzh\" \"Q:\\src\\a.txt\""}));
  EXPECT_TRUE(historyHas("show frmWait"));
}

TEST_F(CreationRun, ModeAllPutsTheWholeFolderInOneCall) {
  app.shared.DirectoryMode = "ALL";
  comp1();
  press(comp1().c("Image4"));  // nothing selected
  Form& c2 = app.forms.get(zv::windows::kArchiveCreation);
  c2.c("Text1").userType("tree");
  create(c2);
  EXPECT_EQ(lhaCommands(),
            (std::vector<std::string>{"a -d1 -n1 \"Q:\\out\\tree.lzh\" \"Q:\\\" \"src\\*.*\""}));
}

TEST_F(CreationRun, MissingNameOrPathKeepsTheWindowsOpen) {
  Form& c2 = comp2();
  create(c2);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "作成(圧縮)するファイル名を入力または選択してください");
  EXPECT_EQ(services.messages[0].title, "LHA 圧縮");
  c2.c("Text1").userType("x");
  c2.c("Label3").setCaption("");
  create(c2);
  EXPECT_EQ(services.messages.back().text, "圧縮先のフォルダを指定してください");
  EXPECT_EQ(services.messages.back().title, "エラーです");
  EXPECT_TRUE(lhaCommands().empty());
  EXPECT_TRUE(c2.visible());
  EXPECT_TRUE(comp1().visible());
  EXPECT_FALSE(app.shared.RunInProgress);
}

TEST_F(CreationRun, AnEmptyCurrentPathGivesTheWaitMessageAndNoCall) {
  Form& c2 = comp2();
  c2.c("Text1").userType("x");
  c2.c("Combo1").userType("");
  create(c2);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "圧縮（後）ファイル名を指定してください");
  EXPECT_EQ(services.messages[0].title, "ちょっと待って！");
  EXPECT_TRUE(lhaCommands().empty());
  EXPECT_FALSE(
      app.forms.loaded(zv::windows::kArchiveCreation));  // the run still goes on to the next window
}

TEST_F(CreationRun, WithoutTheFileUtilityOptionTheMenuComesBack) {
  app.shared.OpenFileUtility = "NO";
  Form& c2 = comp2();
  c2.c("Text1").userType("x");
  create(c2);
  EXPECT_TRUE(app.forms.get(zv::windows::kMenu).visible());
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileUtility));
}

TEST_F(CreationRun, IshCommandsAreUnquotedAndUseTheCodeType) {
  comp1().c("Option5").click();
  comp1().c("Option1").click();
  Form& c2 = comp2({"a.txt", "c d.txt"});
  c2.c("Text1").userType("memo");
  create(c2);
  EXPECT_EQ(sys.fakes.ish().commands(),
            (std::vector<std::string>{"Q:\\src\\a.txt /s7 /ya Q:\\out\\memo.ish /f=Q:\\out",
                                      "Q:\\src\\c d.txt /s7 /ya Q:\\out\\memo.ish /f=Q:\\out"}));
  EXPECT_TRUE(lhaCommands().empty());
  EXPECT_EQ(app.forms.get(zv::windows::kFileUtility).caption(), "Zorvex 32  -復元したﾌｧｲﾙです-");
  EXPECT_FALSE(historyHas("show frmWait"));
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(CreationRun, IshFailuresAreReportedOnceAfterTryingEveryName) {
  sys.fakes.ish().queueResults({0x8015, 0x8015});
  sys.fakes.ish().setLastOutput("読めません\r\n");
  comp1().c("Option5").click();
  Form& c2 = comp2({"a.txt", "b.txt"});
  c2.c("Text1").userType("memo");
  create(c2);
  EXPECT_EQ(sys.fakes.ish().commands().size(), 2u);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "ISH ファイルの作成中にエラーが生じました\r\n原因： a.txt： "
            "ファイルを開けません\r\n\r\n読めません");
}

TEST_F(CreationRun, IshWithoutANameOrSelection) {
  comp1().c("Option5").click();
  Form& c2 = comp2();
  create(c2);
  EXPECT_EQ(services.messages.back().text, "作成するISHファイル名を入力または選択してください");
  EXPECT_EQ(services.messages.back().title, "ISH 復元");
  c2.c("Command1").click();
  comp1().c("List1").clear();
  dynamic_cast<compress::Comp1Form&>(comp1()).relist();  // nothing selected any more
  app.shared.DirectoryMode = "ALL";
  press(comp1().c("Image4"));
  Form& again = app.forms.get(zv::windows::kArchiveCreation);
  again.c("Text1").userType("memo");
  create(again);
  EXPECT_TRUE(sys.fakes.ish().commands().empty());
  EXPECT_TRUE(app.forms.get(zv::windows::kFileUtility).visible());
}

}  // namespace
}  // namespace zv::test
