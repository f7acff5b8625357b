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
  Form& openWithReport() {
    app->forms.define(windows::kArchiveReport,
                      [](App& a) { return std::make_unique<ArchiveReportForm>(a); });
    write("up/old.lzh", "x");
    open();
    press("File1", "old.lzh");
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
  EXPECT_NE(text.find("破損 1 個、正常 1 個"), std::string::npos) << text;
  EXPECT_EQ(text.find("失われたメンバー"), std::string::npos) << "said once, in the table";
  EXPECT_NE(report().c("Label1").caption().find("破損のある書庫 1 個"), std::string::npos);

  // Copy and save give the same text; the saved file is written through a temporary file.
  report().c("Command1").click();
  EXPECT_EQ(services.clipboard, text);
  services.inputAnswers.push_back(std::string("Q:\\down\\report.txt"));
  report().c("Command2").click();
  EXPECT_EQ(read("down/report.txt"), text);
}

TEST_F(ArchiveMenuTest, SoundArchiveIsOneLineAndCancelWritesNothing) {
  openWithReport();
  fakes->lha().setOutput("正常: a.txt (10 バイト, lh5)\r\n1 個正常、0 個破損 (検査しました)\r\n");
  ctl("menuArcTest").click();
  EXPECT_EQ(fakes->lha().commands(), (std::vector<std::string>{"t \"Q:\\up\\old.lzh\""}));
  EXPECT_EQ(report().c("Text1").text(), "Q:\\up\\old.lzh: 正常です (1 個のメンバー)\r\n");
  // The rescue's folder question answered Cancel: no library call.
  services.answers.push_back(MsgAnswer::Cancel);
  ctl("menuArcRescue").click();
  EXPECT_EQ(fakes->lha().commands().size(), 1u);
}

}  // namespace zv::test
