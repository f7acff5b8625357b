// Files from other programs in the file utility: the questions of a drop, and which files
// Ctrl+V takes (plain drops, drags out and pastes are in the end-to-end scenarios).
#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

TEST_F(FileUtilityTest, FilesFromOtherProgramsAskBeforeReplacingAndFoldersAreReported) {
  write("outside/same.txt", "replacement");
  write("down/same.txt", "old");
  dir.mkdir("q/outside/folder");
  open();
  services.answers = {MsgAnswer::No};
  ctl("File2").filesDropped({"Q:\\outside\\same.txt", "Q:\\outside\\folder"});
  EXPECT_EQ(read("down/same.txt"), "old");
  ASSERT_EQ(services.messages.size(), 2u);
  EXPECT_EQ(services.messages[0].text, "同名ファイルが存在します．上書きコピーしますか？");
  EXPECT_NE(services.messages[1].text.find("folder"), std::string::npos);
  services.answers = {MsgAnswer::Yes};
  ctl("File2").filesDropped({"Q:\\outside\\same.txt", "Q:\\down\\same.txt"});
  EXPECT_EQ(read("down/same.txt"), "replacement");
  EXPECT_EQ(services.messages.size(), 3u);  // a file already in the folder is left alone
}

TEST_F(FileUtilityTest, CtrlVTakesOtherProgramsFilesButLeavesItsOwnToTheMarks) {
  write("up/a.txt", "a");
  write("outside/x.txt", "x");
  open();
  ctl("File1").userSelect(0);
  int k = 'C';
  ctl("File1").keyDown(k, kCtrlKey);
  EXPECT_EQ(services.clipboardPaths, std::vector<std::string>{"Q:\\up\\a.txt"});
  ctl("File1").keyDown(k = 'X', kCtrlKey);
  ctl("File2").keyDown(k = 'V', kCtrlKey);  // the window's own files: the marked move
  EXPECT_FALSE(there("up/a.txt"));
  services.clipboardPaths = {"Q:\\outside\\x.txt"};
  ctl("File2").keyDown(k = 'V', kCtrlKey);
  EXPECT_EQ(read("down/x.txt"), "x");
  EXPECT_TRUE(there("outside/x.txt"));
}

}  // namespace
}  // namespace zv::test
