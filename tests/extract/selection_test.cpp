// The archive selection window: filters, the command-line start, the listing procedures and
// quick extraction, driven as a user would with the recording library double.
#include <sys/time.h>

#include <ctime>
#include <filesystem>

#include "core/settings/profile.h"
#include "core/startup/startup.h"
#include "tests/extract/extract_fixture.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

std::string lastMessageText(const ScriptedServices& s) {
  return s.messages.empty() ? "" : s.messages.back().text;
}

// The functions the library saw, without the command strings.
Strings functionsOf(FakeLibrary& lib) { return lib.functions(); }

struct SelectionTest : ExtractTest {};

struct SelectionWithoutZipIsh : ExtractTest {
  SelectionWithoutZipIsh() : ExtractTest(true, false, false) {}
};

TEST_F(SelectionWithoutZipIsh, MissingZipOrIshLibraryFallsBackToLzh) {
  Form& f = selection();
  f.c("Option2").click();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].title, "ZIP ファイルの解凍");
  EXPECT_EQ(services.messages[0].text.rfind("★ UNZIP32.DLL が見つかりません ★\r\n\r\n", 0), 0u);
  // The address offered is the program's own help page on the libraries.
  EXPECT_NE(services.messages[0].text.find("または，file://"), std::string::npos);
  EXPECT_NE(services.messages[0].text.find("/ZORVEX.HLP/libraries.html\r\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(ZV_SOURCE_DIR) /
                                      "help/ZORVEX.HLP/libraries.html"));
  EXPECT_EQ(f.c("Option1").value(), 1);
  EXPECT_EQ(f.c("File1").pattern(), "*.lzh");
  f.c("Option3").click();
  EXPECT_EQ(services.messages.back().title, "ISH ファイルの復元");
  EXPECT_EQ(f.c("Option1").value(), 1);
  EXPECT_EQ(f.c("File1").pattern(), "*.lzh");
  EXPECT_EQ(app.shared.SystemFolder, sys.systemFolder());
}

TEST_F(SelectionWithoutZipIsh, ALibraryFileInAnotherCaseCountsAsPresent) {
  auto zip = FakeArchivers::install(sys.dir / "SYSTEM", "UnZip32.Dll");
  Form& f = selection();
  f.c("Option2").click();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(f.c("File1").pattern(), "*.zip");
}

TEST_F(SelectionTest, FileInformationShowsDateTimeAndSize) {
  services.expectedErrors = {kErrFileNotFound};  // the file deleted meanwhile
  root.write("dl/a.lzh", "12345");
  std::time_t when = 920610429;  // a fixed moment
  struct timeval tv[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(utimes(host("dl/a.lzh").c_str(), tv), 0);
  Form& f = selection("a.lzh");
  f.c("File1").mouseDown();
  std::tm local{};
  localtime_r(&when, &local);
  char expected[64];
  std::strftime(expected, sizeof expected, "%Y/%m/%d %H:%M:%S 5 ﾊﾞｲﾄ", &local);
  EXPECT_EQ(f.c("Label2").caption(), expected);
  // A file deleted meanwhile leaves the text as it was.
  std::filesystem::remove(host("dl/a.lzh"));
  f.c("File1").mouseDown();
  EXPECT_EQ(f.c("Label2").caption(), expected);
}

// An arrow key selects the next file as a click does (the Qt binding calls userSelect).
TEST_F(SelectionTest, FileInformationFollowsASelectionMadeByKeys) {
  root.write("dl/a.lzh", "12345");
  root.write("dl/b.lzh", "123");
  Form& f = selection("a.lzh");
  f.c("File1").mouseDown();
  EXPECT_TRUE(f.c("Label2").caption().ends_with(" 5 ﾊﾞｲﾄ"));
  f.c("File1").userSelect(f.c("File1").listIndex() + 1);
  EXPECT_EQ(f.c("File1").fileName(), "b.lzh");
  EXPECT_TRUE(f.c("Label2").caption().ends_with(" 3 ﾊﾞｲﾄ")) << f.c("Label2").caption();
}

TEST_F(SelectionTest, ListingTakesNamesInLibraryOrderWithoutFindNextForOneMember) {
  root.write("dl/a.lzh", "x");
  sys.fakes.lha().setMembers(members({"ReadMe.TXT"}));
  Form& f = selection("a.lzh");
  f.c("File1").dblClick();
  EXPECT_EQ(items("DeComp2", "List1"), Strings{"ReadMe.TXT"});
  EXPECT_EQ(functionsOf(sys.fakes.lha()), (Strings{"UnlhaGetFileCount", "UnlhaOpenArchive",
                                                   "UnlhaFindFirst", "UnlhaCloseArchive"}));
  EXPECT_EQ(sys.fakes.lha().calls()[0].text, "\"Q:\\dl\\a.lzh\"");
  EXPECT_EQ(app.shared.ArchiveFile, "\"Q:\\dl\\a.lzh\"");

  sys.fakes.lha().setMembers(members({"b\\Two.c", "日本語\\表.txt", "a.TXT"}));
  f.c("File1").dblClick();
  EXPECT_EQ(items("DeComp2", "List1"), (Strings{"b\\Two.c", "日本語\\表.txt", "a.TXT"}));
  EXPECT_FALSE(app.forms.get(zv::windows::kArchiveContents).c("ImgUnzip").visible());
}

TEST_F(SelectionTest, EmptyOrUnreadableArchiveGivesNoPhantomMember) {
  root.write("dl/a.lzh", "x");
  Form& f = selection("a.lzh");
  sys.fakes.lha().setMembers({});
  f.c("File1").dblClick();
  EXPECT_TRUE(items("DeComp2", "List1").empty());
  EXPECT_TRUE(services.messages.empty());

  // A count without any record behind it: the library could not read the archive.
  sys.fakes.lha().setFileCount(2);
  f.c("File1").dblClick();
  EXPECT_TRUE(items("DeComp2", "List1").empty());
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].title, "エラーです");
  EXPECT_NE(services.messages[0].text.find("読み込めません"), std::string::npos);

  // A count the records do not back up: only the members really found.
  sys.fakes.lha().setMembers(members({"only.txt"}));
  sys.fakes.lha().setFileCount(3);
  f.c("File1").dblClick();
  EXPECT_EQ(items("DeComp2", "List1"), Strings{"only.txt"});
}

TEST_F(SelectionTest, ListingThatStopsAtDamageShowsWhatWasReadAndSaysSo) {
  root.write("dl/a.lzh", "x");
  std::vector<FakeMember> listed = members({"a.txt", "b.txt"});
  listed.back().flag = ZV_MEMBER_LAST_READ;
  sys.fakes.lha().setMembers(listed);
  Form& f = selection("a.lzh");
  f.c("File1").dblClick();
  EXPECT_EQ(items("DeComp2", "List1"), (Strings{"a.txt", "b.txt"}));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].title, "エラーです");
  EXPECT_NE(services.messages[0].text.find("一部のメンバーしか表示できません"), std::string::npos);
  EXPECT_NE(services.messages[0].text.find("「壊れた書庫から取り出す」"), std::string::npos);
}

TEST_F(SelectionTest, ZipListingGoesToTheZipLibraryAndShowsTheMarker) {
  root.write("dl/a.zip", "x");
  sys.fakes.zip().setMembers(members({"dir/", "dir/a.txt"}));
  Form& f = selection();
  f.c("Option2").click();
  selectFile(f, "a.zip");
  f.c("File1").dblClick();
  EXPECT_EQ(items("DeComp2", "List1"), (Strings{"dir/", "dir/a.txt"}));
  EXPECT_TRUE(app.forms.get(zv::windows::kArchiveContents).c("ImgUnzip").visible());
  EXPECT_TRUE(sys.fakes.lha().calls().empty());
  EXPECT_EQ(sys.fakes.zip().calls()[0].text, "\"Q:\\dl\\a.zip\"");
}

TEST_F(SelectionTest, AddList2AppendsWithoutClearing) {
  root.write("dl/a.lzh", "x");
  Form& f = selection("a.lzh");
  sys.fakes.lha().setMembers(members({"one"}));
  auto& selection = dynamic_cast<extract::DeComp1Form&>(f);
  selection.addList2();
  sys.fakes.lha().setMembers(members({"two", "three"}));
  selection.addList2();
  EXPECT_EQ(f.c("List1").items(), (Strings{"one", "two", "three"}));
}

TEST_F(SelectionTest, IshFileIsTestedBeforeTheRestoreWindowOpens) {
  root.write("dl/x.ish", "not ish");
  Form& f = selection();
  f.c("Option3").click();
  selectFile(f, "x.ish");
  sys.fakes.ish().setCheckResult(0);
  f.c("File1").dblClick();
  EXPECT_EQ(lastMessageText(services), "このファイルには有効なISHデータがありません");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kIshRestore));
  sys.fakes.ish().setCheckResult(1);
  f.c("File1").dblClick();
  EXPECT_TRUE(app.forms.get(zv::windows::kIshRestore).visible());
  EXPECT_EQ(app.shared.IshFile, "Q:\\dl\\x.ish");
  EXPECT_EQ(sys.fakes.ish().calls().back().text, "Q:\\dl\\x.ish 1");
}

TEST_F(SelectionTest, CommandLineFolderIsTakenUpToTheLastBackslash) {
  app.shared.StartMode = "Command";
  app.commandLine = "Q:\\dl\\a.lzh";
  Profile(app.shared.IniFile).write("Option", "OVERWRITE", "YES");
  Form& f = app.forms.get(zv::windows::kArchiveSelection);
  EXPECT_EQ(f.c("Dir1").path(), "Q:\\dl");
  EXPECT_EQ(f.c("Drive1").drive(), "q:");
  EXPECT_EQ(app.shared.OverwriteAll, "YES");  // ReadOption2 ran
  f.unload();
  app.forms.collect();
  app.commandLine = "a.lzh";
  EXPECT_EQ(app.forms.get(zv::windows::kArchiveSelection).c("Dir1").path(), "Q:\\prog");
}

TEST_F(SelectionTest, StartWithAnArgumentListsItWhateverIsSelectedAndCloseEndsCommandMode) {
  root.write("dl/a.lzh", "x");
  root.write("dl/b.lzh", "x");
  sys.fakes.lha().setMembers(members({"m1", "m2"}));
  Main(app, "Q:\\dl\\b.lzh");
  EXPECT_EQ(app.shared.StartMode, "Command");
  EXPECT_EQ(app.shared.TempFolder, "Q:\\prog\\TEMP");
  Form& f = app.forms.get(zv::windows::kArchiveSelection);
  EXPECT_EQ(f.c("File1").fileName(), "b.lzh");
  EXPECT_EQ(items("DeComp2", "List1"), (Strings{"m1", "m2"}));
  EXPECT_EQ(app.shared.ArchiveFile, "Q:\\dl\\b.lzh");

  // Another file selected: a double-click still lists the argument, unquoted.
  sys.fakes.lha().clearCalls();
  selectFile(f, "a.lzh");
  f.c("File1").dblClick();
  EXPECT_EQ(sys.fakes.lha().calls()[0].text, "Q:\\dl\\b.lzh");

  app.forms.get(zv::windows::kArchiveContents).c("Command1").click();
  EXPECT_EQ(app.shared.StartMode, "");
  sys.fakes.lha().clearCalls();
  f.c("File1").dblClick();
  EXPECT_EQ(sys.fakes.lha().calls()[0].text, "\"Q:\\dl\\a.lzh\"");
}

TEST_F(SelectionTest, ZipArgumentIsListedWithTheZipLibrary) {
  root.write("dl/a.zip", "x");
  sys.fakes.zip().setMembers(members({"z.txt"}));
  Main(app, "Q:\\dl\\a.zip");
  EXPECT_EQ(app.forms.get(zv::windows::kArchiveSelection).c("Option2").value(), 1);
  EXPECT_EQ(items("DeComp2", "List1"), Strings{"z.txt"});
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
}

TEST_F(SelectionTest, QuickExtractionEmptiesQuickKeepsSubfoldersAndLowersNames) {
  root.write("dl/a.lzh", "x");
  root.write("prog/QUICK/old.txt", "old");
  root.write("prog/QUICK/sub/keep.txt", "keep");
  sys.fakes.lha().setMembers(members({"README.TXT", "Doc\\Guide.DOC"}));
  Form& f = selection("a.lzh");
  f.c("Image2").mouseDown();
  f.c("Image2").mouseUp();
  EXPECT_FALSE(exists("prog/QUICK/old.txt"));
  EXPECT_TRUE(exists("prog/QUICK/sub/keep.txt"));
  EXPECT_EQ(sys.fakes.lha().commands(),
            (Strings{"x -n1 \"Q:\\dl\\a.lzh\" \"Q:\\prog\\QUICK\\\" \"readme.txt\"",
                     "x -n1 \"Q:\\dl\\a.lzh\" \"Q:\\prog\\QUICK\\\" \"doc\\guide.doc\""}));
  for (const auto& call : sys.fakes.lha().calls())
    if (call.function == "Unlha") {
      EXPECT_EQ(call.bufferSize, 1024u);
    }
  EXPECT_FALSE(app.forms.loaded(zv::windows::kArchiveSelection));
  EXPECT_FALSE(app.forms.loaded(zv::windows::kWait));
  Form& util = app.forms.get(zv::windows::kFileUtility);
  EXPECT_TRUE(util.visible());
  EXPECT_EQ(util.caption(), "Zorvex 32  -Quick 解凍されたﾌｧｲﾙのﾘｽﾄです-");
  EXPECT_EQ(util.c("Dir1").path(), "Q:\\prog\\QUICK");
  EXPECT_FALSE(app.shared.RunInProgress);
  EXPECT_EQ(app.shared.ExtractFolder, "Q:\\prog\\QUICK\\");
  // The unload saw a run in progress: no main menu, no position, but the folder.
  EXPECT_FALSE(app.forms.loaded(zv::windows::kMenu));
  Profile ini(app.shared.IniFile);
  EXPECT_EQ(ini.read("DeCompPosition", "Top", "none", 13), "none");
  EXPECT_EQ(ini.read("DeComp1Dir", "Path", "none", 512), "Q:\\dl");
}

TEST_F(SelectionTest, QuickExtractionStopsAtTheFirstLibraryErrorAndRefusesEscapingNames) {
  root.write("dl/a.lzh", "x");
  sys.fakes.lha().setMembers(members({"..\\..\\evil.txt", "a.txt", "b.txt", "c.txt"}));
  // The library refuses the escaping name, extracts a.txt and fails on b.txt.
  sys.fakes.lha().queueResults({0x8013, 0, 0x8012});
  Form& f = selection("a.lzh");
  f.c("Image2").mouseUp();
  EXPECT_EQ(sys.fakes.lha().commands().size(), 3u);
  ASSERT_GE(services.messages.size(), 2u);
  EXPECT_EQ(services.messages[0].text,
            "解凍中にエラーが生じました．終了します\r\n原因： b.txt： 書庫ファイルが壊れています");
  EXPECT_EQ(services.messages[0].title, " LHA解凍");
  EXPECT_NE(services.messages[1].text.find("..\\..\\evil.txt"), std::string::npos);
  EXPECT_TRUE(app.forms.get(zv::windows::kFileUtility).visible());  // the flow still goes on
}

TEST_F(SelectionTest, QuickExtractionWithoutASelectionOnlyAsks) {
  root.write("prog/QUICK/old.txt", "old");
  Form& f = selection();
  f.c("Image2").mouseDown();
  f.c("Image2").mouseUp();
  EXPECT_EQ(lastMessageText(services), "ファイルを選択してください");
  EXPECT_EQ(services.messages.back().title, "Quick 解凍");
  EXPECT_TRUE(exists("prog/QUICK/old.txt"));
  EXPECT_EQ(f.c("Image2").top(), 165);
  EXPECT_TRUE(f.visible());
}

// Quick extraction reads the archive before it empties QUICK: one the library cannot read
// stops there, as opening it does; a ZIP is read and extracted by the ZIP library.
TEST_F(SelectionTest, QuickExtractionReadsTheArchiveFirstAndTakesAZipToItsLibrary) {
  root.write("dl/a.lzh", "x");
  root.write("prog/QUICK/old.txt", "old");
  sys.fakes.lha().setFileCount(2);  // a count without any record behind it
  Form& f = selection("a.lzh");
  f.c("Image2").mouseUp();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_NE(services.messages[0].text.find("読み込めません"), std::string::npos);
  EXPECT_TRUE(exists("prog/QUICK/old.txt"));
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
  EXPECT_TRUE(f.visible());
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileUtility));

  root.write("dl/a.zip", "x");
  sys.fakes.zip().setMembers(members({"Dir/", "Dir/A.txt"}));
  f.c("Option2").click();
  selectFile(f, "a.zip");
  f.c("Image2").mouseUp();
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
  EXPECT_EQ(sys.fakes.zip().commands(),
            Strings{"-x -o --i \"Q:\\dl\\a.zip\" \"Q:\\prog\\QUICK\\\" \"Dir/A.txt\""});
  EXPECT_FALSE(exists("prog/QUICK/old.txt"));
  EXPECT_TRUE(app.forms.get(zv::windows::kFileUtility).visible());
}

TEST_F(SelectionTest, CloseBringsTheMenuBackAndSavesPositionAndFolder) {
  Form& f = selection();
  f.move(1200, 900);
  f.c("Command1").click();
  EXPECT_TRUE(app.forms.get(zv::windows::kMenu).visible());
  Profile ini(app.shared.IniFile);
  EXPECT_EQ(ini.read("DeCompPosition", "Top", "", 13), "900");
  EXPECT_EQ(ini.read("DeCompPosition", "Left", "", 13), "1200");
  EXPECT_EQ(ini.read("DeComp1Dir", "Path", "", 512), "Q:\\dl");
  app.forms.collect();
  Form& again = app.forms.get(zv::windows::kArchiveSelection);
  EXPECT_EQ(again.top(), 900);
  EXPECT_EQ(again.c("Dir1").path(), "Q:\\dl");
}

}  // namespace
}  // namespace zv::test
