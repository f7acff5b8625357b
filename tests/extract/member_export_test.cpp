// Members handed to other programs are extracted into a private folder under Temp first (the
// drag and Ctrl+C of an LZH member, byte for byte, are in the end-to-end scenarios).
#include <unistd.h>

#include <filesystem>

#include "extract/export_folders.h"
#include "tests/extract/extract_fixture.h"
#include "zorvex/archiver_api.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

struct MemberExportTest : ExtractTest {
  // The contents window on Q:\dl\a.lzh (or a.zip) with these members, all chosen.
  Control& chosen(const Strings& names, bool zip = false) {
    return openContents(names, zip, true).c("List1");
  }
  // The next private folder ("Q:\prog\Temp\drag-<pid>-<n>"): one is made and removed.
  std::string nextFolder() {
    std::string probe = extract::makeExportFolder("Q:\\prog\\Temp");
    std::filesystem::remove(hostPath(probe));
    size_t dash = probe.rfind('-');
    return probe.substr(0, dash + 1) + std::to_string(std::stoi(probe.substr(dash + 1)) + 1);
  }
};

TEST_F(MemberExportTest, EachMemberRunsWithProgressAndRefusedOrFailedOnesAreReported) {
  Control& list = chosen({"..\\..\\x.txt", "a.txt", "dir\\"});
  std::string folder = nextFolder();
  sys.fakes.lha().createOnCommand(hostPath(folder + "\\a.txt"), "a");
  EXPECT_EQ(list.dragOut(), Strings{folder + "\\a.txt"});
  EXPECT_EQ(sys.fakes.lha().commands(),
            Strings{"x -gn \"Q:\\dl\\a.lzh\" \"" + folder + "\\\" \"a.txt\""});
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_NE(services.messages[0].text.find("..\\..\\x.txt"), std::string::npos);

  services.messages.clear();
  sys.fakes.lha().setResult(ZV_ERROR_USER_CANCEL);
  EXPECT_TRUE(list.dragOut().empty());
  EXPECT_TRUE(services.messages.empty());  // cancelled: nothing more to say
  sys.fakes.lha().setResult(0x8011);
  EXPECT_TRUE(list.dragOut().empty());
  ASSERT_FALSE(services.messages.empty());
  EXPECT_EQ(services.messages.front().title, " LHA解凍");
  extract::removeExportFolders();
  EXPECT_FALSE(std::filesystem::exists(hostPath(folder)));
}

TEST_F(MemberExportTest, ZipMembersGoThroughTheZipLibrary) {
  Control& list = chosen({"読んでね.txt"}, true);
  std::string folder = nextFolder();
  sys.fakes.zip().createOnCommand(hostPath(folder + "\\読んでね.txt"), "z");
  sys.fakes.zip().clearCalls();
  EXPECT_EQ(list.dragOut(), Strings{folder + "\\読んでね.txt"});
  EXPECT_EQ(sys.fakes.zip().commands(),
            Strings{"-x -n --i \"Q:\\dl\\a.zip\" \"" + folder + "\\\" \"読んでね.txt\""});
  extract::removeExportFolders();
}

TEST_F(MemberExportTest, FoldersLeftByEndedRunsGoAtTheFirstExport) {
  root.write("prog/Temp/drag-999999999-3/a.txt", "left behind");
  const std::string mine = "drag-" + std::to_string(getpid()) + "-999";
  root.mkdir("prog/Temp/" + mine);
  extract::makeExportFolder("Q:\\prog\\Temp");
  EXPECT_FALSE(exists("prog/Temp/drag-999999999-3"));
  EXPECT_TRUE(exists("prog/Temp/" + mine));  // this run's own
  extract::removeExportFolders();
}

}  // namespace
}  // namespace zv::test
