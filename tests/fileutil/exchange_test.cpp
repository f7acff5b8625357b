// Files between the file utility and other programs: drops from a file manager, drags out,
// and the clipboard.
#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

class FileExchangeTest : public FileUtilityTest {
 protected:
  int indexOfItem(const std::string& list, const std::string& name) {
    Control& l = ctl(list);
    for (int i = 0; i < l.listCount(); ++i)
      if (l.list(i) == name) return i;
    return -1;
  }
};

TEST_F(FileExchangeTest, FilesDroppedFromAnotherProgramAreCopiedWithTheDropsQuestion) {
  write("outside/new.txt", "new");
  write("outside/same.txt", "replacement");
  write("down/same.txt", "old");
  dir.mkdir("q/outside/folder");
  open();
  services.answers = {MsgAnswer::No};
  ctl("File2").filesDropped(
      {"Q:\\outside\\new.txt", "Q:\\outside\\same.txt", "Q:\\outside\\folder"});
  EXPECT_EQ(read("down/new.txt"), "new");
  EXPECT_EQ(read("down/same.txt"), "old");
  EXPECT_EQ(read("outside/new.txt"), "new");
  ASSERT_EQ(services.messages.size(), 2u);
  EXPECT_EQ(services.messages[0].text, "同名ファイルが存在します．上書きコピーしますか？");
  EXPECT_EQ(services.messages[0].title, "ファイルのコピー");
  // The folder is not copied, and the user is told.
  EXPECT_NE(services.messages[1].text.find("folder"), std::string::npos);
  EXPECT_FALSE(there("down/folder"));
  EXPECT_NE(indexOfItem("File2", "new.txt"), -1);

  services.answers = {MsgAnswer::Yes};
  ctl("File1").filesDropped({"Q:\\outside\\same.txt"});
  EXPECT_EQ(read("up/same.txt"), "replacement");
  services.answers = {MsgAnswer::Yes};
  ctl("File2").filesDropped({"Q:\\outside\\same.txt"});
  EXPECT_EQ(read("down/same.txt"), "replacement");
  // A file dropped on the folder it is in stays as it is, without a question.
  services.messages.clear();
  ctl("File2").filesDropped({"Q:\\down\\same.txt"});
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(FileExchangeTest, DragOutOffersTheHighlightedFilesAndDeletesNothing) {
  write("up/a.txt", "a");
  write("up/b.txt", "b");
  write("up/c.txt", "c");
  open();
  EXPECT_TRUE(ctl("File1").dragOut().empty());
  ctl("File1").userSelect(indexOfItem("File1", "a.txt"));
  ctl("File1").userSelect(indexOfItem("File1", "c.txt"), kCtrlKey);
  EXPECT_EQ(ctl("File1").dragOut(), (Strings{"Q:\\up\\a.txt", "Q:\\up\\c.txt"}));
  EXPECT_TRUE(there("up/a.txt"));
}

TEST_F(FileExchangeTest, CtrlCOffersFilesAndCtrlVTakesWhatOtherProgramsCopied) {
  write("up/a.txt", "a");
  write("outside/x.txt", "x");
  open();
  ctl("File1").userSelect(indexOfItem("File1", "a.txt"));
  int k = 'C';
  ctl("File1").keyDown(k, kCtrlKey);
  EXPECT_EQ(services.clipboardPaths, Strings{"Q:\\up\\a.txt"});
  // Unchanged clipboard: Ctrl+V on the other list drops the marked file as before.
  k = 'V';
  ctl("File2").keyDown(k, kCtrlKey);
  EXPECT_EQ(read("down/a.txt"), "a");

  // Another program's files on the clipboard are copied in, also over files marked here.
  ctl("File1").keyDown(k = 'X', kCtrlKey);
  services.clipboardPaths = {"Q:\\outside\\x.txt"};
  ctl("File2").keyDown(k = 'V', kCtrlKey);
  EXPECT_EQ(read("down/x.txt"), "x");
  EXPECT_TRUE(there("up/a.txt"));  // the marked move did not happen
  EXPECT_TRUE(there("outside/x.txt"));
}

}  // namespace
}  // namespace zv::test
