// The archive contents window: selection, next step, viewing single members (with the ZIP
// library for ZIP archives) and the detailed listing.
#include "core/forms/window_names.h"
#include "tests/extract/extract_fixture.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

struct ContentsTest : ExtractTest {
  // Lists Q:\dl\a.lzh (or a.zip) with these members and returns the contents window.
  Form& contents(const Strings& names, bool zip = false) { return openContents(names, zip); }
  static void press(Form& f, const std::string& picture) {
    f.c(picture).mouseDown();
    f.c(picture).mouseUp();
  }
};

TEST_F(ContentsTest, OpensOnTopOfTheSelectionWindowAndLocksItsClose) {
  Form& sel = selection();
  sel.move(1000, 2000);
  Form& f = contents({"a"});
  EXPECT_EQ(f.left(), 1700);
  EXPECT_EQ(f.top(), 2500);
  EXPECT_EQ(f.caption(), "Zorvex 32");
  EXPECT_FALSE(sel.c("Command1").enabled());
  f.c("Command1").click();
  EXPECT_TRUE(sel.c("Command1").enabled());
}

TEST_F(ContentsTest, SelectAllTogglesAndNextStepNeedsASelection) {
  Form& f = contents({"a", "b", "c"});
  press(f, "Image3");
  EXPECT_EQ(f.c("List1").selCount(), 3);
  press(f, "Image2");
  Form& extract = app.forms.get(zv::windows::kExtraction);
  EXPECT_TRUE(extract.visible());
  EXPECT_TRUE(extract.c("Image3").visible());
  EXPECT_FALSE(f.c("Command1").enabled());
  press(f, "Image3");
  EXPECT_EQ(f.c("List1").selCount(), 0);
  press(f, "Image2");
  ASSERT_FALSE(services.messages.empty());
  EXPECT_EQ(services.messages.back().text, "解凍したいファイルを選択してください");
  EXPECT_EQ(services.messages.back().title, "エラーです");
  EXPECT_EQ(f.c("Image2").top(), 120);
}

TEST_F(ContentsTest, TextMemberIsExtractedToTempAndShownUpTo1000Characters) {
  Form& f = contents({"  Doc\\ReadMe.TXT "});
  f.c("List1").userSelect(0);
  std::string text(1500, 'x');
  text.replace(0, 6, "日本語");  // characters, not bytes, are counted
  sys.fakes.lha().createOnCommand(host("prog/Temp/Doc/ReadMe.TXT"), text);
  std::filesystem::create_directories(host("prog/Temp/Doc"));
  press(f, "Image5");
  EXPECT_EQ(sys.fakes.lha().commands(),
            Strings{"x -gn \"Q:\\dl\\a.lzh\" \"Q:\\prog\\Temp\\\" \"Doc\\ReadMe.TXT\""});
  EXPECT_EQ(sys.fakes.lha().calls().back().bufferSize, 60000u);
  Form& viewer = app.forms.get(zv::windows::kViewer);
  EXPECT_TRUE(viewer.visible());
  EXPECT_EQ(viewer.c("Text1").text(), "日本語" + std::string(997, 'x'));
}

TEST_F(ContentsTest, MemberTypesChooseTheViewer) {
  Form& f = contents({"logo.bmp", "setup.exe", "PIC.Bmp"});
  // A 2x1 BMP that the picture viewer sizes itself to.
  std::string bmp = "BM";
  bmp += std::string("\x3e\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x01\0\0\0\x01\0\x18\0", 28);
  bmp += std::string(32, '\0');
  sys.fakes.lha().createOnCommand(host("prog/Temp/logo.bmp"), bmp);
  f.c("List1").userSelect(0);
  press(f, "Image5");
  Form& pic = app.forms.get(zv::windows::kPicture);
  EXPECT_TRUE(pic.visible());
  EXPECT_EQ(pic.height(), pic.c("Image1").height() + 600);
  f.c("List1").userSelect(1);
  press(f, "Image5");
  EXPECT_TRUE(services.called("open Q:\\prog\\Temp\\setup.exe"));
  press(f, "Image8");
  EXPECT_TRUE(services.called("editor Q:\\prog\\Temp\\setup.exe"));
  EXPECT_EQ(sys.fakes.lha().commands().back(),
            "x -gn \"Q:\\dl\\a.lzh\" \"Q:\\prog\\Temp\\\" \"setup.exe\"");
}

TEST_F(ContentsTest, ViewingFailureIsReportedAndAnOlderWorkCopyIsKept) {
  Form& f = contents({"a.txt"});
  root.write("prog/Temp/a.txt", "earlier copy");
  sys.fakes.lha().setResult(0x8011);
  f.c("List1").userSelect(0);
  press(f, "Image5");
  EXPECT_EQ(services.messages.front().text,
            "解凍中にエラーが生じました．終了します\r\n原因： a.txt： データが壊れています（CRC "
            "が一致しません）");
  EXPECT_EQ(services.messages.front().title, " LHA解凍");
  EXPECT_EQ(readFile(host("prog/Temp/a.txt")), "earlier copy");
  EXPECT_EQ(app.forms.get(zv::windows::kViewer).c("Text1").text(), "earlier copy");
}

TEST_F(ContentsTest, ZipMembersAreViewedAndListedWithTheZipLibrary) {
  Form& f = contents({"docs/read me.txt", "b.c"}, true);
  f.c("List1").userSelect(0);
  press(f, "Image8");
  EXPECT_TRUE(sys.fakes.lha().calls().empty());
  EXPECT_EQ(sys.fakes.zip().commands(),
            Strings{"-x -n --i \"Q:\\dl\\a.zip\" \"Q:\\prog\\Temp\\\" \"docs/read me.txt\""});
  press(f, "Image6");
  std::string listing = app.forms.get(zv::windows::kViewer).c("Text1").text();
  EXPECT_NE(listing.find("docs/read me.txt"), std::string::npos);
  EXPECT_NE(listing.find("b.c"), std::string::npos);
  EXPECT_TRUE(sys.fakes.lha().calls().empty());
}

TEST_F(ContentsTest, EscapingMemberNameIsNeverExtractedForViewing) {
  Form& f = contents({"..\\..\\x.txt"});
  f.c("List1").userSelect(0);
  press(f, "Image5");
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
  EXPECT_FALSE(services.called("open"));
}

TEST_F(ContentsTest, DetailedListingShowsHeaderTwoLinesPerMemberAndFooter) {
  Strings names;
  for (int i = 0; i < 10; ++i) names.push_back("f" + std::to_string(i));
  Form& f = contents(names);
  std::string out;
  for (int i = 0; i < 40; ++i) out += "line" + std::to_string(i) + "\r\n";
  sys.fakes.lha().setOutput(out);
  press(f, "Image6");
  std::string text = app.forms.get(zv::windows::kViewer).c("Text1").text();
  int lines = 0;
  for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) ++lines;
  EXPECT_EQ(lines, 27);
  EXPECT_EQ(text.rfind("line0\r\nline1\r\n", 0), 0u);
  EXPECT_EQ(sys.fakes.lha().commands(), Strings{"v \"Q:\\dl\\a.lzh\""});
  EXPECT_EQ(sys.fakes.lha().calls()[0].text, "Q:\\dl\\a.lzh");  // the count, unquoted
}

TEST_F(ContentsTest, DetailedListingOfALargeArchiveIsNotCut) {
  Strings names;
  for (int i = 0; i < 1500; ++i) names.push_back("member" + std::to_string(i));
  Form& f = contents(names);
  std::string out = "header\n";
  for (int i = 0; i < 1500; ++i)
    out += "member" + std::to_string(i) + "\n" + std::string(40, ' ') + "12345 -lh5-\n";
  out += "----\ntotal\n";
  ASSERT_GT(out.size(), 60000u);
  sys.fakes.lha().setOutput(out);
  press(f, "Image6");
  std::string text = app.forms.get(zv::windows::kViewer).c("Text1").text();
  EXPECT_NE(text.find("member1499\r\n"), std::string::npos);
  EXPECT_NE(text.find("total\r\n"), std::string::npos);
  EXPECT_GT(sys.fakes.lha().calls().back().bufferSize, 60000u);
}

TEST_F(ContentsTest, CommandLineArchiveIsUsedWhileInCommandMode) {
  root.write("dl/a.lzh", "x");
  sys.fakes.lha().setMembers(members({"m.txt"}));
  app.shared.StartMode = "Command";
  app.commandLine = "Q:\\dl\\a.lzh";
  Form& sel = app.forms.get(zv::windows::kArchiveSelection);
  app.forms.show(zv::windows::kArchiveSelection);
  dynamic_cast<extract::DeComp1Form&>(sel).commandLineOpen();
  Form& f = app.forms.get(zv::windows::kArchiveContents);
  f.c("List1").userSelect(0);
  sys.fakes.lha().clearCalls();
  press(f, "Image8");
  EXPECT_EQ(sys.fakes.lha().commands(),
            Strings{"x -gn Q:\\dl\\a.lzh \"Q:\\prog\\Temp\\\" \"m.txt\""});
  press(f, "Image6");
  EXPECT_EQ(sys.fakes.lha().commands().back(), "v Q:\\dl\\a.lzh");
}

// Before any member was clicked there is nothing to look at, and the library is not asked
// (an empty member name would extract the whole archive into the work folder).
TEST_F(ContentsTest, ViewingWithoutAClickedMemberCallsNoLibrary) {
  Form& f = contents({"a.txt", "b.txt"});
  press(f, "Image5");
  press(f, "Image8");
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
  EXPECT_TRUE(services.messages.empty());
}

// What viewing put into the work folder goes when the program ends, its folders with it;
// other files there stay.
TEST_F(ContentsTest, WorkCopiesAreRemovedWhenTheProgramEnds) {
  root.write("prog/Temp/other.txt", "not ours");
  Form& f = contents({"sub\\a.txt"});
  root.mkdir("prog/Temp/sub");  // as the library makes it
  sys.fakes.lha().createOnCommand(host("prog/Temp/sub/a.txt"), "member");
  f.c("List1").userSelect(0);
  press(f, "Image8");
  ASSERT_TRUE(exists("prog/Temp/sub/a.txt"));
  app.forms.endProgram();
  EXPECT_FALSE(exists("prog/Temp/sub"));
  EXPECT_TRUE(exists("prog/Temp/other.txt"));
}

TEST_F(ContentsTest, ClickedMemberOutlivesTheWindow) {
  Form& f = contents({"keep.txt"});
  f.c("List1").userSelect(0);
  f.c("Command1").click();
  app.forms.collect();
  Form& again = contents({"other.txt"});
  sys.fakes.lha().clearCalls();
  press(again, "Image8");
  EXPECT_EQ(sys.fakes.lha().commands(),
            Strings{"x -gn \"Q:\\dl\\a.lzh\" \"Q:\\prog\\Temp\\\" \"keep.txt\""});
}

TEST_F(ContentsTest, ChosenNameEncodingRelistsAndHoldsForViewingListingAndReopening) {
  Form& f = contents({"a.txt"});
  EXPECT_FALSE(f.c("menuNames").visible());  // a context menu, never a menu bar
  f.c("menuNames").click();
  EXPECT_EQ(f.c("menuNames0").value(), 1);  // 自動 until chosen
  f.c("menuNames3").click();                // EUC-JP
  auto opened = [&] {
    for (const auto& call : sys.fakes.lha().calls())
      if (call.function == "UnlhaOpenArchive") return call.text;
    return std::string();
  };
  EXPECT_EQ(opened(), "\"Q:\\dl\\a.lzh\" 3");
  EXPECT_EQ(f.c("List1").listCount(), 1);
  f.c("menuNames").click();
  EXPECT_EQ(f.c("menuNames3").value(), 1);
  EXPECT_EQ(f.c("menuNames0").value(), 0);

  sys.fakes.lha().clearCalls();
  f.c("List1").userSelect(0);
  press(f, "Image8");
  press(f, "Image6");
  EXPECT_EQ(sys.fakes.lha().commands(),
            (Strings{"x -gn --charset=euc \"Q:\\dl\\a.lzh\" \"Q:\\prog\\Temp\\\" \"a.txt\"",
                     "v --charset=euc \"Q:\\dl\\a.lzh\""}));
  sys.fakes.lha().clearCalls();
  f.c("List1").dragOut();  // dragged out to another program
  ASSERT_EQ(sys.fakes.lha().commands().size(), 1u);
  EXPECT_EQ(sys.fakes.lha().commands()[0].rfind("x -gn --charset=euc \"Q:\\dl\\a.lzh\" ", 0), 0u);

  // Closing and opening the same archive again keeps the choice; listing reads it so.
  f.c("Command1").click();
  app.forms.collect();
  sys.fakes.lha().clearCalls();
  Form& sel = selection("a.lzh");
  sel.c("File1").dblClick();
  EXPECT_EQ(opened(), "\"Q:\\dl\\a.lzh\" 3");
  // Back to 自動: no switch, mode 0, as before any choice.
  Form& again = app.forms.get(zv::windows::kArchiveContents);
  again.c("menuNames0").click();
  sys.fakes.lha().clearCalls();
  again.c("List1").userSelect(0);
  press(again, "Image8");
  EXPECT_EQ(sys.fakes.lha().commands(),
            Strings{"x -gn \"Q:\\dl\\a.lzh\" \"Q:\\prog\\Temp\\\" \"a.txt\""});
}

TEST_F(ContentsTest, ZipExtractionRunCarriesTheChosenEncoding) {
  Form& f = contents({"a.txt"}, true);
  f.c("menuNames1").click();  // Shift_JIS
  f.c("List1").userSelect(0);
  press(f, "Image2");
  Form& run = app.forms.get(zv::windows::kExtraction);
  run.c("Combo1").setText("Q:\\out");
  sys.fakes.zip().clearCalls();
  run.c("Image2").mouseDown();
  run.c("Image2").mouseUp();
  EXPECT_EQ(sys.fakes.zip().commands(),
            Strings{"-x -n --i --charset=sjis \"Q:\\dl\\a.zip\" \"Q:\\out\\\" \"a.txt\""});
}

}  // namespace
}  // namespace zv::test
