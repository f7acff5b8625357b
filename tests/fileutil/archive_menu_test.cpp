// The archive menu of the file utility: the library commands of a test and a rescue, and the
// report window built from what the library said (damaged members first, one line when
// sound, copy and save).
#include "auxwin/archive_report_form.h"
#include "file_utility_fixture.h"
#include "zorvex/archiver_api.h"

namespace zv::test {

namespace {
class ArchiveMenuTest : public FileUtilityTest {
 protected:
  Form& openWithReport(const std::string& archive = "old.lzh") {
    app->forms.define(windows::kArchiveReport,
                      [](App& a) { return std::make_unique<ArchiveReportForm>(a); });
    write("up/" + archive, "x");
    open();
    press("File1", archive);
    return win();
  }
  Form& report() { return app->forms.get(windows::kArchiveReport); }
};
}  // namespace

TEST_F(ArchiveMenuTest, RescueOfADamagedArchiveListsTheDamagedMembersFirst) {
  openWithReport();
  fakes->lha().setOutput(
      "取り出しました: a.txt (10 バイト, lh5)\r\nCRC エラー: b.txt (20 バイト, lh5)\r\n"
      "1 個正常、1 個破損 (取り出しました)\r\n失われたメンバー: b.txt (20 バイト, lh5)\r\n");
  fakes->lha().setResult(ZV_ERROR_CRC);
  services.answers.push_back(MsgAnswer::No);  // only the intact members
  int key = 'R';
  ctl("File1").keyDown(key, kCtrlKey);
  EXPECT_EQ(key, 0);
  ASSERT_FALSE(services.messages.empty());
  EXPECT_EQ(services.messages[0].title, "壊れた書庫から取り出す");
  EXPECT_EQ(fakes->lha().commands(),
            (std::vector<std::string>{"x -jr \"Q:\\up\\old.lzh\" \"Q:\\down\\\""}));
  const std::string text = report().c("Text1").text();
  size_t damaged = text.find("CRC エラー");
  ASSERT_NE(damaged, std::string::npos) << text;
  EXPECT_LT(damaged, text.find("a.txt")) << text;
  EXPECT_NE(text.find("破損 1 個，正常 1 個"), std::string::npos) << text;
  EXPECT_EQ(text.find("失われたメンバー"), std::string::npos) << "said once, in the table";
  EXPECT_EQ(report().c("Label1").caption(), "1 個の書庫から取り出しました，破損のある書庫 1 個");

  // Copy and save give the totals and the same text; the saved file is written through a
  // temporary file.
  report().c("Command1").click();
  EXPECT_EQ(services.clipboard, report().c("Label1").caption() + "\r\n\r\n" + text);
  services.inputAnswers.push_back(std::string("Q:\\down\\report.txt"));
  report().c("Command2").click();
  EXPECT_EQ(read("down/report.txt"), services.clipboard);
}

TEST_F(ArchiveMenuTest, SoundArchiveIsOneLineAndCancelWritesNothing) {
  openWithReport();
  fakes->lha().setOutput("正常: a.txt (10 バイト, lh5)\r\n1 個正常、0 個破損 (検査しました)\r\n");
  int key = 'T';  // the menu's key, with the focus in the lower folder tree
  ctl("Dir2").keyDown(key, kCtrlKey);
  EXPECT_EQ(fakes->lha().commands(), (std::vector<std::string>{"t \"Q:\\up\\old.lzh\""}));
  EXPECT_EQ(report().c("Text1").text(), "Q:\\up\\old.lzh: 正常です (1 個のメンバー)\r\n");
  // The rescue's folder question answered Cancel: no library call.
  services.answers.push_back(MsgAnswer::Cancel);
  ctl("menuArcRescue").click();
  EXPECT_EQ(fakes->lha().commands().size(), 1u);

  // A sound archive whose every member is already in the folder is no unreadable archive.
  fakes->lha().setOutput(
      "エラー: 同名のファイルが存在するためスキップしました: a.txt\r\n0 個正常、0 個破損\r\n");
  fakes->lha().setResult(ZV_ERROR_CANNOT_CREATE);
  services.answers.push_back(MsgAnswer::No);
  ctl("menuArcRescue").click();
  EXPECT_NE(report().c("Text1").text().find("既にあります"), std::string::npos);
  EXPECT_EQ(report().c("Label1").caption(), "1 個の書庫から取り出しました，破損のある書庫 0 個");
}

TEST_F(ArchiveMenuTest, YesAlsoWritesDamagedMembersUnderAMarkedName) {
  openWithReport("old.zip");
  fakes->zip().setOutput(
      "CRC エラー: b.txt (20 バイト, deflate)\r\n取り出しました: a.txt (10 バイト, deflate)\r\n"
      "破損したまま書き出しました: b.txt → b (破損).txt\r\n");
  services.answers.push_back(MsgAnswer::Yes);
  ctl("menuArcRescue").click();
  EXPECT_EQ(
      fakes->zip().commands(),
      (std::vector<std::string>{"-x --rescue --keep-damaged \"Q:\\up\\old.zip\" \"Q:\\down\\\""}));
  const std::string text = report().c("Text1").text();
  EXPECT_NE(text.find("b.txt (「b (破損).txt」として書き出しました)"), std::string::npos) << text;
  EXPECT_EQ(text.find("破損したまま"), std::string::npos) << "said in the member's own line";
}

TEST_F(ArchiveMenuTest, IshRescueRestoresWhatTheLinesAllowAndNamesTheLinesLost) {
  openWithReport("old.ish");
  fakes->ish().setLastOutput(
      "復元しました: a.txt (10 バイト, 2 行を修復)\r\n"
      "復元できません: b.txt: ブロック 2 (テキスト 40 行目から) のデータ行 3, 4, 5 "
      "が失われていて修復できません\r\n");
  services.answers.push_back(MsgAnswer::No);
  ctl("menuArcRescue").click();
  // Never over a file already there (/n), into the lower pane's folder.
  EXPECT_EQ(fakes->ish().commands(), (std::vector<std::string>{"Q:\\up\\old.ish /n /f=Q:\\down"}));
  const std::string text = report().c("Text1").text();
  size_t lost = text.find("修復できません");
  ASSERT_NE(lost, std::string::npos) << text;
  EXPECT_LT(lost, text.find("a.txt")) << text;
  EXPECT_NE(text.find("b.txt (ブロック 2 (テキスト 40 行目から) のデータ行 3, 4, 5 が"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("10          ish      a.txt (2 行を修復)"), std::string::npos) << text;
  EXPECT_EQ(report().c("Label1").caption(), "1 個の書庫から取り出しました，破損のある書庫 1 個");
}

// An LZH archive saved as .zip goes to the LZH library; a damaged archive is reported before
// a sound one; a folder that takes no file is no damage of the archive.
TEST_F(ArchiveMenuTest, ArchivesAreKnownByTheirBytesAndDamagedOnesComeFirst) {
  openWithReport("a.zip");
  write("up/b.zip", std::string("\x1a\x00-lh5-", 7) + "rest of an LZH header");
  ctl("File1").refresh();
  for (int i = 0; i < ctl("File1").listCount(); ++i) ctl("File1").setSelected(i, true);
  fakes->zip().setOutput("正常: a.txt (1 バイト, stored)\r\n");
  fakes->lha().setOutput("CRC エラー: b.txt (20 バイト, lh5)\r\n");
  ctl("menuArcTest").click();
  EXPECT_EQ(fakes->lha().commands(), (std::vector<std::string>{"t \"Q:\\up\\b.zip\""}));
  const std::string text = report().c("Text1").text();
  EXPECT_LT(text.find("b.zip"), text.find("a.zip")) << text;

  fakes->zip().setOutput("ファイルを作れません (アクセスが拒否されました): a.txt\r\n");
  fakes->zip().setResult(ZV_ERROR_CANNOT_CREATE);
  ctl("File1").setSelected(1, false);
  services.answers.push_back(MsgAnswer::No);
  ctl("menuArcRescue").click();
  EXPECT_NE(report().c("Text1").text().find("a.zip: 取り出せません (ファイルを作成できません)"),
            std::string::npos)
      << report().c("Text1").text();
  EXPECT_EQ(report().c("Label1").caption(),
            "1 個の書庫から取り出しました，破損のある書庫 0 個，取り出せなかった書庫 1 個");
}

}  // namespace zv::test
