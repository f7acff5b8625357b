// Members handed to other programs: extracted into a private folder under Temp first.
#include "extract/member_export.h"

#include <unistd.h>

#include <filesystem>

#include "extract/export_folders.h"
#include "tests/extract/extract_fixture.h"
#include "zorvex/archiver_api.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

struct MemberExportTest : ExtractTest {
  Form& contents(const Strings& names, bool zip = false) {
    root.write(zip ? "dl/a.zip" : "dl/a.lzh", "x");
    (zip ? sys.fakes.zip() : sys.fakes.lha()).setMembers(members(names));
    Form& sel = selection();
    if (zip) sel.c("Option2").click();
    selectFile(sel, zip ? "a.zip" : "a.lzh");
    sel.c("File1").dblClick();
    sys.fakes.lha().clearCalls();
    sys.fakes.zip().clearCalls();
    return app.forms.get("DeComp2");
  }
  // The name the next private folder gets ("drag-<pid>-<n>"): one is made and removed.
  std::string nextFolderName() {
    std::string probe = extract::makeExportFolder("Q:\\prog\\Temp");
    std::filesystem::remove(hostPath(probe));
    size_t dash = probe.rfind('-');
    return probe.substr(probe.rfind('\\') + 1, dash - probe.rfind('\\')) +
           std::to_string(std::stoi(probe.substr(dash + 1)) + 1);
  }
  static void choose(Form& f, const Strings& names) {
    Control& list = f.c("List1");
    for (int i = 0; i < list.listCount(); ++i)
      for (const auto& n : names)
        if (list.list(i) == n) list.setSelected(i, true);
  }
};

TEST_F(MemberExportTest, ChosenMembersAreExtractedIntoAPrivateFolderPerExport) {
  Form& f = contents({"日本語.txt", "b.txt", "c.txt", "dir\\"});
  choose(f, {"日本語.txt", "b.txt", "dir\\"});
  std::string folder = nextFolderName();
  sys.fakes.lha().createOnCommand(host("prog/Temp/" + folder + "/日本語.txt"), "j");
  sys.fakes.lha().createOnCommand(host("prog/Temp/" + folder + "/b.txt"), "b");
  const std::string q = "Q:\\prog\\Temp\\" + folder;
  EXPECT_EQ(f.c("List1").dragOut(), (Strings{q + "\\日本語.txt", q + "\\b.txt"}));
  // Each member with the library's progress (and its cancel); folder entries are skipped.
  EXPECT_EQ(sys.fakes.lha().commands(),
            (Strings{"x -gn \"Q:\\dl\\a.lzh\" \"" + q + "\\\" \"日本語.txt\"",
                     "x -gn \"Q:\\dl\\a.lzh\" \"" + q + "\\\" \"b.txt\""}));

  // Ctrl+C makes a folder of its own and puts the files on the clipboard.
  std::string second = nextFolderName();
  EXPECT_NE(second, folder);
  sys.fakes.lha().createOnCommand(host("prog/Temp/" + second + "/日本語.txt"), "j");
  sys.fakes.lha().createOnCommand(host("prog/Temp/" + second + "/b.txt"), "b");
  int key = 'C';
  f.c("List1").keyDown(key, kCtrlKey);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(services.clipboardPaths.size(), 2u);
  EXPECT_EQ(services.clipboardPaths[0], "Q:\\prog\\Temp\\" + second + "\\日本語.txt");

  extract::removeExportFolders();
  EXPECT_FALSE(exists("prog/Temp/" + folder));
  EXPECT_FALSE(exists("prog/Temp/" + second));
  EXPECT_TRUE(exists("prog/Temp"));
}

TEST_F(MemberExportTest, FoldersLeftByEndedRunsGoAtTheFirstExport) {
  root.write("prog/Temp/drag-999999999-3/a.txt", "left behind");
  const std::string mine = "drag-" + std::to_string(getpid()) + "-999";
  root.mkdir("prog/Temp/" + mine);
  root.mkdir("prog/Temp/drag-notes");
  std::string folder = extract::makeExportFolder("Q:\\prog\\Temp");
  EXPECT_FALSE(exists("prog/Temp/drag-999999999-3"));
  EXPECT_TRUE(exists("prog/Temp/" + mine));  // this run's own
  EXPECT_TRUE(exists("prog/Temp/drag-notes"));
  extract::removeExportFolders();
  EXPECT_FALSE(std::filesystem::exists(hostPath(folder)));
}

TEST_F(MemberExportTest, EscapingNamesAreRefusedAndCancelOrFailureOffersNothing) {
  Form& f = contents({"..\\..\\x.txt", "a.txt"});
  EXPECT_TRUE(f.c("List1").dragOut().empty());  // nothing chosen: no run
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
  choose(f, {"..\\..\\x.txt", "a.txt"});
  std::string folder = nextFolderName();
  sys.fakes.lha().createOnCommand(host("prog/Temp/" + folder + "/a.txt"), "a");
  EXPECT_EQ(f.c("List1").dragOut().size(), 1u);
  EXPECT_EQ(sys.fakes.lha().commands().size(), 1u);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_NE(services.messages[0].text.find("..\\..\\x.txt"), std::string::npos);

  services.messages.clear();
  sys.fakes.lha().setResult(ZV_ERROR_USER_CANCEL);
  EXPECT_TRUE(f.c("List1").dragOut().empty());
  EXPECT_TRUE(services.messages.empty());  // cancelled: nothing more to say
  sys.fakes.lha().setResult(0x8011);
  services.messages.clear();
  EXPECT_TRUE(f.c("List1").dragOut().empty());
  ASSERT_FALSE(services.messages.empty());
  EXPECT_EQ(services.messages.front().title, " LHA解凍");
  extract::removeExportFolders();
}

TEST_F(MemberExportTest, ZipMembersGoThroughTheZipLibrary) {
  Form& f = contents({"読んでね.txt"}, true);
  choose(f, {"読んでね.txt"});
  std::string folder = nextFolderName();
  sys.fakes.zip().createOnCommand(host("prog/Temp/" + folder + "/読んでね.txt"), "z");
  EXPECT_EQ(f.c("List1").dragOut(), Strings{"Q:\\prog\\Temp\\" + folder + "\\読んでね.txt"});
  EXPECT_TRUE(sys.fakes.lha().commands().empty());
  EXPECT_EQ(sys.fakes.zip().commands(), Strings{"-x -n --i \"Q:\\dl\\a.zip\" \"Q:\\prog\\Temp\\" +
                                                folder + "\\\" \"読んでね.txt\""});
  extract::removeExportFolders();
}

}  // namespace
}  // namespace zv::test
