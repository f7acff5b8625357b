// The extraction window and its runs: destination rules, the overwrite question, progress and
// ZIP commands, failures, and the end of the flow.
#include <stdexcept>

#include "core/forms/window_names.h"
#include "core/settings/profile.h"
#include "tests/extract/extract_fixture.h"
#include "ui/common/window_common.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

struct ExtractionTest : ExtractTest {
  // Lists the archive, selects every member and opens the extraction window.
  Form& extraction(const Strings& names, bool zip = false) {
    openContents(names, zip, true).c("Image2").mouseUp();
    sys.fakes.lha().clearCalls();
    sys.fakes.zip().clearCalls();
    return app.forms.get(zv::windows::kExtraction);
  }
  void extractTo(Form& f, const std::string& destination) {
    f.c("Combo1").userType(destination);
    f.c("Image2").mouseDown();
    f.c("Image2").mouseUp();
  }
  std::string tail(const std::string& name) const { return "\"Q:\\out\\\" \"" + name + "\""; }
};

TEST_F(ExtractionTest, DestinationGetsItsBackslashAndEachSelectedMemberItsCommand) {
  Form& f = extraction({"ReadMe.TXT", "Sub\\Data.Bin"});
  extractTo(f, "Q:\\out");
  EXPECT_EQ(app.shared.ExtractFolder, "Q:\\out\\");
  EXPECT_EQ(sys.fakes.lha().commands(),
            (Strings{"x -n1 \"Q:\\dl\\a.lzh\" " + tail("ReadMe.TXT"),
                     "x -n1 \"Q:\\dl\\a.lzh\" " + tail("Sub\\Data.Bin")}));
  for (const auto& call : sys.fakes.lha().calls()) EXPECT_EQ(call.bufferSize, 1024u);
  // The flow ends in the file utility on the destination; the three windows are gone.
  Form& util = app.forms.get(zv::windows::kFileUtility);
  EXPECT_EQ(util.caption(), "Zorvex 32  -解凍されたﾌｧｲﾙのﾘｽﾄです-");
  EXPECT_EQ(util.c("Dir1").path(), "Q:\\out");
  for (const char* w : {"DeComp1", "DeComp2", "DeComp3", "frmWait"})
    EXPECT_FALSE(app.forms.loaded(w)) << w;
  EXPECT_FALSE(app.shared.RunInProgress);
  EXPECT_FALSE(app.forms.loaded(zv::windows::kMenu));
}

TEST_F(ExtractionTest, TextEndingInBackslashIsTakenUnchangedAndMenuReturnsWithoutFileUtility) {
  app.shared.OpenFileUtility = "NO";
  Form& f = extraction({"a.txt"});
  extractTo(f, "Q:\\out\\");
  EXPECT_EQ(app.shared.ExtractFolder, "Q:\\out\\");
  EXPECT_TRUE(app.forms.get(zv::windows::kMenu).visible());
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileUtility));
}

TEST_F(ExtractionTest, ProgressOptionChoosesTheLzhCommand) {
  app.shared.ShowExtractProgress = "YES";
  Form& f = extraction({"a.txt"});
  extractTo(f, "Q:\\out");
  EXPECT_EQ(sys.fakes.lha().commands(), Strings{"x -gn \"Q:\\dl\\a.lzh\" " + tail("a.txt")});
  EXPECT_FALSE(app.forms.loaded(zv::windows::kWait));
  EXPECT_EQ(std::count(app.forms.history().begin(), app.forms.history().end(), "show frmWait"), 0);
}

TEST_F(ExtractionTest, UnknownProgressValueExtractsNothing) {
  app.shared.ShowExtractProgress = "yes";
  extractTo(extraction({"a.txt"}), "Q:\\out");
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
}

TEST_F(ExtractionTest, OverwriteYesKeepsTheOldFileWhenTheLibraryFails) {
  root.write("out/a.txt", "precious");
  Form& f = extraction({"a.txt", "b.txt"});
  sys.fakes.lha().createOnCommand(host("out/a.txt"), "half-writ");
  sys.fakes.lha().setResult(0x8012);
  services.answers = {MsgAnswer::Yes};
  extractTo(f, "Q:\\out");
  EXPECT_EQ(readFile(host("out/a.txt")), "precious");
  EXPECT_EQ(sys.fakes.lha().commands().size(), 1u);  // the run ends at the failure
  EXPECT_EQ(services.messages.back().text,
            "解凍中にエラーが生じました．終了します\r\n原因： a.txt： 書庫ファイルが壊れています");
  // Nothing else is left behind in the destination.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(host("out")), {}), 1);
}

TEST_F(ExtractionTest, ZipRunUsesItsOwnCommandWhateverTheProgressOption) {
  app.shared.ShowExtractProgress = "YES";
  Form& f = extraction({"dir/", "dir/A.txt", "a.txt"}, true);
  extractTo(f, "Q:\\out");
  EXPECT_EQ(sys.fakes.zip().commands(), (Strings{"-x -n --i \"Q:\\dl\\a.zip\" " + tail("dir/A.txt"),
                                                 "-x -n --i \"Q:\\dl\\a.zip\" " + tail("a.txt")}));
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
  EXPECT_TRUE(services.messages.empty());
  EXPECT_GE(services.doEventsCount, 3);
}

// An encrypted member the user could not open: the message does not ask for a password the
// user has typed already.
TEST_F(ExtractionTest, EncryptedMemberNotOpenedSaysThePasswordWasWrongOrNotGiven) {
  Form& f = extraction({"secret.txt"}, true);
  sys.fakes.zip().setResult(ZV_ERROR_PASSWORD);
  extractTo(f, "Q:\\out");
  EXPECT_EQ(services.messages.back().text,
            "解凍中にエラーが生じました．終了します\r\n原因： secret.txt： "
            "暗号化されています（パスワードが違うか，入力されませんでした）");
}

TEST_F(ExtractionTest, EscapingNamesAreRefusedAndReported) {
  Form& f = extraction({"../../etc/x", "ok.txt", "/abs.txt"});
  extractTo(f, "Q:\\out");
  EXPECT_EQ(sys.fakes.lha().commands(), (Strings{"x -n1 \"Q:\\dl\\a.lzh\" " + tail("ok.txt"),
                                                 "x -n1 \"Q:\\dl\\a.lzh\" " + tail("/abs.txt")}));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_NE(services.messages[0].text.find("../../etc/x"), std::string::npos);
}

// What LZH and ZIP extraction share: the overwrite choice and the members the library refuses.
struct ExtractionOfBothKinds : ExtractionTest, ::testing::WithParamInterface<bool> {
  bool zip() const { return GetParam(); }
  FakeLibrary& library() { return zip() ? sys.fakes.zip() : sys.fakes.lha(); }
  std::string command(const std::string& name) const {
    return (zip() ? "-x -n --i \"Q:\\dl\\a.zip\" " : "x -n1 \"Q:\\dl\\a.lzh\" ") + tail(name);
  }
};
INSTANTIATE_TEST_SUITE_P(LzhAndZip, ExtractionOfBothKinds, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Zip" : "Lzh"; });

TEST_P(ExtractionOfBothKinds, OverwriteQuestionYesNoCancel) {
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) root.write(std::string("out/") + n, "old");
  Form& f = extraction({"a.txt", "b.txt", "c.txt", "d.txt"}, zip());
  services.answers = {MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::Cancel};
  library().createOnCommand(host("out/b.txt"), "new");
  extractTo(f, "Q:\\out");
  ASSERT_EQ(services.messages.size(), 3u);
  EXPECT_EQ(services.messages[0].text,
            "同名ファイル Q:\\out\\a.txt が存在します．上書き解凍しますか？");
  EXPECT_EQ(services.messages[0].title, "LHA 解凍");
  EXPECT_EQ(services.messages[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(services.messages[0].icon, MsgIcon::Question);
  // No skipped a.txt, Yes extracted b.txt, Cancel stopped before c.txt and d.txt.
  EXPECT_EQ(library().commands(), Strings{command("b.txt")});
  EXPECT_EQ(readFile(host("out/a.txt")), "old");
  EXPECT_EQ(readFile(host("out/b.txt")), "new");
  EXPECT_EQ(readFile(host("out/c.txt")), "old");
  EXPECT_TRUE(app.forms.get(zv::windows::kFileUtility).visible());  // the flow goes on after Cancel
}

TEST_P(ExtractionOfBothKinds, OverwriteAllYesAsksNothingAnyOtherValueExtractsNothing) {
  app.shared.OverwriteAll = "YES";
  root.write("out/a.txt", "old");
  library().createOnCommand(host("out/a.txt"), "new");
  extractTo(extraction({"a.txt"}, zip()), "Q:\\out");
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(readFile(host("out/a.txt")), "new");
  app.shared.OverwriteAll = "Yes";  // only the exact word counts
  extractTo(extraction({"a.txt"}, zip()), "Q:\\out");
  EXPECT_TRUE(library().commands().empty());
}

// The library judges the names; the members it refuses are listed, a file already there stays
// as it was, and the other members still come out.
TEST_P(ExtractionOfBothKinds, MembersTheLibraryRefusesAreListedAndTheOthersStillComeOut) {
  app.shared.OverwriteAll = "YES";
  root.write("out/link", "old");
  Form& f = extraction({"link", "\\abs2.txt", "ok.txt"}, zip());
  library().queueResults({0x8013, 0x8013, 0});
  extractTo(f, "Q:\\out");
  EXPECT_EQ(library().commands(),
            (Strings{command("link"), command("\\abs2.txt"), command("ok.txt")}));
  EXPECT_EQ(readFile(host("out/link")), "old");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_NE(services.messages[0].text.find("link"), std::string::npos);
  EXPECT_NE(services.messages[0].text.find("\\abs2.txt"), std::string::npos);
  EXPECT_TRUE(app.forms.get(zv::windows::kFileUtility).visible());
}

TEST_F(ExtractionTest, EmptyDestinationOnlyAsks) {
  Form& f = extraction({"a.txt"});
  extractTo(f, "");
  EXPECT_EQ(services.messages.back().text, "解凍先のフォルダを指定してください");
  EXPECT_TRUE(f.visible());
  EXPECT_FALSE(app.shared.RunInProgress);
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
}

TEST_F(ExtractionTest, SameFolderStartsAtTheArchiveFolderOtherwiseTheLastDestination) {
  Profile(app.shared.IniFile).write("DeComp3Dir", "Path", "Q:\\out");
  Form& f = extraction({"a.txt"});
  EXPECT_EQ(f.c("Combo1").text(), "Q:\\out");
  f.c("Command1").click();
  app.forms.collect();
  app.shared.SameFolder = "YES";
  app.forms.get(zv::windows::kArchiveContents).c("Image2").mouseUp();
  Form& again = app.forms.get(zv::windows::kExtraction);
  EXPECT_EQ(again.c("Combo1").text(), "Q:\\dl");
  EXPECT_EQ(again.c("Dir1").path(), "Q:\\dl");
}

TEST_F(ExtractionTest, RegisteredDestinationsAreKeptInTheirListFile) {
  Form& f = extraction({"a.txt"});
  f.c("Combo1").setText("");
  f.c("Image5").mouseUp();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "登録するフォルダを入力してください");
  f.c("Combo1").setText("Q:\\out");
  f.c("Image5").mouseUp();
  EXPECT_EQ(services.messages.back().text, "パスを登録しました");
  EXPECT_EQ(services.messages.back().title, "解凍先パスの登録");
  EXPECT_TRUE(exists("prog/ZORVEX.DAT"));
  EXPECT_EQ(std::filesystem::file_size(host("prog/ZORVEX.DAT")), 1002u);
  // A registered path that is gone.
  f.c("Combo1").addItem("Q:\\gone");
  f.c("Combo1").userSelect(f.c("Combo1").listCount() - 1);
  EXPECT_EQ(services.messages.back().text,
            "登録されたパスが見つかりません.リストから削除してください．");
  f.c("Combo1").userSelect(0);
  EXPECT_EQ(f.c("Dir1").path(), "Q:\\out");
}

TEST_F(ExtractionTest, NewFolderNeedsAParent) {
  Form& f = extraction({"a.txt"});
  f.c("Combo1").setText("");
  f.c("Image1").mouseUp();
  EXPECT_EQ(services.messages.back().text, "親フォルダを指定してください");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kNewFolder));
  f.c("Combo1").setText("Q:\\out");
  f.c("Image1").mouseUp();
  Form& dialog = app.forms.get(zv::windows::kNewFolder);
  EXPECT_TRUE(dialog.visible());
  EXPECT_EQ(dialog.caption(), "新規フォルダの作成 -解凍-");
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\out\\");
  EXPECT_EQ(dialog.c("Label1").caption(), "新しく作成するフォルダ名：");
}

TEST_F(ExtractionTest, TheCaptionFollowsADriveChangeOnly) {
  Form& f = extraction({"a.txt"});
  DriveTable::instance().set('R', host("out"));
  f.c("Drive1").setDrive("R:");
  std::string shown = f.caption();
  EXPECT_EQ(shown, folderCaption(f.c("Dir1").path()));
  EXPECT_EQ(shown.substr(0, 3), "R:\\");
  f.c("Dir1").setPath("Q:\\dl");
  EXPECT_EQ(f.caption(), shown);
  DriveTable::instance().remove('R');
}

// A fault of the program in the middle of a run still ends the run with a window on screen.
TEST_F(ExtractionTest, AFaultInTheMiddleOfARunLeavesTheMenuShownAndTheRunEnded) {
  Form& f = extraction({"a.txt"});
  root.write("out/a.txt", "old");
  services.onMessage = [](const MessageRecord&) { throw std::logic_error("fault"); };
  EXPECT_THROW(extractTo(f, "Q:\\out"), std::logic_error);
  services.onMessage = nullptr;
  EXPECT_FALSE(app.shared.RunInProgress);
  EXPECT_TRUE(app.forms.get(zv::windows::kMenu).visible());
  EXPECT_EQ(test::readFile(host("out/a.txt")), "old");
}

TEST_F(ExtractionTest, CloseSavesTheFolderAndUnlocksTheContentsWindow) {
  Form& f = extraction({"a.txt"});
  f.c("Dir1").setPath("Q:\\out");
  EXPECT_FALSE(app.forms.get(zv::windows::kArchiveContents).c("Command1").enabled());
  f.c("Command1").click();
  EXPECT_TRUE(app.forms.get(zv::windows::kArchiveContents).c("Command1").enabled());
  EXPECT_EQ(Profile(app.shared.IniFile).read("DeComp3Dir", "Path", "", 512), "Q:\\out");
  EXPECT_TRUE(app.forms.get(zv::windows::kArchiveSelection).visible());
}

}  // namespace
}  // namespace zv::test
