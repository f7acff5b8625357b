// The whole extraction road with the real libraries UNLHA32.DLL, UNZIP32.DLL and ISH32.DLL on
// archives made by other tools (fixtures, and ZIP archives made here with `zip`).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "core/app.h"
#include "core/libraries/archivers.h"
#include "core/libraries/library_host.h"
#include "core/services/scripted_services.h"
#include "extract/process_state.h"
#include "extract/register_forms.h"
#include "platform/drives.h"
#include "platform/folders.h"
#include "tests/support/stand_in_ports.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tool_locale.h"

#ifdef ZV_TEST_SYSTEM_DIR

namespace zv::test {
namespace {

namespace stdfs = std::filesystem;
using Strings = std::vector<std::string>;

// Every regular file under a folder with its bytes, by path relative to the folder. With
// `foldCase` the paths are compared in lower case (lhasa lowers MS-DOS names, we keep them).
std::map<std::string, std::string> tree(const std::string& folder, bool foldCase = false) {
  std::map<std::string, std::string> out;
  if (!stdfs::exists(folder)) return out;
  for (const auto& e : stdfs::recursive_directory_iterator(folder)) {
    if (!e.is_regular_file()) continue;
    std::string rel = stdfs::relative(e.path(), folder).string();
    if (foldCase)
      for (char& ch : rel) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    out[rel] = readFile(e.path());
  }
  return out;
}

bool run(const std::string& command) {
  return std::system(zv::test::inToolLocale(command).c_str()) == 0;
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    DriveTable::instance().set('Q', root.path());
    DriveTable::instance().set('F', std::string(ZV_TEST_FIXTURES));
    root.mkdir("prog/Temp");
    root.mkdir("prog/QUICK");
    root.mkdir("prog/temp");
    root.mkdir("dl");
    root.mkdir("out");
    folders::overrideSystemFolder(windowsPath(ZV_TEST_SYSTEM_DIR));
    app.programFolder = "Q:\\prog";
    app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
    app.shared.TempFolder = "Q:\\prog\\Temp";
    app.shared.ShowExtractProgress = "NO";
    app.shared.OverwriteAll = "NO";
    app.shared.OpenFileUtility = "YES";
    app.shared.SameFolder = "NO";
    app.archivers = &archivers;
    archivers.setHost(libraryHost.host());
    registerExtractForms(app.forms);
    using testing::defineStandIn;
    for (const char* name : {"frmMenu", "frmWait"}) defineStandIn(app.forms, name, {});
    defineStandIn<testing::StandInViewer>(app.forms);
    defineStandIn<testing::StandInFileUtility>(app.forms);
  }
  void TearDown() override {
    extract::forgetProcessState(app);
    archivers.unloadAll();
    folders::overrideSystemFolder("");
    DriveTable::instance().remove('Q');
    DriveTable::instance().remove('F');
  }

  // Lists an archive of a folder through the selection window's double-click.
  Form& list(const std::string& folder, const std::string& file, bool zip = false) {
    Form& sel = app.forms.get(zv::windows::kArchiveSelection);
    app.forms.show(zv::windows::kArchiveSelection);
    sel.c("Dir1").setPath(folder);
    if (zip) sel.c("Option2").click();
    Control& files = sel.c("File1");
    for (int i = 0; i < files.listCount(); ++i)
      if (files.list(i) == file) files.setListIndex(i);
    EXPECT_EQ(files.fileName(), file);
    files.dblClick();
    return app.forms.get(zv::windows::kArchiveContents);
  }
  bool anyMessageNames(const std::string& text) const {
    for (const auto& m : services.messages)
      if (m.text.find(text) != std::string::npos) return true;
    return false;
  }
  // The files under the test's root that are in none of the folders.
  Strings filesOutside(std::initializer_list<const char*> folders) const {
    Strings outside;
    for (const auto& e : stdfs::recursive_directory_iterator(root.path())) {
      if (e.is_directory()) continue;
      std::string rel = stdfs::relative(e.path(), root.path()).string();
      bool inside = false;
      for (const char* f : folders) inside = inside || rel.rfind(f, 0) == 0;
      if (!inside) outside.push_back(rel);
    }
    return outside;
  }
  // Quick extraction of an archive picked in the selection window.
  void quickExtract(const std::string& folder, const std::string& file) {
    Form& sel = app.forms.get(zv::windows::kArchiveSelection);
    app.forms.show(zv::windows::kArchiveSelection);
    sel.c("Dir1").setPath(folder);
    Control& files = sel.c("File1");
    for (int i = 0; i < files.listCount(); ++i)
      if (files.list(i) == file) files.setListIndex(i);
    sel.c("Image2").mouseUp();
  }
  void extractAll(Form& contents, const std::string& destination) {
    Control& members = contents.c("List1");
    for (int i = 0; i < members.listCount(); ++i) members.setSelected(i, true);
    contents.c("Image2").mouseUp();
    Form& extract = app.forms.get(zv::windows::kExtraction);
    extract.c("Combo1").userType(destination);
    extract.c("Image2").mouseUp();
  }

  TempDir root;
  ScriptedServices services;
  ArchiverSet archivers{windowsPath(ZV_TEST_SYSTEM_DIR)};
  LibraryHost libraryHost{services};
  App app{services};
};

TEST_F(EndToEnd, LzhArchivesOfOtherToolsExtractLikeLhasaDoes) {
  for (const char* archive : {"explzh_723/h2_subdir.lzh", "explzh_723/h0_lh7.lzh",
                              "lha213/subdir.lzh", "lha_unix114i/h1_lh6.lzh"}) {
    SCOPED_TRACE(archive);
    stdfs::path path = stdfs::path(ZV_TEST_FIXTURES) / "lzh" / archive;
    std::string expected = root / ("lhasa_" + path.stem().string());
    stdfs::create_directories(expected);
    ASSERT_TRUE(run("lhasa -xqw=" + expected + " " + path.string() + " >/dev/null 2>&1"));
    std::string out = "out_" + path.stem().string() + path.parent_path().filename().string();
    root.mkdir(out);
    Form& contents =
        list("F:\\lzh\\" + path.parent_path().filename().string(), path.filename().string());
    EXPECT_GT(contents.c("List1").listCount(), 0);
    extractAll(contents, "Q:\\" + out);
    EXPECT_TRUE(services.messages.empty()) << services.messages.back().text;
    EXPECT_EQ(tree(root / out, true), tree(expected, true));
    app.forms.collect();
  }
}

TEST_F(EndToEnd, QuickExtractionUnpacksTheWholeArchiveIntoQuick) {
  root.write("prog/QUICK/stale.txt", "old");
  std::string expected = root / "lhasa";
  stdfs::create_directories(expected);
  std::string fixture = std::string(ZV_TEST_FIXTURES) + "/lzh/lha_unix114i/h2_subdir.lzh";
  ASSERT_TRUE(run("lhasa -xqw=" + expected + " " + fixture + " >/dev/null 2>&1"));
  quickExtract("F:\\lzh\\lha_unix114i", "h2_subdir.lzh");
  EXPECT_FALSE(stdfs::exists(root / "prog/QUICK/stale.txt"));
  EXPECT_EQ(tree(root / "prog/QUICK"), tree(expected));
  EXPECT_EQ(app.forms.get(zv::windows::kFileUtility).c("Dir1").path(), "Q:\\prog\\QUICK");
}

// Quick extraction leaves the names to the LZH library's write gate and lists what it refused.
TEST_F(EndToEnd, QuickExtractionListsTheMembersTheLibraryRefuses) {
  quickExtract("F:\\lzh\\regression", "dotdot.lzh");
  EXPECT_TRUE(anyMessageNames("..\\evil1.txt"));
  EXPECT_EQ(filesOutside({"prog/"}), Strings{});
}

TEST_F(EndToEnd, ZipArchiveMadeByZipIsListedViewedAndExtracted) {
  root.write("src/readme.txt", "hello zip\r\n");
  root.write("src/docs/日本語.txt", "nihongo");
  ASSERT_TRUE(run("cd " + root / "src" + " && zip -qr " + root / "dl/a.zip" + " readme.txt docs"));
  Form& contents = list("Q:\\dl", "a.zip", true);
  Strings names = contents.c("List1").items();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Strings{"docs/", "docs/日本語.txt", "readme.txt"}));
  EXPECT_TRUE(contents.c("ImgUnzip").visible());

  // The text viewer gets the member through the ZIP library.
  Control& members = contents.c("List1");
  for (int i = 0; i < members.listCount(); ++i)
    if (members.list(i) == "readme.txt") members.userSelect(i);
  contents.c("Image5").mouseUp();
  EXPECT_EQ(app.forms.get(zv::windows::kViewer).c("Text1").text(), "hello zip\r\n");
  contents.c("Image6").mouseUp();
  EXPECT_NE(app.forms.get(zv::windows::kViewer).c("Text1").text().find("docs/日本語.txt"),
            std::string::npos);

  extractAll(contents, "Q:\\out");
  EXPECT_TRUE(services.messages.empty()) << services.messages.back().text;
  EXPECT_EQ(tree(root / "out"), tree(root / "src"));
}

// The library asks for the password through the services: a wrong one writes nothing, the
// right one the member as zip put it in.
TEST_F(EndToEnd, PasswordOfAZipMemberIsAskedThroughTheServices) {
  root.write("src/secret.txt", "hidden text");
  ASSERT_TRUE(
      run("cd " + root / "src" + " && zip -q -P zorvex " + root / "dl/p.zip" + " secret.txt"));
  services.inputAnswers = {"wrong"};
  extractAll(list("Q:\\dl", "p.zip", true), "Q:\\out");
  EXPECT_FALSE(stdfs::exists(root / "out/secret.txt"));
  services.inputAnswers = {"zorvex"};
  extractAll(list("Q:\\dl", "p.zip", true), "Q:\\out");
  EXPECT_EQ(readFile(root / "out/secret.txt"), "hidden text");
  EXPECT_TRUE(services.called("password secret.txt\n"));
}

TEST_F(EndToEnd, OverwriteYesReplacesTheFileAndLeavesNothingElse) {
  root.write("src/a.txt", "new text");
  ASSERT_TRUE(
      run("cd " + root / "src" + " && lha -aq " + root / "dl/a.lzh" + " a.txt >/dev/null 2>&1") ||
      run("cd " + root / "src" + " && jlha a " + root / "dl/a.lzh" + " a.txt >/dev/null 2>&1"));
  root.write("out/a.txt", "old text");
  services.answers = {MsgAnswer::Yes};
  extractAll(list("Q:\\dl", "a.lzh"), "Q:\\out");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].title, "LHA 解凍");
  EXPECT_EQ(tree(root / "out"), (std::map<std::string, std::string>{{"a.txt", "new text"}}));
}

// The window looks at each destination folder once per run: a member whose name differs
// only in case from a file already there, or from one this run extracted, is still asked
// about before it replaces that file.
TEST_F(EndToEnd, CaseVariantsAreAskedAboutAlsoWhenTheRunMadeThem) {
  root.write("src/b.txt", "lower");
  root.write("src/B.TXT", "upper");
  root.write("src/c.txt", "charlie");
  ASSERT_TRUE(run("cd " + root / "src" + " && lha -aq " + root / "dl/v.lzh" +
                  " b.txt B.TXT c.txt >/dev/null 2>&1") ||
              run("cd " + root / "src" + " && jlha a " + root / "dl/v.lzh" +
                  " b.txt B.TXT c.txt >/dev/null 2>&1"));
  root.write("out/C.TXT", "old");
  services.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
  extractAll(list("Q:\\dl", "v.lzh"), "Q:\\out");
  ASSERT_EQ(services.messages.size(), 2u);
  std::map<std::string, std::string> got = tree(root / "out");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got.count("B.TXT") ? got["B.TXT"] : got["b.txt"], "upper");  // the later member
  EXPECT_EQ(got["c.txt"], "charlie");
}

TEST_F(EndToEnd, UnreadableArchiveGivesAnEmptyListAndAMessage) {
  root.write("dl/bad.lzh", "this is not an archive at all");
  Form& contents = list("Q:\\dl", "bad.lzh");
  EXPECT_EQ(contents.c("List1").listCount(), 0);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].title, "エラーです");
  EXPECT_EQ(services.messages[0].text.find("壊れた書庫から取り出す"), std::string::npos);
  // A ZIP whose directory is lost begins as an archive: the message says where to rescue it.
  root.write("src/a.txt", "text");
  ASSERT_TRUE(run("cd " + root / "src" + " && zip -q " + root / "dl/lost.zip" + " a.txt"));
  std::string bytes = readFile(root / "dl/lost.zip");
  root.write("dl/lost.zip", bytes.substr(0, bytes.find("PK\x01\x02")));
  list("Q:\\dl", "lost.zip", true);
  EXPECT_NE(services.lastMessage()->text.find("「壊れた書庫から取り出す」"), std::string::npos);
}

TEST_F(EndToEnd, HostileMemberNamesNeverLeaveTheDestination) {
  for (const char* archive : {"dotdot.lzh", "abspath.lzh"}) {
    SCOPED_TRACE(archive);
    extractAll(list("F:\\lzh\\regression", archive), "Q:\\out");
    app.forms.collect();
  }
  EXPECT_TRUE(anyMessageNames("..\\evil1.txt"));
  EXPECT_EQ(filesOutside({"out/", "prog/"}), Strings{});
}

// The window sets an existing file aside where the LZH library will write the member, so it
// must judge a listed name as the library does: a stored drive is dropped, a colon inside a
// name is kept, ".." is refused by both.
TEST_F(EndToEnd, LzhNamesAreJudgedByTheWindowAsByTheLibrary) {
  root.write(
      "dl/make.py",
      "import struct, sys\n"
      "def crc16(data):\n"
      "    crc = 0\n"
      "    for b in data:\n"
      "        crc ^= b\n"
      "        for _ in range(8):\n"
      "            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1\n"
      "    return crc\n"
      "out = b''\n"
      "for name in ['C:\\\\drive.txt', 'ab:c.txt', '..\\\\evil.txt', 'ok.txt']:\n"
      "    n = name.encode(); data = b'x ' + n\n"
      "    body = b'-lh0-' + struct.pack('<IIIBBB', len(data), len(data), 0x5A210000, 0x20,\n"
      "                                  0, len(n)) + n + struct.pack('<H', crc16(data))\n"
      "    out += bytes([len(body), sum(body) & 0xFF]) + body + data\n"
      "open(sys.argv[1], 'wb').write(out + b'\\0')\n");
  ASSERT_TRUE(run("python3 " + root / "dl/make.py" + " " + root / "dl/names.lzh"));
  root.write("out/drive.txt", "old");
  app.shared.OverwriteAll = "YES";
  extractAll(list("Q:\\dl", "names.lzh"), "Q:\\out");
  ASSERT_EQ(services.messages.size(), 1u);
  const std::string& text = services.messages[0].text;
  EXPECT_NE(text.find("..\\evil.txt"), std::string::npos) << text;
  EXPECT_EQ(text.find("drive.txt"), std::string::npos) << text;
  EXPECT_EQ(text.find("ab:c.txt"), std::string::npos) << text;
  EXPECT_EQ(
      tree(root / "out"),
      (std::map<std::string, std::string>{
          {"drive.txt", "x C:\\drive.txt"}, {"ab:c.txt", "x ab:c.txt"}, {"ok.txt", "x ok.txt"}}));
  EXPECT_EQ(filesOutside({"out/", "prog/", "dl/"}), Strings{});
}

// The ZIP library's write gate refuses the names that would leave the destination; the window
// lists exactly those and the other members still come out.
TEST_F(EndToEnd, ZipMembersTheLibraryRefusesAreListedAndTheOthersExtracted) {
  std::string zip = root / "dl/hostile.zip";
  ASSERT_TRUE(
      run("python3 -c \"import sys, zipfile\n"
          "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
          "    for n in ['../evil1.txt', '/tmp/zv-abs.txt', 'ok.txt', 'sub/ok2.txt']:\n"
          "        z.writestr(n, 'x ' + n)\" " +
          zip));
  extractAll(list("Q:\\dl", "hostile.zip", true), "Q:\\out");
  ASSERT_EQ(services.messages.size(), 1u);
  const std::string& text = services.messages[0].text;
  EXPECT_NE(text.find("../evil1.txt"), std::string::npos) << text;
  EXPECT_NE(text.find("/tmp/zv-abs.txt"), std::string::npos) << text;
  EXPECT_EQ(text.find("ok.txt"), std::string::npos) << text;
  EXPECT_EQ(tree(root / "out"), (std::map<std::string, std::string>{
                                    {"ok.txt", "x ok.txt"}, {"sub/ok2.txt", "x sub/ok2.txt"}}));
  EXPECT_FALSE(stdfs::exists(root / "evil1.txt"));
  EXPECT_FALSE(stdfs::exists("/tmp/zv-abs.txt"));
}

// Member names with quotes and blanks, paths longer than the member record's 512 bytes, in an
// archive whose folder holds a quote: listed whole, and every member comes out.
TEST_F(EndToEnd, NamesTheCommandStringOnceCouldNotCarryAreListedAndExtracted) {
  std::string deep;
  while (deep.size() < 560) deep += std::string(60, 'd') + "/";
  Strings members = {"a\"b.txt", "c d.txt", deep + "end1.txt", deep + "end2.txt", "z.txt"};
  for (const auto& m : members) root.write("src/" + m, "x " + m);
  root.mkdir("dl/q \"x\"");
  ASSERT_TRUE(run("cd " + root / "src" + " && lha -aq '" + root / "dl/q \"x\"/a.lzh" + "' '" +
                  deep + "end1.txt' '" + deep + "end2.txt' >/dev/null 2>&1"));
  ASSERT_TRUE(run("cd " + root / "src" + " && zip -qr '" + root / "dl/q \"x\"/a.zip" + "' ."));
  for (bool zip : {false, true}) {
    SCOPED_TRACE(zip);
    stdfs::remove_all(root / "out");
    root.mkdir("out");
    Form& contents = list("Q:\\dl\\q \"x\"", zip ? "a.zip" : "a.lzh", zip);
    Strings listed = contents.c("List1").items();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(std::unique(listed.begin(), listed.end()), listed.end());  // none cut alike
    EXPECT_GT(std::ranges::max(listed, {}, &std::string::size).size(), 560u);
    extractAll(contents, "Q:\\out");
    EXPECT_TRUE(services.messages.empty()) << services.messages.back().text;
    auto expected = tree(root / "src");
    if (!zip) std::erase_if(expected, [](const auto& e) { return e.first.size() < 560; });
    EXPECT_EQ(tree(root / "out"), expected);
    app.forms.collect();
  }
}

// A destination typed as a Linux path is the same folder in the program's form.
TEST_F(EndToEnd, ADestinationTypedAsAHostPathReceivesTheMembers) {
  extractAll(list("F:\\lzh\\lha_unix114i", "h2_subdir.lzh"), root / "out");
  EXPECT_TRUE(services.messages.empty()) << services.messages.back().text;
  EXPECT_FALSE(tree(root / "out").empty());
  EXPECT_EQ(filesOutside({"out/", "prog/"}), Strings{});
}

TEST_F(EndToEnd, IshFileAndClipboardTextRestore) {
  std::string fixture = std::string(ZV_TEST_FIXTURES) + "/ish/macish-test.ish";
  Form& sel = app.forms.get(zv::windows::kArchiveSelection);
  app.forms.show(zv::windows::kArchiveSelection);
  sel.c("Dir1").setPath("F:\\ish");
  sel.c("Option3").click();
  sel.c("File1").setListIndex(0);
  sel.c("File1").dblClick();
  Form& ish = app.forms.get(zv::windows::kIshRestore);
  ASSERT_TRUE(ish.visible());
  ish.c("Dir1").setPath("Q:\\out");
  ish.c("Option2").click();
  ish.c("Image4").mouseUp();
  std::string sums = std::string(ZV_TEST_FIXTURES) + "/ish/macish-test.sha256";
  EXPECT_TRUE(run("cd " + root / "out" + " && sha256sum -c --quiet " + sums));

  // The same data from the clipboard.
  app.forms.collect();
  root.mkdir("out2");
  app.forms.show(zv::windows::kArchiveSelection);
  app.forms.show(zv::windows::kIshRestore);
  Form& again = app.forms.get(zv::windows::kIshRestore);
  services.clipboard = readFile(fixture);
  again.c("Command4").click();
  EXPECT_TRUE(again.c("ImgOK").visible());
  again.c("Dir1").setPath("Q:\\out2");
  again.c("Image4").mouseUp();
  EXPECT_TRUE(run("cd " + root / "out2" + " && sha256sum -c --quiet " + sums));
  EXPECT_FALSE(stdfs::exists(root / "prog/temp/tmp$$$.ish"));
}

}  // namespace
}  // namespace zv::test

#endif
